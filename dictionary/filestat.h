/*
** File status and opening, the things the word file reader needs that the
** C library does not offer portably. Paths are UTF-8, as the window hands
** them over; on Windows, where the C library's narrow calls take the ANSI
** code page, they go to the system as wide text.
*/
#ifndef VEXLORE_FILESTAT_H
#define VEXLORE_FILESTAT_H

#include <stdio.h>

/* Returns 0 if path names a regular file, else -1 with errno set (EISDIR
** for a folder, EINVAL for a device or a pipe). Asked before opening, since
** opening a pipe waits for a writer. */
int pathstat(const char *path);

/* Opens path for reading in binary mode, as fopen(path, "rb") does; NULL
** with errno set if it cannot. On Windows a path that is no valid UTF-8
** is taken in the ANSI code page, as a command-line program's arguments
** come. */
FILE *fileopen(const char *path);

/* Stores the size of the open file f in *size and returns 0 if f is a
** regular file; otherwise returns -1 with errno set (EISDIR for a folder). */
int filestat(FILE *f, long long *size);

/* Stores the size of the open file f and the time it last changed (in a
** unit of the system's, finer than seconds where it keeps one) and returns
** 0; -1 with errno set if its status cannot be read. */
int filestamp(FILE *f, long long *size, long long *mtime);

/* The first size bytes of the open file f, read into memory of its own,
** so that the file may change while the copy is in use. NULL with errno
** set if they cannot be had; filefree gives them back. */
const unsigned char *filewhole(FILE *f, size_t size);
void filefree(const unsigned char *block, size_t size);

#endif
