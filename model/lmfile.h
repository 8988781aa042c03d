/*
** The model of English text that --best ranks by: a trigram model read
** whole from one file, and the log-probability of a word after two others.
** Plain code: it reads the file through stdio and nothing else.
*/
#ifndef VEXLORE_LMFILE_H
#define VEXLORE_LMFILE_H

#include <stdint.h>

/*
** The file (all numbers little-endian; docs/model-format.md says the same
** at more length):
**   header, LM_HEADER bytes:
**     magic "VXLMODEL", u32 version (LM_VERSION), u32 words, u32 bigrams,
**     u32 trigrams, u32 text bytes, u32 id of <s>, u32 id of </s>,
**     f32 log10 probability of a word the model does not know, u8 bits
**     of each of the five quantised values (unigram probability and
**     back-off, bigram probability and back-off, trigram probability),
**     3 bytes of 0, u32 words that take part in n-grams (the first ids),
**     4 bytes of 0
**   centres, f32 log10 values, 2^bits of each of the five, in that order
**   unigrams, words + 1 bit-packed entries: probability, back-off, first
**     bigram (the last entry only ends the last word's bigrams)
**   bigrams, bigrams + 1 entries: earlier word, probability, back-off,
**     first trigram (the last entry only ends the last range)
**   trigrams, trigrams entries: the word before that, probability
**   text: the words, each ended by a NUL: first those that take part in
**     n-grams, in byte order, then the others, in byte order (the id of a
**     word is its place here)
** A packed table holds its entries one after the other, the fields in the
** order given, each field's low bit first, from bit 0 of its first byte; it
** takes whole bytes and 8 more, zero. The trie runs from the predicted word
** back: a unigram's bigrams are the words seen before it, sorted by id,
** and a bigram's trigrams the words seen before those two.
*/
#define LM_MAGIC    "VXLMODEL"
#define LM_VERSION  1
#define LM_HEADER   56
#define LM_NONE     (-1)    /* no word: before the start of the text */

/* Results of lmload(). */
#define LM_OK       0
#define LM_NOFILE   1       /* cannot open or read it: errno says why */
#define LM_BAD      2       /* not a model file, or damaged: lmerror() says how */

/* The model loaded. */
struct LmModel {
    uint32_t nwords, nbigrams, ntrigrams;
    uint32_t ngramwords;        /* ids below it may be in n-grams */
    int bos, eos;               /* ids of <s> and </s> */
    float unknown;              /* log10 probability of an unknown word */
    int bits[5];                /* of uni p, uni bo, bi p, bi bo, tri p */
    int wordbits, uninext, binext;  /* widths of the ids and the links */
    const float *centre[5];     /* uni p, uni bo, bi p, bi bo, tri p */
    const unsigned char *uni, *bi, *tri;
    const char *text;
    const uint32_t *wordat;     /* where each word's text starts */
};

/* Reads the model file at path, checking every count, size and link
** before it is used. Returns LM_OK, LM_NOFILE or LM_BAD; on failure
** nothing stays loaded. A second call replaces the model. */
int lmload(const char *path);

/* The model loaded, or NULL. */
const LmModel *lmmodel(void);

/* Why the last lmload() said LM_BAD. */
const char *lmerror(void);

/* Frees the model. */
void lmfree(void);

/* The id of word, or LM_NONE when the model does not know it. */
int lmword(const char *word);

/* The text of id. */
const char *lmtext(int id);

/* log10 P(w | h2 h1): w after h1, which came after h2. h1 and h2 may be
** LM_NONE (no earlier word); w may be LM_NONE (an unknown word: the
** unknown probability, whatever came before). Falls back through the
** back-off weights as the ARPA convention says. */
float lmscore(int w, int h1, int h2);

/* log10 P(w), the unigram probability; the unknown one for LM_NONE. */
float lmunigram(int w);

/* For each of the n ids (LM_NONE for an unknown word), the most
** lmscore(id, h1, h2) gives for any h1 and h2 among the ids, <s> and
** LM_NONE: an upper bound, for a search that must not prune what could win. */
void lmbounds(const int *ids, int n, float *bound);

/* Helpers shared with the converter: bits to hold values 0..max, and the
** reading and writing of a packed field at bit offset at of a table. */
int lmbits(uint32_t max);
uint32_t lmget(const unsigned char *table, uint64_t at, int bits);
void lmput(unsigned char *table, uint64_t at, int bits, uint32_t value);

#endif
