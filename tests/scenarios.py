"""The dialog as a user meets it, one table for every window: each row a
name, the word file, what the window must be able to do for it, and its
steps; one runner plays the rows against a window through its adapter
(tests/gtk/gtkwindow.py, tests/web/webwindow.py, tests/driver/winwindow.py),
with one report format, one Stop rule and one seeded stress generator.
The dialog's rules are tested natively against a fake view
(tests/solver_test.cpp); these rows check that each real window keeps them.

usage: scenarios.py WINDOW TREE WORK           every row, a line each
       scenarios.py WINDOW TREE WORK SEED N    N random actions from SEED
WINDOW is gtk, web or win32; TREE the build folder the adapter runs from;
WORK a scratch folder of its own."""
import importlib
import os
import random
import re
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import expect  # noqa: E402
from expect import LONGTEXT, NINE, NOFIT, joined, report  # noqa: E402

STOP_MS = 50        # Stop, Esc and the close box end a search this soon after the click
STOP_TRIALS = 5     # ... by the median of so many
LISTFULL_LINES = expect.LISTFULL_LINES


def source_text(name):
    """A message the dialog's code says, as it stands in frontend/solver.cpp."""
    src = open(os.path.join(expect.TOP, "frontend", "solver.cpp"), encoding="utf-8").read()
    m = re.search(r"\b%s\[\]\s*=\s*((?:\s*\"(?:[^\"\\]|\\.)*\")+)" % name, src)
    return "".join(re.findall(r"\"((?:[^\"\\]|\\.)*)\"", m.group(1))).encode().decode(
        "unicode_escape")


class Window:
    """What the runner asks of a window. An adapter starts the program as
    its users do and reads back only what they see.

    has: what the window can do beyond the dialog's common core, of
        "closebox" (a caption close box), "exitcode" (a process whose exit
        status can be read), "listfull" (a test build whose list is full at
        LISTFULL_LINES lines), "pasted" (pasted blanks become spaces),
        "memory" (searches in memory: long phrases end), "cause" (a
        message box names the system's cause below the message),
        "escsearch" (Esc stops a search; the Windows pump lets no key
        through), "best" (a Best first box, with the model beside the
        program over the build's list).
    longtext: a text whose search runs for ages and lists lines at once
        (LONGTEXT unless the window's search needs another).
    open(words): starts the program over a word file: "nine" (NINE),
        "full" (the build's list), "none" (no file) or "listfull" (the test
        build over the build's list); False if it did not come up.
    wordpath(): the word file's path as the no-file message names it;
        words: its path on this machine.
    act(verb, arg=None): type (arg the text), pick (arg True for
        Multi-word), best (arg True: Best first checked, False: not; a
        click on the box when it is not so already), start, stop, esc,
        enter, closebox, close; returns at once, noting the moment of the
        click.
    wait(secs): the ms from the last act to the search's end, or None if
        it did not end within secs.
    busy(), lines(), count(), rows(indexes) (those lines of the list;
        optional), alive().
    box(secs): (caption, text, ok-only) of a message box within secs, or
        None; boxok() clicks its OK.
    exit(secs): the exit status once the program has ended, or None.
    finder(text, multi, fast=False, best=0): vexlore-find's lines for text
        over the open list (with --fast: its in-memory search), as
        expect.finder gives them (with best: --best=best's, in rank order).
    shot(name) (optional): a picture of the window as NAME.png in the
        folder $VEXLORE_SHOTS, if set.
    end(): ends whatever still runs.
    """
    has = set()
    longtext = LONGTEXT


# What the runner checks after the steps, by name: (description, test)
FIND = object()     # vexlore-find's lines for the text and type last given
BEST = object()     # vexlore-find --best=BEST_LINES's, in rank order (single
                    # word: with --max-words 1)

