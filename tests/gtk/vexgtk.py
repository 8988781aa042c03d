"""The Linux window seen from outside, as a user and a screen reader see it:
the program's process, its controls found through the accessibility tree
(AT-SPI) by role and name, real pointer clicks and key presses, and the
list read back through its Table interface. Nothing looks inside the
program. Run under Xvfb and dbus-run-session, with /usr/bin/python3."""
import os
import subprocess
import time

import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

R = Atspi.Role


def baseunits():
    """The dialog base units of the desktop font, as Windows works them out:
    the average width of the 52 letters, and the font's height."""
    gi.require_version("Gtk", "3.0")
    from gi.repository import Gtk
    layout = Gtk.Window().create_pango_layout(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")
    width, height = layout.get_pixel_size()
    return (width // 26 + 1) // 2, height


def pump(secs=0.0):
    """Lets the events from the program's accessibility tree come in."""
    end = time.monotonic() + secs
    ctx = GLib.MainContext.default()
    while True:
        while ctx.pending():
            ctx.iteration(False)
        if time.monotonic() >= end:
            return
        time.sleep(0.002)


class Vex:
    """One run of the program and its controls."""

    def __init__(self, argv, cwd=None, timeout=20):
        self.out = open(os.path.join(cwd or "/tmp", "vexlore-stderr.txt"), "w")
        self.proc = subprocess.Popen(argv, cwd=cwd, stdout=self.out, stderr=self.out)
        self.app = self.window = None
        self.animated = []          # (time, on) of the clip's state changes
        self.mark, self.clicked = 0, 0.0    # where the last search's changes begin
        self.listener = Atspi.EventListener.new(self._onstate)
        self.listener.register("object:state-changed:animated")
        end = time.monotonic() + timeout
        while time.monotonic() < end and self.proc.poll() is None:
            if self._find():
                return
            pump(0.1)

    def _onstate(self, event):
        try:
            mine = event.source.get_role() == R.ANIMATION and self._mine(event.source)
        except GLib.Error:      # a program too busy to answer in time
            mine = True
        if mine:
            self.animated.append((time.monotonic(), bool(event.detail1)))

    def _mine(self, acc):
        try:
            return acc.get_process_id() == self.proc.pid
        except GLib.Error:
            return False

    def _find(self):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is None or not self._mine(app):
                continue
            for j in range(app.get_child_count()):
                win = app.get_child_at_index(j)
                if win.get_role() == R.FRAME and win.get_name() == "Vexlore":
                    self.app, self.window = app, win
                    return self._controls()
        return False

    def find(self, role, name=None, root=None):
        """The first control of the role (and name) under root, depth first."""
        stack = [root or self.window]
        while stack:
            acc = stack.pop(0)
            if acc.get_role() == role and (name is None or acc.get_name() == name):
                return acc
            stack[0:0] = [acc.get_child_at_index(i) for i in range(acc.get_child_count())]
        return None

    def _controls(self):
        self.start = self.find(R.PUSH_BUTTON, "Start")
        self.stop = self.find(R.PUSH_BUTTON, "Stop")
        self.close = self.find(R.PUSH_BUTTON, "Close")
        self.text = self.find(R.TEXT, "Enter anagram text:")
        self.results = self.find(R.TREE_TABLE, "Results:") or self.find(R.TABLE, "Results:")
        self.single = self.find(R.RADIO_BUTTON, "Single word")
        self.multi = self.find(R.RADIO_BUTTON, "Multi-word")
        self.clip = self.find(R.ANIMATION)
        self.group = self.find(R.GROUPING, "Type")
        self.best = self.find(R.CHECK_BOX, "Best first")
        return all([self.start, self.stop, self.close, self.text, self.results, self.single,
                    self.multi, self.clip, self.group, self.best])

    # what a user does
    @staticmethod
    def extents(acc):
        return acc.get_extents(Atspi.CoordType.SCREEN)

    def click(self, acc):
        e = self.extents(acc)
        Atspi.generate_mouse_event(e.x + e.width // 2, e.y + e.height // 2, "b1c")

    @staticmethod
    def key(keysym):
        Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)

    def type(self, text):
        """The text goes in as the field's whole text, as a paste would; a
        program still busy showing millions of lines is given more time."""
        for attempt in range(3):
            try:
                self.text.set_text_contents(text)
                return
            except GLib.Error:
                if attempt == 2:
                    raise

    def pick(self, multi):
        self.click(self.multi if multi else self.single)
        pump(0.1)

    def checked(self, acc):
        return acc.get_state_set().contains(Atspi.StateType.CHECKED)

    def bestfirst(self, on):
        """Best first checked (on) or not, by a click when it is not so."""
        if self.checked(self.best) != on:
            self.click(self.best)
            end = time.monotonic() + 2
            while time.monotonic() < end and self.checked(self.best) != on:
                pump(0.02)

    def begin(self):
        """Clicks Start; the search it starts is the one wait() waits for."""
        self.mark = len(self.animated)
        self.clicked = time.monotonic()
        self.click(self.start)

    def begun(self, timeout):
        """Waits for the search begun last to start; False if it did not."""
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            pump(0.005)
            if self.animated[self.mark:]:
                return True
        return False

    def playing(self):
        return self.clip.get_state_set().contains(Atspi.StateType.ANIMATED)

    def wait(self, timeout):
        """Waits for the search begun last to end; the time it ended, or None.
        The clip's state changes say when; its state is also read now and
        then, in case an event does not come."""
        end = time.monotonic() + timeout
        started, looked = False, 0.0
        while time.monotonic() < end:
            pump(0.005)
            for t, on in self.animated[self.mark:]:
                if not on:
                    return t
                started = True
            if self.proc.poll() is not None:
                return None
            now = time.monotonic()
            if now - looked >= 0.1:
                looked = now
                if self.playing():
                    started = True
                elif started:
                    return now
                elif now - self.clicked > 10:
                    return None     # the click started nothing
        return None

    def search(self, text, multi, timeout=60):
        self.type(text)
        self.pick(multi)
        self.begin()
        return self.wait(timeout)

    def lines(self, most=None):
        n = self.results.get_n_rows()
        if most is not None:
            n = min(n, most)
        return [self.results.get_accessible_at(i, 0).get_name() for i in range(n)]

    def count(self):
        return self.results.get_n_rows()

    def alive(self):
        return self.proc.poll() is None

    def waitexit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def end(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        self.listener.deregister("object:state-changed:animated")
        self.out.close()


def messagebox(pid, timeout):
    """A message box of the process: (its text, its caption, its OK button,
    the box), or None."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            try:
                if app is None or app.get_process_id() != pid:
                    continue
            except GLib.Error:
                continue
            for j in range(app.get_child_count()):
                win = app.get_child_at_index(j)
                if win.get_role() not in (R.ALERT, R.DIALOG):
                    continue
                texts, ok = [], None
                stack = [win]
                while stack:
                    acc = stack.pop(0)
                    if acc.get_role() == R.LABEL and acc.get_name():
                        texts.append(acc.get_name())
                    if acc.get_role() == R.PUSH_BUTTON:
                        ok = acc if ok is None else False
                    stack[0:0] = [acc.get_child_at_index(k)
                                  for k in range(acc.get_child_count())]
                return "\n".join(texts), win.get_name(), ok, win
        pump(0.1)
    return None


def screenshot(path, acc):
    """The window's part of the screen, frame and all, as a PNG."""
    e = acc.get_extents(Atspi.CoordType.SCREEN)
    subprocess.run(["import", "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (e.width, e.height, e.x, e.y), "+repage", path],
                   check=False)
