"""The Linux window's figures, side by side with vexlore-find in one run:
usage: gtkbench.py DIR RUNS BIG
DIR holds vexlore, vexlore-find and words (the benchmarks' fixed list), and
DIR/shipped the word list the programs ship with and the model; BIG is a
list of short strings whose searches list millions of lines. With
VEXLORE_BENCH_PART=best, only start-up and Best first.
Prints medians; a figure for the record, not a test."""
import os
import shutil
import statistics
import subprocess
import sys
import time

# the GTK driver's helpers and the shared expectations, in tests/
TESTS = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests")
sys.path.insert(0, os.path.join(TESTS, "gtk"))
sys.path.insert(0, TESTS)
import expect  # noqa: E402
import vexgtk  # noqa: E402
from vexgtk import Vex, pump  # noqa: E402


def rss(pid, field="VmRSS"):
    for line in open("/proc/%d/status" % pid):
        if line.startswith(field + ":"):
            return int(line.split()[1]) * 1024
    return 0


def findtime(d, words, text):
    argv = [os.path.join(d, "vexlore-find"), "--fast", "-m", "-w", words, "--", text]
    t = time.monotonic()
    out = subprocess.run(argv, capture_output=True).stdout
    return time.monotonic() - t, out


def wintime(v, text, timeout=600):
    v.type(text)
    v.pick(True)
    v.begin()
    v.begun(10)
    ended = v.wait(timeout)
    if ended is None:
        raise SystemExit("the window's search of '%s' did not end" % text)
    return ended - v.clicked


def startup(d, runs):
    """From the program's start to its window drawn: the window mapped and
    its picture no longer one colour."""
    from Xlib import X, display
    times = []
    for _ in range(runs):
        dpy = display.Display()
        t = time.monotonic()
        proc = subprocess.Popen([os.path.join(d, "vexlore")], cwd=d)
        drawn = None
        while drawn is None and time.monotonic() < t + 10:
            for w in dpy.screen().root.query_tree().children:
                for c in [w] + list(w.query_tree().children):
                    try:
                        if c.get_wm_name() != "Vexlore" or \
                                c.get_attributes().map_state != X.IsViewable:
                            continue
                        g = c.get_geometry()
                        img = c.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xffffffff)
                        if len(set(img.data[i:i + 4] for i in range(0, len(img.data), 4096))) > 2:
                            drawn = time.monotonic() - t
                    except Exception:
                        pass
            time.sleep(0.005)
        proc.kill()
        proc.wait()
        dpy.close()
        times.append(drawn or 99)
    return times


def grab(dpy, e):
    return dpy.screen().root.get_image(e.x, e.y, e.width, e.height, 2, 0xffffffff).data


def scrolls(v, keys):
    """The ms from each key to the list's picture changing, the list in focus."""
    from Xlib import display
    dpy = display.Display()
    e = v.extents(v.results)
    v.click(v.results)
    pump(0.3)
    times = []
    for key in keys:
        before = grab(dpy, e)
        t = time.monotonic()
        v.key(key)
        while time.monotonic() < t + 2 and grab(dpy, e) == before:
            time.sleep(0.001)
        times.append((time.monotonic() - t) * 1000)
        pump(0.2)
    dpy.close()
    return times


def fill(d, runs, full):
    """The list filled to its bound, at the search's pace; then scrolling
    in it, and Stop with ten million lines listed."""
    fulldir = os.path.join(d, "full")
    os.makedirs(fulldir, exist_ok=True)
    shutil.copy(os.path.join(d, "vexlore"), fulldir)
    shutil.copy(full, os.path.join(fulldir, "words"))
    text = "abcdefghijklmn"
    t = time.monotonic()
    err = subprocess.run([os.path.join(d, "vexlore-find"), "--fast", "--stats", "-m", "-w",
                          full, "--", text], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                         text=True).stderr
    fsecs = time.monotonic() - t
    found = int(err.split("found ")[1].split()[0])
    v = Vex([os.path.join(fulldir, "vexlore")], cwd=fulldir)
    pump(0.5)
    before = rss(v.proc.pid)
    v.type(text)
    v.pick(True)
    v.begin()
    box = vexgtk.messagebox(v.proc.pid, 900)
    secs = time.monotonic() - v.clicked
    if box:
        v.click(box[2])
    v.wait(30)
    n = v.count()
    after = rss(v.proc.pid)
    # a line's text and terminator, on average over a thousand rows
    read = [len(v.results.get_accessible_at(r, 0).get_name()) + 1 for r in expect.rows(n)]
    perline = sum(read) / len(read)
    print("'%s' over %s: the list full with %d lines %.1f s after Start, %.0f lines/s; "
          "vexlore-find --fast %d lines in %.1f s, %.0f lines/s; memory %.0f MB more than "
          "before, %.1f bytes a line beyond the text (%.1f bytes)" % (
              text, os.path.basename(full), n, secs, n / secs, found, fsecs, found / fsecs,
              (after - before) / 1e6, (after - before) / n - perline, perline))
    keys = [0xff57, 0xff50] * runs + [0xff56] * runs    # End, Home; Page Down
    ms = scrolls(v, keys)
    print("scrolling in %d lines, key to the list drawn again: End or Home median %.0f ms "
          "(%s), Page Down median %.0f ms" % (
              n, statistics.median(ms[:2 * runs]), " ".join("%.0f" % m for m in ms[:2 * runs]),
              statistics.median(ms[2 * runs:])))
    stops = []
    for _ in range(runs):
        v.begin()
        v.begun(30)
        while v.alive() and v.count() < 10000000:
            pump(0.05)
        shown = v.count()
        t = time.monotonic()
        v.click(v.stop)
        ended = v.wait(30)
        stops.append((ended - t) * 1000 if ended else 9999)
    print("Stop with some %d lines listed: the clip off %s ms after the click (median %.0f)" % (
        shown, " ".join("%.0f" % m for m in stops), statistics.median(stops)))
    v.click(v.close)
    v.waitexit(30)
    v.end()


