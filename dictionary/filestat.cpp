/*
** File status through _fstati64 on Windows and fstat elsewhere; both give
** 64-bit sizes, so a file too large for the reader is seen as such.
*/
#include <errno.h>
#include <sys/stat.h>

#include "dictionary/filestat.h"

#ifdef _WIN32
#include <io.h>

int pathstat(const char *path)
{
    struct _stati64 st;
    if (_stati64(path, &st) != 0)
        return -1;
    if ((st.st_mode & _S_IFMT) != _S_IFREG) {
        errno = (st.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : EINVAL;
        return -1;
    }
    return 0;
}

int filestat(FILE *f, long long *size)
{
    struct _stati64 st;
    if (_fstati64(_fileno(f), &st) != 0)
        return -1;
    if ((st.st_mode & _S_IFMT) != _S_IFREG) {
        errno = (st.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : EINVAL;
        return -1;
    }
    *size = st.st_size;
    return 0;
}

#else

int pathstat(const char *path)
{
    struct stat st;
    if (stat(path, &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    return 0;
}

int filestat(FILE *f, long long *size)
{
    struct stat st;
    if (fstat(fileno(f), &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    *size = (long long)st.st_size;
    return 0;
}

#endif
