/*
** The score --best ranks by: a line's log10 probability as a sentence by
** the trigram model, word by word, less the word penalty for each word,
** plus a bonus for each word related to the text by the relatedness file
** loaded, less a demotion for each word that only reshuffles a chunk of
** the text; the candidates of a text with what each adds beside its
** probability; and the bound per letter that lets a best-first search
** prove its list. Each part is a sum over the words, so the search adds
** it up word by word and its bound stays a true bound.
*/
#ifndef VEXLORE_SCORE_H
#define VEXLORE_SCORE_H

#include <stdint.h>

#include <vector>

#include "model/rank.h"
#include "model/related.h"

/* What each word of a line costs beyond its probability, as a speech
** decoder's word insertion penalty: fewer, longer words read better
** (scorerule.penalty; this by default). */
#define WORD_PENALTY -1.0f

#define SCORE_CHUNK 5       /* letters of a chunk of the text */
#define SCORE_AFTER 1000.0f /* a demotion that puts a set after every set without it */

/* How the score weighs meaning and the text's own letters. */
struct ScoreRule {
    float bonus;    /* added for each word related to the text */
    float chunk;    /* taken for each word, not one of the text's, that is a
                    ** chunk of SCORE_CHUNK letters or more of a word of the
                    ** text, or holds a word of it that long ('master',
                    ** 'schoolmasters' for 'schoolmaster') */
    float own;      /* taken for each of the text's own words; below 0: a
                    ** set holding one comes after every set that holds none */
    int shortest;   /* letters a related word needs for the bonus */
    float common;   /* and its log10 unigram probability can be no more:
                    ** 'in', 'us', 'or' are in many glosses */
    float penalty;  /* added for each word: WORD_PENALTY */
};

/* The rule the ranking uses (its defaults, as measured: docs/performance.md). */
extern ScoreRule scorerule;

#define SCORE_HIGHBITS 0x8080808080808080ull

/* A candidate: its characters counted one byte per slot (slot s in byte
** s % 8 of count[s / 8]), its key (word sets are keyed by the sum of their
** words' keys), its model id, and what its letters may cost at most. */
struct ScoreWord {
    uint64_t count[4];
    uint64_t key;
    const char *text;
    int id;
    int len;            /* characters but spaces */
    int reuse;          /* one of the text's own words */
    int related;        /* the relatedness id of the text's word or name it
                        ** is related to, or -1 */
    int chunk;          /* a chunk of the text's words, or holds one */
    float bonus;        /* what it adds for being related */
    float extra;        /* what it adds beside its probability and the
                        ** word penalty: the bonus, less the demotions */
    float most;         /* what it adds to a line can be no more */
    float rated;        /* its letters' part of the bound */
    float hoped;        /* and of the hope, the bound without the extras */
};

/* A text as a ranking takes it: its characters, its candidates, its own
** words, the lead, and the bound per letter. */
struct ScoreText {
    std::vector<ScoreWord> cands;   /* those that fit, once each, in byte order */
    uint64_t whole[4];      /* the text's characters but the lead's, counted */
    int letters;            /* and their number */
    int nslots;
    int usemodel;           /* scored by the loaded model */
    int hasown;             /* the text's own words are all candidates */
    uint64_t ownkey;        /* the key of their set */
    float rate[RANK_SLOTS]; /* the most a letter of each slot adds */
    float hoperate[RANK_SLOTS]; /* the same without the extras: a search
                            ** that orders its queue by the bound would
                            ** spread over every phrase that may still take
                            ** a related word, and go deep too seldom */
    float endmost;          /* the most </s> adds */
    /* the lead: the words every line starts with, and what they give the rest */
    int nlead;
    int leadid[WORDS_MAX];
    int leadshort;          /* characters of the shortest of them, or 99 */
    float leadg;            /* log10 P of <s> and them, as a line's start,
                            ** and their extra */
    float leadbonus, leadextra;     /* their bonus, and their extra */
    int starth1, starth2;   /* the context the rest starts in */
    int leadfits;           /* their letters are the text's */
    int ownlast;            /* sets of the text's own words come last */
    RelSet rel;             /* the words related to the text */
};

/* 1 when the counts take fit in have. */
static inline int scorefits(const uint64_t *have, const uint64_t *take)
{
    for (int k = 0; k < 4; k++)
        if ((((have[k] | SCORE_HIGHBITS) - take[k]) & SCORE_HIGHBITS) != SCORE_HIGHBITS)
            return 0;
    return 1;
}

/* A 64-bit mix, for keys and hash slots. */
static inline uint64_t scoremix(uint64_t x)
{
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

/* Takes the query into t: the text's slots and counts, the lead's taken
** out, and the candidates that fit what is left, once each, in byte order,
** those that are the text's own words marked. Returns RANK_OK, or
** RANK_TOOWIDE or RANK_TOOMANY. */
int scoreprepare(ScoreText *t, const RankQuery *q);

/* The bound: what each slot's letter may add at most (rate; without the
** extras, hoperate), what </s> may add (endmost), and what each candidate
** may add (most) and its letters take of the rates (rated, hoped). */
void scorebound(ScoreText *t);

/* lmscore, remembered (the search asks the same many times over);
** scoreforget() empties the memory, for a model loaded anew. */
float scoreword(int w, int h1, int h2);
void scoreforget(void);

/* What candidate c adds to a line after h2 h1: its probability there,
** the word penalty, and its extra. */
static inline float scoreplace(const ScoreText *t, int c, int h1, int h2)
{
    return scoreword(t->cands[c].id, h1, h2) + scorerule.penalty + t->cands[c].extra;
}

/* The relatedness id of the text's word or name that word (a candidate,
** not one of the text's) is related to as the bonus counts it, or -1: by
** set, and long and rare enough by scorerule. */
int scorerelated(const RelSet *set, const char *word);

/* Whether word, not one of the text's (lower case, a space between its
** words), is a chunk of a word of it or holds one, as ScoreRule.chunk says. */
int scorechunk(const char *word, const char *text);

/* The score of the candidates w[0..k-1] after the lead as one sentence,
** <s> and </s> included. */
float scoreline(const ScoreText *t, const int *w, int k);

/* Puts the candidates w[0..k-1] in the order that scores best after the
** lead (of two that score the same, the first in index order) and returns
** its score. */
float scoreorder(const ScoreText *t, int *w, int k);

#endif
