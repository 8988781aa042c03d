"""The page as tests/scenarios.py plays it: the built site served from a
folder of its own with the test word lists beside it, in headless Chromium
through WebDriver. Times are the page's own clock: the moment of the click
or key, and the moment the list stops being busy."""
import os
import tempfile
import time

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

import expect
from webcheck import Page, browser, serve, waitbox

ENDED = "document.body.textContent.includes('Vexlore has ended')"
TAKEN_SECS = 10     # a Start or Enter is taken within so many seconds


class Window:
    name = "web"
    has = {"pasted", "memory", "cause", "escsearch", "best"}

    def __init__(self, site, work):
        self.find = os.environ.get("VEXLORE_FIND") or os.path.join(
            os.path.dirname(os.path.dirname(site)), "native", "vexlore-find")
        self.server, self.root = serve(site, work, None)
        self.profile = tempfile.mkdtemp(prefix="vexlore-chromium-")
        self.d = browser(self.profile)
        self.p, self.words, self.acted = None, None, 0.0

    def open(self, words):
        name = {"nine": "nine.txt", "full": "words", "none": "nowords"}[words]
        self.words = os.path.join(self.root, name)
        url = self.server.url + ("" if words == "full" else "?words=" + name)
        if words == "none":
            self.d.get(url)
            self.p = None
            return False
        self.p = Page(self.d, url)
        return True

    def wordpath(self):
        return "/" + os.path.basename(self.words)

    def act(self, verb, arg=None):
        p = self.p
        if verb == "type":
            p.text.clear()
            p.text.send_keys(arg)
            return
        if verb == "pick":
            (p.multi if arg else p.single).click()
            return
        if verb == "best":
            if p.best.is_selected() != arg:
                p.best.click()
            return
        idle = verb in ("start", "enter") and not p.busy()
        if idle:
            p.js("window.busylog = []; vexlore.last = null")
        now = p.js("return performance.now()")
        if verb in ("esc", "enter"):
            p.text.send_keys(Keys.ESCAPE if verb == "esc" else Keys.ENTER)
            now = p.js("return window.esckey") if verb == "esc" else now
        else:
            {"start": p.start, "stop": p.stop, "close": p.close}[verb].click()
            now = p.js("return window.stopclick") if verb == "stop" else now
        self.acted = now
        if idle:
            # taken: the list went busy, or a message box refused the text
            p.wait("busylog.length || document.getElementById('box').open", TAKEN_SECS)

    def wait(self, secs):
        """The ms from the act to the list's going idle (0 if it was idle
        before): the search begun last has ended."""
        off = self.p.wait("busylog.length && busylog[busylog.length - 1][1] == 'false' && "
                          "busylog[busylog.length - 1][0]", secs)
        if off is None:
            return None
        return max(0.0, off - self.acted)

    def busy(self):
        return self.p.busy()

    def lines(self):
        return self.p.lines()

    def rows(self, indexes):
        return self.p.js("const l = vexlore.lines(); return arguments[0].map(r => l[r])",
                         indexes)

    def count(self):
        return self.p.count()

    def alive(self):
        return self.p is not None and not self.d.execute_script("return " + ENDED)

    def box(self, secs):
        box = waitbox(self.d, secs)
        if not box:
            return None
        return box[0], box[1] + ("\n" + box[2] if box[2] else ""), box[3] == 1

    def boxok(self):
        self.d.find_element(By.CSS_SELECTOR, "#box button").click()

    def exit(self, secs):
        end = time.monotonic() + secs
        while time.monotonic() < end:
            if self.d.execute_script("return " + ENDED):
                return 0
            time.sleep(0.05)
        return None

    def finder(self, text, multi, fast=False, best=0):
        # the ranking by the model the page was served
        return expect.finder(self.find, self.words, text, multi, fast, best,
                             os.path.join(self.root, "english.model"))

    def shot(self, name):
        if os.environ.get("VEXLORE_SHOTS") and self.p:
            self.p.shot(os.path.join(os.environ["VEXLORE_SHOTS"], name + ".png"))

    def end(self):
        self.p = None

    def quit(self):
        self.d.quit()
        self.server.stop()
