/*
** The anagram search: passes over the word file, descending into the
** letters left whenever a word fits and backtracking when a pass runs out,
** with its frames on the two stacks. The reader passes over the words that
** hold a letter the letters lack (dictscan); they count as examined, and
** the exact tests run on the rest, in the order of the file.
*/
#include <stdio.h>
#include <string.h>

#include "dictionary/bytescan.h"
#include "dictionary/dict.h"
#include "dictionary/linescan.h"
#include "engine/exclude.h"
#include "engine/letters.h"
#include "engine/search.h"
#include "engine/stack.h"

int trace = 0;
int maxwords = WORDS_MAX;
int minlength = 0;
long long examined = 0;

/* The pump's count: words until its next call, and the words between. */
static int due, every;

/* Letters the typed text holds once every space and its first tab are
** gone, as strminus(text, " \t") would leave them; text may be any length. */
int countletters(const char *text)
{
    int n = 0, tabseen = 0;
    for (; *text; text++) {
        if (*text == ' ')
            continue;
        if (*text == '\t' && !tabseen) {
            tabseen = 1;
            continue;
        }
        n++;
    }
    return n;
}

/* Whether word (in a buffer of WORD_MAX + 1 bytes) holds c; the NUL that
** ends an empty letter string is in every word. */
static inline int hasletter(const char *word, char c)
{
#ifdef BYTESCAN
    for (int i = 0; i + BYTESCAN <= WORD_MAX + 1; i += BYTESCAN) {
        chunk x = chunk_load(word + i);
        unsigned hit = chunk_equal(x, c);
        unsigned end = chunk_equal(x, '\0');
        if (hit | end)      /* whichever comes first decides */
            return ((hit | end) & -(hit | end) & hit) != 0;
    }
    word += (WORD_MAX + 1) / BYTESCAN * BYTESCAN;
#endif
    for (;; word++) {
        if (*word == c)
            return 1;
        if (*word == '\0')
            return 0;
    }
}

/* The next word to examine: through the scan, which passes over the words
** that cannot fit letters and counts them in *passed, or, for a stopped
** search (scan 0), through dictnext. A word shorter than minlength, or
** left out (exclude.h), is passed over as if the file did not hold it,
** uncounted; the scan cannot tell a word's length, so with minlength set
** every word is read. A left-out word the scan passes over is counted, as
** it could not fit anyway. */
static int nextword(const char *letters, char *word, int *offset, int *more, int *passed,
                    int scan)
{
    int r, total = 0;
    int skip = minlength > 0 || excluding();
    do {
        int n = 0;
        r = scan && minlength == 0 ? dictscan(letters, word, offset, more, &n) : dictnext(word, offset, more);
        total += n;
    } while (r == 0 && *more && skip && passedover(word, (int)strlen(word)));
    *passed = total;
    return r;
}

static void copyout(char *dst, size_t size, const char *src)
{
    snprintf(dst, size, "%s", src);
}

/* Counts n more words as examined, one at a time as far as the window can
** tell: its pump comes on every every-th one, and counting ends at a pump
** that sets the stop flag, since no word after that one is examined. */
static void count(SearchWindow *win, int n, const int *stop)
{
    while (n > 0 && !*stop) {
        int k = n < due ? n : due;
        examined += k;
        n -= k;
        due -= k;
        if (due == 0) {
            due = every;
            win->pump();
        }
    }
}

/* Pops one frame into letters, word and offset. */
static void popframe(char *letters, char *word, int *offset)
{
    copyout(letters, STACK_STR, strpull());
    copyout(word, WORD_MAX + 1, strpull());
    *offset = ipull();
}

/* Empties the stacks after a search ended by an error, so the next one
** starts clean. */
static void dropframes(void)
{
    while (strdepth() > 0) {
        strpull();
        strpull();
        ipull();
    }
}

int search(SearchWindow *win)
{
    const char *text;
    int type;
    char blanked[TEXT_MAX + 1];
    char letters[STACK_STR];
    char rest[STACK_STR];
    char word[WORD_MAX + 1] = "";
    int offset = 0, more = 0, pass = 0, passed = 0, err = SEARCH_OK;

    win->takeinput(&text, &type);
    if (countletters(text) > TEXT_MAX)
        return SEARCH_TOOLONG;
    win->clearlist();
    int *stop = win->stopflag();
    *stop = 0;
    examined = 0;
    every = win->pumpwords() > 0 ? win->pumpwords() : 1;
    due = 1;

    strminus(text, " \t", blanked);
    strlower(blanked);
    freqsort(blanked, letters);
    if (trace)
        fprintf(stderr, "reverse frequency sorted: %s\n", letters);

    strpush("");
    strpush("");
    ipush(0);
    win->startbusy();

    while (strdepth() != 0) {
        int descended = 0;
        if (trace)
            fprintf(stderr, "Positioning to: '%s' or position %d\n", word, offset);
        if (dictposition(word, offset)) {
            err = SEARCH_POSITION;
            break;
        }
        /* a stopped search reads one word a pass and examines none */
        if (nextword(letters, word, &offset, &more, &passed, !*stop)) {
            err = SEARCH_READ;
            break;
        }
        count(win, passed, stop);
        while (more && !*stop) {
            count(win, 1, stop);    /* this word's own, before its test */
            /* the rarest letter left must be in the word: a cheap test
            ** that throws out most words before strcontains */
            if (hasletter(word, letters[0]) && strcontains(letters, word)) {
                if (trace)
                    fprintf(stderr, "found word: %s\n", word);
                /* a tenth frame would not fit beside the sentinel; below
                ** the sentinel's two entries, two for each word taken */
                int level = strdepth() / 2;     /* the word would be the level-th */
                int last = level >= maxwords || strdepth() + 4 > STACK_DEPTH;
                int ok = (type != SINGLE_WORD || strlen(word) >= strlen(letters)) &&
                         strdepth() + 2 <= STACK_DEPTH && level <= maxwords;
                if (ok)
                    strminus(letters, word, rest);
                /* on the last level, a word that leaves letters over would
                ** only start a pass that can accept nothing */
                if (ok && (!last || rest[0] == '\0')) {
                    strpush(word);
                    strpush(letters);
                    ipush(offset);
                    strcpy(letters, rest);
                    word[0] = '\0';
                    offset = 0;
                    if (letters[0]) {
                        descended = 1;
                        break;
                    }
                    win->addline(stackline());
                    popframe(letters, word, &offset);
                }
            }
            if (nextword(letters, word, &offset, &more, &passed, 1)) {
                err = SEARCH_READ;
                break;
            }
            count(win, passed, stop);
        }
        if (err)
            break;
        if (trace)
            fprintf(stderr, "Pass %d of dictionary complete\n", pass);
        pass++;
        if (!descended)
            popframe(letters, word, &offset);
    }

    if (err) {
        dropframes();
        fprintf(stderr, "%s: dictionary file error [%d]\n", "vexlore", err);
        return err;
    }
    win->stopbusy();
    if (win->countlines() == 0)
        win->addline("*No anagrams found*");
    return SEARCH_OK;
}

const char *searchscan(void)
{
    return scanname(scankind());
}
