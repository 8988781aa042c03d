#!/usr/bin/env python3
"""The page's figures beside vexlore-find's, medians of 3 taking turns: the
first paint, Start to the last line listed for three searches, Stop and
Esc during a search (the click or key to the list's going idle, medians
of 5), Best first beside vexlore-find --best (the model loaded, and on a
first visit with its fetch), Stop during a ranking, and the rate and
memory of a million-line list.

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


def firstvisit(d, url, text, query=""):
    """A first visit with Best first: from the address typed (url and its
    query) to the best list of text, the model and the relatedness file
    fetched, loaded and ranked by; the ms of the page's word list, of their
    arrival and of the list's end."""
    d.execute_cdp_cmd("Storage.clearDataForOrigin", {"origin": url.rstrip("/"),
                                                      "storageTypes": "all"})
    d.execute_cdp_cmd("Network.clearBrowserCache", {})
    d.get("about:blank")
    d.get(url + query)
    # Start as soon as the page can take it, with Best first checked: it
    # waits for the model
    end = time.monotonic() + 30
    while not d.execute_script("return !!(window.vexlore && vexlore.ready)"):
        if time.monotonic() > end:
            return None
        time.sleep(0.005)
    d.execute_script("""const t = document.getElementById('text'); t.value = arguments[0];
        document.querySelectorAll('input[type=radio]')[1].checked = true;
        document.getElementById('best').checked = true;
        vexlore.last = null;
        document.querySelector("button[data-id='1']").click();""", text)
    end = time.monotonic() + 60
    while not d.execute_script("return !!vexlore.last"):
        if time.monotonic() > end:
            return None
        time.sleep(0.01)
    return d.execute_script("""return [vexlore.ready.at, vexlore.model.at,
        vexlore.started + vexlore.last.listed, vexlore.lines().length]""")


def bestfirst(d, server, find, root):
    """Best first beside vexlore-find --best=100 on the shipped list and
    model, the model loaded; Stop during a ranking beside Stop during a
    search; and a first visit, the model's fetch in it."""
    model = os.path.getsize(os.path.join(root, "english.model"))
    p = Page(d, server.url)
    p.wait("vexlore.model && vexlore.model.ready", 60)
    for text in ("clint eastwood", "william shakespeare"):
        page, native = [], []
        for _ in range(3):
            p.begin(text, True, True)
            p.wait("vexlore.last", 120)
            page.append(p.js("return vexlore.last.listed") / 1000)
            t = time.monotonic()
            subprocess.run([find, "--best=100", "--", text], stdout=subprocess.DEVNULL)
            native.append(time.monotonic() - t)
        med, nat = statistics.median(page), statistics.median(native)
        print("Best first, '%s', multi-word: %d lines; page %.3f s (%s), vexlore-find --best=100 "
              "%.3f s (%s), ratio %.2f" % (text, p.count(), med, " ".join("%.3f" % x for x in page),
                                          nat, " ".join("%.3f" % x for x in native), med / nat))
    # Stop 300 ms into a ranking and into the scenarios' long search: the
    # ms from the click to the list idle
    for best, text in ((True, "william shakespeare"), (False, LONGTEXT)):
        stops = []
        for _ in range(3):
            p.begin(text, True, best)
            p.wait("busylog.length", 10)
            time.sleep(0.3)
            if not p.busy():
                continue
            p.stop.click()
            p.wait("vexlore.last", 60)
            stops.append(p.js("return busylog[busylog.length - 1][0] - window.stopclick"))
        print("Stop %s '%s': %s ms to the list idle (%s)" % (
            "during the ranking of" if best else "during the search for", text,
            "%.0f" % statistics.median(stops) if stops else "-",
            " ".join("%.0f" % x for x in stops)))
    # first visits taking turns: with the relatedness file, and without
    # it (its address answered by a 404), which shows what its fetch costs
    related = os.path.getsize(os.path.join(root, "english.related"))
    visits = {"": [], "?related=none.related": []}
    for _ in range(3):
        for query, seen in visits.items():
            v = firstvisit(d, server.url, "clint eastwood", query)
            if v:
                seen.append(v)
    for query, seen in visits.items():
        if seen:
            print("first visit with Best first, 'clint eastwood' (model %.1f MB, %s): the best list "
                  "%.0f ms after the address (%s); the word list in at %.0f ms, the model loaded at "
                  "%.0f ms" % (
                      model / 1e6, "relatedness file %.1f MB" % (related / 1e6) if not query else
                      "no relatedness file", statistics.median(v[2] for v in seen),
                      " ".join("%.0f" % v[2] for v in seen), statistics.median(v[0] for v in seen),
                      statistics.median(v[1] for v in seen)))


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

        bestfirst(d, server, find, root)

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
