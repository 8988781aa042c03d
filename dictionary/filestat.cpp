/*
** File status through _wstati64 and _fstati64 on Windows, stat and fstat
** elsewhere; all give 64-bit sizes, so a file too large for the reader is
** seen as such. Windows paths go wide (_wstati64, _wfopen), so a folder
** named in any script is found.
*/
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "dictionary/filestat.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
typedef struct _stati64 statbuf;
#define statfile(f, st)    _fstati64(_fileno(f), st)
#define ISREG(mode)        (((mode) & _S_IFMT) == _S_IFREG)
#define ISDIR(mode)        (((mode) & _S_IFMT) == _S_IFDIR)
#define MTIME(st)          ((long long)(st).st_mtime)
#else
typedef struct stat statbuf;
#define statfile(f, st)    fstat(fileno(f), st)
#define ISREG(mode)        S_ISREG(mode)
#define ISDIR(mode)        S_ISDIR(mode)
/* in ns: a file rewritten within the second it was opened still differs */
#define MTIME(st)          ((long long)(st).st_mtim.tv_sec * 1000000000 + (st).st_mtim.tv_nsec)
#endif

#ifdef _WIN32
/* The wide form of path, in heap memory to free: UTF-8, or the ANSI code
** page when it is no valid UTF-8. NULL (errno set) if it cannot be made. */
static wchar_t *widepath(const char *path)
{
    UINT cp = CP_UTF8;
    DWORD flags = MB_ERR_INVALID_CHARS;
    int n = MultiByteToWideChar(cp, flags, path, -1, NULL, 0);
    if (n == 0) {
        cp = CP_ACP;
        flags = 0;
        n = MultiByteToWideChar(cp, flags, path, -1, NULL, 0);
    }
    wchar_t *wide = n > 0 ? (wchar_t *)malloc((size_t)n * sizeof *wide) : NULL;
    if (wide && MultiByteToWideChar(cp, flags, path, -1, wide, n) == n)
        return wide;
    free(wide);
    errno = n > 0 ? ENOMEM : EINVAL;
    return NULL;
}

/* True when wide is a name the system keeps for a device in any folder
** (NUL, CON, COM1): its full path is then \\.\NAME. */
static int devicepath(const wchar_t *wide)
{
    wchar_t full[16];
    DWORD n = GetFullPathNameW(wide, 16, full, NULL);
    return n > 4 && n < 16 && wcsncmp(full, L"\\\\.\\", 4) == 0;
}

/* The C library finds no file by a device's name (ENOENT): it is one of
** the things that are no regular file. */
static int statpath(const char *path, statbuf *st)
{
    wchar_t *wide = widepath(path);
    int r = wide ? _wstati64(wide, st) : -1;
    if (r != 0 && wide && devicepath(wide)) {
        memset(st, 0, sizeof *st);
        st->st_mode = _S_IFCHR;
        r = 0;
    }
    free(wide);
    return r;
}

FILE *fileopen(const char *path)
{
    wchar_t *wide = widepath(path);
    FILE *f = wide ? _wfopen(wide, L"rb") : NULL;
    free(wide);
    return f;
}

#else
static int statpath(const char *path, statbuf *st)
{
    return stat(path, st);
}

FILE *fileopen(const char *path)
{
    return fopen(path, "rb");
}

#endif

/* Read, not mapped: a file cut short or rewritten while it is in use then
** changes nothing of the copy, where a mapping would fault (SIGBUS). A file
** that ends before size bytes (cut while it is read) is EIO. */
const unsigned char *filewhole(FILE *f, size_t size)
{
    unsigned char *block = (unsigned char *)malloc(size ? size : 1);
    if (!block) {
        errno = ENOMEM;
        return NULL;
    }
    errno = 0;
    if (fseek(f, 0, SEEK_SET) != 0 || fread(block, 1, size, f) != size) {
        free(block);
        errno = errno ? errno : EIO;
        return NULL;
    }
    return block;
}

void filefree(const unsigned char *block, size_t)
{
    free((void *)block);
}

/* 0 for a regular file; else -1 with errno EISDIR for a folder and
** EINVAL for anything else (a device, a pipe). */
static int regular(const statbuf *st)
{
    if (ISREG(st->st_mode))
        return 0;
    errno = ISDIR(st->st_mode) ? EISDIR : EINVAL;
    return -1;
}

int pathstat(const char *path)
{
    statbuf st;
    if (statpath(path, &st) != 0)
        return -1;
    return regular(&st);
}

int filestat(FILE *f, long long *size)
{
    statbuf st;
    if (statfile(f, &st) != 0 || regular(&st) != 0)
        return -1;
    *size = (long long)st.st_size;
    return 0;
}

int filestamp(FILE *f, long long *size, long long *mtime)
{
    statbuf st;
    if (statfile(f, &st) != 0)
        return -1;
    *size = (long long)st.st_size;
    *mtime = MTIME(st);
    return 0;
}
