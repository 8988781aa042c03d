/*
** Where the word file lies, from the program's command line.
*/
#include <string.h>

#include "ui/wordpath.h"

void wordpath(const char *cmdline, char *path, int size)
{
    char buf[WORDPATH_SIZE];
    char *cut, *start;
    int len;

    if (size <= 0)
        return;
    strncpy(buf, cmdline ? cmdline : "", CMDLINE_USED);
    buf[CMDLINE_USED] = '\0';

    /* a program name in quotes ends at its closing quote: the arguments
    ** after it (a file dropped on the program, say) may hold backslashes
    ** of their own. An unquoted name may hold spaces, so there the whole
    ** text counts. */
    start = buf + strspn(buf, " \t");
    if (*start == '"') {
        char *close = strchr(start + 1, '"');
        if (close)
            *close = '\0';
    }

    cut = strrchr(buf, '\\');
    if (cut)
        *cut = '\0';
    else
        strcpy(buf, ".");
    strcat(buf, "\\words");     /* at most CMDLINE_USED - 1 + 6 characters */

    /* '"C:\Tools\vexlore.exe"' gives 'C:\Tools\words': the closing quote
    ** went with the program name */
    start = strchr(buf, '"');
    start = start ? start + 1 : buf;

    len = (int)strlen(start);
    if (len > size - 1)
        len = size - 1;
    memcpy(path, start, len);
    path[len] = '\0';
}