def besttime(v, text, runs):
    """Best first: Start to the ranked list drawn, in the window v (over
    the folder's words and model), beside vexlore-find --best=BEST_LINES's
    whole run, its model's loading included; then Stop during a ranking
    and during a search, each clicked 0.1 s after its Start."""
    d = os.path.dirname(v.proc.args[0])
    argv = [os.path.join(d, "vexlore-find"), "--best=%d" % expect.BEST_LINES, "--", text]
    win, fnd, same = [], [], True
    v.type(text)
    v.pick(True)
    v.bestfirst(True)
    for _ in range(runs):
        t = time.monotonic()
        out = subprocess.run(argv, capture_output=True, text=True).stdout
        fnd.append(time.monotonic() - t)
        pump(0.5)           # the last search's events all in
        v.begin()
        v.begun(10)
        ended = v.wait(120)
        if ended is None:
            raise SystemExit("the window's ranking of '%s' did not end" % text)
        win.append(ended - v.clicked)
        pump(0.2)
        same &= v.lines() == [l for l in out.split("\n") if l]
    return win, fnd, same


def stoptime(v, text, best, runs):
    """The ms from Stop, clicked 0.1 s after Start, to the clip off."""
    v.type(text)
    v.pick(True)
    v.bestfirst(best)
    times = []
    for _ in range(runs):
        pump(0.5)           # the last search's events all in
        v.begin()
        v.begun(10)
        pump(0.1)
        t = time.monotonic()
        v.click(v.stop)
        ended = v.wait(30)
        times.append((ended - t) * 1000 if ended else 9999)
    return times


def bestfirst(d, runs):
    """Best first over the shipped list and the model beside it."""
    shipped = os.path.join(d, "shipped")
    v = Vex([os.path.join(shipped, "vexlore")], cwd=shipped)
    pump(0.5)
    for text in ("clint eastwood", "william shakespeare"):
        win, fnd, same = besttime(v, text, runs)
        w, f = statistics.median(win), statistics.median(fnd)
        print("Best first, '%s': window %.3f s (%s), vexlore-find --best=%d %.3f s (%s); "
              "ratio %.2f, goal 1.5 x + 0.2 s = %.3f s: %s; the same lines: %s" % (
                  text, w, " ".join("%.3f" % x for x in win), expect.BEST_LINES, f,
                  " ".join("%.3f" % x for x in fnd), w / f, 1.5 * f + 0.2,
                  "met" if w <= 1.5 * f + 0.2 else "NOT met", "yes" if same else "NO"))
    for text in ("william shakespeare", expect.LONGTEXT):
        ranked = stoptime(v, text, True, runs)
        searched = stoptime(v, text, False, runs)
        print("Stop 0.1 s after Start, '%s': ranking %s ms (median %.0f), search %s ms "
              "(median %.0f)" % (text, " ".join("%.0f" % m for m in ranked),
                                 statistics.median(ranked), " ".join("%.0f" % m for m in searched),
                                 statistics.median(searched)))
    v.click(v.close)
    v.waitexit(10)
    v.end()


def sidebyside(v, folder, words, text, runs):
    """The window v and vexlore-find of folder taking turns on text over
    words: the window's times, the finder's, and its lines."""
    win, fnd, n = [], [], 0
    for _ in range(runs):
        secs, out = findtime(folder, words, text)
        fnd.append(secs)
        n = out.count(b"\n")
        win.append(wintime(v, text))
    return win, fnd, n


