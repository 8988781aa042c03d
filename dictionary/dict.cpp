/*
** Dictionary layer: every call of the program on the word file goes
** through here, under the source selector.
*/
#include "dictionary/dict.h"
#include "dictionary/linescan.h"
#include "dictionary/wordfile.h"

static_assert(SCAN_LINEMAX == WORD_MAX, "the scan passes over words only");

static int source = -1;
static int first;           /* where the first line's text starts in the file */
static struct scanfilter filter;    /* for the letters of the last dictscan */
static unsigned filterlack = ~0u;   /* its letters lacking; none made yet */

int dictsource(int s)
{
    if (s != DICT_DISABLED && s != DICT_FILE)
        return 0;
    source = s;
    return 1;
}

int dictopen(const char *path)
{
    if (source == DICT_DISABLED)
        return 1;
    if (!wordopen(path, 1))
        return 1;
    first = wordfirst();
    return 0;
}

int dictposition(const char *word, int offset)
{
    char line[WORD_MAX + 1];
    if (source == DICT_DISABLED || !wordseek(offset))
        return 1;
    if (word[0] && wordread(line, sizeof line, NULL) == WORD_READFAIL)
        return 1;
    return 0;
}

/* Reads the next word, having passed over what f rules out if f is set. */
static int nextword(const struct scanfilter *f, char *word, int *offset, int *more, int *passed)
{
    int len, at;
    if (source == DICT_DISABLED)
        return 1;
    /* a line too long for a word, or one holding a NUL byte, is no word */
    do {
        if (f)
            wordscan(f, passed);
    } while ((at = wordread(word, WORD_MAX + 1, &len)) >= 0 && (len < 0 || len > WORD_MAX));
    if (at == WORD_READFAIL)
        return 1;
    if (at < 0) {
        word[0] = '\0';
        *offset = 0;
        *more = 0;
        return 0;
    }
    *offset = at == first ? 0 : at;     /* the first line starts at 0, mark or none */
    *more = 1;
    return 0;
}

int dictnext(char *word, int *offset, int *more)
{
    return nextword(NULL, word, offset, more, NULL);
}

int dictscan(const char *letters, char *word, int *offset, int *more, int *passed)
{
    unsigned lack = (1u << 26) - 1;
    for (const char *p = letters; *p; p++)
        if (*p >= 'a' && *p <= 'z')
            lack &= ~(1u << (*p - 'a'));
    if (lack != filterlack) {
        scanletters(&filter, lack);
        filterlack = lack;
    }
    *passed = 0;
    return nextword(&filter, word, offset, more, passed);
}

const char *dictcause(int err)
{
    return wordcause(err);
}

int dictchanged(void)
{
    return source == DICT_FILE && wordchanged();
}

int dictclose(void)
{
    if (source == DICT_DISABLED)
        return 1;
    return wordclose();
}
