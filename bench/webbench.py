#!/usr/bin/env python3
"""The page's figures beside vexlore-find's, medians of 3 taking turns: the
first paint, Start to the last line listed for three searches, Stop and
Esc during a search (the click or key to the list's going idle, medians
of 5), and the rate and memory of a million-line list.

usage: webbench.py SITE FIND BENCHWORDS   (SITE: build/web/site; FIND: the
native vexlore-find; BENCHWORDS: the benchmark list)"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                                "tests", "web"))
from webcheck import LONGTEXT, MANY, Page, browser, serve  # noqa: E402

STOP_MS = 50    # Stop and Esc end a search this soon, by the median


def stopping(p):
    """Stop and Esc, each in five searches of LONGTEXT once it has listed
    some lines: the ms from the click or key to the list's going idle, by
    the page's clock, as the window test clicks them."""
    for name in ("Stop", "Esc"):
        ms = []
        for _ in range(5):
            p.begin(LONGTEXT, True)
            p.wait("busylog.length", 10)
            p.wait("vexlore.lines().length >= 5", 10)
            if name == "Stop":
                p.stop.click()
                t = p.js("return window.stopclick")
            else:
                p.text.send_keys(Keys.ESCAPE)
                t = p.js("return window.esckey")
            off = p.wait("busylog.length && busylog[busylog.length - 1][1] == 'false' && "
                         "busylog[busylog.length - 1][0]", 30)
            ms.append(off - t if off else 9999)
        med = statistics.median(ms)
        print("%s during '%s': the click to the search's end, median %.0f ms (%s), at most %d: "
              "%s" % (name, LONGTEXT, med, " ".join("%.0f" % m for m in ms), STOP_MS,
                      "yes" if med <= STOP_MS else "NO"))


def bench(site, find, benchwords):
    """Medians of 3, the page and vexlore-find taking turns."""
    work = tempfile.mkdtemp(prefix="vexlore-webbench-")
    server, root = serve(site, work, None)
    shutil.copy(benchwords, os.path.join(root, "bench.txt"))
    profile = tempfile.mkdtemp(prefix="vexlore-chromium-")
    d = browser(profile)
    d.set_script_timeout(120)   # a million lines can keep the page busy for seconds
    try:
        # first paint of a first visit, from the local server
        paints = []
        for _ in range(3):
            d.execute_cdp_cmd("Network.clearBrowserCache", {})
            d.get(server.url + "?words=bench.txt")
            t = Page(d, server.url + "?words=bench.txt").js(
                "return performance.getEntriesByName('first-contentful-paint')[0].startTime")
            paints.append(t)
        # Start to the last line listed, beside vexlore-find --fast's whole run
        shipped = os.path.join(root, "words")
        for text, words in (("tom marvolo riddle", None), ("internationalists", None),
                            ("astronomer", "bench.txt")):
            p = Page(d, server.url + ("?words=" + words if words else ""))
            path = os.path.join(root, words) if words else shipped
            page, native, yields = [], [], []
            for _ in range(3):
                p.begin(text, True)
                p.wait("vexlore.last", 300)
                page.append(p.js("return vexlore.last.listed") / 1000)
                yields.append(p.js("return [vexlore.last.yields, vexlore.last.yielded, "
                                   "vexlore.last.ms]"))
                t = time.monotonic()
                subprocess.run([find, "--fast", "-m", "-w", path, "--", text],
                               stdout=subprocess.DEVNULL)
                native.append(time.monotonic() - t)
            if text == "internationalists":
                shots = os.path.join(os.path.dirname(os.path.abspath(benchwords)), "screenshots",
                                     "web")
                os.makedirs(shots, exist_ok=True)
                p.shot(os.path.join(shots, "internationalists.png"))
            med = statistics.median(page)
            y, ms, search = yields[page.index(med)]
            print("'%s', multi-word, %s: %d lines; page %.3f s (%s), vexlore-find --fast %.3f s "
                  "(%s), ratio %.2f; the worker's search %.3f s, %d yields to its event loop, "
                  "%.0f ms in them" % (
                      text, words or "the shipped list", p.count(), med,
                      " ".join("%.3f" % x for x in page), statistics.median(native),
                      " ".join("%.3f" % x for x in native), med / statistics.median(native),
                      search / 1000, y, ms))
        print("first contentful paint, first visit: %.0f ms (%s)" % (
            statistics.median(paints), " ".join("%.0f" % x for x in paints)))
        stopping(Page(d, server.url))

        d.get(server.url + "?words=many.txt")
        p = Page(d, server.url + "?words=many.txt")
        d.execute_cdp_cmd("HeapProfiler.collectGarbage", {})
        heap0 = d.execute_cdp_cmd("Runtime.getHeapUsage", {})["usedSize"]
        rates, listms, searchms = [], [], []
        for _ in range(3):
            p.begin(MANY, True)
            p.wait("vexlore.last", 300)
            rates.append(p.count() / p.js("return vexlore.last.listed") * 1000)
            listms.append(p.js("return vexlore.listms"))
            searchms.append(p.js("return vexlore.last.ms"))
        n = p.count()
        text = p.js("return vexlore.lines().reduce((s, l) => s + l.length, 0)")
        d.execute_cdp_cmd("HeapProfiler.collectGarbage", {})
        heap1 = d.execute_cdp_cmd("Runtime.getHeapUsage", {})["usedSize"]
        print("%d lines listed: %.0f lines/s from Start to the last line listed (%s); the page "
              "spent %.0f ms putting them in its list (%.0f lines/s of its own time); the "
              "worker's search %.0f ms" % (n, statistics.median(rates), " ".join("%.0f" % r for r in rates),
                           statistics.median(listms), n / statistics.median(listms) * 1000,
                           statistics.median(searchms)))
        print("the page's heap with the list: %.1f MB more than empty, for %.1f MB of text: "
              "%.1f bytes a line beyond the text" % (
                  (heap1 - heap0) / 1e6, text / 1e6, (heap1 - heap0 - text) / n))
    finally:
        d.quit()
        server.stop()
        shutil.rmtree(profile, ignore_errors=True)
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(bench(*sys.argv[1:]))
