/*
** The relatedness file's reader and the set of words related to a text.
** The file is read whole into memory of its own; nothing in it is used
** before its size is checked, and every id before it is trusted.
*/
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dictionary/filestat.h"
#include "model/related.h"

#define REL_MOST (32u << 20)   /* a larger file is not one of ours */
#define REL_NAME 4             /* the most words of a name looked up */
#define REL_RUN  64            /* the longest word of a text looked up */
#define REL_CHUNK 5            /* the letters of a chunk of the text */
#define REL_STEM 4             /* the first letters a word shares with its kin */

static const unsigned char *block;  /* the whole file, while loaded */
static size_t blocksize;
static uint32_t nwords;
static const char *text;
static const unsigned char *bags, *bagsend;
static uint32_t *wordat;       /* where each word's text starts */
static uint32_t *baseof;       /* each word's base form */
static uint32_t *bagat;        /* where each word's bag starts in bags, or NOBAG */
static const char *why = "";

#define NOBAG 0xffffffffu

static uint32_t u32at(const unsigned char *p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

static int bad(const char *msg)
{
    why = msg;
    return REL_BAD;
}

/* Reads a varint at *p, before end, into *v; 0 when it runs past end or
** past 32 bits. */
static int varint(const unsigned char **p, const unsigned char *end, uint32_t *v)
{
    uint64_t x = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (*p >= end)
            return 0;
        unsigned char c = *(*p)++;
        x |= (uint64_t)(c & 0x7f) << shift;
        if (!(c & 0x80))
            return x <= 0xffffffffu ? (*v = (uint32_t)x, 1) : 0;
    }
    return 0;
}

/* The words: exactly nwords texts, each ended by a NUL, none empty, each
** after the one before in byte order. */
static int checktext(uint32_t bytes)
{
    uint32_t at = 0;
    for (uint32_t i = 0; i < nwords; i++) {
        const void *nul = at < bytes ? memchr(text + at, '\0', bytes - at) : NULL;
        if (!nul)
            return bad("its words run past their section");
        if (nul == text + at)
            return bad("it holds an empty word");
        if (i > 0 && strcmp(text + wordat[i - 1], text + at) >= 0)
            return bad("its words are not in order");
        wordat[i] = at;
        at = (uint32_t)((const char *)nul - text) + 1;
    }
    return at == bytes ? REL_OK : bad("its words are fewer than its text");
}

static int checkbases(const unsigned char *p, const unsigned char *end, uint32_t n)
{
    for (uint32_t i = 0; i < nwords; i++)
        baseof[i] = i;
    uint64_t w = 0;
    for (uint32_t i = 0; i < n; i++) {
        uint32_t d, b;
        if (!varint(&p, end, &d) || !varint(&p, end, &b))
            return bad("its base forms run past their section");
        w += d + (i ? 1 : 0);
        if (w >= nwords || b >= nwords || b == w)
            return bad("a base form names a word it does not hold");
        baseof[w] = b;
    }
    return p == end ? REL_OK : bad("its base forms are fewer than their section");
}

static int checkbags(uint32_t n)
{
    const unsigned char *p = bags;
    for (uint32_t i = 0; i < nwords; i++)
        bagat[i] = NOBAG;
    uint64_t h = 0;
    for (uint32_t i = 0; i < n; i++) {
        uint32_t d, count;
        if (!varint(&p, bagsend, &d))
            return bad("its bags run past their section");
        h += d + (i ? 1 : 0);
        if (h >= nwords)
            return bad("a bag belongs to a word it does not hold");
        bagat[h] = (uint32_t)(p - bags);
        if (!varint(&p, bagsend, &count) || count >= nwords)
            return bad("a bag holds more words than the file");
        uint64_t w = 0;
        for (uint64_t k = 0; k <= count; k++) {
            if (!varint(&p, bagsend, &d))
                return bad("its bags run past their section");
            w += d + (k ? 1 : 0);
            if (w >= nwords)
                return bad("a bag holds a word the file does not");
        }
    }
    return p == bagsend ? REL_OK : bad("its bags are fewer than their section");
}

