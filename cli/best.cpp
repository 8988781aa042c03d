/*
** --best at the command line: the words of the open file that fit the
** text become the candidates of one ranking, and its lines are printed.
*/
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "cli/best.h"
#include "cli/filters.h"
#include "dictionary/dict.h"
#include "engine/letters.h"
#include "engine/search.h"
#include "model/lmfile.h"
#include "model/rank.h"
#include "model/related.h"
#include "model/score.h"

/* Says the list was cut at --limit, as the finder does without --best. */
static void saycut(long long limit)
{
    fprintf(stderr, "vexlore-find: the list was cut at --limit %lld lines; the search "
            "found more\n", limit);
}

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
    size_t shown = o->limit ? std::min(n, (size_t)o->limit) : n;
    for (size_t i = 0; i < shown; i++)
        printf("%s \n", scored[i].second);
    if (shown < n)
        saycut(o->limit);
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
            r == LM_NOFILE ? dictcause(errno) : lmerror());
    return -1;
}

/* Loads the relatedness file for a ranking by the model: 0, or -1 after an
** error. Without it the ranking goes by fluency alone. */
static int loadrelated(const BestOptions *o)
{
    int r = relload(o->related.c_str());
    if (r == REL_OK)
        return 0;
    if (r == REL_NOFILE && !o->relnamed) {
        fprintf(stderr, "vexlore-find: no relatedness file '%s'; ranking by fluency alone\n",
                o->related.c_str());
        return 0;
    }
    fprintf(stderr, "vexlore-find: cannot read the relatedness file '%s': %s\n",
            o->related.c_str(), r == REL_NOFILE ? dictcause(errno) : relerror());
    return -1;
}

/* VEXLORE_SCORE=B,D,O,L,U,P sets the score's rule for a measurement
** (bench/): the bonus, the demotion of a chunk and that of a word of the
** text, each a number or "last", the letters a related word needs, the
** log10 unigram probability it may have at most, and the word penalty
** (ScoreRule); the fields not given keep their defaults. */
static void tunescore(void)
{
    const char *env = getenv("VEXLORE_SCORE");
    if (!env)
        return;
    float shortest = (float)scorerule.shortest;
    float *part[6] = {&scorerule.bonus, &scorerule.chunk, &scorerule.own, &shortest,
                      &scorerule.common, &scorerule.penalty};
    for (int i = 0; i < 6 && *env; i++) {
        char *end;
        if (strncmp(env, "last", 4) == 0) {
            *part[i] = -1;
            end = (char *)env + 4;
        } else {
            *part[i] = strtof(env, &end);
        }
        env = *end == ',' ? end + 1 : end + strlen(end);
    }
    scorerule.shortest = (int)shortest;
}

/* The words of line related to the text, as "radium ~ curie, ...", or "-". */
static std::string whyrelated(const char *line, const RelSet *set)
{
    std::string why;
    for (const std::string &w : wordsof(line)) {
        int to = scorerelated(set, w.c_str());
        if (to >= 0)
            why += (why.empty() ? "" : ", ") + w + " ~ " + reltext(to);
    }
    return why.empty() ? "-" : why;
}

int findbest(const BestOptions *o)
{
    int usemodel = loadmodel(o);
    if (usemodel < 0)
        return 2;
    if (usemodel && !o->candidates && loadrelated(o) < 0) {
        lmfree();
        return 2;
    }
    tunescore();
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
        relfree();
        return r;
    }
    /* the words given first take their places in the line; with lengths,
    ** only words of those lengths, and more lines asked for, since some
    ** may not have them */
    int most = maxwords - o->nprefix, give = o->most;
    if (o->limit && o->limit < give)
        give = (int)o->limit + 1;   /* one more says whether the limit cut the list */
    int want = give;
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
    /* the words given lead every line: the ranking scores the whole line,
    ** and knows the text's own words */
    std::vector<std::string> given = wordsof(o->prefix.c_str());
    std::vector<const char *> lead;
    for (const std::string &w : given)
        lead.push_back(w.c_str());
    RankQuery q = {o->whole.c_str(), cands.data(), (int)cands.size(), want, std::max(most, 1),
                   usemodel, o->poll, nullptr, lead.data(), (int)lead.size()};
    static RankLine lines[RANK_MOST];
    int n = 0, r = RANK_OK, exact = 1, stopped = 0;
    if (letters.empty() || most > 0) {
        r = rankbest(&q, lines, &n);
        exact = rankstats.exact;
        stopped = rankstats.stopped;
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (r != RANK_OK) {
        lmfree();
        relfree();
    }
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
    if (o->nlengths) {      /* the lines of those lengths, in their order, scored so */
        int kept = 0;
        for (int i = 0; i < n; i++) {
            std::string l = inlengths(lines[i].text, o->lengths, o->nlengths);
            if (l.empty())
                continue;
            lines[kept] = lines[i];
            snprintf(lines[kept].text, sizeof lines[kept].text, "%s", l.c_str());
            if (usemodel) {     /* the bonus and demotions stay as they were */
                lines[kept].fluency = rankscore(lines[kept].text, nullptr, 0);
                lines[kept].score = lines[kept].fluency + lines[kept].related + lines[kept].demoted;
            }
            kept++;
        }
        if (usemodel)
            std::stable_sort(lines, lines + kept, [](const RankLine &a, const RankLine &b) {
                if (a.reuses != b.reuses && scorerule.own < 0)
                    return a.reuses < b.reuses;
                return a.score > b.score;
            });
        n = std::min(kept, give);
    }
    RelSet set = {0, nullptr, 0};
    if (o->stats && usemodel && relset(&set, o->whole.c_str()) < 0)
        relsetfree(&set);   /* no words to name: the figures still say it */
    int shown = o->limit ? (int)std::min((long long)n, o->limit) : n;
    for (int i = 0; i < shown; i++) {
        const RankLine &l = lines[i];
        if (o->stats && usemodel)
            printf("%s%s\t%.2f\t%.3f\t%.2f\t%.2f\t%.2f\t%s\n", o->prefix.c_str(), l.text, l.score,
                   l.score / l.words, l.fluency, l.related, l.demoted,
                   whyrelated((o->prefix + l.text).c_str(), &set).c_str());
        else
            printf("%s%s\n", o->prefix.c_str(), l.text);
    }
    relsetfree(&set);
    relfree();
    lmfree();
    /* a bounded search that found no set has not shown there is none */
    int unsure = n == 0 && !exact;
    if (n == 0 && !unsure)
        printf("*No anagrams found*\n");
    if (o->stats)
        fprintf(stderr, "vexlore-find: %d candidate words, %lld word sets kept, %lld phrases "
                "expanded in %.3f s; the list is %s\n", (int)cands.size(), rankstats.sets,
                rankstats.expanded, secs,
                exact ? "exact" : "the best a bounded search found");
    if (shown < n)
        saycut(o->limit);
    if (stopped) {
        fprintf(stderr, "vexlore-find: the search was stopped; the %d lines printed are those "
                "found so far\n", shown);
        return 130;     /* as for a program ended by SIGINT */
    }
    if (unsure)
        fprintf(stderr, "vexlore-find: --best found no set of words within its budget, which "
                "does not mean there is none: -m --fast lists them all\n");
    return n ? 0 : 1;
}