def main(d, runs, big, full=None):
    runs = int(runs)
    words = os.path.join(d, "words")
    shipped = os.path.join(d, "shipped")
    for exe in ("vexlore", "vexlore-find"):
        shutil.copy(os.path.join(d, exe), shipped)
    # the model beside the shipped list is loaded once the window is drawn
    alone, model = [], []
    for _ in range(runs):
        alone += startup(d, 1)
        model += startup(shipped, 1)
    print("start-up to a drawn window: median %.3f s of %d (%s); with english.model beside "
          "it %.3f s (%s)" % (statistics.median(alone), runs, " ".join("%.3f" % x for x in alone),
                              statistics.median(model), " ".join("%.3f" % x for x in model)))
    if os.path.exists(os.path.join(shipped, "english.model")):
        bestfirst(d, runs)
    if os.environ.get("VEXLORE_BENCH_PART") == "best":
        return

    # Start to the last line drawn, beside vexlore-find --fast's whole run
    for text, where in (("tom marvolo riddle", shipped), ("internationalists", shipped),
                        ("astronomer", d)):
        words = os.path.join(where, "words")
        v = Vex([os.path.join(where, "vexlore")], cwd=where)
        win, fnd, n = sidebyside(v, where, words, text, runs)
        w, f = statistics.median(win), statistics.median(fnd)
        print("'%s', multi-word, %s (%d words): %d lines (the list holds %d); window %.3f s "
              "(%s), vexlore-find --fast %.3f s (%s), ratio %.2f" % (
                  text, "the shipped list" if where == shipped else "the benchmark list",
                  sum(1 for _ in open(words)), n, v.count(), w,
                  " ".join("%.3f" % x for x in win), f, " ".join("%.3f" % x for x in fnd), w / f))
        v.click(v.close)
        v.waitexit(10)
        v.end()

    # filling the list: searches of a million lines and more, one over
    # short strings, one whose search costs next to nothing a line
    bigdir = os.path.join(d, "big")
    os.makedirs(bigdir, exist_ok=True)
    for exe in ("vexlore", "vexlore-find"):
        shutil.copy(os.path.join(d, exe), bigdir)
    dup = os.path.join(d, "dup")
    with open(dup, "w") as f:
        f.write("b\n" * 1000 + "a\n" * 1000)
    for text, words in (("aabcdefghiij", big), ("ab", dup)):
        shutil.copy(words, os.path.join(bigdir, "words"))
        v = Vex([os.path.join(bigdir, "vexlore")], cwd=bigdir)
        win, fnd, n = sidebyside(v, bigdir, words, text, runs)
        cell = v.results.get_accessible_at(v.count() - 1, 0)
        last = cell.get_name() if cell else "?"
        w, f = statistics.median(win), statistics.median(fnd)
        print("'%s' over %s: %d lines (the list holds %d, its last '%s'): window %.2f s, "
              "%.0f lines/s; vexlore-find %.2f s, %.0f lines/s; the list's own part %.1f us "
              "a line (medians of %d)" % (
                  text, os.path.basename(words), n, v.count(), last, w, n / w, f, n / f,
                  (w - f) / n * 1e6, runs))
        v.click(v.close)
        v.waitexit(10)
        v.end()
    shutil.copy(big, os.path.join(bigdir, "words"))

    if os.environ.get("VEXLORE_BENCH_SMALL"):
        return
    if full:
        fill(d, runs, full)
    # memory: ten million lines and more
    text = "aabbccdeefghij"     # 18,287,262 lines: more than ten million
    v = Vex([os.path.join(bigdir, "vexlore")], cwd=bigdir)
    pump(0.5)
    before = rss(v.proc.pid)
    secs = wintime(v, text, 1200)
    pump(0.5)
    after, peak = rss(v.proc.pid), rss(v.proc.pid, "VmHWM")
    out = subprocess.run([os.path.join(d, "vexlore-find"), "--fast", "-m", "-w", big, "--",
                          text], capture_output=True).stdout
    lines = out.count(b"\n")
    textbytes = len(out)    # each line's text and its terminator
    print("'%s': %d lines in %.1f s; memory %.0f MB before, %.0f MB after (peak %.0f MB): "
          "%.1f bytes a line beyond the text (%.1f at the peak)" % (
              text, v.count(), secs, before / 1e6, after / 1e6, peak / 1e6,
              (after - before - textbytes) / lines, (peak - before - textbytes) / lines))
    v.click(v.close)
    v.waitexit(30)
    v.end()


if __name__ == "__main__":
    sys.stdout.reconfigure(line_buffering=True)
    main(*sys.argv[1:])