static int layout(size_t size)
{
    if (memcmp(block, REL_MAGIC, 8) != 0)
        return bad("not a Vexlore relatedness file");
    if (u32at(block + 8) != REL_VERSION)
        return bad("a relatedness file of another version");
    nwords = u32at(block + 12);
    uint32_t textbytes = u32at(block + 16), nbases = u32at(block + 20);
    uint32_t basebytes = u32at(block + 24), nheads = u32at(block + 28);
    uint32_t bagbytes = u32at(block + 32);
    if ((uint64_t)REL_HEADER + textbytes + basebytes + bagbytes != size)
        return bad("its size is not what its header says");
    if (nwords > textbytes / 2 || nbases > nwords || nheads > nwords)
        return bad("its counts are larger than its sections");
    text = (const char *)block + REL_HEADER;
    const unsigned char *basep = block + REL_HEADER + textbytes;
    bags = basep + basebytes;
    bagsend = bags + bagbytes;
    size_t n = nwords ? nwords : 1;
    wordat = (uint32_t *)malloc(n * sizeof *wordat);
    baseof = (uint32_t *)malloc(n * sizeof *baseof);
    bagat = (uint32_t *)malloc(n * sizeof *bagat);
    if (!wordat || !baseof || !bagat) {
        errno = ENOMEM;
        return REL_NOFILE;
    }
    int r = checktext(textbytes);
    if (r == REL_OK)
        r = checkbases(basep, bags, nbases);
    if (r == REL_OK)
        r = checkbags(nheads);
    return r;
}

int relload(const char *path)
{
    relfree();
    FILE *f = pathstat(path) == 0 ? fileopen(path) : NULL;
    if (!f)
        return REL_NOFILE;
    int r = REL_OK;
    long long size = -1;
    if (filestat(f, &size) != 0)
        r = REL_NOFILE;
    else if (size > REL_MOST)
        r = bad("larger than any relatedness file of ours");
    else if (size < REL_HEADER)
        r = bad("not a Vexlore relatedness file");
    else if ((block = filewhole(f, (size_t)size)) != NULL)
        blocksize = (size_t)size;
    else if (errno == EIO && !ferror(f))
        r = bad("the file became shorter while it was read");
    else
        r = REL_NOFILE;
    int err = errno;
    fclose(f);
    if (r == REL_OK)
        r = layout((size_t)size);
    if (r != REL_OK) {
        relfree();
        errno = err;
    }
    return r;
}

const char *relerror(void)
{
    return why;
}

void relfree(void)
{
    filefree(block, blocksize);
    free(wordat);
    free(baseof);
    free(bagat);
    block = NULL;
    wordat = baseof = bagat = NULL;
    text = NULL;
    bags = bagsend = NULL;
    nwords = 0;
}

int relcount(void)
{
    return block ? (int)nwords : 0;
}

