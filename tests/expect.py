"""What the windows' tests expect, written once: the nine-word file and its
searches, the texts, the dialog's table from frontend/dialog.h, dialog
units to pixels, and the report lines. tests/scenarios.py and the windows'
own checks import it."""
import os
import re
import subprocess

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NINE = ["dirty", "dormitory", "enlist", "inlets", "listen", "moor", "room", "silent",
        "tinsel"]
NOFIT = "*No anagrams found*"
LONGTEXT = "sphinx of black quartz judge my vow"
LISTFULL_LINES = 100    # where the windows' test builds say their list is full
# A long phrase over the shipped list (multi-word, 1,949,959 lines), which
# the windows that search in memory list whole. A driver reads ROWS_READ
# rows of such a list, spread evenly, the first and the last among them.
PHRASE = "elvis aaron presley"
ROWS_READ = 1000


def bestlines():
    """Lines a window lists best first, from frontend/bestfirst.h; None for
    a check run beside an installed package, away from the source tree."""
    path = os.path.join(TOP, "frontend", "bestfirst.h")
    if not os.path.exists(path):
        return None
    return int(re.search(r"#define BEST_LINES\s+(\d+)", open(path).read()).group(1))


# Lines a window lists best first: vexlore-find --best=BEST_LINES's
BEST_LINES = bestlines()
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
passed = [0]


def report(ok, name, detail):
    (passed if ok else failed)[0] += 1
    print("%s %s: %s" % ("ok  " if ok else "FAIL", name, detail), flush=True)


def summary():
    """The closing line, as every driver prints it; the exit status."""
    print("%d passed, %d failed" % (passed[0], failed[0]), flush=True)
    return 1 if failed[0] else 0


def joined(lines, most=6):
    return ", ".join("'%s'" % l for l in lines[:most]) + (" ..." if len(lines) > most else "")


def dialog_table(best=False):
    """The dialog's table from frontend/dialog.h, {NAME: (text, x, y, w, h)},
    and its size (width, height), in dialog units; with best, the Best
    first box too, which the Windows template is without."""
    src = open(os.path.join(TOP, "frontend", "dialog.h")).read()
    texts = dict(re.findall(r'#define DLG_(\w+)_TEXT\s+"([^"]*)"', src))
    table = {}
    for name, nums in re.findall(r"#define DLG_(\w+)_AT\s+([\d, ]+)", src):
        if name != "BEST" or best:
            table[name] = (texts.get(name, ""),) + tuple(int(n) for n in nums.split(","))
    size = tuple(int(re.search(r"#define DLG_%s\s+(\d+)" % k, src).group(1))
                 for k in ("WIDTH", "HEIGHT"))
    return table, size


def pixels(units, base, div):
    """MulDiv(units, base, div), rounded to nearest."""
    return (units * base + div // 2) // div


def finder(find, words, text, multi, fast=False, best=0, model=None):
    """What vexlore-find (the program find) lists for text over words: the
    lines every window must show, sorted, without their line feeds; with
    best, --best=best's lines in their order (single word: --max-words 1),
    ranked by the model beside find or the file model, and the relatedness
    file beside that model, where the windows look for both. None when
    the finder failed, which no window's list equals."""
    if best:
        argv = [find, "--best=%d" % best] + ([] if multi else ["--max-words", "1"]) + (
            ["--model", model] if model else [])
    else:
        argv = [find] + (["--fast"] if fast else []) + (["-m"] if multi else [])
    run = subprocess.run(argv + ["-w", words, "--", text], capture_output=True, text=True)
    if run.returncode not in (0, 1):
        print("vexlore-find failed: %s" % run.stderr.strip(), flush=True)
        return None
    lines = [l for l in run.stdout.split("\n") if l]
    return (lines if best else sorted(lines)) or [NOFIT]


def rows(n):
    """The rows a driver reads of a list of n lines."""
    if n <= ROWS_READ:
        return list(range(n))
    return sorted(set(i * (n - 1) // (ROWS_READ - 1) for i in range(ROWS_READ)))