# A row: (name, word file, needs, steps). A step is an action of the
# window (type, pick, start, stop, esc, enter, closebox, close) or a check:
#   ("ends", secs)          the search ends within secs
#   ("lines", want)         the list is exactly want (FIND: vexlore-find's;
#                           BEST: its best lines, in their order)
#   ("ranked",)             a stopped ranking's list: at most BEST_LINES
#                           anagrams, no two of the same words (or NOFIT)
#   ("kept",)               the list holds at least the lines it had before
#                           the last action, sorted, each an anagram
#   ("same",)               the list is as it was before the last action
#   ("running", n)          the search runs and has listed n lines
#   ("pause", secs)         nothing for secs
#   ("box", caption, text)  a message box, OK only, whose text holds text;
#                           OK then clicked
#   ("nobox",)              no message box comes
#   ("alive",)              the window stays and answers
#   ("exit", status)        the program ends within 5 s with status
#   ("soon",)               the search ended within STOP_MS of the last action
#   ("shot", name)          a picture of the window (a box's: a third element)
#   ("stoprule",)           STOP_TRIALS searches of LONGTEXT, each stopped:
#                           the median ends within STOP_MS, lines kept
SEARCH = lambda text, multi: [("type", text), ("pick", multi), ("start",), ("ends", 30)]  # noqa
LONG = [("type", LONGTEXT), ("pick", True), ("start",), ("running", 5)]
EIGHTY = "".join(chr(97 + i % 26) for i in range(80))
SEVENTYNINE = "".join(("q " if i % 10 == 9 else "q") for i in range(79)).strip()

SCENARIOS = [
    (name, "nine", {"pasted"} if name == "pasted blanks" else set(),
     SEARCH(text, multi) + [("lines", want)])
    for name, text, multi, want in expect.SEARCHES
] + [
    ("80 letters", "nine", set(), SEARCH("dirty room", True) + [
        ("type", EIGHTY), ("start",), ("box", "Vexlore", "79"), ("same",)]),
    ("79 letters and blanks", "nine", set(), SEARCH(SEVENTYNINE, False) + [
        ("nobox",), ("lines", [NOFIT])]),
    ("Esc while idle", "nine", set(), SEARCH("dirty room", True) + [
        ("esc",), ("alive",), ("same",)]),
    ("close box while idle", "nine", {"closebox"}, SEARCH("dirty room", True) + [
        ("closebox",), ("alive",), ("same",)]),
    # Esc and the close box set the stop flag; the next search clears it
    ("Enter after Esc", "nine", set(), [
        ("esc",), ("type", "Dormitory"), ("pick", False), ("enter",), ("ends", 5),
        ("lines", ["dormitory "])]),
    ("Close while idle", "nine", set(), [("close",), ("exit", 0)]),
    ("full word list", "full", set(), SEARCH("dirty room", True) + [
        ("lines", FIND), ("shot", "results")]),
    ("Stop during a search", "full", set(), [("stoprule",)]),
    ("Esc during a search", "full", {"escsearch"}, LONG + [
        ("esc",), ("ends", 5), ("soon",), ("kept",), ("alive",)]),
    ("close box during a search", "full", {"closebox"}, LONG + [
        ("closebox",), ("ends", 5), ("soon",), ("kept",), ("alive",)]),
    ("Start during a search", "full", set(), LONG + [
        ("start",), ("running", 5), ("stop",), ("ends", 5), ("kept",)]),
    ("Close during a search", "full", set(), LONG + [("close",), ("exit", 0)]),
    ("long phrase", "full", {"memory"}, [("phrase",)]),
    ("no word file", "none", set(), [("box", "Vexlore", "NOFILE"), ("exit", 0)]),
    ("list full", "listfull", {"listfull"}, [
        ("type", LONGTEXT), ("pick", True), ("start",),
        ("box", "Vexlore", "holds %d lines" % LISTFULL_LINES, "listfull"), ("ends", 5),
        ("count", LISTFULL_LINES), ("kept",)]),
    # ranked as vexlore-find --best ranks; Stop, once the ranking is past
    # reading the candidates and bounding them, keeps the best found so
    # far; with the box off again the list is the search's, sorted
    ("best first", "full", {"best"}, [
        ("type", "clint eastwood"), ("pick", True), ("best", True), ("start",), ("ends", 30),
        ("lines", BEST), ("shot", "best"),
        ("type", "Listen"), ("pick", False), ("start",), ("ends", 30), ("lines", BEST),
        ("type", "william shakespeare"), ("pick", True), ("start",), ("running", 0),
        ("pause", 0.1),
        ("stop",), ("ends", 5), ("soon",), ("ranked",),
        ("best", False)] + SEARCH("dirty room", True) + [("lines", FIND)]),
    ("list full, then a search", "listfull", {"listfull"}, [
        ("type", LONGTEXT), ("pick", True), ("start",), ("box", "Vexlore", "full"),
        ("ends", 5)] + SEARCH("Listen", False) + [("nobox",), ("lines", FIND)]),
]


