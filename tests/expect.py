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
# (name, text, multi-word, the sorted lines over NINE)
SEARCHES = [("multi-word", "dirty room", True, ["dirty moor ", "dirty room ", "dormitory "]),
            ("single word", "Listen", False,
             ["enlist ", "inlets ", "listen ", "silent ", "tinsel "]),
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


def finder(find, words, text, multi):
    """What vexlore-find (the program find) lists for text over words: the
    lines every window must show, sorted, without their line feeds."""
    argv = [find] + (["-m"] if multi else []) + ["-w", words, "--", text]
    out = subprocess.run(argv, capture_output=True, text=True).stdout
    return sorted(l for l in out.split("\n") if l) or [NOFIT]
