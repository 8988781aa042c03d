/*
** vexlore.exe seen from outside: starting it, finding its window, and
** the user's actions on it.
*/
#include <stdio.h>
#include <string.h>

#include <windows.h>

#include <algorithm>

#include "vexwin.h"

/* A message to a window of the program: SMTO_NORMAL, since during a
** search the program answers only when its search looks at its queue. */
static bool ask(HWND h, UINT msg, WPARAM wp, LPARAM lp, LRESULT *result, UINT ms = 5000)
{
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(h, msg, wp, lp, SMTO_NORMAL, ms, &r))
        return false;
    if (result)
        *result = (LRESULT)r;
    return true;
}

double seconds()
{
    static LARGE_INTEGER freq;
    LARGE_INTEGER now;

    if (!freq.QuadPart)
        QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)freq.QuadPart;
}

std::wstring widen(const std::string &utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, NULL, 0);
    std::wstring wide(n > 0 ? n : 1, L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], n);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::string windowtext(HWND h)
{
    WCHAR wide[1024];
    char text[4096];

    /* another process's window: the text comes from the window system,
    ** without a message to the program */
    if (!GetWindowTextW(h, wide, 1024))
        return "";
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, NULL, NULL);
    return text;
}

struct Finding {
    DWORD pid;
    bool box;       /* a message box, not the main dialog */
    HWND found;
};

static BOOL CALLBACK findproc(HWND h, LPARAM lp)
{
    Finding *f = (Finding *)lp;
    DWORD pid = 0;
    char cls[64];

    GetWindowThreadProcessId(h, &pid);
    if (pid != f->pid || !IsWindowVisible(h))
        return TRUE;
    if (!GetClassNameA(h, cls, sizeof cls) || strcmp(cls, "#32770") != 0)
        return TRUE;
    if ((GetDlgItem(h, ID_TEXT) == NULL) != f->box)
        return TRUE;
    f->found = h;
    return FALSE;
}

static HWND findwindow(DWORD pid, bool box, double timeout)
{
    Finding f = { pid, box, NULL };
    double end = seconds() + timeout;

    for (;;) {
        EnumWindows(findproc, (LPARAM)&f);
        if (f.found || seconds() > end)
            return f.found;
        Sleep(20);
    }
}

bool vexstart(Vex *v, const std::string &dir, bool window, double timeout, const char *cwd)
{
    STARTUPINFOW si;
    std::string cmd = "\"" + dir + "\\vexlore.exe\"";
    std::wstring wcmd = widen(cmd), wdir = widen(dir);

    *v = Vex();
    v->dir = dir;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    /* the program finds its word file from its command line alone */
    std::wstring wcwd = cwd ? widen(cwd) : wdir;
    if (!CreateProcessW(NULL, &wcmd[0], NULL, NULL, FALSE, 0, NULL, wcwd.c_str(), &si, &v->pi)) {
        fprintf(stderr, "driver: cannot start %s (error %lu)\n", cmd.c_str(), GetLastError());
        return false;
    }
    if (!window)
        return true;
    WaitForInputIdle(v->pi.hProcess, (DWORD)(timeout * 1000));
    v->dlg = findwindow(v->pi.dwProcessId, false, timeout);
    if (!v->dlg)
        return false;
    v->text = GetDlgItem(v->dlg, ID_TEXT);
    v->results = GetDlgItem(v->dlg, ID_RESULTS);
    v->start = GetDlgItem(v->dlg, ID_START);
    v->stop = GetDlgItem(v->dlg, ID_STOP);
    v->close = GetDlgItem(v->dlg, ID_CLOSE);
    v->single = GetDlgItem(v->dlg, ID_SINGLE);
    v->multi = GetDlgItem(v->dlg, ID_MULTI);
    v->busy = GetDlgItem(v->dlg, ID_BUSY);
    /* keys go to the window in front: make sure it is this one */
    vexfront(v);
    return v->text && v->results && v->start && v->stop && v->close;
}

