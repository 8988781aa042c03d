/*
** vexlore-driver: the black-box test of the Vexlore window, a Win32
** console program run under Wine beside the program it tests.
*/
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

#include <algorithm>

#include "driver.h"
#include "vexwin.h"

static const char usage[] =
    "usage: vexlore-driver check TREE WORK [PICTURES]\n"
    "       vexlore-driver serve TREE WORK\n"
    "       vexlore-driver bench TREE RUNS TEXT...\n"
    "       vexlore-driver show TREE PICTURES TEXT\n"
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
    "  [\"playing\"], [\"alive\"]; [\"box\", SECS] -> box ([caption, text, OK only]\n"
    "  or null); [\"boxok\"]; [\"exit\", SECS] -> code (or null); [\"end\"]; [\"quit\"].\n"
    "show: one multi-word search of TEXT in the window, a screenshot 'window'\n"
    "of it, then Close. package checks the program unpacked in DIR, or\n"
    "installed there when the Start-menu SHORTCUT is given. Paths may be given\n"
    "as Unix paths.\n"
    "Exit status: 0 when every check passed (bench: the window took at most\n"
    "1.3 times as long as vexlore-find), 1 when one failed, 2 for bad usage.\n";

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
    RECT r, r2;

    if (pictures.empty() || !GetWindowRect(window, &r))
        return;
    if (also && GetWindowRect(also, &r2))
        UnionRect(&r, &r, &r2);
    std::string file = pictures + "\\" + name + ".png";
    DeleteFileA(file.c_str());
    /* a moment for the window to finish painting */
    Sleep(200);
    printf("screenshot %s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left,
           r.bottom - r.top);
    fflush(stdout);
    for (double end = seconds() + 20; seconds() < end; Sleep(50))
        if (GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES)
            return;
    fprintf(stderr, "driver: no %s came\n", file.c_str());
}

std::string winpath(const std::string &path)
{
    std::string p = path;

    if (!p.empty() && p[0] == '/')
        p = "Z:" + p;
    std::replace(p.begin(), p.end(), '/', '\\');
    while (p.size() > 3 && p.back() == '\\')
        p.pop_back();
    return p;
}

bool sortedlines(const std::vector<std::string> &lines)
{
    return std::is_sorted(lines.begin(), lines.end());
}

bool anagramof(const std::string &line, const std::string &text)
{
    std::string a, b;

    for (char c : line)
        if (c != ' ')
            a += c;
    for (char c : text)
        if (c != ' ')
            b += (char)tolower((unsigned char)c);
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return !a.empty() && a == b;
}

bool plant(const std::string &tree, const std::string &base, const std::string &dir, bool words)
{
    static const char *const nine[] = {
        "dirty", "dormitory", "enlist", "inlets", "listen", "moor", "room", "silent", "tinsel"
    };

    for (size_t at = base.size(); at != std::string::npos; at = dir.find('\\', at + 1))
        CreateDirectoryW(widen(dir.substr(0, at)).c_str(), NULL);
    CreateDirectoryW(widen(dir).c_str(), NULL);
    if (!CopyFileW(widen(tree + "\\vexlore.exe").c_str(), widen(dir + "\\vexlore.exe").c_str(),
                   FALSE))
        return false;
    std::wstring file = widen(dir + "\\words");
    DeleteFileW(file.c_str());
    if (!words)
        return true;
    FILE *f = _wfopen(file.c_str(), L"wb");
    if (!f)
        return false;
    for (const char *w : nine)
        fprintf(f, "%s\n", w);
    return fclose(f) == 0;
}

/* Reads what a child writes until it closes its end of the pipe. */
static std::string drain(HANDLE pipe)
{
    std::string all;
    char buf[65536];
    DWORD n;

    while (ReadFile(pipe, buf, sizeof buf, &n, NULL) && n > 0)
        all.append(buf, n);
    return all;
}

std::string findargs(const std::string &words, const std::string &text, bool multi)
{
    return std::string("--stats ") + (multi ? "-m " : "") + "-w \"" + words + "\" \"" + text + "\"";
}