class Failed(Exception):
    pass


def anagrams(lines, text):
    letters = sorted(text.lower().replace(" ", ""))
    return all(sorted(l.replace(" ", "")) == letters for l in lines)


def listed(w):
    """The list's length and its rows read (ROWS_READ of a long list, spread
    evenly): reading a million rows through a screen reader's interface
    would take minutes."""
    n = w.count()
    if n <= expect.ROWS_READ:
        return n, w.lines()
    if hasattr(w, "rows"):
        return n, w.rows(expect.rows(n))
    every = w.lines()
    return n, [every[r] for r in expect.rows(n)]


def kept(w, n, text):
    """Checks that the list holds at least n lines, its rows read sorted
    anagrams of text."""
    m, got = listed(w)
    if m < n or got != sorted(got) or not anagrams(got, text):
        raise Failed("%d lines after, %d before; the %d rows read sorted: %s, anagrams: %s" % (
            m, n, len(got), got == sorted(got), anagrams(got, text)))
    return "%d lines kept, sorted anagrams" % m


def play(w, name, steps):
    """Plays one row's steps; returns the detail of its report line."""
    said = []
    text, multi, before, ms = "", False, (0, []), None
    for step in steps:
        verb, args = step[0], step[1:]
        if verb == "type" and args[0] == LONGTEXT:
            args = (getattr(w, "longtext", LONGTEXT),)
        if verb in ("type", "pick", "best", "start", "stop", "esc", "enter", "closebox",
                    "close"):
            if verb not in ("type", "pick", "best"):
                # during a search only the count: the Win32 list answers
                # each read only when the search looks at its queue
                before = (w.count(), None) if w.busy() else listed(w)
            text = args[0] if verb == "type" else text
            multi = args[0] if verb == "pick" else multi
            w.act(verb, *args)
        elif verb == "ends":
            ms = w.wait(args[0])
            if ms is None:
                raise Failed("the search did not end within %d s" % args[0])
        elif verb == "soon":
            said.append("ended %.0f ms after it" % ms)
            if ms > STOP_MS:
                raise Failed("the search ended %.0f ms after the click, not within %d" % (
                    ms, STOP_MS))
        elif verb == "lines":
            want = w.finder(text, multi) if args[0] is FIND else \
                w.finder(text, multi, best=expect.BEST_LINES) if args[0] is BEST else args[0]
            got = w.lines()
            if got != want:
                raise Failed("'%s': %s, not %s" % (text, joined(got), "vexlore-find's (it failed)"
                                                   if want is None else joined(want)))
            said.append("%d lines%s" % (len(got), ": " + joined(got) if len(got) < 7 else ""))
        elif verb == "pause":
            time.sleep(args[0])
        elif verb == "ranked":
            got = w.lines()
            sets = set(" ".join(sorted(l.split())) for l in got)
            if got != [NOFIT] and (len(got) > expect.BEST_LINES or len(sets) != len(got) or
                                   not anagrams(got, text)):
                raise Failed("'%s' stopped: %d lines, %d sets, anagrams %s: %s" % (
                    text, len(got), len(sets), anagrams(got, text), joined(got)))
            said.append("%d ranked lines kept" % len(got))
        elif verb == "count":
            if w.count() != args[0]:
                raise Failed("%d lines, not %d" % (w.count(), args[0]))
        elif verb == "same":
            if before[1] is None or listed(w) != before:
                raise Failed("the list changed: %s, not %s" % (joined(w.lines()), joined(before[1])))
            said.append("the list as it was (%d lines)" % before[0])
        elif verb == "kept":
            said.append(kept(w, before[0], text))
        elif verb == "running":
            end = time.monotonic() + 10
            while time.monotonic() < end and not (w.busy() and w.count() >= args[0]):
                time.sleep(0.01)
            if not w.busy() or w.count() < args[0]:
                raise Failed("the search %s with %d lines" % (
                    "runs" if w.busy() else "is NOT running", w.count()))
        elif verb == "box":
            box = w.box(10)
            want = args[1]
            if want == "NOFILE":
                want = source_text("solver_nofile") % w.wordpath()
                want += "\nNo such file or directory." if "cause" in w.has else ""
            if box is None:
                raise Failed("no message box")
            if len(args) > 2 and hasattr(w, "shot"):
                w.shot(args[2])
            w.boxok()
            said_text = box[1].replace("\r\n", "\n")
            if box[0] != args[0] or want.replace("\r\n", "\n") not in said_text or not box[2]:
                raise Failed("message box %r, caption %r%s" % (
                    box[1], box[0], "" if box[2] else ", not OK only"))
            said.append("message box %r" % said_text.split("\n")[0])
        elif verb == "nobox":
            if w.box(0.3) is not None:
                w.boxok()
                raise Failed("a message box")
        elif verb == "alive":
            time.sleep(0.3)
            if not w.alive():
                raise Failed("the window is gone")
            said.append("the window stays")
        elif verb == "exit":
            code = w.exit(5)
            if code != args[0]:
                raise Failed("exit status %s, not %d" % (code, args[0]))
            said.append("the program ended, exit status %d" % code)
        elif verb == "shot":
            if hasattr(w, "shot"):
                w.shot(args[0])
        elif verb == "stoprule":
            said.append(stoprule(w))
        elif verb == "phrase":
            said.append(phrase(w))
        else:
            raise ValueError("no step %r in %s" % (verb, name))
    return "; ".join(said)


