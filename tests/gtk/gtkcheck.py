"""What the Linux window adds to the dialog, through the accessibility tree.
usage: gtkcheck.py check TREE WORK SHOTS     every check; a line each, then a count
       gtkcheck.py smoke COMMAND [ARG...]    the worked example in the window of
                                             COMMAND (an installed vexlore, say)
       gtkcheck.py show TREE PNG TEXT [best] a multi-word search (Best first), then
                                             a picture
TREE holds vexlore, vexlore-find and words. The dialog's rules are tested
natively against a fake view (tests/solver_test.cpp), and what every window
must do in tests/scenarios.py; this checks what only the GTK window has:
its layout in the desktop's font, its keyboard, what a screen reader hears,
non-UTF-8 folders and word lists, its arguments, scaling and locales."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import expect  # noqa: E402
import vexgtk  # noqa: E402
from expect import NINE, joined, pixels, report  # noqa: E402
from gtkwindow import folder  # noqa: E402
from vexgtk import Vex, pump  # noqa: E402

LISTFULL_LINES = expect.LISTFULL_LINES


def checklayout(v):
    bx, by = vexgtk.baseunits()
    panel = v.start.get_parent()
    origin = v.extents(panel)
    places = {"START": v.start, "STOP": v.stop, "CLOSE": v.close, "TEXT": v.text,
              "RESULTS": v.results.get_parent(), "SINGLE": v.single, "MULTI": v.multi,
              "TYPE": v.group, "BUSY": v.clip.get_parent(), "BEST": v.best,
              "PROMPT": v.find(vexgtk.R.LABEL, "Enter anagram text:"),
              "LISTED": v.find(vexgtk.R.LABEL, "Results:")}
    worst, bad = 0, []
    table, (dw, dh) = expect.dialog_table(best=True)
    for name, (text, x, y, w, h) in table.items():
        acc = places[name]
        e = v.extents(acc)
        want = (pixels(x, bx, 4), pixels(y, by, 8), pixels(w, bx, 4), pixels(h, by, 8))
        got = (e.x - origin.x, e.y - origin.y, e.width, e.height)
        # a label or a radio button whose text is wider in this font than
        # in the one the table was drawn for grows to the right and down
        grows = name in ("PROMPT", "LISTED", "SINGLE", "MULTI", "BEST")
        off = max(abs(a - b) for a, b in zip(want[:2], got[:2]))
        for a, b in zip(want[2:], got[2:]):
            off = max(off, max(a - b, 0) if grows else abs(a - b))
        worst = max(worst, off)
        if off > 1 or (text and acc.get_name() != text):
            bad.append("%s at %s, not %s" % (name, got, want))
    size = v.extents(panel)
    whole = (pixels(dw, bx, 4), pixels(dh, by, 8))
    ok = not bad and abs(size.width - whole[0]) <= 1 and abs(size.height - whole[1]) <= 1
    report(ok, "layout", "base units %d x %d; %d controls within %d px of the table, dialog "
           "%d x %d px%s" % (bx, by, len(places), worst, size.width, size.height,
                             "; " + "; ".join(bad) if bad else ""))


def focused(v):
    for acc in (v.start, v.stop, v.close, v.text, v.results, v.single, v.multi, v.best, v.clip):
        if acc.get_state_set().contains(vexgtk.Atspi.StateType.FOCUSED):
            return acc.get_name()
    return None


def keyboard(v):
    """Tab goes round the controls, the Type group one stop at its checked
    button, then Best first, not the clip; Down in the group checks
    Multi-word; Space on Best first checks it, a check box named so."""
    order = [focused(v)]
    for _ in range(7):
        v.key(0xff09)       # Tab
        pump(0.15)
        order.append(focused(v))
    for _ in range(5):      # round again to the group
        v.key(0xff09)
        pump(0.15)
    v.key(0xff54)           # Down
    pump(0.2)
    multi = v.checked(v.multi)
    group = focused(v)
    v.key(0xff09)
    pump(0.15)
    v.key(0x20)             # Space
    pump(0.2)
    best = v.checked(v.best) and v.best.get_role() == vexgtk.R.CHECK_BOX
    v.key(0x20)
    pump(0.2)
    want = ["Start", "Stop", "Enter anagram text:", "Results:", "Close", "Single word",
            "Best first", "Start"]
    report(order == want and group == "Multi-word" and multi and best and not v.checked(v.best),
           "keyboard", "Tab order %s; Down in the group: focus on %r, Multi-word %s; Space on "
           "the check box 'Best first': %s" % (
               order, group, "checked" if multi else "NOT checked",
               "checked, then not" if best else "NOT checked"))


def ninechecks(tree, work, shots):
    d = folder(tree, work, "nine", NINE)
    os.symlink(os.path.abspath(os.path.join(tree, "english.model")),
               os.path.join(d, "english.model"))      # Best first, for the keyboard
    v = Vex([os.path.join(d, "vexlore")], cwd=work)
    if not v.window:
        report(False, "start", "no window from the nine-word folder")
        v.end()
        return
    checklayout(v)
    vexgtk.screenshot(os.path.join(shots, "idle.png"), v.window)
    idle = v.clip.get_name()
    keyboard(v)
    v.search("vexlore", True, 30)
    said = v.clip.get_name()
    report(idle == "Idle" and said == "Search ended: no anagrams found",
           "the clip's name", "%r while idle, %r after a search that found nothing" % (
               idle, said))
    v.end()


def modelcheck(tree, work, shots):
    """Without the model beside the program, or with a damaged one, Best
    first cannot be checked and says why to a screen reader (its tooltip);
    the search works as ever."""
    said = []
    for name, model in (("nomodel", None), ("badmodel", b"VXLMODEL" + bytes(200))):
        d = folder(tree, work, name, NINE)
        if model is not None:
            with open(os.path.join(d, "english.model"), "wb") as f:
                f.write(model)
        v = Vex([os.path.join(d, "vexlore")], cwd=work)
        end = time.monotonic() + 5
        while v.window and time.monotonic() < end and \
                v.best.get_state_set().contains(vexgtk.Atspi.StateType.SENSITIVE):
            pump(0.05)
        off = v.window and not v.best.get_state_set().contains(vexgtk.Atspi.StateType.SENSITIVE)
        why = v.best.get_description() if v.window else ""
        if v.window and model is not None:
            vexgtk.screenshot(os.path.join(shots, "badmodel.png"), v.window)
        got = v.lines() if v.window and v.search("dirty room", True, 10) else []
        said.append((name, off, why, got))
        v.end()
    ok = all(off and "english.model" in why and got == expect.SEARCHES[0][3]
             for _, off, why, got in said) and "none" in said[0][2] and "damaged" in said[1][2]
    report(ok, "no model, a damaged model", "; ".join(
        "%s: Best first %s, described %r; 'dirty room': %s" % (
            name, "insensitive" if off else "SENSITIVE", why, joined(got))
        for name, off, why, got in said))


def nowordscheck(tree, work, shots):
    """In a folder whose name is Latin-1, not UTF-8, as from an old disk:
    the box a screen reader reads shows the name, and its cause."""
    d = folder(tree, work, "caf\udce9 nowords", None)
    v = Vex([os.path.join(d, "vexlore")], cwd=work, timeout=0)
    box = vexgtk.messagebox(v.proc.pid, 10)
    want = ("Unable to open dictionary file (%s/words).\n"
            "Ensure this file is where vexlore.exe is located.\n"
            "No such file or directory." % os.fsencode(d).decode("cp1252"))
    if box:
        vexgtk.screenshot(os.path.join(shots, "nowords.png"), box[3])
        v.click(box[2])
    code = v.waitexit(5)
    report(box is not None and box[0] == want and box[1] == "Vexlore" and box[2] and code == 0,
           "no word file, in a folder not named in UTF-8", "message %r, caption %r, then the program ended (exit status %s)" % (
               box[0] if box else None, box[1] if box else None, code))
    v.end()


def latincheck(tree, work):
    """A word list in Windows-1252, from an old Windows disk: the accented
    word typed finds its line, shown as UTF-8."""
    v = Vex([os.path.join(folder(tree, work, "latin", b"b\xe4r\nbar\nrab\n"), "vexlore")],
            cwd=work)
    got = v.lines() if v.window and v.search("b\u00e4r", False, 10) else []
    report(got == ["b\u00e4r "], "Windows-1252 word list", "'b\u00e4r': %s" % joined(got))
    if v.window:
        v.click(v.close)
        v.waitexit(5)
    v.end()


def readercheck(tree, work):
    """A screen reader hears the list scrolled by its keys: after a search,
    with the focus in the list, Down, Page Down and End each make the row
    they land on the table's active cell, focused, showing and drawn inside
    the list; rows that come into sight are said so."""
    v = Vex([os.path.join(tree, "vexlore")], cwd=work)
    heard = []

    def onevent(e):
        try:
            if v.alive() and v._mine(e.source):
                heard.append((e.type, e.source.get_role(), e.any_data, e.detail1))
        except vexgtk.GLib.Error:
            pass
    listener = vexgtk.Atspi.EventListener.new(onevent)
    kinds = ("object:active-descendant-changed", "object:visible-data-changed",
             "object:state-changed:focused")
    for kind in kinds:
        listener.register(kind)
    said, ok = [], v.window is not None and v.search("astronomer", True, 60) is not None
    n = v.count() if ok else 0
    if ok:
        v.click(v.results)
        pump(0.5)
        box, row = v.extents(v.results), None
        for name, key in (("Down", 0xff54), ("Page Down", 0xff56), ("End", 0xff57)):
            del heard[:]
            v.key(key)
            for _ in range(50):
                pump(0.1)
                if any(h[0] == kinds[0] for h in heard):
                    break
            pump(0.2)
            cells = [h[2] for h in heard if h[0] == kinds[0] and h[2] is not None]
            if not cells:
                said.append("%s: no active cell" % name)
                ok = False
                continue
            cell = cells[-1]
            at, states, e = cell.get_index_in_parent(), cell.get_state_set(), v.extents(cell)
            focused = any(h[0] == kinds[2] and h[3] and h[1] == vexgtk.R.TABLE_CELL for h in heard)
            scrolled = any(h[0] == kinds[1] for h in heard)
            inside = box.y <= e.y and e.y + e.height <= box.y + box.height and e.height > 0
            want = {"Down": row + 1 if row is not None else at, "End": n - 1}.get(name, at)
            good = (at == want and (name != "Page Down" or at > row + 1) and focused and
                    inside and states.contains(vexgtk.Atspi.StateType.SHOWING) and
                    states.contains(vexgtk.Atspi.StateType.FOCUSED) and
                    cell.get_name() == v.results.get_accessible_at(at, 0).get_name() and
                    (name == "Down" or scrolled))
            ok = ok and good
            said.append("%s: row %d %r%s, %sfocused, %s, at y %d in the list's %d..%d%s" % (
                name, at, cell.get_name(), "" if at == want else " (not %d)" % want,
                "" if focused else "NOT ", "showing" if states.contains(
                    vexgtk.Atspi.StateType.SHOWING) else "NOT showing", e.y, box.y,
                box.y + box.height, ", rows in sight changed" if scrolled else ""))
            row = at
    for kind in kinds:
        listener.deregister(kind)
    report(ok, "screen reader in the list", "'astronomer', %d lines; %s" % (n, "; ".join(said)))
    if v.window:
        v.click(v.close)
        v.waitexit(5)
    v.end()


# (arguments, exit status, what the output holds); no display is needed
ARGUMENTS = [(["--help"], 0, "usage: vexlore [--help | --version]"),
             (["--version"], 0, "vexlore 1."), (["-x"], 2, "usage: vexlore"),
             (["--help", "words"], 2, "usage: vexlore")]


def argumentscheck(tree):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    bad = []
    for args, code, holds in ARGUMENTS:
        r = subprocess.run([os.path.join(tree, "vexlore")] + args, capture_output=True, text=True,
                           env=env, timeout=20)
        if r.returncode != code or holds not in (r.stdout if code == 0 else r.stderr):
            bad.append("%s: exit status %d, %r" % (" ".join(args), r.returncode,
                                                    (r.stdout + r.stderr)[:60]))
    report(not bad, "arguments", "; ".join(bad) or "%d cases: usage or version, then the "
           "exit status, with no window" % len(ARGUMENTS))


def inenv(env, argv, cwd):
    """Vex(argv) with env added to the program's environment."""
    saved = dict(os.environ)
    os.environ.update(env)
    try:
        return Vex(argv, cwd=cwd)
    finally:
        os.environ.clear()
        os.environ.update(saved)


