"""The page's black-box test, in headless Chromium through chromedriver.
usage: webcheck.py check SITE WORK SHOTS   every check; a line each, then a count
SITE is the built folder of static files (build/web/site), WORK a scratch folder the page is served from, with the test
word lists beside it. The dialog's rules are tested natively, and what every
window must do in tests/scenarios.py; this checks what only the page has:
the layout from the table and its scaling, the keyboard, the virtual list,
what a screen reader hears, a worker that does not load, and the copies
the browser keeps (a changed list taken, the offline copy)."""
import http.server
import os
import shutil
import sys
import tempfile
import threading
import time
from itertools import combinations

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import expect  # noqa: E402
from expect import (BEST_LINES, NINE, NOFIT, LONGTEXT, dialog_table, joined,  # noqa: E402
                    pixels, report)

# every one, two and three letters of these twelve: the text's partitions
# into such words, 1,678,820 lines
MANY = "abcdefghijkl"

class Server:
    """The folder served on a free port of localhost, until stopped."""

    def __init__(self, root):
        handler = lambda *a, **k: Quiet(*a, directory=root, **k)  # noqa: E731
        self.httpd = QuietServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class QuietServer(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        # a page left while the model still came: the browser hung up
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


class Quiet(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".webmanifest": "application/manifest+json"})

    def log_message(self, *args):
        pass


def browser(profile):
    o = webdriver.ChromeOptions()
    o.binary_location = "/usr/bin/chromium"
    for a in ("--headless=new --no-sandbox --disable-gpu --disable-background-networking "
              "--disable-component-update --disable-sync --no-first-run "
              "--window-size=900,600").split():
        o.add_argument(a)
    o.add_argument("--user-data-dir=" + profile)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=o)


class Page:
    """The page in one browser, and its controls."""

    def __init__(self, d, url):
        self.d = d
        d.get(url)
        self.wait("window.vexlore && window.vexlore.ready", 20)
        self.find = lambda css: d.find_element(By.CSS_SELECTOR, css)
        self.start = self.find("button[data-id='1']")
        self.stop = self.find("button[data-id='2']")
        self.close = self.find("button[data-id='8']")
        self.text = self.find("#text")
        self.single, self.multi = d.find_elements(By.CSS_SELECTOR, "input[type=radio]")
        self.best = self.find("input[type=checkbox]")
        self.results = self.find("#results")
        # the moments the list turns busy and idle, by the page's clock
        d.execute_script("""
            window.busylog = [];
            new MutationObserver(() => busylog.push([performance.now(),
                document.getElementById('results').getAttribute('aria-busy')]))
              .observe(document.getElementById('results'), {attributes: true,
                                                             attributeFilter: ['aria-busy']});
            document.querySelector("button[data-id='2']").addEventListener('pointerdown',
                () => window.stopclick = performance.now(), true);
            document.addEventListener('keydown', (e) => {
                if (e.key == 'Escape') window.esckey = performance.now(); }, true);""")

    def js(self, script, *args):
        return self.d.execute_script(script, *args)

    def wait(self, expr, secs):
        end = time.monotonic() + secs
        while time.monotonic() < end:
            v = self.d.execute_script("return " + expr)
            if v:
                return v
            time.sleep(0.02)
        return None

    def busy(self):
        return self.results.get_attribute("aria-busy") == "true"

    def lines(self):
        return self.js("return vexlore.lines().slice()")

    def count(self):
        return self.js("return vexlore.lines().length")

    def begin(self, text, multi, best=False):
        self.text.clear()
        self.text.send_keys(text)
        (self.multi if multi else self.single).click()
        if self.best.is_selected() != best:
            self.best.click()
        self.js("window.busylog = []; vexlore.last = null")
        self.start.click()

    def search(self, text, multi, secs=30, best=False):
        self.begin(text, multi, best)
        if not self.wait("vexlore.last", secs):
            return None
        time.sleep(0.05)
        return self.lines()

    def shown(self):
        """The options in view: (text, posinset, setsize)."""
        return self.js("""
            const r = document.getElementById('results').getBoundingClientRect();
            return [...document.querySelectorAll('[role=option]')].filter(o => {
                const b = o.getBoundingClientRect();
                return !o.hidden && b.bottom > r.top && b.top < r.bottom; })
              .map(o => [o.textContent, +o.getAttribute('aria-posinset'),
                         +o.getAttribute('aria-setsize')]);""")

    def shot(self, path):
        self.find("#window").screenshot(path)


