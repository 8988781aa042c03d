/*
** The ranking behind --best: a best-first search over partial phrases,
** scored word by word by the trigram model, with a bound that says when
** the list it holds is certainly the best, and the completing of phrases
** it left open when its list is short; its exhaustive twin; and the
** ranking by shape for when there is no model. What a word adds to a
** line, and the bound, are score.cpp's.
*/
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/lmfile.h"
#include "model/rank.h"
#include "model/score.h"

#define QUEUE_MOST  (1 << 19)   /* partial phrases the queue holds */
#define EXPAND_MOST 20000       /* phrases expanded before the search gives up on proof */
#define LOOK_MOST   100000000LL /* and candidates looked at, at most: a long text has many */
#define SEEN_SLOTS  (1 << 20)   /* the table of partial phrases already queued */
#define SHAPE_STEPS 50000000LL  /* set search steps the ranking by shape takes */
#define GUESS_RATE  0.7f        /* what a letter still to place costs, beyond the bound */

RankStats rankstats;

static ScoreText T;             /* the text ranked, its candidates and the bound */
static const RankQuery *query;

/* Polls the query's caller once in POLL_EVERY calls; 1 once it said stop.
** An expansion of a long text's phrase can take 100 us and more: a window
** that pumps from the poll must hear a Stop within a few ms. */
#define POLL_EVERY 8
static int pollcount;

static int stopping(void)
{
    if (rankstats.stopped)
        return 1;
    if (!query->poll || ++pollcount < POLL_EVERY)
        return 0;
    pollcount = 0;
    if (query->poll(query->ctx))
        rankstats.stopped = 1;
    return rankstats.stopped;
}

/* The line of words w[0..k-1]; also sets words, reuses and shortest. */
static void makeline(RankLine *r, const int *w, int k, float score)
{
    size_t at = 0;
    r->words = k + T.nlead;
    r->reuses = r->chunks = 0;     /* the lead's words were asked for: they do not count */
    r->shortest = T.leadshort;
    r->score = score;
    r->related = T.leadbonus;
    r->demoted = T.leadextra - T.leadbonus;
    for (int i = 0; i < k; i++) {
        const ScoreWord &c = T.cands[w[i]];
        size_t n = strlen(c.text);
        if (at + n + 2 > sizeof r->text)
            n = sizeof r->text - at - 2;    /* only for words longer than WORD_MAX */
        memcpy(r->text + at, c.text, n);
        at += n;
        r->text[at++] = ' ';
        r->reuses |= c.reuse;
        r->chunks += c.chunk;
        r->related += c.bonus;
        r->demoted += c.extra - c.bonus;
        r->shortest = std::min(r->shortest, (int)strlen(c.text));
    }
    r->text[at] = '\0';
    r->fluency = score - r->related - r->demoted;
}

/* The order lines are listed in: reusing after not, then better first,
** then in byte order. */
static bool before(const RankLine &a, const RankLine &b)
{
    if (a.reuses != b.reuses && (T.ownlast || !query->usemodel))
        return a.reuses < b.reuses;
    if (query->usemodel) {
        if (a.score != b.score)
            return a.score > b.score;
    } else {
        if (a.words != b.words)
            return a.words < b.words;
        if (a.shortest != b.shortest)
            return a.shortest > b.shortest;
    }
    return strcmp(a.text, b.text) < 0;
}

/* The lines found, one for each word set (by key). */
static std::vector<RankLine> lines;
static std::unordered_map<uint64_t, size_t> linekey;

/* Keeps a set's line, or a better order of a set already kept (an order
** of the same score wins by byte order). Returns 1 if it is a new set. */
static int keep(uint64_t key, const int *w, int k, float score)
{
    RankLine r;
    makeline(&r, w, k, score);
    auto it = linekey.find(key);
    if (it == linekey.end()) {
        linekey[key] = lines.size();
        lines.push_back(r);
        return 1;
    }
    RankLine &old = lines[it->second];
    if (score > old.score || (score == old.score && strcmp(r.text, old.text) < 0))
        old = r;
    return 0;
}

