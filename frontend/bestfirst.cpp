/*
** Best first: the candidates read from the word file as --best reads them,
** ranked by model/rank.cpp, the window pumped from the ranking's poll.
*/
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "engine/letters.h"
#include "frontend/bestfirst.h"
#include "model/fitwords.h"
#include "model/lmfile.h"
#include "model/rank.h"
#include "model/related.h"

static_assert(BEST_LINES <= RANK_MOST, "a ranking gives the lines a window lists");
static_assert(BEST_SLOTS == RANK_SLOTS && BEST_WORDS == RANK_WORDS, "the ranking's bounds");
static_assert(BEST_TOOWIDE == RANK_TOOWIDE && BEST_TOOMANY == RANK_TOOMANY &&
              BEST_NOMEMORY == RANK_NOMEMORY, "the ranking's results, passed on");

static int loaded;

int bestload(const char *path, char *why, size_t size)
{
    loaded = 0;
    int r = lmload(path);
    if (r == LM_OK) {
        loaded = 1;
        return 0;
    }
    if (r == LM_NOFILE)
        snprintf(why, size, "Best first needs the model file %s: %s.", path,
                 errno == ENOENT ? "there is none" : strerror(errno));
    else
        snprintf(why, size, "Best first needs the model file %s, which is damaged: %s.", path,
                 lmerror());
    return 1;
}

int bestrelated(const char *path, char *why, size_t size)
{
    int r = relload(path);
    if (r == REL_OK)
        return 0;
    if (r == REL_NOFILE && errno == ENOENT)
        snprintf(why, size, "Ranked by fluency alone: no relatedness file %s.", path);
    else if (r == REL_NOFILE)
        snprintf(why, size, "Ranked by fluency alone: cannot read the relatedness file %s: %s.",
                 path, strerror(errno));
    else
        snprintf(why, size, "Ranked by fluency alone: the relatedness file %s is damaged: %s.",
                 path, relerror());
    return 1;
}

int bestready(void)
{
    return loaded;
}

/* The ranking's poll: the window's pump, and its stop flag. */
static int polled(void *ctx)
{
    SearchWindow *win = (SearchWindow *)ctx;
    win->pump();
    return *win->stopflag();
}

int bestsearch(SearchWindow *win)
{
    const char *text;
    int type;

    win->takeinput(&text, &type);
    if (countletters(text) > TEXT_MAX)
        return SEARCH_TOOLONG;
    std::string typed = text, letters;  /* a copy: the view's lasts until its next call */
    for (char c : typed)
        if (c != ' ' && c != '\t')
            letters += c;
    strlower(&letters[0]);
    win->clearlist();
    int *stop = win->stopflag();
    *stop = 0;
    win->startbusy();

    std::vector<std::string> words;
    int r = fittingwords(letters.c_str(), &words, win);
    if (r != SEARCH_OK)
        return r;
    std::vector<const char *> cands;
    for (const std::string &w : words)
        cands.push_back(w.c_str());
    RankQuery q = {typed.c_str(), cands.data(), (int)cands.size(), BEST_LINES,
                   type == SINGLE_WORD ? 1 : maxwords, loaded, polled, win, nullptr, 0};
    static RankLine lines[BEST_LINES];
    int n = 0;
    if (!*stop && !letters.empty())
        r = rankbest(&q, lines, &n);
    for (int i = 0; i < n && r == RANK_OK; i++)
        win->addline(lines[i].text);
    win->stopbusy();
    if (r == RANK_OK && win->countlines() == 0)
        win->addline("*No anagrams found*");
    return r;
}
