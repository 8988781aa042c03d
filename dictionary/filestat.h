/*
** File status, the one thing the word file reader needs that the C
** library does not offer portably.
*/
#ifndef VEXLORE_FILESTAT_H
#define VEXLORE_FILESTAT_H

#include <stdio.h>

/* Stores the size of the open file f in *size and returns 0 if f is a
** regular file; otherwise returns -1 with errno set (EISDIR for a folder). */
int filestat(FILE *f, long long *size);

#endif
