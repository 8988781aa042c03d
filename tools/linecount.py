#!/usr/bin/env python3
"""linecount.py - lines of code by folder, blanks and comments left out, and
the tests' size against the product's.

    python3 tools/linecount.py

Counts what git tracks: C and C++, JavaScript, Python and shell. The
product is what ships (engine, dictionary, model, frontend, cli and the
three front ends); the tests are tests/ and the fuzz harnesses. The aim
is tests at most three quarters of the product, and new tests at most a
third of the code they test."""
import os
import subprocess
import sys

PRODUCT = ["engine", "dictionary", "model", "frontend", "cli", "gtk", "windows", "web"]
TESTS = ["tests", "fuzz"]
HASH = (".py", ".sh")                    # comments start with #
SLASH = (".c", ".cpp", ".h", ".js", ".rc")  # // and /* */


def code_lines(path):
    ext = os.path.splitext(path)[1]
    n, closer = 0, None
    with open(path, errors="replace") as f:
        for raw in f:
            s = raw.strip()
            if closer:                       # inside a block comment or docstring
                if closer in s:
                    closer = None
                continue
            if not s:
                continue
            if ext in HASH:
                if s.startswith("#"):
                    continue
                q = s[:3]
                if ext == ".py" and q in ('"""', "'''"):
                    if s.count(q) < 2 or s == q:
                        closer = q
                    continue
            elif s.startswith("//") or s.startswith("*"):
                continue
            elif s.startswith("/*"):
                if "*/" not in s[2:]:
                    closer = "*/"
                continue
            n += 1
    return n


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    files = subprocess.run(["git", "-C", top, "ls-files"], capture_output=True,
                           text=True, check=True).stdout.split()
    by = {}
    for p in files:
        head = p.split("/")[0]
        if head not in PRODUCT + TESTS or "/corpus/" in p or "__pycache__" in p:
            continue
        if not p.endswith(HASH + SLASH):
            continue
        by[head] = by.get(head, 0) + code_lines(os.path.join(top, p))
    for group in (PRODUCT, TESTS):
        for head in group:
            if head in by:
                print("%-12s %6d" % (head + "/", by[head]))
        print()
    product = sum(by.get(h, 0) for h in PRODUCT)
    tests = sum(by.get(h, 0) for h in TESTS)
    print("product %d, tests %d: tests are %.0f%% of the product" %
          (product, tests, 100.0 * tests / max(product, 1)))


if __name__ == "__main__":
    sys.exit(main())
