/*
** The anagram search behind the Start command: a depth-first scan of the
** word file, rescanned from its first line on every descent.
*/
#ifndef VEXLORE_SEARCH_H
#define VEXLORE_SEARCH_H

#include "engine/stack.h"

/* Results of search(). */
#define SEARCH_OK        0
#define SEARCH_POSITION  52   /* dictposition failed */
#define SEARCH_READ      53   /* dictnext failed */
#define SEARCH_TOOLONG   54   /* the typed text holds more than TEXT_MAX letters */

/* Letters a search can take once blanks are removed. */
#define TEXT_MAX 79

#define SINGLE_WORD 0
#define MULTI_WORD  1

/* Everything the search needs from the window that runs it. The dialog
** implements it, and so do the command-line finder and the tests. */
class SearchWindow {
public:
    /* take the controls' values: the typed text (valid until the next
    ** call) and the search type, SINGLE_WORD or MULTI_WORD */
    virtual void takeinput(const char **text, int *type) = 0;
    virtual void clearlist() = 0;
    /* add one result line; the list keeps its lines sorted */
    virtual void addline(const char *line) = 0;
    virtual int countlines() = 0;
    virtual void startbusy() = 0;
    virtual void stopbusy() = 0;
    /* dispatch one pending message, if any; called once per examined word,
    ** or once per pumpwords() words where the window asks for fewer calls
    ** (the search counts them, see examined) */
    virtual void pump() = 0;
    virtual int pumpwords() { return 1; }
    /* the stop flag: the search clears it at its start, Stop sets it */
    virtual int *stopflag() = 0;
protected:
    ~SearchWindow() {}
};

/* When set, the search writes its progress to standard error. */
extern int trace;

/* Words in one line at most: the stacks hold the sentinel and nine frames. */
#define WORDS_MAX 9

/* The limits the frame stacks set, tied to the search's. */
static_assert(TEXT_MAX == STACK_STR - 1, "a letter string fills one string entry");
static_assert(2 * (WORDS_MAX + 1) == STACK_DEPTH, "the sentinel and nine frames fill the stack");
static_assert(WORDS_MAX * STACK_STR + 2 <= LINE_SIZE,
              "a line of the longest words, their spaces, its line feed and NUL fit");

/* Limits for callers that offer them; the defaults change nothing. A line
** holds at most maxwords words (1 to WORDS_MAX, default WORDS_MAX): a word
** that would be the next one is not accepted. A word shorter than minlength
** characters (spaces count; default 0) is passed over as if the word file
** did not hold it: it is not examined, and the window sees no pump for it. */
extern int maxwords;
extern int minlength;

/* Letters text holds once every space and its first tab are gone; the
** search refuses a text of more than TEXT_MAX. text may be any length. */
int countletters(const char *text);

/* Words examined by the last search, or by the one running. */
extern long long examined;

/* The name of the version of the line scan the search passes over words
** with ("plain", "sse2", ...), for the callers' statistics. */
const char *searchscan(void);

/* Runs one search to its end, reading the open word file. Returns
** SEARCH_OK, or SEARCH_TOOLONG without touching the list, or
** SEARCH_POSITION / SEARCH_READ after a dictionary error; the frame
** stacks are empty again whatever the result. */
int search(SearchWindow *win);

#endif