int relword(const char *word)
{
    uint32_t lo = 0, hi = block ? nwords : 0;
    while (lo < hi) {
        uint32_t mid = lo + (hi - lo) / 2;
        int c = strcmp(text + wordat[mid], word);
        if (c == 0)
            return (int)mid;
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return -1;
}

const char *reltext(int id)
{
    return block && id >= 0 && (uint32_t)id < nwords ? text + wordat[id] : "";
}

int relbase(int id)
{
    return block && id >= 0 && (uint32_t)id < nwords ? (int)baseof[id] : id;
}

/* Calls mark(id, arg) for each id of the bag of word id (or of its base
** form), and returns how many there are; the file was checked whole. */
static int eachinbag(int id, void (*mark)(uint32_t, void *), void *arg)
{
    if (id < 0 || (uint32_t)id >= nwords)
        return 0;
    if (bagat[id] == NOBAG)
        id = (int)baseof[id];
    if (bagat[id] == NOBAG)
        return 0;
    const unsigned char *p = bags + bagat[id];
    uint32_t count = 0, d = 0, w = 0;
    varint(&p, bagsend, &count);
    for (uint32_t k = 0; k <= count; k++) {
        varint(&p, bagsend, &d);
        w += d + (k ? 1 : 0);
        mark(w, arg);
    }
    return (int)count + 1;
}

struct Out { int *ids, max, n; };

static void put(uint32_t id, void *arg)
{
    Out *o = (Out *)arg;
    if (o->n < o->max)
        o->ids[o->n] = (int)id;
    o->n++;
}

int relbag(const char *head, int *ids, int max)
{
    Out o = {ids, max, 0};
    return eachinbag(relword(head), put, &o);
}

struct Mark { int *why; int head; };

static void markone(uint32_t id, void *arg)
{
    Mark *m = (Mark *)arg;
    if (m->why[id] < 0)
        m->why[id] = m->head;
}

/* Whether word is the text's own letters rather than what the text is
** about, the text being lower case with a space between its words: a run
** of REL_STEM letters or more of one of its words, a word that holds one
** of its words of REL_CHUNK letters or more ('master' and 'schoolmasters'
** for 'schoolmaster'), or one that begins with the same REL_STEM letters
** as one of its words (the word in another form: 'rest', 'safer' for
** 'restful', 'rail safety', which WordNet's glosses name). */
static int textsown(const char *word, const char *lowered)
{
    size_t n = strlen(word);
    if (n < REL_STEM)
        return 0;
    if (strstr(lowered, word))
        return 1;
    for (const char *p = lowered; *p;) {
        size_t len = strcspn(p, " ");
        if (len >= REL_STEM && memcmp(p, word, REL_STEM) == 0)
            return 1;
        if (len >= REL_CHUNK && len <= n && len <= REL_RUN) {
            char run[REL_RUN + 1];
            memcpy(run, p, len);
            run[len] = '\0';
            if (strstr(word, run))
                return 1;
        }
        p += len;
        p += strspn(p, " ");
    }
    return 0;
}

int relset(RelSet *set, const char *t)
{
    relsetfree(set);
    if (!block || nwords == 0)
        return 0;
    set->why = (int *)malloc(nwords * sizeof *set->why);
    unsigned char *own = (unsigned char *)calloc(nwords, 1);   /* the text's base forms */
    char *lowered = (char *)malloc(strlen(t) + 1);   /* the text's letters, a space between */
    if (!set->why || !own || !lowered) {
        free(own);
        free(lowered);
        relsetfree(set);
        return -1;
    }
    set->n = (int)nwords;
    for (uint32_t i = 0; i < nwords; i++)
        set->why[i] = -1;

    /* the text's words, each as a run of lower-case letters; a longer
    ** word than any of the file's is no word of it */
    char run[REL_NAME][REL_RUN + 1];
    int nrun = 0, len = 0;
    char w[REL_RUN + 2];
    for (const char *p = t;; p++) {
        char c = *p >= 'A' && *p <= 'Z' ? (char)(*p - 'A' + 'a') : *p;
        if (c >= 'a' && c <= 'z') {
            if (len <= REL_RUN)
                w[len++] = c;
            continue;
        }
        if (len > 0) {
            w[len > REL_RUN ? 0 : len] = '\0';
            len = 0;
            /* the last REL_NAME words, the newest last */
            if (nrun == REL_NAME) {
                memmove(run[0], run[1], sizeof run[0] * (REL_NAME - 1));
                nrun--;
            }
            strcpy(run[nrun++], w);
            int id = relword(w);
            if (id >= 0)
                own[baseof[id]] = 1;
            Mark m = {set->why, id};
            eachinbag(id, markone, &m);
            /* the names of two to REL_NAME words that end here */
            char name[REL_NAME * (REL_RUN + 1)];
            name[0] = '\0';
            for (int k = nrun - 1; k >= 0; k--) {
                char tail[sizeof name];
                snprintf(tail, sizeof tail, "%s%s%s", run[k], name[0] ? " " : "", name);
                strcpy(name, tail);
                if (k < nrun - 1 && (m.head = relword(name)) >= 0)
                    eachinbag(m.head, markone, &m);
            }
        }
        if (!*p)
            break;
    }

    /* each word related through its base form, and none of the text's own
    ** nor words made of its own letters (textsown): those are the text,
    ** not what it is about */
    size_t k = 0;
    for (const char *p = t; *p; p++) {
        char c = *p >= 'A' && *p <= 'Z' ? (char)(*p - 'A' + 'a') : *p;
        lowered[k++] = c >= 'a' && c <= 'z' ? c : ' ';
    }
    lowered[k] = '\0';
    set->count = 0;
    for (uint32_t i = 0; i < nwords; i++) {
        int b = (int)baseof[i];
        if (set->why[i] < 0 && set->why[b] >= 0)
            set->why[i] = set->why[b];
        if (own[b] || (set->why[i] >= 0 && textsown(text + wordat[i], lowered)))
            set->why[i] = -1;
        set->count += set->why[i] >= 0;
    }
    free(own);
    free(lowered);
    return set->count;
}

int relrelated(const RelSet *set, int id)
{
    return set->why && id >= 0 && id < set->n ? set->why[id] : -1;
}

void relsetfree(RelSet *set)
{
    free(set->why);
    set->why = NULL;
    set->n = set->count = 0;
}
