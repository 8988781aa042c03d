/*
** Where the word file lies, from the program's command line.
*/
#include <string.h>

#include "windows/wordpath.h"

static const char words[] = "\\words";

int wordpath(const char *cmdline, char *path, int size)
{
    const char *text = cmdline ? cmdline : "";
    const char *end = text + strlen(text);

    /* a program name in quotes ends at its closing quote: the arguments
    ** after it (a file dropped on the program, say) may hold backslashes
    ** of their own. An unquoted name may hold spaces, so there the whole
    ** text counts. */
    const char *name = text + strspn(text, " \t");
    if (*name == '"') {
        const char *close = strchr(name + 1, '"');
        if (close)
            end = close;
    }

    /* the folder: up to the last backslash, without it */
    const char *cut = NULL;
    for (const char *p = text; p < end; p++)
        if (*p == '\\')
            cut = p;
    const char *folder = cut ? text : ".";
    int flen = cut ? (int)(cut - text) : 1;

    /* '"C:\Tools\vexlore.exe"' gives 'C:\Tools\words': the path begins
    ** after the opening quote */
    const char *quote = (const char *)memchr(folder, '"', (size_t)flen);
    if (quote) {
        flen -= (int)(quote + 1 - folder);
        folder = quote + 1;
    }

    int len = flen + (int)(sizeof words - 1);
    if (size > 0) {
        int n = flen < size - 1 ? flen : size - 1;
        memcpy(path, folder, (size_t)n);
        int w = len < size - 1 ? len - n : size - 1 - n;
        memcpy(path + n, words, (size_t)w);
        path[n + w] = '\0';
    }
    return len;
}
