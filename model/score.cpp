/*
** The score of a line, word by word, and of the candidates of a text: what
** the search in rank.cpp adds up and bounds.
*/
#include <math.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "model/lmfile.h"
#include "model/score.h"

/* 4 for each related word of 3 letters or more and rarer than 1 in 1,000
** words, 5 taken for each chunk and for each of the text's own words:
** docs/performance.md compares these with the others tried. */
ScoreRule scorerule = {4.0f, 5.0f, 5.0f, 3, -3.0f, WORD_PENALTY};

/* lmscore, remembered: the search asks for the same word after the same
** two words many times over. A slot holds the last triple that fell in it,
** whole: an id may take all the bits a model file allows. */
#define MEMO_SLOTS (1 << 16)
#define MEMO_FREE  (-2)     /* no id, nor LM_NONE */
static struct ProbMemo { int w, h1, h2; float p; } memo[MEMO_SLOTS];

void scoreforget(void)
{
    for (ProbMemo &m : memo)
        m.w = MEMO_FREE;
}

float scoreword(int w, int h1, int h2)
{
    uint64_t key = (uint64_t)(uint32_t)w << 32 ^ (uint64_t)(uint32_t)h1 << 16 ^ (uint32_t)h2;
    ProbMemo &m = memo[scoremix(key) & (MEMO_SLOTS - 1)];
    if (m.w != w || m.h1 != h1 || m.h2 != h2)
        m = {w, h1, h2, lmscore(w, h1, h2)};
    return m.p;
}

static int blank(unsigned char c)
{
    return c == ' ' || c == '\t';
}

static int slotcount(const uint64_t *count, int s)
{
    return (int)((count[s / 8] >> (8 * (s % 8))) & 0xff);
}

static unsigned char fold(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? (unsigned char)(c - 'A' + 'a') : c;
}

/* Counts s into count by the slots of slot[] (slot + 1, 0 for none);
** returns its characters but blanks, or -1 if one has no slot. */
static int countin(const char *s, const unsigned char *slot, uint64_t *count)
{
    int n = 0;
    count[0] = count[1] = count[2] = count[3] = 0;
    for (; *s; s++) {
        unsigned char c = fold((unsigned char)*s);
        if (blank(c))
            continue;
        if (!slot[c])
            return -1;
        count[(slot[c] - 1) / 8] += 1ull << (8 * ((slot[c] - 1) % 8));
        n++;
    }
    return n;
}

/* Takes the lead's letters out of the text's, and scores it as the start
** of a line; 0 when its letters are not all the text's. */
static int takelead(ScoreText *t, const RankQuery *q, const unsigned char *slot)
{
    const LmModel *m = q->usemodel ? lmmodel() : nullptr;
    t->nlead = q->lead ? std::min(q->nlead, WORDS_MAX) : 0;
    t->leadshort = 99;
    t->leadg = 0;
    t->starth1 = m ? m->bos : LM_NONE;
    t->starth2 = LM_NONE;
    for (int j = 0; j < t->nlead; j++) {
        uint64_t count[4];
        int n = countin(q->lead[j], slot, count);
        if (n < 0 || !scorefits(t->whole, count))
            return t->leadfits = 0;
        for (int k = 0; k < 4; k++)
            t->whole[k] -= count[k];
        t->letters -= n;
        t->leadshort = std::min(t->leadshort, (int)strlen(q->lead[j]));
        t->leadid[j] = m ? lmword(q->lead[j]) : LM_NONE;
        if (m) {
            t->leadg += scoreword(t->leadid[j], t->starth1, t->starth2) + scorerule.penalty;
            t->starth2 = t->starth1;
            t->starth1 = t->leadid[j];
        }
    }
    return t->leadfits = 1;
}

