/*
** vexlore-find's filters: words every line holds, words never used, the
** lengths of a line's words, the candidate words alone, and a bound on the
** lines. A search runs through a FilterWindow, which hands the window
** behind it the lines the filters let through, as they are to be printed.
*/
#ifndef VEXLORE_FILTERS_H
#define VEXLORE_FILTERS_H

#include <set>
#include <string>
#include <vector>

#include "engine/search.h"
#include "model/fitwords.h"

#define LENGTHS_MAX WORDS_MAX   /* words a --lengths can give */

struct Filters {
    std::vector<std::string> contains;  /* folded, in the order given */
    std::vector<std::string> exclude;   /* folded */
    int lengths[LENGTHS_MAX];
    int nlengths = 0;
    long long limit = 0;                /* lines at most; 0 for no bound */
    int candidates = 0;
};

/* Each of these takes an option's argument; they return "" or the one
** line that says what is wrong with it, naming the option. */

/* The words of arg, split at blanks and folded to lower case, go on
** *words. */
std::string addwords(const char *option, const char *arg, std::vector<std::string> *words);

/* A list such as "5,7" (1 to LENGTHS_MAX lengths of 1 to WORD_MAX). */
std::string parselengths(const char *arg, Filters *f);

/* What the filters ask of text and the open word file, once the options
** are read: the words of --contains in its letters, the lengths adding up
** to them, the words of --exclude in the file. Leaves those words out of
** the searches (exclude.h), and with --lengths the words holding a space. */
std::string checkfilters(const Filters &f, const std::string &text);

/* The letters of text once those of words are taken out, in *rest. When
** text lacks some, returns -1 with them in *lacking. */
int takewords(const std::string &text, const std::vector<std::string> &words, std::string *rest,
              std::string *lacking);

/* The words of line (words, each followed by a space, then maybe a line
** feed), as the spaces after them part them. */
std::vector<std::string> wordsof(const char *line);

/* Whether line (words, each followed by a space, then a line feed) holds n
** words of the lengths given, in that order. With --lengths no word holds
** a space (exclude.h), so the spaces part the words. */
int fitslengths(const char *line, const int *lengths, int n);

/* The window a filtered search runs through, in front of the one that
** shows the lines. */
class FilterWindow : public SearchWindow {
public:
    FilterWindow(SearchWindow *out, const Filters &f) : out(out), f(f) {}

    /* The lines reach the window behind in the order they are to be
    ** printed: known from the first line on. */
    int inorder() const;
    /* The search was stopped because the bound was passed. */
    int cut() const { return over; }

    void takeinput(const char **text, int *type) override;
    void clearlist() override;
    void addline(const char *line) override;
    int countlines() override { return out->countlines(); }
    void startbusy() override { out->startbusy(); }
    void stopbusy() override { out->stopbusy(); }
    void pump() override { out->pump(); }
    int pumpwords() override { return out->pumpwords(); }
    int *stopflag() override { return out->stopflag(); }

private:
    friend int filteredsearch(FilterWindow *win, int fast);
    SearchWindow *out;
    const Filters &f;
    int fast = 0;           /* the search running is fastsearch() */
    int listing = 0;        /* --candidates: lines come sorted by it */
    int over = 0;
    long long passed = 0;
    std::string prefix;     /* the words of --contains, each with its space */
    std::string rest;       /* the text the search runs on */
    std::string joined;     /* a line after the prefix */
    std::string last;       /* the last line passed, for the repeats of --lengths */
    std::set<std::string> seen;     /* the lines passed, where they come unsorted */

    void pass(const char *line);
    void orders(const char *line);
};

/* Runs the search the filters ask for, over the open word file, through
** win: --candidates, or search() or fastsearch() (fast) on the letters
** --contains leaves. Returns as search() does; FAST_FULL as fastsearch()
** does, and the caller may then run it again without fast. */
int filteredsearch(FilterWindow *win, int fast);

#endif