/* Every word set of candidates from index `from` on that uses exactly
** left, with at most `most` words more: calls found(w, k) for each, with
** the words in index order. Returns 0, or 1 when *steps ran out. */
typedef void (*SetFound)(int *w, int k);
static int eachset(int from, const uint64_t *left, int leftn, int *w, int k, int most,
                   long long *steps, SetFound found)
{
    if (leftn == 0) {
        found(w, k);
        return 0;
    }
    if (most == 0)
        return 0;
    for (int c = from; c < (int)T.cands.size(); c++) {
        if (--*steps < 0 || stopping())
            return 1;
        const ScoreWord &cd = T.cands[c];
        if (cd.len > leftn || !scorefits(left, cd.count))
            continue;
        uint64_t rest[4];
        for (int j = 0; j < 4; j++)
            rest[j] = left[j] - cd.count[j];
        w[k] = c;
        if (eachset(c, rest, leftn - cd.len, w, k + 1, most - 1, steps, found))
            return 1;
    }
    return 0;
}

static int exactly;     /* setbyorder takes only sets of so many words; 0: any */

/* A set found by a set search: with the model, its best order, by trying
** each; without, its words in byte order. */
static void setbyorder(int *w, int k)
{
    uint64_t key = 0;
    for (int i = 0; i < k; i++)
        key += T.cands[w[i]].key;
    if ((T.hasown && key == T.ownkey) || (exactly && k != exactly))
        return;
    if (!query->usemodel) {
        keep(key, w, k, 0);
        return;
    }
    if (query->maxwords == 1 && !T.nlead) {
        keep(key, w, k, lmunigram(T.cands[w[0]].id) + T.cands[w[0]].extra);
        return;
    }
    int order[WORDS_MAX];
    memcpy(order, w, k * sizeof *order);
    do
        keep(key, order, k, scoreline(&T, order, k));
    while (std::next_permutation(order, order + k));
}

/* Sorts the lines kept and gives the first most of them. */
static void give(RankLine *out, int *n)
{
    std::sort(lines.begin(), lines.end(), before);
    *n = std::min((int)lines.size(), query->most);
    std::copy(lines.begin(), lines.begin() + *n, out);
    lines.clear();
    linekey.clear();
}

/* The lead alone, when it takes every letter: its line, unless it is the
** text's own words. */
static void leadalone(void)
{
    if (!T.nlead || (T.hasown && T.ownkey == 0))
        return;
    const LmModel *m = lmmodel();
    keep(0, nullptr, 0, query->usemodel ? T.leadg + scoreword(m->eos, T.starth1, T.starth2) : 0);
}

int rankall(const RankQuery *q, RankLine *out, int *n)
{
    rankstats.stopped = 0;
    pollcount = 0;
    query = q;
    int r = scoreprepare(&T, q);
    *n = 0;
    if (r != RANK_OK)
        return r;
    int w[WORDS_MAX];
    long long steps = 1ll << 62;
    lines.clear();
    linekey.clear();
    if (!T.leadfits)
        ;
    else if (T.letters == 0)
        leadalone();
    else
        eachset(0, T.whole, T.letters, w, 0, q->maxwords, &steps, setbyorder);
    rankstats.exact = 1;
    rankstats.sets = (long long)lines.size();
    give(out, n);
    return RANK_OK;
}

/* ---- the bounded search ---- */

/* A partial phrase: its words in order and what they leave. */
struct Phrase {
    float guess;        /* the queue's order: score, hope and a guess */
    float hope;         /* what its letters left may add but the extras */
    float most;         /* the most its completion can score */
    float g;            /* log10 P of its words so far, after <s> */
    int leftn;
    uint64_t left[4];
    uint64_t key;
    unsigned char n;
    unsigned short w[WORDS_MAX];
};