/* Takes the query: the text's slots and counts, the lead's taken out, and
** the candidates that fit what is left, once each, in byte order. */
int scoreprepare(ScoreText *t, const RankQuery *q)
{
    scoreforget();    /* the model may have changed */
    unsigned char slot[256] = {0};
    t->usemodel = q->usemodel;
    t->leadbonus = t->leadextra = 0;
    t->nslots = 0;
    t->cands.clear();
    t->hasown = 0;
    for (const char *p = q->text; *p; p++) {
        unsigned char c = fold((unsigned char)*p);
        if (!blank(c) && !slot[c]) {
            if (t->nslots == RANK_SLOTS)
                return RANK_TOOWIDE;
            slot[c] = (unsigned char)++t->nslots;
        }
    }
    t->letters = countin(q->text, slot, t->whole);
    if (!takelead(t, q, slot))
        return RANK_OK;     /* no line can start with the lead */

    std::vector<const char *> words(q->cands, q->cands + q->ncands);
    std::sort(words.begin(), words.end(), [](const char *a, const char *b) { return strcmp(a, b) < 0; });
    words.erase(std::unique(words.begin(), words.end(),
                            [](const char *a, const char *b) { return strcmp(a, b) == 0; }), words.end());
    for (const char *w : words) {
        ScoreWord c = {};
        c.len = countin(w, slot, c.count);
        if (c.len <= 0 || !scorefits(t->whole, c.count))
            continue;
        if (t->cands.size() == RANK_WORDS)
            return RANK_TOOMANY;
        c.text = w;
        c.key = scoremix(t->cands.size() + 1);
        c.id = q->usemodel ? lmword(w) : LM_NONE;
        t->cands.push_back(c);
    }

    /* the text's own words: those that are candidates reuse; those the
    ** lead does not take make the rest of the text's own set */
    std::string text(q->text);
    for (char &ch : text)
        ch = blank((unsigned char)ch) ? ' ' : (char)fold((unsigned char)ch);
    t->hasown = 1;
    t->ownkey = 0;
    int taken[WORDS_MAX] = {0};
    size_t at = 0;
    while ((at = text.find_first_not_of(' ', at)) != std::string::npos) {
        size_t end = std::min(text.find(' ', at), text.size());
        std::string token = text.substr(at, end - at);
        at = end;
        auto it = std::lower_bound(t->cands.begin(), t->cands.end(), token,
                                   [](const ScoreWord &c, const std::string &t) { return strcmp(c.text, t.c_str()) < 0; });
        int cand = it != t->cands.end() && token == it->text;
        if (cand)
            it->reuse = 1;
        int j = 0;
        while (j < t->nlead && (taken[j] || token != q->lead[j]))
            j++;
        if (j < t->nlead)
            taken[j] = 1;
        else if (cand)
            t->ownkey += it->key;
        else
            t->hasown = 0;
    }
    for (int j = 0; j < t->nlead; j++)
        t->hasown &= taken[j];

    /* what each adds beside its probability: by meaning, and for
    ** reshuffling the text's chunks or taking its words */
    t->ownlast = scorerule.own < 0;
    relsetfree(&t->rel);
    if (q->usemodel && relcount() > 0 && relset(&t->rel, text.c_str()) < 0)
        return RANK_NOMEMORY;
    for (ScoreWord &c : t->cands) {
        c.related = c.reuse ? -1 : scorerelated(&t->rel, c.text);
        c.chunk = !c.reuse && scorechunk(c.text, text.c_str());
        c.extra = c.bonus = 0;
        if (!q->usemodel)
            continue;
        if (c.related >= 0)
            c.extra = c.bonus = scorerule.bonus;
        if (c.chunk)
            c.extra -= scorerule.chunk < 0 ? SCORE_AFTER : scorerule.chunk;
        if (c.reuse && !t->ownlast)
            c.extra -= scorerule.own;
    }
    /* the lead's words count as the others do, but for being the text's */
    t->leadbonus = t->leadextra = 0;
    for (int j = 0; j < t->nlead && q->usemodel; j++) {
        int related = scorerelated(&t->rel, q->lead[j]);
        t->leadbonus += related >= 0 ? scorerule.bonus : 0;
        t->leadextra += related >= 0 ? scorerule.bonus : 0;
        if (scorechunk(q->lead[j], text.c_str()))
            t->leadextra -= scorerule.chunk < 0 ? SCORE_AFTER : scorerule.chunk;
    }
    t->leadg += t->leadextra;
    return RANK_OK;
}

int scorerelated(const RelSet *set, const char *word)
{
    int to = relrelated(set, relword(word));
    if (to < 0 || (int)strlen(word) < scorerule.shortest)
        return -1;
    return lmmodel() && lmunigram(lmword(word)) > scorerule.common ? -1 : to;
}

int scorechunk(const char *word, const char *text)
{
    size_t n = strlen(word);
    for (const char *p = text; *p;) {
        p += strspn(p, " ");
        size_t len = strcspn(p, " ");
        if (!len)
            break;
        std::string t(p, len);
        if ((n >= SCORE_CHUNK && n < len && t.find(word) != std::string::npos) ||
            (len >= SCORE_CHUNK && len < n && strstr(word, t.c_str())))
            return 1;
        p += len;
    }
    return 0;
}

