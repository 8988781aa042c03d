/*
** Blanks of every kind made plain spaces, for the text a window searches.
*/
#include <string.h>

#include "frontend/blanks.h"

/* The bytes of the blank at s, or 0 if s starts no blank other than a
** space or a tab. */
static int blanklen(const unsigned char *s)
{
    if (*s == '\n' || *s == '\r' || *s == '\v' || *s == '\f')
        return 1;
    if (s[0] == 0xc2 && (s[1] == 0x85 || s[1] == 0xa0))
        return 2;
    if (s[0] == 0xe1 && s[1] == 0x9a && s[2] == 0x80)       /* U+1680 */
        return 3;
    if (s[0] == 0xe2 && s[1] == 0x80 && (s[2] <= 0x8a || s[2] == 0xa8 || s[2] == 0xa9 ||
                                         s[2] == 0xaf) && s[2] >= 0x80)
        return 3;                                           /* U+2000-200A, 2028, 2029, 202F */
    if (s[0] == 0xe2 && s[1] == 0x81 && s[2] == 0x9f)       /* U+205F */
        return 3;
    if (s[0] == 0xe3 && s[1] == 0x80 && s[2] == 0x80)       /* U+3000 */
        return 3;
    return 0;
}

void plainblanks(char *text)
{
    unsigned char *in = (unsigned char *)text, *out = in;
    int tabs = 0;

    while (*in) {
        int n = *in == '\t' ? tabs++ > 0 : blanklen(in);
        if (n) {
            *out++ = ' ';
            in += n;
        } else {
            *out++ = *in++;
        }
    }
    *out = '\0';
}
