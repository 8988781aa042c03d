/*
** The command-line finder's fast search: the same lines as search(), but
** the word file is read once. The words that fit the whole text are kept
** in memory, and the backtracking runs over them, each level narrowing the
** list to the words that fit the letters it has left. It lists, too, the
** lines of given word lengths in every order (fastlengths).
*/
#ifndef VEXLORE_FASTSEARCH_H
#define VEXLORE_FASTSEARCH_H

#include "engine/search.h"

#define FAST_FULL   55          /* more candidates than the store holds */

#define FAST_WORDS  (1 << 18)   /* candidate words the store holds */
#define FAST_POOL   (1 << 22)   /* bytes of their text, terminators included */

/* What the last fastsearch() did. */
struct FastStats {
    long long read;     /* words read from the file (as many pumps) */
    int kept;           /* of them, the candidates: words that fit the text */
    long long taken;    /* words accepted in memory (a pump each) */
    long long tried;    /* fit tests of candidates against letters left */
    long long lines;    /* result lines found */
    int inorder;        /* the lines come in byte order: set before the first */
};

extern FastStats faststats;

/* When nfastlengths is not 0, the search lists instead the lines of
** exactly nfastlengths words whose lengths (letters used, spaces not
** counted) are fastlengths[0], fastlengths[1], ... in that order, every
** order of a set of words once, whatever the search type; maxwords still
** bounds the words in a line. Each length is 1 to WORD_MAX. */
extern int fastlengths[WORDS_MAX];
extern int nfastlengths;

/* Runs one search as search() does, through the same window calls and
** with the same limits (maxwords, minlength, the words left out), and
** finds the same lines, in another order: depth first, each level walking
** its words in byte order, so that when faststats.inorder is set the lines
** come sorted and a caller may pass them on as they come. The window's pump
** is called once for each word read and once for each word accepted, or
** once per pumpwords() of them, as search() counts; a stop is seen at the
** next pump. Returns SEARCH_OK, SEARCH_TOOLONG (list
** untouched), SEARCH_POSITION or SEARCH_READ after a dictionary error (with
** the same message as search()), or FAST_FULL, with nothing added to the
** cleared list and the busy animation stopped, when the candidates do not
** fit the store: the caller may then run search() instead. Allocates
** nothing. */
int fastsearch(SearchWindow *win);

#endif
