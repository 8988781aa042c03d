"""The Linux window as tests/scenarios.py plays it: the program copied into
a folder of its own beside the word file, driven through AT-SPI with real
pointer clicks and key presses."""
import os
import shutil
import time

import expect
import vexgtk
from vexgtk import Vex, pump

KEYS = {"esc": 0xff1b, "enter": 0xff0d}


def folder(tree, work, name, words):
    """A copy of the program in a folder of its own, with these words (or
    none, or the word file's bytes): the program reads the words beside
    itself."""
    d = os.path.join(work, name)
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(d)
    for exe in ("vexlore", "vexlore-listfull"):
        shutil.copy(os.path.join(tree, exe), d)
    if words is not None:
        with open(os.path.join(d, "words"), "wb") as f:
            f.write(words if isinstance(words, bytes) else
                    "".join(w + "\n" for w in words).encode())
    return d


def closebox(v):
    """The middle of the caption's close box: the window manager's frame
    puts it at the caption's right end."""
    e = v.extents(v.window)
    return e.x + e.width - 11, e.y + 10


class Window:
    name = "gtk"
    has = {"closebox", "exitcode", "listfull", "pasted", "memory", "cause", "escsearch", "best"}

    def __init__(self, tree, work):
        self.tree, self.work = tree, work
        os.makedirs(work, exist_ok=True)
        self.v, self.words, self.acted = None, None, 0.0

    def open(self, words):
        exe = "vexlore-listfull" if words == "listfull" else "vexlore"
        if words in ("full", "listfull"):
            d, self.words = self.tree, os.path.join(self.tree, "words")
        else:
            d = folder(self.tree, self.work, words, expect.NINE if words == "nine" else None)
            self.words = os.path.join(d, "words")
        self.v = Vex([os.path.join(d, exe)], cwd=d, timeout=0 if words == "none" else 20)
        return self.v.window is not None

    def wordpath(self):
        return self.words

    def act(self, verb, arg=None):
        v = self.v
        if verb == "type":
            v.type(arg)
        elif verb == "pick":
            v.pick(arg)
        elif verb == "best":
            v.bestfirst(arg)
        elif verb == "start" and not v.playing():
            v.begin()
        elif verb in KEYS:
            v.click(v.text)
            pump(0.05)
            if verb == "enter":
                v.mark = len(v.animated)
            self.acted = v.clicked = time.monotonic()
            v.key(KEYS[verb])
            return
        elif verb == "closebox":
            self.acted = time.monotonic()
            vexgtk.Atspi.generate_mouse_event(*closebox(v), "b1c")
            return
        else:
            v.click({"start": v.start, "stop": v.stop, "close": v.close}[verb])
        self.acted = v.clicked if verb == "start" else time.monotonic()

    def wait(self, secs):
        ended = self.v.wait(secs)
        return None if ended is None else max(0.0, (ended - self.acted) * 1000)

    def busy(self):
        pump()
        return self.v.playing()

    def lines(self):
        return self.v.lines() if self.v.alive() else []

    def rows(self, indexes):
        return [self.v.results.get_accessible_at(r, 0).get_name() for r in indexes]

    def count(self):
        return self.v.count() if self.v.alive() else -1

    def alive(self):
        return self.v is not None and self.v.alive() and \
            self.v.find(vexgtk.R.PUSH_BUTTON, "Start") is not None

    def box(self, secs):
        self.shown = vexgtk.messagebox(self.v.proc.pid, secs)
        if self.shown is None:
            return None
        return self.shown[1], self.shown[0], bool(self.shown[2])

    def boxok(self):
        if self.shown and self.shown[2]:
            self.v.click(self.shown[2])
            pump(0.2)

    def exit(self, secs):
        return self.v.waitexit(secs)

    def finder(self, text, multi, fast=False, best=0):
        return expect.finder(os.path.join(self.tree, "vexlore-find"), self.words, text, multi,
                             fast, best)

    def shot(self, name):
        if os.environ.get("VEXLORE_SHOTS") and self.v.window:
            vexgtk.screenshot(os.path.join(os.environ["VEXLORE_SHOTS"], name + ".png"),
                              self.v.window)

    def end(self):
        if self.v is not None:
            self.v.end()
            self.v = None
