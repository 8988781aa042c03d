/*
** File status through _stati64 and _fstati64 on Windows, stat and fstat
** elsewhere; all give 64-bit sizes, so a file too large for the reader is
** seen as such.
*/
#include <errno.h>
#include <sys/stat.h>

#include "dictionary/filestat.h"

#ifdef _WIN32
#include <io.h>
typedef struct _stati64 statbuf;
#define statpath(path, st) _stati64(path, st)
#define statfile(f, st)    _fstati64(_fileno(f), st)
#define ISREG(mode)        (((mode) & _S_IFMT) == _S_IFREG)
#define ISDIR(mode)        (((mode) & _S_IFMT) == _S_IFDIR)
#else
typedef struct stat statbuf;
#define statpath(path, st) stat(path, st)
#define statfile(f, st)    fstat(fileno(f), st)
#define ISREG(mode)        S_ISREG(mode)
#define ISDIR(mode)        S_ISDIR(mode)
#endif

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