/* The score of the words w[0..k-1] after the lead as one sentence, <s>
** and </s> included. */
float scoreline(const ScoreText *t, const int *w, int k)
{
    const LmModel *m = lmmodel();
    int h1 = t->starth1, h2 = t->starth2;
    float g = t->leadg;
    for (int i = 0; i < k; i++) {
        int id = t->cands[w[i]].id;
        g += scoreplace(t, w[i], h1, h2);
        h2 = h1;
        h1 = id;
    }
    return g + lmscore(m->eos, h1, h2);
}

/* The bound: what each slot's letter may add at most, and what each
** candidate's letters take of it. */
void scorebound(ScoreText *t)
{
    const LmModel *m = lmmodel();
    std::vector<int> ids(t->cands.size() + 1 + t->nlead);   /* the lead's words are contexts too */
    std::vector<float> most(ids.size());
    for (size_t i = 0; i < t->cands.size(); i++)
        ids[i] = t->cands[i].id;
    ids[t->cands.size()] = m->eos;
    std::copy(t->leadid, t->leadid + t->nlead, ids.begin() + (long)t->cands.size() + 1);
    lmbounds(ids.data(), (int)ids.size(), most.data());
    t->endmost = most[t->cands.size()];
    for (int s = 0; s < t->nslots; s++)
        t->rate[s] = t->hoperate[s] = -INFINITY;
    for (size_t i = 0; i < t->cands.size(); i++) {
        ScoreWord &c = t->cands[i];
        c.most = most[i] + scorerule.penalty + c.extra;
        for (int s = 0; s < t->nslots; s++)
            if ((c.count[s / 8] >> (8 * (s % 8))) & 0xff) {
                t->rate[s] = std::max(t->rate[s], c.most / c.len);
                t->hoperate[s] = std::max(t->hoperate[s], (c.most - c.extra) / c.len);
            }
    }
    for (ScoreWord &c : t->cands) {
        c.rated = c.hoped = 0;
        for (int s = 0; s < t->nslots; s++) {
            c.rated += (float)slotcount(c.count, s) * t->rate[s];
            c.hoped += (float)slotcount(c.count, s) * t->hoperate[s];
        }
    }
}

/* Puts the words w[0..k-1] in the order that scores best after the lead
** (of two that score the same, the first in index order) and returns
** its score. */
float scoreorder(const ScoreText *t, int *w, int k)
{
    const LmModel *m = lmmodel();
    /* by place: the words, then the lead's last word (or <s>) and the one
    ** before it; tab[i][a][b] is what word i (k: </s>) adds after b a */
    int id[WORDS_MAX + 2], first[WORDS_MAX], place[WORDS_MAX], best[WORDS_MAX];
    float tab[WORDS_MAX + 1][WORDS_MAX + 1][WORDS_MAX + 2];
    std::sort(w, w + k);
    for (int i = 0; i < k; i++)
        id[i] = t->cands[w[i]].id;
    id[k] = t->starth1;
    id[k + 1] = t->starth2;
    for (int i = 0; i <= k; i++)
        for (int a = 0; a <= k; a++)
            for (int b = 0; b <= k + 1; b++)
                tab[i][a][b] = i < k ? scoreplace(t, w[i], id[a], id[b])
                                     : scoreword(m->eos, id[a], id[b]);
    for (int i = 0; i < k; i++)     /* a word twice is one order, not two */
        first[i] = i > 0 && w[i] == w[i - 1] ? first[i - 1] : i;
    memcpy(place, first, k * sizeof *place);
    float top = -INFINITY;
    do {
        float g = t->leadg;
        int a = k, b = k + 1;
        for (int i = 0; i < k; i++) {
            g += tab[place[i]][a][b];
            b = a;
            a = place[i];
        }
        g += tab[k][a][b];
        if (g > top) {
            top = g;
            memcpy(best, place, k * sizeof *best);
        }
    } while (std::next_permutation(place, place + k));
    int sorted[WORDS_MAX];
    memcpy(sorted, w, k * sizeof *sorted);
    for (int i = 0; i < k; i++)
        w[i] = sorted[best[i]];
    return top;
}

float rankscore(const char *line, const char *const *lead, int nlead)
{
    const LmModel *m = lmmodel();
    int h1 = m->bos, h2 = LM_NONE;
    float g = 0;
    std::string words;
    for (int j = 0; j < nlead; j++)
        words += std::string(lead[j]) + " ";
    words += line;
    size_t at = 0;
    while ((at = words.find_first_not_of(' ', at)) != std::string::npos) {
        size_t end = std::min(words.find(' ', at), words.size());
        int id = lmword(words.substr(at, end - at).c_str());
        g += lmscore(id, h1, h2) + scorerule.penalty;
        h2 = h1;
        h1 = id;
        at = end;
    }
    return g + lmscore(m->eos, h1, h2);
}