def scalecheck(tree, work, shots):
    """A desktop scale that would make the dialog larger than the screen:
    the dialog shrinks to fit, Close and all."""
    vexgtk.gi.require_version("Gdk", "3.0")
    from gi.repository import Gdk
    area = Gdk.Display.get_default().get_monitor(0).get_workarea()
    v = inenv({"GDK_DPI_SCALE": "4"}, [os.path.join(folder(tree, work, "scaled", NINE),
                                                   "vexlore")], work)
    if not v.window:
        report(False, "scaled to the screen", "no window")
        v.end()
        return
    pump(0.5)
    e, c = v.extents(v.window), v.extents(v.close)
    inside = (e.x >= area.x and e.y >= area.y and e.x + e.width <= area.x + area.width and
              e.y + e.height <= area.y + area.height)
    vexgtk.screenshot(os.path.join(shots, "scaled.png"), v.window)
    v.click(v.close)
    code = v.waitexit(5)
    report(inside and code == 0, "scaled to the screen", "GDK_DPI_SCALE=4: window %dx%d at "
           "(%d, %d) on a work area of %dx%d; Close clicked: exit status %s" % (
               e.width, e.height, e.x, e.y, area.width, area.height, code))
    v.end()


def rtlcheck(tree, work, shots):
    """In a right-to-left locale the dialog is drawn as in any other: its
    controls, the Type group and the list's rows (the clip, which stops on
    any frame, left out)."""
    loc = os.path.join(work, "locale")
    os.makedirs(loc, exist_ok=True)
    made = subprocess.run(["localedef", "-i", "ar_EG", "-f", "UTF-8",
                           os.path.join(loc, "ar_EG.UTF-8")], capture_output=True)
    if made.returncode not in (0, 1) or not os.path.isdir(os.path.join(loc, "ar_EG.UTF-8")):
        print("skip right-to-left locale: localedef could not make ar_EG.UTF-8", flush=True)
        return
    d = folder(tree, work, "rtl", NINE)
    pics = []
    for name, env in (("ltr", {}), ("rtl", {"LOCPATH": loc, "LC_ALL": "ar_EG.UTF-8"})):
        v = inenv(env, [os.path.join(d, "vexlore")], work)
        if v.window and v.search("dirty room", True, 10) is not None:
            pump(1.0)       # the radio button's check, animated, at its end
            panel, clip = v.extents(v.start.get_parent()), v.extents(v.clip.get_parent())
            png = os.path.join(shots, name + ".png")
            subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (
                panel.width, clip.y - panel.y, panel.x, panel.y), "+repage", png], check=False)
            pics.append(png)
            v.click(v.close)
            v.waitexit(5)
        v.end()
    diff = subprocess.run(["compare", "-metric", "AE"] + pics + ["null:"],
                          capture_output=True, text=True) if len(pics) == 2 else None
    report(diff is not None and diff.stderr.strip() == "0", "right-to-left locale",
           "the dialog after a search in ar_EG.UTF-8 against C: %s pixels differ" % (
               diff.stderr.strip() if diff else "no picture;"))


