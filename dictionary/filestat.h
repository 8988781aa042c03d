/*
** File status, the one thing the word file reader needs that the C
** library does not offer portably.
*/
#ifndef VEXLORE_FILESTAT_H
#define VEXLORE_FILESTAT_H

#include <stdio.h>

/* Returns 0 if path names a regular file, else -1 with errno set (EISDIR
** for a folder, EINVAL for a device or a pipe). Asked before opening, since
** opening a pipe waits for a writer. */
int pathstat(const char *path);

/* Stores the size of the open file f in *size and returns 0 if f is a
** regular file; otherwise returns -1 with errno set (EISDIR for a folder). */
int filestat(FILE *f, long long *size);

#endif
