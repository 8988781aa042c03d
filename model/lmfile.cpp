/*
** The model file's reader and the trigram lookup. The file is read whole
** into one block; nothing in it is trusted before its size is checked.
*/
#include <errno.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dictionary/filestat.h"
#include "model/lmfile.h"

#define LM_MOST (64u << 20)  /* a larger file is not one of ours */

static const unsigned char *block;   /* the whole file, while loaded */
static size_t blocksize;
static LmModel model;
static int loaded;
static const char *why = "";

int lmbits(uint32_t max)
{
    int n = 0;
    for (; max; max >>= 1)
        n++;
    return n;
}

/* a field is at most 25 bits, so it lies within the 8 bytes read; every
** table ends with 8 bytes of padding for that read */
uint32_t lmget(const unsigned char *table, uint64_t at, int bits)
{
    uint64_t v;
    memcpy(&v, table + (at >> 3), 8);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);   /* the file is little-endian */
#endif
    return (uint32_t)(v >> (at & 7)) & (uint32_t)((1ull << bits) - 1);
}

void lmput(unsigned char *table, uint64_t at, int bits, uint32_t value)
{
    uint64_t v = (uint64_t)(value & (uint32_t)((1ull << bits) - 1)) << (at & 7);
    for (unsigned char *p = table + (at >> 3); v; v >>= 8)
        *p++ |= (unsigned char)v;
}

