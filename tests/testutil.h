/* Helpers shared by the tests: word files on disk and a window that
** records what the search does to it. */
#ifndef VEXLORE_TESTUTIL_H
#define VEXLORE_TESTUTIL_H

#include <stdint.h>

#include <string>
#include <vector>

#include "dictionary/dict.h"
#include "engine/search.h"

/* Writes bytes to a new file in the current folder; returns its name. */
std::string makefile(const std::string &bytes);

/* The nine-word file of the worked examples. */
extern const char nine_words[];

class TestWindow : public SearchWindow {
public:
    std::string text;
    int type = SINGLE_WORD;
    std::vector<std::string> lines;
    int clears = 0;
    int pumps = 0;
    int stopafter = -1;     /* set the stop flag on this pump, if >= 0 */
    bool busy = false;
    int stop = 0;

    void takeinput(const char **t, int *ty) override { *t = text.c_str(); *ty = type; }
    void clearlist() override { lines.clear(); clears++; }
    void addline(const char *line) override { lines.push_back(line); }
    int countlines() override { return (int)lines.size(); }
    void startbusy() override { busy = true; }
    void stopbusy() override { busy = false; }
    void pump() override
    {
        if (pumps++ == stopafter)
            stop = 1;
    }
    int *stopflag() override { return &stop; }
};

/* Which search runsearch() and find() run: 0 search(), 1 fastsearch(). */
extern int testfast;

int runsearch(SearchWindow *win);

/* The word file at path, open for a scope as the front ends open one
** (dictsource(DICT_FILE), dictopen()), and closed at its end if it opened;
** OpenWords(path).search(win) is one search over it. */
class OpenWords {
public:
    explicit OpenWords(const std::string &path)
        : opened((dictsource(DICT_FILE), dictopen(path.c_str()))) {}
    ~OpenWords() { if (opened == 0) dictclose(); }
    int opened;     /* what dictopen() returned: 0 when open */
    /* runsearch() over the file; -1 if it did not open */
    int search(SearchWindow *win) { return opened == 0 ? runsearch(win) : -1; }
    /* dictclose() now, for a test of what it returns */
    int close() { opened = -1; return dictclose(); }
};

/* Puts back, at the end of its scope however the scope ends, the settings
** a test may change: the search's limits and which search runs. */
struct SettingsBack {
    ~SettingsBack() { testfast = 0; maxwords = WORDS_MAX; minlength = 0; }
};

/* Opens path as the word file, runs one search for text and returns the
** lines in sorted order. */
std::vector<std::string> find(const std::string &path, const std::string &text,
                              int type, int *result = nullptr);

/* A relatedness file of the words (in byte order), the bags of their ids
** (each in rising order, both ways) and the (inflection, base) ids. */
std::string relfile(const std::vector<const char *> &words,
                    const std::vector<std::vector<uint32_t>> &bags,
                    const std::vector<std::pair<uint32_t, uint32_t>> &bases);

#endif