def checklayout(p):
    # the base units of the dialog's font, measured here for itself
    w52, h = p.js("""
        const s = document.createElement('span');
        s.textContent = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';
        s.style.cssText = 'position:absolute;white-space:pre';
        document.getElementById('dialog').appendChild(s);
        const r = s.getBoundingClientRect(); s.remove();
        return [Math.round(r.width), Math.round(r.height)];""")
    bx, by = (w52 // 26 + 1) // 2, h
    places = {"START": "button[data-id='1']", "STOP": "button[data-id='2']",
              "CLOSE": "button[data-id='8']", "TEXT": "#text", "RESULTS": "#results",
              "SINGLE": ".group label:nth-of-type(1)", "MULTI": ".group label:nth-of-type(2)",
              "TYPE": ".group", "BUSY": ".clip", "PROMPT": "label[for=text]", "LISTED": "#listed",
              "BEST": ".group label.check"}
    table, (dw, dh) = dialog_table(best=True)
    origin = p.find("#dialog").rect
    worst, bad = 0, []
    for name, (text, x, y, w, hh) in table.items():
        el = p.find(places[name])
        r = el.rect
        want = (pixels(x, bx, 4), pixels(y, by, 8), pixels(w, bx, 4), pixels(hh, by, 8))
        got = (r["x"] - origin["x"], r["y"] - origin["y"], r["width"], r["height"])
        off = max(abs(a - b) for a, b in zip(want, got))
        worst = max(worst, off)
        if off > 1 or (text and text not in el.text):
            bad.append("%s at %s, not %s" % (name, got, want))
    whole = (pixels(dw, bx, 4), pixels(dh, by, 8))
    ok = not bad and abs(origin["width"] - whole[0]) <= 1 and abs(origin["height"] - whole[1]) <= 1
    report(ok, "layout", "base units %d x %d; %d controls within %g px of the table, dialog "
           "%g x %g px%s" % (bx, by, len(places), worst, origin["width"], origin["height"],
                             "; " + "; ".join(bad) if bad else ""))
    # what a screen reader is told
    roles = p.js("""
        const l = document.getElementById('results');
        const t = document.getElementById('text');
        return [l.getAttribute('role'), document.getElementById(l.getAttribute('aria-labelledby')).textContent,
                t.labels[0].textContent, document.querySelector('.group legend').textContent,
                document.activeElement.textContent, document.title];""")
    report(roles == ["listbox", "Results:", "Enter anagram text:", "Type", "Start", "Vexlore"],
           "names", "list %r labelled %r, field labelled %r, group %r, focus on %r, title %r" %
           tuple(roles))


def keyboard(p):
    """Tab from Start reaches the Type group once, at its checked button, and
    never the clip; the arrows move within the group."""
    where = """const a = document.activeElement;
               return a == document.body ? 'body' :
                      a.type == 'radio' || a.type == 'checkbox' ? a.parentNode.textContent :
                      a.id || a.textContent;"""
    keys = lambda *k: ActionChains(p.d).send_keys(*k).perform()  # noqa: E731
    order = []
    for _ in range(5):
        keys(Keys.TAB)
        order.append(p.js(where))
    keys(Keys.ARROW_DOWN)
    order.append(p.js(where) + (" checked" if p.multi.is_selected() else ""))
    ActionChains(p.d).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(Keys.SHIFT).perform()
    order.append(p.js(where))
    for _ in range(2):
        keys(Keys.TAB)
        order.append(p.js(where))
    p.wait("vexlore.model && vexlore.model.ready", 30)
    keys(" ")
    order.append(order[-1] + (" checked" if p.best.is_selected() else ""))
    keys(" ")
    keys(Keys.TAB)
    order.append(p.js(where) + (" checked" if p.best.is_selected() else ""))
    want = ["Stop", "text", "results", "Close", "Single word", "Multi-word checked", "Close",
            "Multi-word", "Best first", "Best first checked", "body"]
    report(order == want, "keyboard", "Tab from Start, then Down, Shift+Tab, Tab, Tab, Space, "
           "Space, Tab: %r" % order)


def told(p):
    """What a screen reader hears of the clip and of the last search's end."""
    return p.js("""const c = document.querySelector('.clip');
        return [c.getAttribute('aria-hidden'), c.getAttribute('aria-label'),
                (document.getElementById('status') || {}).textContent];""")


def ninechecks(d, url, shots):
    p = Page(d, url + "?words=nine.txt")
    checklayout(p)
    p.shot(os.path.join(shots, "idle.png"))
    keyboard(p)
    heard = [told(p)]
    for text in ("dirty room", "vexlore"):
        p.search(text, True)
        heard.append(told(p))
    want = [["true", None, ""], ["true", None, "Search ended: 3 lines."],
            ["true", None, "Search ended: 1 line, %s." % NOFIT]]
    report(heard == want, "ends announced", "the idle clip hidden, unnamed; the status "
           "before, after three lines, after none: %r" % [h[2] for h in heard])
    shown = p.shown()
    report(shown == [[NOFIT, 1, 1]], "options", "the list says %r" % shown)
    byteorder(p)


def byteorder(p):
    """The list's index orders lines by their UTF-8 bytes, as the finder
    does: a character past U+FFFF after one from U+E000 up, in a bucket
    sorted whole and in buckets split by character."""
    odd = ["\ufb01\U0001f600", "\U0001f600\ufb01", "\ufb01", "\U0001f600", "z", "\uffff"]
    lines = odd + ["%s%d" % (odd[i % len(odd)], i) for i in range(5000)]
    got = p.js("""const x = new LineIndex(); for (const l of arguments[0]) x.add(l);
        return [x.all(), arguments[0].map((_, i) => x.at(i))];""", lines)
    want = sorted(lines, key=lambda l: l.encode())
    report(got[0] == want and got[1] == want, "byte order",
           "first lines %r" % got[0][:4])


def waitbox(d, secs):
    """The message box once it opens (within secs): its caption, its text,
    its cause and its number of buttons; or None."""
    end = time.monotonic() + secs
    while True:
        box = d.execute_script("""const b = document.getElementById('box');
            return b && b.open ? [document.getElementById('boxcaption').textContent,
                document.getElementById('boxtext').textContent,
                document.getElementById('boxwhy').textContent,
                document.querySelectorAll('#box button').length] : null;""")
        if box or time.monotonic() >= end:
            return box
        time.sleep(0.05)


def openbox(d, url):
    """The page at url, and its message box once it opens (within 10 s)."""
    d.get(url)
    return waitbox(d, 10)


def narrowcheck(d, url, shots):
    """A phone's 360 x 640 and a 1280 x 900 screen at 200 %: the window scaled
    down whole to the page's width, at its left edge, nothing to scroll to."""
    for w, h, scale, name in ((360, 640, 1, "phone"), (640, 450, 2, "zoom200")):
        d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                          {"width": w, "height": h, "deviceScaleFactor": scale, "mobile": False})
        p = Page(d, url + "?words=nine.txt")
        p.js("return new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))")
        got = p.js("""const r = document.getElementById('window').getBoundingClientRect();
            const w = document.getElementById('window');
            const inside = [...document.querySelectorAll('#dialog > *')].every(c => {
                const b = c.getBoundingClientRect();
                return b.left >= r.left && b.right <= r.right + 0.5; });
            return [scrollX, document.documentElement.scrollWidth, innerWidth, r.left, r.right,
                    r.width / w.offsetWidth, r.height / w.offsetHeight, inside];""")
        sx, sw, iw, left, right, fx, fy, inside = got
        p.d.save_screenshot(os.path.join(shots, "narrow-%s.png" % name))
        report(sx == 0 and sw <= iw and left >= 0 and right <= iw and abs(fx - fy) < 0.01 and
               fx < 1 and inside, "fits " + name,
               "%d x %d css px: scrolled %d, page %d wide; window %.0f to %.0f, scaled %.2f x %.2f,"
               " controls inside: %s" % (w, h, sx, sw, left, right, fx, fy, inside))
    d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})