bool vexwaitexit(Vex *v, double timeout, DWORD *code)
{
    if (!v->pi.hProcess)
        return false;
    if (WaitForSingleObject(v->pi.hProcess, (DWORD)(timeout * 1000)) != WAIT_OBJECT_0)
        return false;
    if (code && !GetExitCodeProcess(v->pi.hProcess, code))
        *code = (DWORD)-1;
    return true;
}

bool vexalive(Vex *v)
{
    return v->pi.hProcess && WaitForSingleObject(v->pi.hProcess, 0) == WAIT_TIMEOUT;
}

void vexend(Vex *v)
{
    if (vexalive(v)) {
        TerminateProcess(v->pi.hProcess, 99);
        WaitForSingleObject(v->pi.hProcess, 5000);
    }
    v->searching = false;
    if (v->pi.hProcess) {
        CloseHandle(v->pi.hProcess);
        CloseHandle(v->pi.hThread);
    }
    memset(&v->pi, 0, sizeof v->pi);
    v->dlg = NULL;
}

bool vexanswers(Vex *v, UINT ms)
{
    return ask(v->dlg, WM_NULL, 0, 0, NULL, ms);
}

HWND vexbox(Vex *v, double timeout)
{
    return findwindow(v->pi.dwProcessId, true, timeout);
}

std::string vexboxtext(HWND box)
{
    HWND h = GetDlgItem(box, ID_BOXTEXT);
    return h ? windowtext(h) : "";
}

void vextype(Vex *v, const char *text)
{
    ask(v->text, WM_SETTEXT, 0, (LPARAM)widen(text).c_str(), NULL);
}

void vexpick(Vex *v, bool multi)
{
    ask(multi ? v->multi : v->single, BM_CLICK, 0, 0, NULL);
}

/* The Start handler has returned: the search is over. */
static void CALLBACK startdone(HWND, UINT, ULONG_PTR data, LRESULT)
{
    Vex *v = (Vex *)data;
    v->ended = seconds();
    v->searching = false;
}

/* Runs the callbacks of the program's answers that have come in. */
static void takeanswers()
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

void vexbegin(Vex *v)
{
    if (v->searching)
        vexwait(v, 600);
    v->ended = 0;
    v->started = seconds();
    /* Start's click as the dialog gets it, and no more. BM_CLICK would also
    ** press the button: it holds the mouse capture until it lets go, and a
    ** click on Stop or Close made in that moment went to Start instead and
    ** was lost. The answer comes when the Start handler returns: minutes,
    ** at times. */
    v->searching = SendMessageCallbackW(v->dlg, WM_COMMAND,
                                        MAKEWPARAM(GetDlgCtrlID(v->start), BN_CLICKED),
                                        (LPARAM)v->start, startdone, (ULONG_PTR)v);
    /* a message sent after it is taken after it: from the search's pump,
    ** once the search has emptied the list, or after the search */
    if (v->searching)
        ask(v->dlg, WM_NULL, 0, 0, NULL);
}

bool vexwait(Vex *v, double timeout, double *secs)
{
    double end = seconds() + timeout;

    for (takeanswers(); v->searching; takeanswers()) {
        double left = end - seconds();
        if (left <= 0)
            return false;
        /* woken by the answer; a few ms at most if Wine does not wake us */
        MsgWaitForMultipleObjects(0, NULL, FALSE, left < 0.005 ? 1 : 5, QS_ALLINPUT);
    }
    if (secs)
        *secs = v->ended - v->started;
    return true;
}

bool vexbusy(Vex *v)
{
    takeanswers();
    return v->searching;
}

bool vexsearch(Vex *v, const char *text, bool multi, double timeout, double *secs)
{
    vextype(v, text);
    vexpick(v, multi);
    vexbegin(v);
    return vexwait(v, timeout, secs);
}