static bool worse(const Phrase &a, const Phrase &b)
{
    return a.guess < b.guess;
}

/* The best scores of distinct sets so far, high first, most of them. */
static std::vector<float> top;

static float threshold(void)
{
    return (int)top.size() == query->most ? top.back() : -INFINITY;
}

/* A set's score changed from old (or NAN: new) to now. */
static void ontop(float old, float now)
{
    if (!isnan(old)) {
        auto it = std::find(top.begin(), top.end(), old);
        if (it != top.end())
            top.erase(it);
    }
    top.insert(std::upper_bound(top.begin(), top.end(), now, std::greater<float>()), now);
    if ((int)top.size() > query->most)
        top.pop_back();
}

/* A complete phrase: kept when its set belongs to this round (reusing or
** not) and is not the text's own. */
static void complete(const Phrase &p, int c, float g, int reusing)
{
    int w[WORDS_MAX], reuse = 0;
    for (int i = 0; i < p.n; i++) {
        w[i] = p.w[i];
        reuse |= T.cands[w[i]].reuse;
    }
    w[p.n] = c;
    reuse |= T.cands[c].reuse;
    uint64_t key = p.key + T.cands[c].key;
    if ((T.ownlast && reuse != reusing) || (T.hasown && key == T.ownkey))
        return;
    auto it = linekey.find(key);
    float old = it == linekey.end() ? NAN : lines[it->second].score;
    keep(key, w, p.n + 1, g);
    float now = lines[linekey[key]].score;
    if (isnan(old) || now != old)
        ontop(old, now);
}

static std::vector<int> holding[RANK_SLOTS];    /* the candidates holding each slot's character */

static int slotcount(const uint64_t *count, int s)
{
    return (int)((count[s / 8] >> (8 * (s % 8))) & 0xff);
}

/* The slot of the letters left (leftn > 0) that the fewest candidates hold. */
static int rarest(const uint64_t *left)
{
    int rare = -1;
    for (int s = 0; s < T.nslots; s++)
        if (slotcount(left, s) && (rare < 0 || holding[s].size() < holding[rare].size()))
            rare = s;
    return rare;
}

/* 0 when no candidate holding the letter of slot s fits what is left: no
** set completes a phrase that leaves that. */
static int held(const uint64_t *left, int s, int reusing)
{
    for (int c : holding[s])
        if ((reusing || !T.cands[c].reuse) && scorefits(left, T.cands[c].count))
            return 1;
    return 0;
}

/* held, for every letter left */
static int allheld(const uint64_t *left, int reusing)
{
    for (int s = 0; s < T.nslots; s++)
        if (slotcount(left, s) && !held(left, s, reusing))
            return 0;
    return 1;
}

/* The candidates holding each letter. */
static void holders(void)
{
    for (int s = 0; s < T.nslots; s++)
        holding[s].clear();
    for (int c = 0; c < (int)T.cands.size(); c++)
        for (int s = 0; s < T.nslots; s++)
            if (slotcount(T.cands[c].count, s))
                holding[s].push_back(c);
}

/* ---- completing the phrases a bounded search left open ---- */

#define FILL_LOOKS  20000000LL  /* candidates a filling looks at, in all */
#define FILL_EACH   2000000LL   /* and for one phrase */
#define FILL_SETS   20          /* sets it completes at least, to take the best of */

/* A word to try in a phrase's next place, and how well it may do there,
** as the queue orders phrases: its score and a guess for its letters. */
struct Try { float v; int c; };
static std::vector<Try> fillplace[WORDS_MAX];   /* the tries of each place, best first */

static Phrase extend(const Phrase &p, int c)
{
    const ScoreWord &cd = T.cands[c];
    Phrase q = p;
    for (int j = 0; j < 4; j++)
        q.left[j] = p.left[j] - cd.count[j];
    q.leftn = p.leftn - cd.len;
    q.key = p.key + cd.key;
    q.w[q.n++] = (unsigned short)c;
    return q;
}

