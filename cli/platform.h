/*
** The few things the command-line finder needs of its platform: where the
** program lies, an argument in the system's own text, temporary files, and
** the cause of a failed write.
** cli/platform-posix.cpp and cli/platform-windows.cpp implement them.
*/
#ifndef VEXLORE_PLATFORM_H
#define VEXLORE_PLATFORM_H

#include <stdio.h>

#include <string>

/* The path of 'words' in the folder that holds the running program, in
** UTF-8; argv0 is the fallback where the system cannot say. */
std::string selfwords(const char *argv0);

/* The argument arg points into (an element of argv, or its tail, as
** getopt's optarg may be), in UTF-8. On Windows, where argv is in the ANSI
** code page and loses what that cannot hold, it is taken from the wide
** command line; elsewhere it is arg itself. */
std::string widearg(int argc, char **argv, const char *arg);

/* A new temporary file, open for writing and reading in binary mode, that
** the system removes when it is closed or the process ends in any way. It
** goes to the folder TMPDIR names (on Windows, the temporary folder).
** NULL with errno set if it cannot be made; *dir receives the folder. */
FILE *opentemp(std::string *dir);

/* Calls handler on each Ctrl-C, for the life of the process. A write that
** waits on a reader (a full pipe, a terminal on hold) gives way to it. */
void catchinterrupt(void (*handler)(int));

/* The cause of a write to standard output that just failed, given the
** errno the C library set. On Windows a pipe whose reader has gone comes
** as EINVAL there; this makes it EPIPE, as it is elsewhere. */
int outerrno(int err);

#endif