def stoprule(w):
    each, why = [], []
    for trial in range(STOP_TRIALS):
        play(w, "stop", LONG + ([("shot", "searching")] if trial == 0 else []))
        before = w.count()
        w.act("stop")
        ms = w.wait(5)
        try:
            kept(w, before, getattr(w, "longtext", LONGTEXT))
        except Failed as e:
            why.append("trial %d: %s" % (trial + 1, e))
        if ms is None:
            w.act("stop")
            w.wait(120)
        each.append(ms if ms is not None else 9999)
    med = statistics.median(each)
    detail = "ended %s ms after the click (median %.0f, at most %d); lines kept, sorted, " \
             "anagrams" % (", ".join("%.0f" % m for m in each), med, STOP_MS)
    if why or med > STOP_MS:
        raise Failed(detail + "; " + "; ".join(why))
    return detail


def phrase(w):
    """The long phrase runs to its end with vexlore-find --fast's lines (the
    rows read of them); stopped in LONGTEXT, the rows read are sorted
    anagrams in words of the list."""
    want = w.finder(expect.PHRASE, True, fast=True) or []
    play(w, "phrase", SEARCH(expect.PHRASE, True)[:-1] + [("ends", 300)])
    n, got = listed(w)
    read = expect.rows(n)
    bad = [r for r, line in zip(read, got) if line != want[r]] if n == len(want) else read
    if bad:
        raise Failed("'%s': %d lines, not vexlore-find --fast's %d%s" % (
            expect.PHRASE, n, len(want), "" if n != len(want) else
            "; row %d: %r, not %r" % (bad[0], got[read.index(bad[0])], want[bad[0]])))
    play(w, "stopped", LONG + [("stop",), ("ends", 10)])
    m, kept = listed(w)
    words = set(open(w.words, encoding="latin-1").read().split("\n"))
    strange = [l for l in kept if not all(x in words for x in l.split())]
    if m == 0 or kept != sorted(kept) or not anagrams(kept, LONGTEXT) or strange:
        raise Failed("stopped in '%s': %d lines; sorted %s, anagrams %s, strange words %r" % (
            LONGTEXT, m, kept == sorted(kept), anagrams(kept, LONGTEXT), strange[:1]))
    return "'%s': the same %d lines as vexlore-find --fast in the %d rows read; stopped in " \
           "'%s': %d sorted anagrams in listed words" % (expect.PHRASE, n, len(got), LONGTEXT, m)