/* The words that may take p's next place, best first, in tries: those
** holding the letter left that the fewest candidates hold, that fit, and
** that leave each letter left held by a candidate that fits what is left.
** Returns 0, or -1 when *looks ran out or the poll said stop. */
static int places(const Phrase &p, int reusing, long long *looks, std::vector<Try> &tries)
{
    int h1 = p.n ? T.cands[p.w[p.n - 1]].id : T.starth1;
    int h2 = p.n > 1 ? T.cands[p.w[p.n - 2]].id : p.n == 1 ? T.starth1 : T.starth2;
    tries.clear();
    for (int c : holding[rarest(p.left)]) {
        if (--*looks < 0 || stopping())
            return -1;
        const ScoreWord &cd = T.cands[c];
        if (cd.len > p.leftn || (!reusing && cd.reuse) || !scorefits(p.left, cd.count) ||
            (cd.len < p.leftn && p.n + 1 >= query->maxwords))
            continue;
        uint64_t left[4];
        for (int j = 0; j < 4; j++)
            left[j] = p.left[j] - cd.count[j];
        if (cd.len < p.leftn && !allheld(left, reusing))
            continue;
        tries.push_back({scoreplace(&T, c, h1, h2) + GUESS_RATE * cd.len - cd.hoped, c});
    }
    std::sort(tries.begin(), tries.end(), [](const Try &a, const Try &b) { return a.v > b.v; });
    return 0;
}

/* A set a filling completed, kept in its best order unless it is the
** text's own; 1 if it is a new set. */
static int finish(const Phrase &q)
{
    if (T.hasown && q.key == T.ownkey)
        return 0;
    int w[WORDS_MAX];
    for (int j = 0; j < q.n; j++)
        w[j] = q.w[j];
    float g = scoreorder(&T, w, q.n);
    return keep(q.key, w, q.n, g);
}

/* Completes p depth first, in each place the best tries first. Keeps the
** first new set it completes and returns 1; 0 when it finds none within
** *looks. */
static int dive(const Phrase &p, int reusing, long long *looks)
{
    std::vector<Try> &tries = fillplace[p.n];
    if (places(p, reusing, looks, tries) < 0)
        return 0;
    for (size_t i = 0; i < tries.size(); i++) {
        Phrase q = extend(p, tries[i].c);
        if (q.leftn > 0 ? dive(q, reusing, looks) : finish(q))
            return 1;
    }
    return 0;
}

/* Fills the list the search left short: one set for each word that may
** come first (holding the rarest letter), the best first, then one for
** each phrase the search left open, the best first by the queue's order,
** until it holds FILL_SETS sets or more than asked, or FILL_LOOKS run out. So a long text, whose
** letters the search's best phrases seldom use up, still gets lines,
** though no bound says how good they are. */
static void fill(const Phrase &root, std::vector<Phrase> &open, int reusing)
{
    long long looks = FILL_LOOKS;
    int sets = std::max(query->most, FILL_SETS);
    auto room = [&]() { return (int)lines.size() < sets && looks > 0 && !rankstats.stopped; };
    auto one = [&](const Phrase &p) {
        long long each = std::min(looks, FILL_EACH), was = each;
        dive(p, reusing, &each);
        looks -= was - std::max(each, 0LL);
    };
    std::vector<Try> firsts;
    if (places(root, reusing, &looks, firsts) < 0)
        return;
    for (size_t i = 0; i < firsts.size() && room(); i++) {
        Phrase q = extend(root, firsts[i].c);
        if (q.leftn == 0)
            finish(q);
        else
            one(q);
    }
    std::sort(open.begin(), open.end(), [](const Phrase &a, const Phrase &b) { return a.guess > b.guess; });
    for (size_t i = 0; i < open.size() && room(); i++)
        one(open[i]);
}

