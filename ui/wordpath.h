/*
** Where the word file lies: "words" in the folder the program was started
** from, worked out from the program's command line alone.
*/
#ifndef VEXLORE_WORDPATH_H
#define VEXLORE_WORDPATH_H

#define CMDLINE_USED  127                   /* command line characters looked at */
#define WORDPATH_SIZE (CMDLINE_USED + 7)    /* room for "\words" and the terminator */

/* Writes the word file's path into path, which holds size bytes (at most
** size - 1 characters are written, always terminated). Of the command line
** only the first CMDLINE_USED characters count: the program name's folder
** (the text up to its last backslash, or "." when there is none), then
** "\words". A program name in double quotes ends at its closing quote;
** an unquoted one runs to the end of the text, since it may hold spaces.
** Touches nothing but path. */
void wordpath(const char *cmdline, char *path, int size);

#endif