def brokencheck(d, url, root):
    """The page served without its worker or one of the engine's files:
    the dialog says it could not start, and why, and offers no Start."""
    for missing in ("worker.js", "vexlore-engine.js", "vexlore-engine.wasm"):
        sub = "without-" + missing.replace(".", "-")
        os.makedirs(os.path.join(root, sub), exist_ok=True)
        for f in os.listdir(root):
            # no sw.js: the root's keeps its offline copy whole
            if f not in (missing, "sw.js") and os.path.isfile(os.path.join(root, f)):
                os.symlink(os.path.join("..", f), os.path.join(root, sub, f))
        text = (openbox(d, url + sub + "/?words=nine.txt") or ["", "no box"])[1]
        disabled = d.execute_script("return document.querySelector(\"button[data-id='1']\").disabled")
        report(text.startswith("Vexlore could not start.") and missing in text and disabled,
               "without " + missing, "%r; Start disabled: %s" % (text, disabled))


def modelcheck(d, url, root):
    """Best first without its model: one that is not there, then one that
    is damaged, then at the same address a sound one, with a date old
    enough that the browser could keep its copy, and it is taken. Without it the box is disabled, says why in its
    tooltip and once to a screen reader, and the rest works. Without the
    relatedness file the box ranks by fluency alone, and says so there."""
    path = os.path.join(root, "fresh.model")
    seen = []
    for step, days in (("missing", 0), ("damaged", 30), ("sound", 20), ("unrelated", 20)):
        if step == "damaged":
            with open(path, "wb") as f:
                f.write(b"VXLMODEL" + bytes(100))
        elif step == "sound":
            shutil.copy(os.path.join(root, "english.model"), path)
        if os.path.exists(path):
            os.utime(path, (time.time() - days * 86400,) * 2)
        p = Page(d, url + "?words=nine.txt&model=fresh.model" + (
            "&related=none.related" if step == "unrelated" else ""))
        p.wait("vexlore.model && (vexlore.model.ready || vexlore.model.failed)", 30)
        box = p.js("""const b = document.getElementById('best');
            return [b.disabled, b.parentNode.title || '', b.getAttribute('aria-describedby')];""")
        ax = d.execute_cdp_cmd("Accessibility.getPartialAXTree",
                               {"nodeId": d.execute_cdp_cmd("DOM.querySelector", {
                                   "nodeId": d.execute_cdp_cmd("DOM.getDocument", {})["root"]["nodeId"],
                                   "selector": "#best"})["nodeId"], "fetchRelatives": False})
        node = ax["nodes"][0]
        name = node.get("name", {}).get("value", "")
        told = node.get("description", {}).get("value", "")
        lines = p.search("dirty room", True, best=step == "unrelated")
        seen.append((step, box[0], box[1], name, told, len(lines or [])))
    ok = True
    for step, disabled, title, name, told, n in seen:
        if step == "sound":
            ok &= not disabled and not title and not told
        elif step == "unrelated":
            ok &= not disabled and "fluency alone" in title and "none.related" in title and \
                told == title
        else:
            ok &= disabled and "fresh.model" in title and told == title
        # best first: 'dormitory', 'dirty moor', not the text's own words
        ok &= name == "Best first" and n == (2 if step == "unrelated" else 3)
    report(ok, "no model", "; ".join("%s: disabled %s, %r, named %r, described %r, 'dirty room' "
                                     "%d lines" % r for r in seen) + " (best first when unrelated)")