/* One round of the search: the sets that reuse a word of the text, or
** those that do not. Returns 1 if it proved its list the best, 0 if not,
** -1 without the memory for it. */
static int rankround(int reusing)
{
    const LmModel *m = lmmodel();
    float whole_rated = 0, whole_hoped = 0;
    for (int s = 0; s < T.nslots; s++) {
        whole_rated += (float)slotcount(T.whole, s) * T.rate[s];
        whole_hoped += (float)slotcount(T.whole, s) * T.hoperate[s];
    }
    std::vector<Phrase> queue;
    queue.reserve(QUEUE_MOST);  /* pages the queue never reaches stay untouched */
    struct Seen { uint64_t key; float g; };
    Seen *seen = (Seen *)calloc(SEEN_SLOTS, sizeof *seen);
    if (!seen)
        return -1;
    Phrase root = {};
    root.g = T.leadg;
    root.most = T.leadg + whole_rated + T.endmost;
    root.hope = whole_hoped;
    root.guess = T.leadg + root.hope + T.endmost - GUESS_RATE * T.letters;
    root.leftn = T.letters;
    memcpy(root.left, T.whole, sizeof T.whole);
    queue.push_back(root);
    int proved = 1;
    long long expanded = 0;
    long long expandmost = std::min((long long)EXPAND_MOST, LOOK_MOST / (long long)std::max(T.cands.size(), (size_t)1));

    /*
    ** The bound: a phrase's score only falls as words are added, and no
    ** completion of it can score more than its score so far, plus for each
    ** letter left the most any candidate holding that letter adds per
    ** letter (lmbounds, over every context the candidates allow), plus the
    ** most </s> adds. So a phrase is dropped only when that sum is below
    ** the score of the most-th best set found: it never prunes a phrase
    ** that could still place a set in the list. The queue takes the
    ** phrases in order of that sum (the extras left out of the letters' part) less a guess of what each letter left
    ** will truly cost, which finds good sets early but proves nothing; when
    ** the expansions (at most LOOK_MOST candidates looked at) or the queue
    ** run out, the list is the best found.
    */
    while (!queue.empty()) {
        std::pop_heap(queue.begin(), queue.end(), worse);
        Phrase p = queue.back();
        queue.pop_back();
        if (p.most < threshold())
            continue;
        if (++expanded > expandmost || stopping()) {
            queue.push_back(p);     /* left open, as the rest */
            for (const Phrase &r : queue)
                proved &= r.most < threshold();
            break;
        }
        int h1 = p.n ? T.cands[p.w[p.n - 1]].id : T.starth1;
        int h2 = p.n > 1 ? T.cands[p.w[p.n - 2]].id : p.n == 1 ? T.starth1 : T.starth2;
        float rated = p.most - T.endmost - p.g;
        for (int c = 0; c < (int)T.cands.size(); c++) {
            /* a long text's expansion asks the model of thousands of words */
            if ((c & 255) == 255 && stopping())
                break;
            const ScoreWord &cd = T.cands[c];
            if (cd.len > p.leftn || (!reusing && cd.reuse) || !scorefits(p.left, cd.count))
                continue;
            /* what the bound allows, before the model is asked */
            if (p.g + cd.most + (rated - cd.rated) + T.endmost < threshold())
                continue;
            float g = p.g + scoreplace(&T, c, h1, h2);
            if (cd.len == p.leftn) {
                complete(p, c, g + scoreword(m->eos, cd.id, h1), reusing);
                continue;
            }
            if (p.n + 1 >= query->maxwords)
                continue;
            Phrase q;
            q.g = g;
            q.most = g + (rated - cd.rated) + T.endmost;
            if (q.most < threshold())
                continue;
            q.leftn = p.leftn - cd.len;
            q.hope = p.hope - cd.hoped;
            q.guess = g + q.hope + T.endmost - GUESS_RATE * q.leftn;
            for (int j = 0; j < 4; j++)
                q.left[j] = p.left[j] - cd.count[j];
            q.key = p.key + cd.key;
            q.n = (unsigned char)(p.n + 1);
            memcpy(q.w, p.w, sizeof q.w);
            q.w[p.n] = (unsigned short)c;
            /* the same set ending in the same two words, queued with a
            ** score at least as good, has every completion this one has */
            uint64_t sk = q.key ^ scoremix((uint64_t)c << 20 ^ (p.n ? p.w[p.n - 1] + 1 : 0));
            size_t at = sk & (SEEN_SLOTS - 1);
            for (int probe = 0; probe < 8; probe++, at = (at + 1) & (SEEN_SLOTS - 1)) {
                if (seen[at].key == sk || seen[at].key == 0)
                    break;
            }
            if (seen[at].key == sk && seen[at].g >= g)
                continue;
            if (seen[at].key == sk || seen[at].key == 0)
                seen[at] = {sk, g};
            if (queue.size() == QUEUE_MOST) {
                /* keep the better half by the queue's order: parted, not
                ** sorted, which took 150 ms that a Stop waited for */
                size_t half = queue.size() / 2;
                std::nth_element(queue.begin(), queue.begin() + half, queue.end(), worse);
                for (size_t i = 0; i < half; i++)
                    proved &= queue[i].most < threshold();
                queue.erase(queue.begin(), queue.begin() + half);
                std::make_heap(queue.begin(), queue.end(), worse);
            }
            queue.push_back(q);
            std::push_heap(queue.begin(), queue.end(), worse);
        }
    }
    free(seen);
    rankstats.expanded += expanded;
    if (!proved && (int)lines.size() < query->most && !rankstats.stopped)
        fill(root, queue, reusing);
    return proved;
}

