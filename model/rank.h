/*
** Best first: the word sets that use exactly the letters of a text, each
** once in its best word order, ranked by the model of English text (or,
** without it, by their shape), best first.
*/
#ifndef VEXLORE_RANK_H
#define VEXLORE_RANK_H

#include "dictionary/dict.h"
#include "engine/search.h"

#define RANK_MOST   1000     /* lines a ranking gives at most */
#define RANK_WORDS  65535    /* candidate words it takes at most */
#define RANK_SLOTS  32       /* different characters a text may hold */
#define RANK_LINE   (WORDS_MAX * (WORD_MAX + 1) + 1)   /* bytes of a line, its NUL too */

/* Results of rankbest() and rankall(). */
#define RANK_OK         0
#define RANK_TOOWIDE    61   /* more than RANK_SLOTS different characters */
#define RANK_TOOMANY    62   /* more than RANK_WORDS candidates */
#define RANK_NOMEMORY   63

/* One ranked line: its words in their best order, each followed by a
** space, as the finder's lines are. */
struct RankLine {
    char text[RANK_LINE];   /* the words after the query's lead */
    float score;    /* what it is ranked by: fluency + related + demoted */
    float fluency;  /* log10 probability of the line as a sentence, less
                    ** 1 for each word */
    float related;  /* the bonus for its words related to the text */
    float demoted;  /* taken for its chunks of the text and (when they do
                    ** not come last) its words of the text: 0 or less */
    int words;      /* the lead's words too */
    int reuses;     /* it takes a word of the text (the lead's not counted) */
    int chunks;     /* its words that are chunks of the text's (score.h) */
    int shortest;   /* characters of its shortest word, the lead's too */
};

/* What a ranking is asked. */
struct RankQuery {
    const char *text;           /* the text, as typed: its words count too */
    const char *const *cands;   /* words that may fit it, folded */
    int ncands;
    int most;                   /* lines wanted, 1 to RANK_MOST */
    int maxwords;               /* words in a line at most, 1 to WORDS_MAX,
                                ** those of lead not counted */
    int usemodel;               /* rank by the loaded model, not by shape */
    /* Asked now and then while the ranking runs (NULL: never): a window
    ** pumps its events in it, a finder looks at its Ctrl-C flag. Nonzero
    ** stops the ranking, which then gives the best lines found so far. */
    int (*poll)(void *ctx);
    void *ctx;
    /* Words every line starts with, in this order, folded (NULL: none):
    ** their letters come out of the text's, the rest is ranked, and each
    ** line is scored with them. They take the text's words they match out
    ** of its own set. */
    const char *const *lead;
    int nlead;
};

/* What the last ranking did. */
struct RankStats {
    int exact;          /* the lines are the true best, not a bounded search's */
    long long expanded; /* partial phrases taken from the queue */
    long long sets;     /* word sets scored */
    int stopped;        /* poll stopped it */
};

extern RankStats rankstats;

/* Ranks the word sets of candidates (each used any number of times) that
** use exactly the text's characters but spaces: by score (with the model:
** score.h, with the bonus for words related to the text by the
** relatedness file loaded, if one is, and the demotion of the text's
** chunks and words; when scorerule puts the text's words last, and
** without the model, a set that takes one of them after every set that
** takes none) or by fewest words and then the longest shortest word
** (without), then in byte order; the set of the text's own words is left
** out. With maxwords 1, no lead and the model, single words rank by their
** unigram probability. Writes up to most lines to out and their number to *n. The
** search is bounded in time and memory: rankstats.exact says whether the
** lines are certainly the best. When it completes fewer sets than asked
** it completes the best phrases it left open, so that a long text still
** gets lines. */
int rankbest(const RankQuery *q, RankLine *out, int *n);

/* rankbest's exhaustive twin, for tests: every set, every order. */
int rankall(const RankQuery *q, RankLine *out, int *n);

/* The fluency rankbest gives the words of line (each followed by a space),
** in that order, as a sentence after lead (NULL: none), by the loaded
** model; a line of no word is the lead alone. The bonus and demotions do
** not depend on the order: a line's score in another order is this plus
** its related and demoted. */
float rankscore(const char *line, const char *const *lead, int nlead);

#endif
