/*
** Where the word file lies: "words" in the folder the program was started
** from, worked out from the program's command line alone.
*/
#ifndef VEXLORE_WORDPATH_H
#define VEXLORE_WORDPATH_H

/* Writes the word file's path into path, which holds size bytes (at most
** size - 1 characters are written, always terminated; nothing when size is
** 0), and returns its full length, so a caller can size path from it: it
** is never more than strlen(cmdline) + 7. The whole command line counts:
** the program name's folder (the text up to its last backslash, or "."
** when there is none), then "\words". A program name in double quotes ends
** at its closing quote; an unquoted one runs to the end of the text, since
** it may hold spaces. Touches nothing but path. */
int wordpath(const char *cmdline, char *path, int size);

#endif
