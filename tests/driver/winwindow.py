"""The Windows window for tests/scenarios.py: vexlore.exe under Wine, driven
through vexlore-driver.exe serve, which clicks and reads back as a user
does and answers each request with a JSON line. The Wine loader comes from
VEXLORE_LOADER, set by the script that set up Wine (scripts/window-env.sh)."""
import atexit
import json
import os
import queue
import subprocess
import tempfile
import threading

import expect

GRACE = 30      # seconds a request may take beyond its own time-out


class Window:
    name = "win32"
    # blanks pasted are letters to the Windows program, which keeps the
    # file search; it searches from its word file, not in memory
    has = {"closebox", "exitcode", "listfull"}
    # the search from the file lists LONGTEXT's first lines only after
    # many seconds; this one's within 0.1 s, and runs for many seconds
    longtext = "the astronomer"

    def __init__(self, tree, work):
        self.tree, self.work = os.path.abspath(tree), os.path.abspath(work)
        self.loader = os.environ.get("VEXLORE_LOADER", "wine")
        self.proc, self.path = None, ""
        os.makedirs(self.work, exist_ok=True)
        atexit.register(self._quit)

    def _serve(self):
        """The driver, started once; its answers come through a queue so
        that no read waits for ever."""
        if self.proc and self.proc.poll() is None:
            return
        self.log = open(os.path.join(self.work, "serve.log"), "ab")
        self.proc = subprocess.Popen(
            [self.loader, os.path.join(self.tree, "vexlore-driver.exe"), "serve", self.tree,
             self.work], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.log)
        self.answers = queue.Queue()
        threading.Thread(target=self._read, args=(self.proc.stdout, self.answers),
                         daemon=True).start()

    @staticmethod
    def _read(out, answers):
        for line in iter(out.readline, b""):
            answers.put(line)

    def _ask(self, *req, secs=0):
        """The driver's answer to req, {} if none came in time (the driver is
        then ended: a late answer would be taken for the next one's)."""
        self._serve()
        try:
            self.proc.stdin.write((json.dumps(list(req)) + "\n").encode())
            self.proc.stdin.flush()
            answer = json.loads(self.answers.get(timeout=secs + GRACE).decode("utf-8", "replace"))
        except (OSError, ValueError, queue.Empty) as e:
            print("win32: no answer to %r: %s" % (req, str(e) or "time-out"), flush=True)
            self._kill()
            return {}
        if "error" in answer:
            print("win32: %r: %s" % (req, answer["error"]), flush=True)
        return answer

    def _quit(self):
        if self.proc:
            self._ask("quit")
            self._kill()

    def _kill(self):
        if self.proc:
            self.proc.kill()
            self.proc.wait()
            self.log.close()
            self.proc = None

    def open(self, words):
        answer = self._ask("open", words, secs=20)
        self.path = answer.get("path", "")
        return answer.get("ok", False)

    def wordpath(self):
        return self.path

    def act(self, verb, arg=None):
        self._ask(verb, *([] if arg is None else [arg]))

    def wait(self, secs):
        return self._ask("wait", secs, secs=secs).get("ms")

    def busy(self):
        return self._ask("busy").get("busy", False)

    def lines(self):
        return self._ask("lines", secs=60).get("lines") or []

    def count(self):
        return self._ask("count").get("count", -1)

    def alive(self):
        return self._ask("alive").get("alive", False)

    def box(self, secs):
        box = self._ask("box", secs, secs=secs).get("box")
        return tuple(box) if box else None

    def boxok(self):
        self._ask("boxok", secs=5)

    def exit(self, secs):
        return self._ask("exit", secs, secs=secs).get("code")

    def finder(self, text, multi):
        """vexlore-find.exe of the tree, under the same Wine, over the tree's
        list (the one "full" and "listfull" open); its output read from a
        file, since Wine's helpers may hold a pipe open after it ends."""
        argv = [self.loader, os.path.join(self.tree, "vexlore-find.exe")] + (
            ["-m"] if multi else []) + ["-w", "words", "--", text]
        with tempfile.TemporaryFile() as out:
            code = subprocess.run(argv, cwd=self.tree, stdout=out, stderr=subprocess.DEVNULL,
                                  timeout=300).returncode
            out.seek(0)
            said = out.read().decode("utf-8", "replace").replace("\r", "").split("\n")
        if code not in (0, 1):
            print("win32: vexlore-find.exe failed with status %d" % code, flush=True)
            return None
        return sorted(l for l in said if l) or [expect.NOFIT]

    def end(self):
        if self.proc:
            self._ask("end", secs=10)
