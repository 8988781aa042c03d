/*
** vexlore-driver: the black-box test of the Vexlore window, a Win32
** console program run under Wine beside the program it tests.
*/
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

#include "driver.h"
#include "vexwin.h"

static const char usage[] =
    "usage: vexlore-driver check TREE WORK [PICTURES]\n"
    "       vexlore-driver serve TREE WORK\n"
    "       vexlore-driver package DIR VERSION [SHORTCUT [PICTURES]]\n"
    "\n"
    "TREE is the build folder with vexlore.exe, vexlore-find.exe and words;\n"
    "WORK a scratch folder; PICTURES, when given, gets screenshots of the\n"
    "window: the driver prints 'screenshot NAME X Y WIDTH HEIGHT' and waits\n"
    "for NAME.png to appear there. serve reads requests, a JSON array a line,\n"
    "and answers each with a JSON object a line:\n"
    "  [\"open\", \"nine\"|\"full\"|\"none\"|\"listfull\"] -> ok, path (the word file's)\n"
    "  [\"type\", TEXT], [\"pick\", MULTI], [\"start\"], [\"stop\"], [\"esc\"], [\"enter\"],\n"
    "  [\"closebox\"], [\"close\"] -> ok; [\"wait\", SECS] -> ms (from the last of\n"
    "  these to the search's end, or null); [\"busy\"], [\"lines\"], [\"count\"],\n"
    "  [\"alive\"]; [\"box\", SECS] -> box ([caption, text, OK only]\n"
    "  or null); [\"boxok\"]; [\"exit\", SECS] -> code (or null); [\"end\"]; [\"quit\"].\n"
    "package checks the program unpacked in DIR, or installed there when the\n"
    "Start-menu SHORTCUT is given. Paths may be given as Unix paths.\n"
    "Exit status: 0 when every check passed, 1 when one failed, 2 for bad usage.\n";

static int passed, failed;
static std::string pictures;

void report(bool ok, const char *name, const char *fmt, ...)
{
    va_list ap;

    (ok ? passed : failed)++;
    printf("%s %s: ", ok ? "ok  " : "FAIL", name);
    va_start(ap, fmt);
    vprintf(fmt, ap);
    va_end(ap);
    printf("\n");
    fflush(stdout);
}

void screenshot(const char *name, HWND window, HWND also)
{
    vexshot(pictures, name, window, also);
}

bool plant(const std::string &tree, const std::string &base, const std::string &dir, Words words,
           const char *program)
{
    static const char *const nine[] = {
        "dirty", "dormitory", "enlist", "inlets", "listen", "moor", "room", "silent", "tinsel"
    };

    for (size_t at = base.size(); at != std::string::npos; at = dir.find('\\', at + 1))
        CreateDirectoryW(widen(dir.substr(0, at)).c_str(), NULL);
    CreateDirectoryW(widen(dir).c_str(), NULL);
    std::wstring file = widen(dir + "\\words");
    if (!CopyFileW(widen(tree + "\\" + program).c_str(), widen(dir + "\\vexlore.exe").c_str(),
                   FALSE))
        return false;
    DeleteFileW(file.c_str());
    if (words != NINEWORDS)
        return words == NOWORDS || CopyFileW(widen(tree + "\\words").c_str(), file.c_str(), FALSE);
    FILE *f = _wfopen(file.c_str(), L"wb");
    if (!f)
        return false;
    for (const char *w : nine)
        fprintf(f, "%s\n", w);
    return fclose(f) == 0;
}

int main(int, char **)
{
    std::vector<std::string> args = vexargs();
    std::vector<char *> argp;
    for (std::string &a : args)
        argp.push_back(&a[0]);
    argp.push_back(NULL);
    int argc = (int)args.size();
    char **argv = argp.data();
    std::string mode = argc > 1 ? argv[1] : "";

    /* the script reading the report waits on each line */
    setvbuf(stdout, NULL, _IONBF, 0);
    if (mode == "check" && (argc == 4 || argc == 5)) {
        if (argc == 5) {
            pictures = winpath(argv[4]);
            CreateDirectoryW(widen(pictures).c_str(), NULL);
        }
        return runchecks(winpath(argv[2]), winpath(argv[3]));
    }
    if (mode == "package" && argc >= 4 && argc <= 6) {
        if (argc == 6) {
            pictures = winpath(argv[5]);
            CreateDirectoryW(widen(pictures).c_str(), NULL);
        }
        return runpackage(winpath(argv[2]), argv[3], argc >= 5 ? winpath(argv[4]) : "");
    }
    if (mode == "serve" && argc == 4)
        return runserve(winpath(argv[2]), winpath(argv[3]));
    fputs(usage, stderr);
    return 2;
}

/* The closing line of the checks. */
int summary()
{
    printf("%d passed, %d failed\n", passed, failed);
    fflush(stdout);
    return failed ? 1 : 0;
}
