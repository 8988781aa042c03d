/*
** The finder's platform calls on Windows: paths from the wide command line
** and the module's own name, so that a folder named in any script is
** found, and temporary files the system deletes when their handle closes.
*/
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <signal.h>
#include <string.h>
#include <windows.h>

#include "cli/platform.h"

static std::string utf8(const wchar_t *w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, NULL, 0, NULL, NULL);
    if (n <= 0)
        return "";
    std::string s((size_t)n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, -1, &s[0], n, NULL, NULL);
    s.resize((size_t)n - 1);
    return s;
}

std::string selfwords(const char *argv0)
{
    /* a long path needs a larger buffer than MAX_PATH: grow until it fits */
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::wstring buf(size, L'\0');
        DWORD n = GetModuleFileNameW(NULL, &buf[0], size);
        if (n == 0)
            break;
        if (n < size) {
            buf.resize(n);
            size_t cut = buf.find_last_of(L"\\/");
            if (cut == std::wstring::npos)
                break;
            return utf8(buf.substr(0, cut + 1).c_str()) + "words";
        }
    }
    std::string self = argv0 ? argv0 : "";
    size_t cut = self.find_last_of("/\\");
    return cut == std::string::npos ? "words" : self.substr(0, cut + 1) + "words";
}

/* The C library's own split of the command line, in wide text: the same
** arguments as argv, so an argument and its wide twin have one index. */
struct WideStart {
    int newmode;
};
extern "C" int __cdecl __wgetmainargs(int *argc, wchar_t ***argv, wchar_t ***env, int glob,
                                      WideStart *start);

/* Where the two splits disagree on the count, or on the option text
** before arg (ASCII, one character in either form), the ANSI argument
** stands. */
std::string widearg(int argc, char **argv, const char *arg)
{
    int wargc = 0;
    wchar_t **wargv = NULL, **wenv = NULL;
    WideStart start = {0};
    if (__wgetmainargs(&wargc, &wargv, &wenv, 0, &start) < 0 || !wargv || wargc != argc)
        return arg;
    for (int k = 0; k < argc; k++) {
        size_t len = strlen(argv[k]);
        if (arg < argv[k] || arg > argv[k] + len)
            continue;
        size_t skip = (size_t)(arg - argv[k]);
        bool same = wcslen(wargv[k]) >= skip;
        for (size_t i = 0; same && i < skip; i++)
            same = (unsigned char)argv[k][i] < 128 && wargv[k][i] == (wchar_t)argv[k][i];
        return same ? utf8(wargv[k] + skip) : std::string(arg);
    }
    return arg;
}

/* errno for the last error of a file call */
static int fileerrno(void)
{
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EACCES;
    }
}

FILE *opentemp(std::string *dir)
{
    wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    *dir = n > 0 && n <= MAX_PATH ? utf8(folder) : "";
    if (n == 0 || n > MAX_PATH || !GetTempFileNameW(folder, L"vxf", 0, name)) {
        errno = fileerrno();
        return NULL;
    }
    /* GetTempFileNameW made the file; this handle takes it over, and the
    ** system deletes it when the handle closes, also at a kill */
    HANDLE h = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        errno = fileerrno();
        DeleteFileW(name);
        return NULL;
    }
    int fd = _open_osfhandle((intptr_t)h, _O_RDWR | _O_BINARY);
    FILE *f = fd >= 0 ? _fdopen(fd, "w+b") : NULL;
    if (!f) {
        if (fd >= 0)
            _close(fd);
        else
            CloseHandle(h);
        errno = ENOMEM;
    }
    return f;
}

/* The console runs the handler on a thread of its own, and this C library
** sets SIGINT back to its default before each call: the trampoline sets
** it again, so a second Ctrl-C is caught too. */
static void (*onint)(int);

static void trampoline(int sig)
{
    signal(SIGINT, trampoline);
    onint(sig);
}

void catchinterrupt(void (*handler)(int))
{
    onint = handler;
    signal(SIGINT, trampoline);
}

/* The C library knows no code for a pipe closed by its reader (Windows
** says ERROR_NO_DATA, Wine ERROR_PIPE_NOT_CONNECTED) and says EINVAL. */
int outerrno(int err)
{
    DWORD e = GetLastError();
    return e == ERROR_NO_DATA || e == ERROR_BROKEN_PIPE || e == ERROR_PIPE_NOT_CONNECTED
           ? EPIPE : err;
}