def freshcheck(d, url, root):
    """A word list changed between two visits is the one searched at the
    second, though its old date would let the browser keep its copy."""
    path = os.path.join(root, "fresh.txt")
    got = []
    for words, days in ((["listen", "silent"], 30), (["enlist", "listen", "silent"], 20)):
        with open(path, "w") as f:
            f.write("".join(w + "\n" for w in words))
        then = time.time() - days * 86400
        os.utime(path, (then, then))
        got.append(Page(d, url + "?words=fresh.txt").search("listen", False))
    report(got[1] == ["enlist ", "listen ", "silent "], "a changed list",
           "'listen' at the first visit: %s; at the second: %s" % (
               joined(got[0] or []), joined(got[1] or [])))


def stopannounced(d, url):
    """What a screen reader hears of a search under way, and once stopped."""
    p = Page(d, url)
    p.begin(LONGTEXT, True)
    p.wait("busylog.length", 10)
    p.wait("vexlore.lines().length >= 5", 10)
    busy = told(p)
    p.stop.click()
    p.wait("vexlore.last", 10)
    stopped = told(p)[2]
    n = p.count()
    report(busy[:2] == ["false", "Busy"] and stopped == "Search stopped: {:,} lines.".format(n),
           "stop announced", "the clip while busy: %r; the status once stopped: %r" % (
               busy[1], stopped))


def manycheck(d, url):
    """A search of MANY's 1,678,820 lines, then the list at its end."""
    p = Page(d, url + "?words=many.txt")
    got = p.search(MANY, True, 300)
    n = len(got) if got is not None else 0
    last = p.js("return vexlore.lines()[vexlore.lines().length - 1]") if n else None
    p.js("const l = document.getElementById('results'); l.scrollTop = l.scrollHeight")
    time.sleep(0.3)
    shown = p.shown()
    ok = (n == 1678820 and got == sorted(got) and shown and shown[-1][0] == last and
          shown[-1][1] == n and shown[-1][2] == n)
    report(ok, "a million lines", "'%s': %d lines, sorted; at the list's end %s" % (
        MANY, n, shown[-2:] if shown else None))
    keysteps(p)