/* Single words, by their unigram probability. */
static void unigrams(void)
{
    for (int c = 0; c < (int)T.cands.size() && !stopping(); c++)
        if (T.cands[c].len == T.letters && !(T.hasown && T.cands[c].key == T.ownkey))
            keep(T.cands[c].key, &c, 1, lmunigram(T.cands[c].id) + T.cands[c].extra);
}

/* The sets of few words, by shape: k words for k = 1, 2, ... until the
** sets that reuse none of the text's words fill the list. */
static int shapes(void)
{
    int w[WORDS_MAX];
    long long steps = SHAPE_STEPS;
    int proved = 1;
    for (int k = 1; k <= query->maxwords && proved; k++) {
        int fresh = 0;
        exactly = k;
        proved = !eachset(0, T.whole, T.letters, w, 0, k, &steps, setbyorder);
        for (const RankLine &r : lines)
            fresh += !r.reuses;
        if (fresh >= query->most)
            break;
    }
    exactly = 0;
    return proved;
}

int rankbest(const RankQuery *q, RankLine *out, int *n)
{
    rankstats.stopped = 0;
    pollcount = 0;
    query = q;
    int r = scoreprepare(&T, q);
    *n = 0;
    if (r != RANK_OK)
        return r;
    rankstats.expanded = 0;
    rankstats.exact = 1;
    lines.clear();
    linekey.clear();
    if (!T.leadfits) {
        ;   /* no line */
    } else if (T.letters == 0) {
        leadalone();
    } else if (!q->usemodel) {
        rankstats.exact = shapes();
    } else if (q->maxwords == 1 && !T.nlead) {
        unigrams();
    } else {
        scorebound(&T);
        holders();
        top.clear();
        int proved = rankround(!T.ownlast), reusable = 0;
        for (const ScoreWord &c : T.cands)
            reusable |= c.reuse;
        if (proved >= 0 && (int)lines.size() < q->most && reusable && T.ownlast && !rankstats.stopped) {
            top.clear();
            int again = rankround(1);
            proved = again < 0 ? again : proved & again;
        }
        if (proved < 0)
            return RANK_NOMEMORY;
        rankstats.exact = proved && !rankstats.stopped;
    }
    rankstats.sets = (long long)lines.size();
    give(out, n);
    return RANK_OK;
}