"""What every window's driver expects, written once: the nine-word file and
its searches, the texts, the dialog's table from frontend/dialog.h, dialog
units to pixels, and the report lines. tests/gtk and tests/web import it;
the Win32 driver has its C++ twin in tests/driver/checks.cpp."""
import os
import re
import subprocess

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NINE = ["dirty", "dormitory", "enlist", "inlets", "listen", "moor", "room", "silent",
        "tinsel"]
NOFIT = "*No anagrams found*"
LONGTEXT = "sphinx of black quartz judge my vow"
LISTFULL_LINES = 100    # where the windows' test builds say their list is full
# A long phrase over the shipped list (multi-word, 1,949,959 lines): the
# windows search it in memory and list all of vexlore-find --fast's lines;
# stopped in LONGTEXT, which runs for ages even in memory, they keep sorted
# anagrams made of listed words. A driver reads ROWS_READ rows of
# such a list, spread evenly, the first and the last among them.
PHRASE = "elvis aaron presley"
ROWS_READ = 1000
# (name, text, multi-word, the sorted lines over NINE)
SEARCHES = [("multi-word", "dirty room", True, ["dirty moor ", "dirty room ", "dormitory "]),
            ("single word", "Listen", False,
             ["enlist ", "inlets ", "listen ", "silent ", "tinsel "]),
            # copied from a web page: a no-break space, and a paragraph end
            # (a text field on a page drops line feeds itself)
            ("pasted blanks", "dirty\u00a0room\u2029", True,
             ["dirty moor ", "dirty room ", "dormitory "]),
            ("no anagram", "vexlore", True, [NOFIT])]

failed = [0]


def report(ok, name, detail):
    failed[0] += 0 if ok else 1
    print("%s %s: %s" % ("ok  " if ok else "FAIL", name, detail), flush=True)


def joined(lines, most=6):
    return ", ".join("'%s'" % l for l in lines[:most]) + (" ..." if len(lines) > most else "")


def dialog_table():
    """The dialog's table from frontend/dialog.h, {NAME: (text, x, y, w, h)},
    and its size (width, height), in dialog units."""
    src = open(os.path.join(TOP, "frontend", "dialog.h")).read()
    texts = dict(re.findall(r'#define DLG_(\w+)_TEXT\s+"([^"]*)"', src))
    table = {}
    for name, nums in re.findall(r"#define DLG_(\w+)_AT\s+([\d, ]+)", src):
        table[name] = (texts.get(name, ""),) + tuple(int(n) for n in nums.split(","))
    size = tuple(int(re.search(r"#define DLG_%s\s+(\d+)" % k, src).group(1))
                 for k in ("WIDTH", "HEIGHT"))
    return table, size


def pixels(units, base, div):
    """MulDiv(units, base, div), rounded to nearest."""
    return (units * base + div // 2) // div


def finder(find, words, text, multi, fast=False):
    """What vexlore-find (the program find) lists for text over words: the
    lines every window must show, sorted, without their line feeds; None
    when the finder failed, which no window's list equals."""
    argv = [find] + (["--fast"] if fast else []) + (["-m"] if multi else []) + [
        "-w", words, "--", text]
    run = subprocess.run(argv, capture_output=True, text=True)
    if run.returncode not in (0, 1):
        print("vexlore-find failed: %s" % run.stderr.strip(), flush=True)
        return None
    return sorted(l for l in run.stdout.split("\n") if l) or [NOFIT]


def rows(n):
    """The rows a driver reads of a list of n lines."""
    if n <= ROWS_READ:
        return list(range(n))
    return sorted(set(i * (n - 1) // (ROWS_READ - 1) for i in range(ROWS_READ)))


def phrase(want, ran, stopped, words):
    """Reports the long phrase run to its end and a long search stopped; want
    is vexlore-find --fast's lines for PHRASE, ran and stopped what the window
    listed: (its count, {row: line}) of PHRASE run to its end, and of
    LONGTEXT, a search far too long to end, stopped once lines had come. Its
    rows must be sorted anagrams of LONGTEXT in words of the word file
    words."""
    want = want or []
    n, got = ran
    bad = [r for r in sorted(got) if got[r] != want[r]] if n == len(want) else sorted(got)
    report(n == len(want) and not bad, "long phrase", "'%s': %d lines, %s vexlore-find "
           "--fast's %d in the %d rows read%s" % (
               PHRASE, n, "the same as" if not bad else "NOT the same as", len(want), len(got),
               "; row %d: %r" % (bad[0], got.get(bad[0])) if bad else ""))
    m, kept = stopped
    lines = [kept[r] for r in sorted(kept)]
    listed = set(open(words, encoding="latin-1").read().split("\n"))
    letters = sorted(LONGTEXT.replace(" ", ""))
    strange = [l for l in lines if sorted(l.replace(" ", "")) != letters or
               not all(w in listed for w in l.split())]
    report(m > 0 and lines == sorted(lines) and not strange, "Stop in a long search",
           "'%s': %d lines kept; the %d rows read sorted: %s, all anagrams in listed words: %s" % (
               LONGTEXT, m, len(lines), lines == sorted(lines),
               "yes" if not strange else "NO, %r" % strange[0]))