bool runfind(const std::string &dir, const std::string &args, std::vector<std::string> *lines,
             double *secs, double *wall)
{
    SECURITY_ATTRIBUTES sa = { sizeof sa, NULL, TRUE };
    HANDLE outr, outw, errfile;
    STARTUPINFOW si;
    PROCESS_INFORMATION pi;
    std::string cmd = "\"" + dir + "\\vexlore-find.exe\" " + args;
    std::wstring wcmd = widen(cmd);
    char tempdir[MAX_PATH], errname[MAX_PATH];

    /* standard error, one short line, goes to a file: two pipes read one
    ** after the other could stall the child */
    if (!GetTempPathA(sizeof tempdir, tempdir) || !GetTempFileNameA(tempdir, "vxf", 0, errname))
        return false;
    errfile = CreateFileA(errname, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, &sa,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, NULL);
    if (errfile == INVALID_HANDLE_VALUE)
        return false;
    if (!CreatePipe(&outr, &outw, &sa, 0)) {
        CloseHandle(errfile);
        return false;
    }
    SetHandleInformation(outr, HANDLE_FLAG_INHERIT, 0);
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = outw;
    si.hStdError = errfile;
    double start = seconds();
    bool started = CreateProcessW(NULL, &wcmd[0], NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL,
                                  &si, &pi);
    CloseHandle(outw);
    std::string out = started ? drain(outr) : "";
    CloseHandle(outr);
    if (started) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        if (wall)
            *wall = seconds() - start;
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }

    char err[512] = "";
    DWORD n = 0;
    SetFilePointer(errfile, 0, NULL, FILE_BEGIN);
    ReadFile(errfile, err, sizeof err - 1, &n, NULL);
    err[n] = '\0';
    CloseHandle(errfile);
    DeleteFileA(errname);
    if (!started)
        return false;

    long long examined;
    double s;
    if (secs)
        *secs = sscanf(err, "vexlore-find: examined %lld words in %lf s", &examined, &s) == 2 ? s : -1;
    lines->clear();
    size_t at = 0, nl;
    while ((nl = out.find('\n', at)) != std::string::npos) {
        std::string line = out.substr(at, nl - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines->push_back(line);
        at = nl + 1;
    }
    return true;
}

/* The arguments in UTF-8, as every path and text in the driver is: the
** wide command line, since the ANSI one cannot carry every folder name. */
static std::vector<std::string> utf8args()
{
    std::vector<std::string> args;
    int n = 0;
    LPWSTR *w = CommandLineToArgvW(GetCommandLineW(), &n);
    for (int i = 0; w && i < n; i++) {
        int len = WideCharToMultiByte(CP_UTF8, 0, w[i], -1, NULL, 0, NULL, NULL);
        std::string a(len > 0 ? len : 1, '\0');
        if (len > 0)
            WideCharToMultiByte(CP_UTF8, 0, w[i], -1, &a[0], len, NULL, NULL);
        a.resize(strlen(a.c_str()));
        args.push_back(a);
    }
    LocalFree(w);
    return args;
}

int main(int, char **)
{
    std::vector<std::string> args = utf8args();
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
    if (mode == "bench" && argc >= 5)
        return runbench(winpath(argv[2]), atoi(argv[3]),
                        std::vector<std::string>(argv + 4, argv + argc));
    if (mode == "package" && argc >= 4 && argc <= 6) {
        if (argc == 6) {
            pictures = winpath(argv[5]);
            CreateDirectoryW(widen(pictures).c_str(), NULL);
        }
        return runpackage(winpath(argv[2]), argv[3], argc >= 5 ? winpath(argv[4]) : "");
    }
    if (mode == "serve" && argc == 4)
        return runserve(winpath(argv[2]), winpath(argv[3]));
    if (mode == "show" && argc == 5) {
        pictures = winpath(argv[3]);
        CreateDirectoryW(widen(pictures).c_str(), NULL);
        return runshow(winpath(argv[2]), argv[4]);
    }
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
