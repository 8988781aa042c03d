/*
** --best at the command line: the words of the open file that fit the
** text become the candidates of one ranking, and its lines are printed.
*/
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "cli/best.h"
#include "cli/filters.h"
#include "engine/letters.h"
#include "engine/search.h"
#include "model/lmfile.h"
#include "model/rank.h"

/* --candidates --best: the words that fit, the likeliest first by the
** model's unigram (without it, as --candidates lists them: the longest
** first), then the longer, then in byte order. */
static int bestwords(const BestOptions *o, std::vector<const char *> &cands, int usemodel)
{
    std::vector<std::pair<float, const char *>> scored;
    for (const char *w : cands)
        scored.push_back({usemodel ? lmunigram(lmword(w)) : 0.0f, w});
    std::sort(scored.begin(), scored.end(), [](const std::pair<float, const char *> &a,
                                               const std::pair<float, const char *> &b) {
        if (a.first != b.first)
            return a.first > b.first;
        size_t la = strlen(a.second), lb = strlen(b.second);
        return la != lb ? la > lb : strcmp(a.second, b.second) < 0;
    });
    size_t n = std::min(scored.size(), (size_t)o->most);
    for (size_t i = 0; i < n; i++)
        printf("%s \n", scored[i].second);
    if (n == 0)
        printf("*No anagrams found*\n");
    return n ? 0 : 1;
}

/* --lengths --best: the words of line in the order of the lengths, each
** place taking the first word of its length in the line's own (best)
** order; "" when the line's words do not have those lengths. */
static std::string inlengths(const char *line, const int *lengths, int n)
{
    std::vector<std::string> words = wordsof(line);
    if ((int)words.size() != n)
        return "";
    std::string out;
    for (int i = 0; i < n; i++) {
        size_t j = 0;
        while (j < words.size() && (int)words[j].size() != lengths[i])
            j++;
        if (j == words.size())
            return "";
        out += words[j] + " ";
        words.erase(words.begin() + (long)j);
    }
    return out;
}

/* Loads the model; 1 to rank by it, 0 by shape, -1 after an error. */
static int loadmodel(const BestOptions *o)
{
    int r = lmload(o->model.c_str());
    if (r == LM_OK)
        return 1;
    if (r == LM_NOFILE && !o->named) {
        fprintf(stderr, "vexlore-find: no model file '%s'; ranking by shape: fewest words, "
                "then the longest shortest word\n", o->model.c_str());
        return 0;
    }
    fprintf(stderr, "vexlore-find: cannot read the model file '%s': %s\n", o->model.c_str(),
            r == LM_NOFILE ? strerror(errno) : lmerror());
    return -1;
}

int findbest(const BestOptions *o)
{
    int usemodel = loadmodel(o);
    if (usemodel < 0)
        return 2;
    auto start = std::chrono::steady_clock::now();
    std::string letters;
    for (char c : o->text)
        if (c != ' ' && c != '\t')
            letters += c;
    strlower(&letters[0]);
    std::vector<std::string> words;
    if (fittingwords(letters.c_str(), &words, nullptr) != SEARCH_OK) {
        fprintf(stderr, "vexlore-find: cannot read the word file\n");
        return 2;
    }
    std::vector<const char *> cands;
    for (const std::string &w : words)
        cands.push_back(w.c_str());

    if (o->candidates) {
        int r = bestwords(o, cands, usemodel);
        lmfree();
        return r;
    }
    /* the words given first take their places in the line; with lengths,
    ** only words of those lengths, and more lines asked for, since some
    ** may not have them */
    int most = maxwords - o->nprefix, want = o->most;
    if (o->nlengths) {
        std::vector<const char *> fit;
        for (const char *w : cands)
            if (std::find(o->lengths, o->lengths + o->nlengths, (int)strlen(w)) !=
                o->lengths + o->nlengths)
                fit.push_back(w);
        cands.swap(fit);
        most = std::min(most, o->nlengths);
        want = RANK_MOST;
    }
    RankQuery q = {o->text.c_str(), cands.data(), (int)cands.size(), want, most, usemodel, nullptr, nullptr};
    static RankLine lines[RANK_MOST];
    int n = 0, r = RANK_OK;
    if (letters.empty() && o->nprefix > 0) {
        lines[0].text[0] = '\0';   /* the words given use every letter */
        lines[0].score = 0;
        lines[0].words = o->nprefix;
        n = 1;
    } else if (most > 0) {
        r = rankbest(&q, lines, &n);
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    lmfree();
    if (r == RANK_TOOWIDE || r == RANK_TOOMANY) {
        fprintf(stderr, "vexlore-find: %s, more than --best takes\n",
                r == RANK_TOOWIDE ? "the text holds more than 32 different characters"
                                  : "more than 65535 words of the word file fit the text");
        return 2;
    }
    if (r != RANK_OK) {
        fprintf(stderr, "vexlore-find: not enough memory to rank the anagrams\n");
        return 2;
    }
    if (o->nlengths) {      /* the lines of those lengths, in their order */
        int kept = 0;
        for (int i = 0; i < n && kept < o->most; i++) {
            std::string l = inlengths(lines[i].text, o->lengths, o->nlengths);
            if (l.empty())
                continue;
            lines[kept] = lines[i];
            snprintf(lines[kept].text, sizeof lines[kept].text, "%s", l.c_str());
            kept++;
        }
        n = kept;
    }
    for (int i = 0; i < n; i++) {
        if (o->stats && usemodel)
            printf("%s%s\t%.2f\t%.3f\n", o->prefix.c_str(), lines[i].text, lines[i].score,
                   lines[i].score / lines[i].words);
        else
            printf("%s%s\n", o->prefix.c_str(), lines[i].text);
    }
    if (n == 0)
        printf("*No anagrams found*\n");
    if (o->stats)
        fprintf(stderr, "vexlore-find: %d candidate words, %lld word sets kept, %lld phrases "
                "expanded in %.3f s; the list is %s\n", (int)cands.size(), rankstats.sets,
                rankstats.expanded, secs,
                rankstats.exact ? "exact" : "the best a bounded search found");
    return n ? 0 : 1;
}