def check(tree, work, shots):
    os.makedirs(work, exist_ok=True)
    os.makedirs(shots, exist_ok=True)
    ninechecks(tree, work, shots)
    modelcheck(tree, work, shots)
    nowordscheck(tree, work, shots)
    latincheck(tree, work)
    readercheck(tree, work)
    argumentscheck(tree)
    scalecheck(tree, work, shots)
    rtlcheck(tree, work, shots)
    return expect.summary()


def smoke(argv):
    """The worked example in the window of an installed program."""
    v = Vex(argv, cwd="/tmp")
    if v.window is None:
        status = v.proc.poll()
        v.end()
        with open("/tmp/vexlore-stderr.txt") as f:
            said = " ".join(f.read().split())
        report(False, "smoke", "no window came (%s): %s" % (
            "still running" if status is None else "exit status %d" % status, said))
        return 1
    ok = v.search("dirty room", True, 60) is not None
    got = v.lines() if ok else []
    ok = ok and "dirty room " in got and "dormitory " in got and got == sorted(got)
    report(ok, "smoke", "'dirty room', multi-word: %d lines: %s" % (len(got), joined(got)))
    v.click(v.close)
    v.waitexit(5)
    v.end()
    return 1 if expect.failed[0] else 0


def show(tree, png, text, best=False):
    v = Vex([os.path.join(tree, "vexlore")], cwd=tree)
    if v.window is not None and best:
        v.bestfirst(True)
    ok = v.window is not None and v.search(text, True, 120) is not None
    if ok:
        pump(0.3)
        vexgtk.screenshot(png, v.window)
        v.click(v.close)
        v.waitexit(5)
    v.end()
    return 0 if ok else 1


def main(args):
    if args[:1] == ["check"] and len(args) == 4:
        return check(*args[1:])
    if args[:1] == ["smoke"] and len(args) >= 2:
        return smoke(args[1:])
    if args[:1] == ["show"] and len(args) == 4:
        return show(*args[1:])
    if args[:1] == ["show"] and len(args) == 5 and args[4] == "best":
        return show(*args[1:4], best=True)
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