def runall(w):
    opened = None
    for name, words, needs, steps in SCENARIOS:
        if not needs <= w.has:
            print("skip %s: the %s window has no %s" % (name, w.name, ", ".join(needs - w.has)),
                  flush=True)
            continue
        if opened != words or not w.alive():
            w.end()
            if not w.open(words) and words != "none":
                report(False, name, "no window over the %s word file" % words)
                opened = None
                continue
            opened = words
        try:
            report(True, name, play(w, name, steps))
        except Exception as e:  # a window gone mid-row fails the row, not the run
            report(False, name, str(e) if isinstance(e, Failed) else "%s: %s" % (
                type(e).__name__, e))
            w.end()
            opened = None
        if any(s[0] in ("close", "exit") for s in steps) or words == "none":
            w.end()
            opened = None
    w.end()


# The stress run: searches one after another over the build's list, each
# run to its end, stopped, closed or restarted at a random moment.
CASES = [("evil", True), ("night sky", True), ("dirty room", True), ("old west", True),
         ("Listen", False), ("a gentleman", True), ("astronomer", True),
         ("conversation", True)]


def stress(w, seed, actions):
    """After each action the window answers, its list is sorted, and a
    search that ran to its end holds vexlore-find's lines. The same seed
    gives the same clicks on every window (their moments vary)."""
    rng = random.Random(seed)
    whats = ["run", "stop", "closebox", "again", "close"]
    wanted, done = {}, 0
    w.open("full")
    for _ in range(actions):
        text, multi = rng.choice(CASES)
        what, pause = rng.choice(whats), rng.uniform(0, 0.4)
        w.act("type", text)
        w.act("pick", multi)
        w.act("start")
        time.sleep(pause)
        if what == "closebox" and "closebox" not in w.has:
            what = "esc"        # the page's way to the same stop
        if what == "again":
            w.act("start")
            time.sleep(0.05)
            what = "stop"
        if what in ("stop", "closebox", "esc", "close"):
            w.act(what)
        if what == "close":
            code = w.exit(10)
            if code != 0:
                report(False, "stress", "seed %d: Close during '%s': exit status %s" % (
                    seed, text, code))
                return
            w.end()
            w.open("full")
            done += 1
            continue
        ended = w.wait(120)
        got = w.lines() if ended is not None else None
        if ended is None or got != sorted(got) or not w.alive():
            report(False, "stress", "seed %d: '%s', then %s: %s" % (
                seed, text, what, "did not end" if ended is None else "unsorted or gone"))
            return
        if what == "run":
            if text not in wanted:
                wanted[text] = w.finder(text, multi)
            if got != wanted[text]:
                report(False, "stress", "seed %d: '%s' ran to its end with %d lines, not "
                       "vexlore-find's %d" % (seed, text, len(got), len(wanted[text] or [])))
                return
        done += 1
    w.act("close")
    code = w.exit(10)
    report(code == 0, "stress", "seed %d: %d actions; every search ended with a sorted list, "
           "the window answered, Close ended it (exit status %s)" % (seed, done, code))


ADAPTERS = {"gtk": ("gtk", "gtkwindow"), "web": ("web", "webwindow"),
            "win32": ("driver", "winwindow")}


def main(args):
    if len(args) not in (3, 5) or args[0] not in ADAPTERS:
        print(__doc__, file=sys.stderr)
        return 2
    if os.environ.get("VEXLORE_SHOTS"):
        os.makedirs(os.environ["VEXLORE_SHOTS"], exist_ok=True)
    where, module = ADAPTERS[args[0]]
    sys.path.insert(0, os.path.join(HERE, where))
    w = importlib.import_module(module).Window(os.path.abspath(args[1]), os.path.abspath(args[2]))
    try:
        if len(args) == 5:
            stress(w, int(args[3]), int(args[4]))
        else:
            runall(w)
    finally:
        w.end()
        if hasattr(w, "quit"):
            w.quit()
    return expect.summary()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