static uint32_t u32at(const unsigned char *p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

/* Bytes of a packed table of n entries of bits each. */
static uint64_t tablesize(uint64_t n, int bits)
{
    return (n * bits + 7) / 8 + 8;
}

static int bad(const char *msg)
{
    why = msg;
    return LM_BAD;
}

/* Where the fields of an entry start, in bits from the entry's start,
** and the bits of an entry: for the unigrams probability, back-off, link;
** for the bigrams word, probability, back-off, link; for the trigrams
** word, probability. */
static int unibit[4], bibit[5], tribit[3];

static void fieldsat(void)
{
    int uw[3] = {model.bits[0], model.bits[1], model.uninext};
    int bw[4] = {model.wordbits, model.bits[2], model.bits[3], model.binext};
    int tw[2] = {model.wordbits, model.bits[4]};
    unibit[0] = bibit[0] = tribit[0] = 0;
    for (int k = 0; k < 3; k++)
        unibit[k + 1] = unibit[k] + uw[k];
    for (int k = 0; k < 4; k++)
        bibit[k + 1] = bibit[k] + bw[k];
    for (int k = 0; k < 2; k++)
        tribit[k + 1] = tribit[k] + tw[k];
}

/* the bit offset of entry i's field k */
static inline uint64_t unifield(uint32_t i, int k)
{
    return (uint64_t)i * unibit[3] + unibit[k];
}

static inline uint64_t bifield(uint32_t i, int k)
{
    return (uint64_t)i * bibit[4] + bibit[k];
}

static inline uint64_t trifield(uint32_t i, int k)
{
    return (uint64_t)i * tribit[2] + tribit[k];
}

#define UNINEXT(i)  lmget(model.uni, unifield(i, 2), model.uninext)
#define BIWORD(i)   lmget(model.bi, bifield(i, 0), model.wordbits)
#define BINEXT(i)   lmget(model.bi, bifield(i, 3), model.binext)
#define TRIWORD(i)  lmget(model.tri, trifield(i, 0), model.wordbits)

/* Checks one level's links: next(0..n) starts at 0, never falls and ends
** at total, the size of the level below; and within each link's range the
** words, word(j), rise and are n-gram words. Returns 0 or LM_BAD. */
template <class Next, class Word>
static int checklevel(uint32_t n, uint32_t total, Next next, Word word, const char *link,
                      const char *words)
{
    if (next(0) != 0 || next(n) != total)
        return bad(link);
    for (uint32_t i = 0; i < n; i++) {
        uint32_t b = next(i), e = next(i + 1);
        if (e < b || e > total)
            return bad(link);
        for (uint32_t j = b; j < e; j++)
            if (word(j) >= model.ngramwords || (j > b && word(j) <= word(j - 1)))
                return bad(words);
    }
    return LM_OK;
}

/* Checks the unigrams' links into the bigrams and the bigrams' into the
** trigrams, and that a word in no n-gram heads no bigram; returns 0 or
** LM_BAD. */
static int checklinks(void)
{
    if (UNINEXT(model.ngramwords) != model.nbigrams)
        return bad("a word in no n-gram has bigrams");
    int r = checklevel(model.nwords, model.nbigrams,
                       [](uint32_t i) { return UNINEXT(i); }, [](uint32_t i) { return BIWORD(i); },
                       "a unigram's link is out of range",
                       "a bigram's word is out of range or out of order");
    return r ? r : checklevel(model.nbigrams, model.ntrigrams,
                              [](uint32_t i) { return BINEXT(i); },
                              [](uint32_t i) { return TRIWORD(i); },
                              "a bigram's link is out of range",
                              "a trigram's word is out of range or out of order");
}

/* Finds the words' starts in the text: exactly nwords, NUL-ended, rising
** in byte order within each of the two runs. Returns 0 or LM_BAD. */
static int checktext(uint32_t bytes)
{
    uint32_t *at = (uint32_t *)malloc(((size_t)model.nwords + 1) * sizeof *at);
    if (!at)
        return bad("not enough memory for its words");
    model.wordat = at;
    uint32_t n = 0;
    for (uint32_t i = 0, start = 0; i < bytes; i++) {
        if (model.text[i] != '\0')
            continue;
        if (n == model.nwords || i == start)
            return bad("its word text does not hold the words it counts");
        if (n > 0 && n != model.ngramwords &&
            strcmp(model.text + at[n - 1], model.text + start) >= 0)
            return bad("its words are not in byte order");
        at[n++] = start;
        start = i + 1;
    }
    if (n != model.nwords || (bytes && model.text[bytes - 1] != '\0'))
        return bad("its word text does not hold the words it counts");
    return LM_OK;
}

/* Lays the tables over the block, checking the header's numbers and the
** file's size against them. */
static int layout(uint64_t size)
{
    const unsigned char *h = block;
    if (size < LM_HEADER || memcmp(h, LM_MAGIC, 8) != 0)
        return bad("not a Vexlore model file");
    if (u32at(h + 8) != LM_VERSION)
        return bad("a model file of another version");
    model.nwords = u32at(h + 12);
    model.nbigrams = u32at(h + 16);
    model.ntrigrams = u32at(h + 20);
    uint32_t textbytes = u32at(h + 24);
    uint32_t bos = u32at(h + 28), eos = u32at(h + 32);
    memcpy(&model.unknown, h + 36, 4);
    model.ngramwords = u32at(h + 48);
    int okbits = 1;
    for (int k = 0; k < 5; k++) {
        model.bits[k] = h[40 + k];
        okbits &= model.bits[k] >= 1 && model.bits[k] <= 16;
    }
    if (model.nwords == 0 || model.nwords >= (1u << 24) || model.nbigrams >= (1u << 25) ||
        model.ntrigrams >= (1u << 25) || model.ngramwords == 0 ||
        model.ngramwords > model.nwords || bos >= model.ngramwords || eos >= model.ngramwords ||
        !okbits ||
        !(model.unknown <= 0 && model.unknown > -100))
        return bad("its header's numbers are out of range");
    model.bos = (int)bos;
    model.eos = (int)eos;
    model.wordbits = lmbits(model.ngramwords - 1);
    model.uninext = lmbits(model.nbigrams);
    model.binext = lmbits(model.ntrigrams);
    fieldsat();

    uint64_t at = LM_HEADER;
    const int *cbits = model.bits;
    for (int k = 0; k < 5; k++) {
        model.centre[k] = (const float *)(block + at);  /* at stays a multiple of 4 */
        at += (uint64_t)4 << cbits[k];
    }
    uint64_t unisize = tablesize((uint64_t)model.nwords + 1, (int)unifield(1, 0));
    uint64_t bisize = tablesize((uint64_t)model.nbigrams + 1, (int)bifield(1, 0));
    uint64_t trisize = tablesize(model.ntrigrams, (int)trifield(1, 0));
    if (at + unisize + bisize + trisize + textbytes != size)
        return bad("its size is not what its header says (truncated?)");
    model.uni = block + at;
    model.bi = model.uni + unisize;
    model.tri = model.bi + bisize;
    model.text = (const char *)(model.tri + trisize);
    for (int k = 0; k < 5; k++)
        for (uint32_t i = 0; i < 1u << cbits[k]; i++)
            if (!(model.centre[k][i] > -100 && model.centre[k][i] < 100))
                return bad("a probability is out of range");
    int r = checktext(textbytes);
    return r ? r : checklinks();
}

void lmfree(void)
{
    filefree(block, blocksize);
    free((void *)model.wordat);
    block = nullptr;
    memset(&model, 0, sizeof model);
    loaded = 0;
}

int lmload(const char *path)
{
    lmfree();
    FILE *f = pathstat(path) == 0 ? fileopen(path) : nullptr;
    if (!f)
        return LM_NOFILE;
    int r = LM_OK;
    long long size = -1, now = -1;
    if (filestat(f, &size) != 0)
        r = LM_NOFILE;
    else if (size > LM_MOST)
        r = bad("larger than any model file of ours");
    else if (size < LM_HEADER)
        r = bad("not a Vexlore model file");
    else if ((block = filewhole(f, (size_t)size)) != nullptr)
        blocksize = (size_t)size;
    else if (errno == EIO && filestat(f, &now) == 0 && now != size)
        r = bad("it changed while it was read");
    else
        r = LM_NOFILE;
    int err = errno;
    fclose(f);
    if (r == LM_OK)
        r = layout((uint64_t)size);
    if (r != LM_OK) {
        lmfree();
        errno = err;
        return r;
    }
    loaded = 1;
    return LM_OK;
}

const LmModel *lmmodel(void)
{
    return loaded ? &model : nullptr;
}

const char *lmerror(void)
{
    return why;
}

/* word's id among ids lo..hi-1, which are in byte order, or LM_NONE */
static int findword(const char *word, uint32_t lo, uint32_t hi)
{
    while (lo < hi) {
        uint32_t mid = lo + (hi - lo) / 2;
        int c = strcmp(model.text + model.wordat[mid], word);
        if (c == 0)
            return (int)mid;
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return LM_NONE;
}

int lmword(const char *word)
{
    int id = findword(word, 0, model.ngramwords);
    return id != LM_NONE ? id : findword(word, model.ngramwords, model.nwords);
}

const char *lmtext(int id)
{
    return model.text + model.wordat[id];
}

/* The entry of key among entries b..e-1 whose words rise, or -1. */
static long findin(uint32_t b, uint32_t e, uint32_t key, int tri)
{
    while (b < e) {
        uint32_t mid = b + (e - b) / 2;
        uint32_t k = tri ? TRIWORD(mid) : BIWORD(mid);
        if (k == key)
            return (long)mid;
        if (k < key)
            b = mid + 1;
        else
            e = mid;
    }
    return -1;
}

float lmunigram(int w)
{
    if (w < 0)
        return model.unknown;
    return model.centre[0][lmget(model.uni, unifield((uint32_t)w, 0), model.bits[0])];
}

/* The back-off weight of the context h2 h1 (0 where the model has no such
** bigram, or h2 is LM_NONE). */
static float bigrambo(int h1, int h2)
{
    if (h2 < 0)
        return 0;
    long i = findin(UNINEXT((uint32_t)h1), UNINEXT((uint32_t)h1 + 1), (uint32_t)h2, 0);
    return i < 0 ? 0 : model.centre[3][lmget(model.bi, bifield((uint32_t)i, 2), model.bits[3])];
}

float lmscore(int w, int h1, int h2)
{
    if (w < 0)
        return model.unknown;
    float p1 = lmunigram(w);
    if (h1 < 0)
        return p1;
    long i = findin(UNINEXT((uint32_t)w), UNINEXT((uint32_t)w + 1), (uint32_t)h1, 0);
    if (i < 0) {
        float bo1 = model.centre[1][lmget(model.uni, unifield((uint32_t)h1, 1), model.bits[1])];
        return p1 + bo1 + bigrambo(h1, h2);
    }
    float p2 = model.centre[2][lmget(model.bi, bifield((uint32_t)i, 1), model.bits[2])];
    if (h2 < 0)
        return p2;
    long t = findin(BINEXT((uint32_t)i), BINEXT((uint32_t)i + 1), (uint32_t)h2, 1);
    if (t >= 0)
        return model.centre[4][lmget(model.tri, trifield((uint32_t)t, 1), model.bits[4])];
    return p2 + bigrambo(h1, h2);
}

/* The most a context word h can add through back-offs: its own weight and
** the largest of the weights of the contexts "h2 h" with h2 allowed. */
static float ctxmost(uint32_t h, const unsigned char *allowed, float *pairmost)
{
    float most = 0;
    for (uint32_t i = UNINEXT(h); i < UNINEXT(h + 1); i++)
        if (allowed[BIWORD(i)])
            most = fmaxf(most, model.centre[3][lmget(model.bi, bifield(i, 2), model.bits[3])]);
    *pairmost = most;
    return model.centre[1][lmget(model.uni, unifield(h, 1), model.bits[1])] + most;
}

void lmbounds(const int *ids, int n, float *bound)
{
    uint32_t k = model.ngramwords;
    unsigned char *allowed = (unsigned char *)calloc(k, 1);
    float *pairmost = (float *)calloc(k, sizeof *pairmost);
    if (!allowed || !pairmost) {    /* no bound tighter than "certain" */
        for (int j = 0; j < n; j++)
            bound[j] = 0;
        free(allowed);
        free(pairmost);
        return;
    }
    allowed[model.bos] = 1;
    for (int j = 0; j < n; j++)
        if (ids[j] >= 0 && (uint32_t)ids[j] < k)
            allowed[ids[j]] = 1;
    float back = 0;     /* the most bo(h1) + bo(h2 h1) adds */
    for (uint32_t h = 0; h < k; h++)
        if (allowed[h])
            back = fmaxf(back, ctxmost(h, allowed, &pairmost[h]));
    for (int j = 0; j < n; j++)     /* a word in no n-gram adds its own back-off alone */
        if (ids[j] >= 0 && (uint32_t)ids[j] >= k)
            back = fmaxf(back, model.centre[1][lmget(model.uni, unifield((uint32_t)ids[j], 1),
                                                     model.bits[1])]);
    for (int j = 0; j < n; j++) {
        int w = ids[j];
        float best = lmunigram(w) + (w >= 0 ? back : 0);
        if (w >= 0 && (uint32_t)w < k)
            for (uint32_t i = UNINEXT((uint32_t)w); i < UNINEXT((uint32_t)w + 1); i++) {
                uint32_t h1 = BIWORD(i);
                if (!allowed[h1])
                    continue;
                float p2 = model.centre[2][lmget(model.bi, bifield(i, 1), model.bits[2])];
                best = fmaxf(best, p2 + pairmost[h1]);
                for (uint32_t t = BINEXT(i); t < BINEXT(i + 1); t++)
                    if (allowed[TRIWORD(t)])
                        best = fmaxf(best, model.centre[4][lmget(model.tri, trifield(t, 1),
                                                                model.bits[4])]);
            }
        bound[j] = best;
    }
    free(allowed);
    free(pairmost);
}
