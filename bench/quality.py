#!/usr/bin/env python3
"""Where --best puts anagrams people published, beside where word
commonness alone puts them.

For each pair of anagram-pairs.tsv: the rank of the known anagram (as a
set of words, in any order) in `vexlore-find --best=1000`, and its rank
when the sets of at most as many words are ordered by fewest words, then
by the SCOWL size of their rarest word (ties in the answer's favour).
Then, of the pairs whose words are all in the word list, the shares in the
top 1 and the top 10. A pair whose two sides are not made of the same
letters stops it before anything runs.

usage: bench/quality.py [--best-only] [--score B,D,O]... [BUILD]
  BUILD: the build folder, default build
  --best-only: only --best's ranks, not the (slow) listings by commonness
  --score B,D,O: --best's ranks with that score (VEXLORE_SCORE: the bonus
      for a related word, the demotion of a chunk of the text and that of a
      word of the text, each a number or "last"), a column for each; the
      lines of the first three of the texts with chunks that keep one
"""
import glob
import os
import re
import subprocess
import sys
import time

top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
args = sys.argv[1:]
bestonly = "--best-only" in args
args = [a for a in args if a != "--best-only"]
variants = []
while "--score" in args:
    i = args.index("--score")
    variants.append(args[i + 1])
    del args[i:i + 2]
build = os.path.abspath(args[0] if args else os.path.join(top, "build"))
finder = os.path.join(build, "vexlore-find")
LIMIT = 1000        # lines --best gives at most
TIMEOUT = 60        # seconds a listing of every set may take
SETS_MOST = 5000000 # word sets a listing may hold in memory


CHUNKY = ["schoolmaster", "election results", "slot machines", "contradiction",
          "a shoplifter", "clothes pins", "garbage man", "postmaster"]


def run(args, score=None):
    env = dict(os.environ)
    if score:
        env["VEXLORE_SCORE"] = score
    try:
        out = subprocess.run([finder] + args, capture_output=True, text=True, timeout=TIMEOUT, env=env)
    except subprocess.TimeoutExpired:
        return None
    return out.stdout.splitlines()


def scowlsizes():
    """Each word's SCOWL size: the smallest list that holds it."""
    size = {}
    for path in glob.glob("/usr/share/dict/scowl/*-words.[0-9]*"):
        name = os.path.basename(path)
        if not re.match(r"(english|american)-words\.\d+$", name):
            continue
        n = int(name.rsplit(".", 1)[1])
        with open(path, encoding="latin-1") as f:
            for w in f:
                w = w.strip()
                size[w] = min(size.get(w, 99), n)
    return size


def key(line):
    return tuple(sorted(line.split()))


def chunky(line, text):
    """Whether a word of line is a run of 5 or more letters of a word of
    text, or holds a word of it that long, not being one."""
    tw = text.split()
    return any(w not in tw and ((len(w) >= 5 and w in t) or (len(t) >= 5 and t in w))
               for w in line.split() for t in tw)


def bestrank(text, want, score=None):
    lines = run(["--best=%d" % LIMIT, text], score)
    if lines is None:
        return None
    for i, line in enumerate(lines):
        if key(line) == want:
            return i + 1
    return LIMIT + 1


def wordsets(args):
    """The distinct word sets of the finder's lines, read as they stream
    out (a listing may run to hundreds of millions of lines), or None when
    it takes more than TIMEOUT seconds or more than SETS_MOST sets."""
    proc = subprocess.Popen([finder] + args, stdout=subprocess.PIPE, text=True)
    end = time.monotonic() + TIMEOUT
    sets = set()
    for n, line in enumerate(proc.stdout):
        if line.strip() and not line.startswith("*"):
            sets.add(key(line))
        if n % 10000 == 0 and (time.monotonic() > end or len(sets) > SETS_MOST):
            proc.kill()
            proc.wait()
            return None
    proc.wait()
    return sets


def plainrank(text, want, size):
    sets = wordsets(["-m", "--fast", "--max-words", str(len(want)), text])
    if sets is None:
        return None
    sets -= {key(text)}
    if want not in sets:
        return len(sets) + 1
    score = lambda s: (len(s), max(size.get(w, 99) for w in s))
    mine = score(want)
    return 1 + sum(1 for s in sets if score(s) < mine)


def pairs():
    """The table's pairs, each checked to be an anagram."""
    out = []
    for n, line in enumerate(open(os.path.join(top, "bench", "anagram-pairs.tsv")), 1):
        if line.startswith("#") or not line.strip():
            continue
        text, answer, source = line.rstrip("\n").split("\t")
        letters = lambda s: sorted(s.replace(" ", ""))
        if letters(text) != letters(answer) or not source.strip():
            sys.exit("anagram-pairs.tsv:%d: '%s' and '%s' are not an anagram with a source"
                     % (n, text, answer))
        out.append((text, answer))
    return out


def main():
    words = set(open(os.path.join(build, "words")).read().split())
    size = {} if bestonly else scowlsizes()
    rows = []
    for text, answer in pairs():
        want = key(answer)
        inlist = all(w in words for w in want)
        plain = None if bestonly else plainrank(text, want, size)
        rows.append((text, answer, inlist, [bestrank(text, want, v) for v in variants or [None]], plain))

    show = lambda r: "-" if r is None else ">%d" % LIMIT if r > LIMIT else str(r)
    names = variants or ["--best"]
    print("%-26s %-28s %-7s" % ("text", "known anagram", "in list") +
          "".join(" %11s" % v for v in names) + ("" if bestonly else " %11s" % "commonness"))
    for text, answer, inlist, b, p in rows:
        print("%-26s %-28s %-7s" % (text, answer, "yes" if inlist else "no") +
              "".join(" %11s" % show(r) for r in b) + ("" if bestonly else " %11s" % show(p)))
    counted = [r for r in rows if r[2]]
    n = len(counted)
    cols = [(v, lambda r, i=i: r[3][i]) for i, v in enumerate(names)]
    if not bestonly:
        cols.append(("commonness", lambda r: r[4]))
    for name, col in cols:
        ranks = [col(r) for r in counted]
        one = sum(1 for r in ranks if r is not None and r == 1)
        ten = sum(1 for r in ranks if r is not None and r <= 10)
        print("%s: of %d pairs whose words are in the list, %d first (%.0f%%), %d in the top 10 (%.0f%%)"
              % (name, n, one, 100.0 * one / n, ten, 100.0 * ten / n))
    for v in variants or [None]:
        bad = sum(chunky(line, t) for t in CHUNKY for line in (run(["--best=3", t], v) or []))
        print("%s: of the first 3 lines of %d texts, %d keep a chunk of the text"
              % (v or "--best", len(CHUNKY), bad))


if __name__ == "__main__":
    main()