/* Lines come in while a search runs, so a reading counts only when the
** line count was the same before and after it: lines are only ever
** added during a search, never taken away. */
bool vexlines(Vex *v, std::vector<std::string> *lines)
{
    for (int tries = 0; tries < 20; tries++) {
        LRESULT count, len, again;
        bool ok = ask(v->results, LB_GETCOUNT, 0, 0, &count);

        lines->clear();
        for (int i = 0; ok && i < (int)count; i++) {
            WCHAR wide[1024];
            char text[4096];
            ok = ask(v->results, LB_GETTEXTLEN, i, 0, &len) && len >= 0 && len < 1024 &&
                 ask(v->results, LB_GETTEXT, i, (LPARAM)wide, &len) && len >= 0 && len < 1024;
            if (ok) {
                wide[len] = 0;
                WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, NULL, NULL);
                lines->push_back(text);
            }
        }
        if (!ok || !ask(v->results, LB_GETCOUNT, 0, 0, &again))
            return false;
        if (again == count)
            return true;
    }
    return false;
}

int vexcount(Vex *v)
{
    LRESULT count;
    return ask(v->results, LB_GETCOUNT, 0, 0, &count) ? (int)count : -1;
}

static void sendmouse(DWORD flags)
{
    INPUT in;

    memset(&in, 0, sizeof in);
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

void mouseclick(int x, int y)
{
    SetCursorPos(x, y);
    sendmouse(MOUSEEVENTF_LEFTDOWN);
    sendmouse(MOUSEEVENTF_LEFTUP);
}

void clickon(HWND h)
{
    RECT r;

    GetWindowRect(h, &r);
    mouseclick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void keypress(WORD vk)
{
    INPUT in[2];

    memset(in, 0, sizeof in);
    for (int i = 0; i < 2; i++) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = vk;
        in[i].ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    }
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
}

void vexfront(Vex *v)
{
    SetForegroundWindow(v->dlg);
}

bool closebox(Vex *v, POINT *pt)
{
    RECT r;
    long sx = 0, sy = 0, n = 0;

    GetWindowRect(v->dlg, &r);
    for (int y = r.top; y < r.top + 40 && y < r.bottom; y++) {
        for (int x = r.right - 60; x < r.right; x++) {
            LRESULT hit;
            if (ask(v->dlg, WM_NCHITTEST, 0, MAKELPARAM(x, y), &hit, 2000) && hit == HTCLOSE) {
                sx += x;
                sy += y;
                n++;
            }
        }
    }
    if (!n)
        return false;
    pt->x = sx / n;
    pt->y = sy / n;
    return true;
}

unsigned long long screenhash(HWND h)
{
    RECT r;
    BITMAPINFO bi;
    void *bits;
    unsigned long long hash = 1469598103934665603ULL;

    GetWindowRect(h, &r);
    int w = r.right - r.left, ht = r.bottom - r.top;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -ht;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(NULL);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    if (bmp) {
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(mem, 0, 0, w, ht, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const unsigned char *p = (const unsigned char *)bits;
        for (long i = 0; i < (long)w * ht * 4; i++)
            hash = (hash ^ p[i]) * 1099511628211ULL;
        SelectObject(mem, old);
        DeleteObject(bmp);
    }
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
    return hash;
}

int screenchanges(HWND h, int ms, unsigned long long from)
{
    unsigned long long last = from ? from : screenhash(h), now;
    int changes = 0;
    double end = seconds() + ms / 1000.0;

    while (seconds() < end) {
        Sleep(40);
        now = screenhash(h);
        if (now != last)
            changes++;
        last = now;
    }
    return changes;
}

double screenstill(HWND h, double still, double timeout)
{
    unsigned long long last = screenhash(h), now;
    double changed = seconds(), end = changed + timeout;

    for (double t = changed; t - changed < still; t = seconds()) {
        if (t > end)
            return 0;
        Sleep(20);
        now = screenhash(h);
        if (now != last)
            changed = seconds();
        last = now;
    }
    return changed;
}

void vexshot(const std::string &folder, const char *name, HWND window, HWND also)
{
    RECT r, r2;

    if (folder.empty() || !GetWindowRect(window, &r))
        return;
    if (also && GetWindowRect(also, &r2))
        UnionRect(&r, &r, &r2);
    std::string file = folder + "\\" + name + ".png";
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

std::vector<std::string> vexargs()
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