def keysteps(p):
    """In a list drawn at scale, Page Down moves a page less one row, so
    that every row is seen, and Down one row; read from the rows wholly in
    view (their aria-posinset) after each key."""
    p.results.click()
    p.js("document.getElementById('results').scrollTop = 0")
    time.sleep(0.2)
    inview = """const r = document.getElementById('results').getBoundingClientRect();
        const n = [...document.querySelectorAll('[role=option]')].filter(o => {
            const b = o.getBoundingClientRect();
            return !o.hidden && b.top >= r.top - 0.5 && b.bottom <= r.bottom + 0.5; })
          .map(o => +o.getAttribute('aria-posinset'));
        return [Math.min(...n), Math.max(...n)];"""
    seen = [p.js(inview)]
    for key in [Keys.PAGE_DOWN] * 4 + [Keys.ARROW_DOWN] * 2 + [Keys.PAGE_UP]:
        ActionChains(p.d).send_keys(key).perform()
        p.js("return new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))")
        seen.append(p.js(inview))
    page = seen[0][1] - seen[0][0]
    want = [[1 + k * page, 1 + (k + 1) * page] for k in range(5)]
    want += [[want[-1][0] + 1, want[-1][1] + 1], [want[-1][0] + 2, want[-1][1] + 2]]
    want.append([want[-1][0] - page, want[-1][1] - page])
    report(seen == want, "keys in a long list", "rows wholly in view at the top, after 4 Page "
           "Down, 2 Down, Page Up: %r" % seen)


def offlinecheck(d, server, url):
    """The second visit with the server gone: the service worker's copy."""
    d.get(url)
    ready = Page(d, url)
    ready.wait("navigator.serviceWorker.controller", 10)
    cached = ready.js("""return caches.open('vexlore-1').then(c => c.keys()).then(k => k.length)""")
    install = d.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
    report(not install, "installable", "the browser finds %s" % (
        [e["errorId"] for e in install] or "nothing in the way of installing the page as an app"))
    server.stop()
    try:
        d.get(url)
        p = Page(d, url)
        got = p.search("dirty room", True, 60)
        p.wait("vexlore.model && (vexlore.model.ready || vexlore.model.failed)", 30)
        # the relatedness file too: its copy, and no note of fluency alone
        note = p.js("return vexlore.model.failed || vexlore.model.note")
        best = p.search("clint eastwood", True, 60, best=True) or []
        report(got is not None and "dormitory " in got and len(best) == BEST_LINES and not note,
               "offline", "%s files cached; with the server stopped the page loaded and searched: "
               "%d lines; Best first: %d lines, %s%s" % (cached, len(got or []), len(best),
                                                       joined(best, 2), note and "; " + note))
    except Exception as e:
        report(False, "offline", "%s files cached; with the server stopped: %s" % (cached, e))


def serve(site, work, words):
    root = os.path.join(work, "site")
    shutil.rmtree(root, ignore_errors=True)
    shutil.copytree(site, root)
    with open(os.path.join(root, "nine.txt"), "w") as f:
        f.write("".join(w + "\n" for w in NINE))
    many = sorted("".join(c) for k in (1, 2, 3) for c in combinations(MANY, k))
    with open(os.path.join(root, "many.txt"), "w") as f:
        f.write("".join(w + "\n" for w in many))
    return Server(root), root


def check(site, work, shots):
    os.makedirs(work, exist_ok=True)
    os.makedirs(shots, exist_ok=True)
    server, root = serve(site, work, None)
    profile = tempfile.mkdtemp(prefix="vexlore-chromium-")
    d = browser(profile)
    try:
        ninechecks(d, server.url, shots)
        narrowcheck(d, server.url, shots)
        brokencheck(d, server.url, root)
        freshcheck(d, server.url, root)
        modelcheck(d, server.url, root)
        stopannounced(d, server.url)
        manycheck(d, server.url)
        offlinecheck(d, server, server.url)
    finally:
        d.quit()
        shutil.rmtree(profile, ignore_errors=True)
    return expect.summary()


def main(args):
    if args[:1] == ["check"] and len(args) == 4:
        return check(*args[1:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
