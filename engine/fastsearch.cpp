/*
** The fast search: one read of the word file into a store of the words
** that fit the whole text, then the search's own backtracking in memory.
** A word can be accepted at some level only if it fits the letters left
** there, which are part of the text's, so the store loses no line. The
** words are walked in byte order, and the lines of letters met before are
** replayed rather than found again.
*/
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dictionary/dict.h"
#include "engine/exclude.h"
#include "engine/fastsearch.h"
#include "engine/letters.h"
#include "engine/stack.h"

#define FAST_INDEX (4 * FAST_WORDS)   /* entries of the narrowed lists */
#define FAST_HASH  (2 * FAST_WORDS)   /* chains of the words by their letters */
#define HIGHBITS   0x8080808080808080ull

/* A candidate word. Its letters 'a'..'z' are counted one byte each, letter
** i in byte i % 8 of count[i / 8]; every other character but the space is
** odd and is counted only by fitodd. */
struct Cand {
    uint64_t count[4];
    unsigned mask;          /* charbit of every character it holds */
    int text;               /* where its text starts in pool */
    unsigned char len;      /* characters, spaces included */
    unsigned char nlen;     /* characters but the spaces: letters it uses */
    unsigned char odd;      /* holds an odd character */
    int next;               /* the next candidate on its hash chain, or -1 */
};

/* The letters left at one level, in the form the fit test takes. */
struct Sig {
    uint64_t count[4];
    int left;               /* letters: strlen of the letter string */
    uint64_t oddsum;        /* oddsum of the letter string */
    unsigned char have[256];    /* counts of every character, for fitodd */
};

FastStats faststats;
int fastlengths[WORDS_MAX];
int nfastlengths;

static Cand cands[FAST_WORDS];
static char pool[FAST_POOL];
static int fastindex[FAST_INDEX];
static int chain[FAST_HASH];    /* first candidate of each hash chain, or -1 */
static unsigned chains;         /* chains in use: a power of two, twice the candidates */

/* The search under way. */
static SearchWindow *win;
static int *stop;
static int type;
static int limit;           /* words in a line at most */
static int oddtext;         /* the text holds odd characters */
static unsigned due, every; /* words to the next pump, and between pumps */
static char line[LINE_SIZE];
static int linepos[WORDS_MAX + 1];  /* where the word of each level starts */

/* One bit for each letter; the other characters share the top six bits,
** which is all the mask test needs: a bit a word holds is one the letters
** hold whenever they hold the word's character. */
static unsigned charbit(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return 1u << (c - 'a');
    return c == ' ' ? 0 : 1u << (26 + c % 6);
}

/* Counts, mask and odd flag of s; returns its characters but the spaces. */
static int countof(const char *s, uint64_t count[4], unsigned *mask, int *odd)
{
    int n = 0;
    count[0] = count[1] = count[2] = count[3] = 0;
    *mask = 0;
    *odd = 0;
    for (; *s; s++) {
        unsigned char c = (unsigned char)*s;
        if (c == ' ')
            continue;
        n++;
        *mask |= charbit(c);
        if (c >= 'a' && c <= 'z')
            count[(c - 'a') / 8] += 1ull << (8 * ((c - 'a') % 8));
        else
            *odd = 1;
    }
    return n;
}

static int isodd(unsigned char c)
{
    return c != ' ' && (c < 'a' || c > 'z');
}

/* A sum over the odd characters of s that does not depend on their order. */
static uint64_t oddsum(const char *s)
{
    uint64_t sum = 0;
    for (; *s; s++)
        if (isodd((unsigned char)*s))
            sum += ((unsigned char)*s + 1) * 0x9e3779b97f4a7c15ull;
    return sum;
}

/* The hash chain of the words that use exactly the letters counted. */
static int chainof(const uint64_t count[4], uint64_t odd)
{
    uint64_t h = odd;
    for (int k = 0; k < 4; k++)
        h = (h ^ count[k]) * 0xff51afd7ed558ccdull;
    return (int)((h ^ (h >> 29)) & (chains - 1));
}

/* The odd characters of the letters, for fitodd and the hash chains. */
static void oddsof(const char *letters, Sig *s)
{
    s->oddsum = oddsum(letters);
    memset(s->have, 0, sizeof s->have);
    for (const char *p = letters; *p; p++)
        s->have[(unsigned char)*p]++;
}

static void sigof(const char *letters, Sig *s)
{
    unsigned mask;
    int odd;
    s->left = countof(letters, s->count, &mask, &odd);
    s->oddsum = 0;
    if (oddtext)
        oddsof(letters, s);
}

/* The letters of s once candidate c, which fits them, is taken out; rest
** is their letter string. Only the odd characters need the string. */
static void sigminus(const Sig *s, const Cand *c, const char *rest, Sig *out)
{
    for (int k = 0; k < 4; k++)
        out->count[k] = s->count[k] - c->count[k];
    out->left = s->left - c->nlen;
    out->oddsum = 0;
    if (oddtext)
        oddsof(rest, out);
}

/* Whether the odd characters of w, repeats counted, are in have; have is
** left as it was. */
static int fitodd(const char *w, unsigned char *have)
{
    const char *p;
    int ok = 1;
    for (p = w; *p; p++) {
        unsigned char c = (unsigned char)*p;
        if (!isodd(c))
            continue;
        if (have[c] == 0) {
            ok = 0;
            break;
        }
        have[c]--;
    }
    for (const char *q = w; q < p; q++)
        if (isodd((unsigned char)*q))
            have[(unsigned char)*q]++;
    return ok;
}

/* Whether the letters 'a'..'z' of candidate c are in s. Counts stay below
** 128, so one subtraction per eight letters leaves the high bit of each
** byte set just where the letters hold enough. No branch: the narrowing
** loop below runs it on every candidate, and which fit is hard to guess. */
static inline int fitcount(const Cand *c, const Sig *s)
{
    uint64_t t = ((s->count[0] | HIGHBITS) - c->count[0]) &
                 ((s->count[1] | HIGHBITS) - c->count[1]) &
                 ((s->count[2] | HIGHBITS) - c->count[2]) &
                 ((s->count[3] | HIGHBITS) - c->count[3]);
    return (t & HIGHBITS) == HIGHBITS;
}

/* Whether candidate c fits the letters of s. For a candidate, which fits
** the text and so starts with no space, this is strcontains: its spaces
** take the slots of letters already used. */
static inline int fits(const Cand *c, Sig *s)
{
    return fitcount(c, s) && (!c->odd || fitodd(pool + c->text, s->have));
}

/* Writes to out the entries of list whose candidates fit s; returns how
** many. */
static int narrow(const int *list, int n, Sig *s, int *out)
{
    int m = 0;
    if (oddtext) {
        for (int i = 0; i < n; i++)
            if (fits(&cands[list[i]], s))
                out[m++] = list[i];
        return m;
    }
    for (int i = 0; i < n; i++) {   /* no odd candidates: the counts decide */
        out[m] = list[i];
        m += fitcount(&cands[list[i]], s);
    }
    return m;
}

/* Counts n more words read or taken, pumping the window on every
** every-th one as search() does; 0 when a pump set the stop flag (and the
** words after that one are not counted as pumped). */
static int counting(unsigned n)
{
    while (n > 0) {
        unsigned k = n < due ? n : due;
        n -= k;
        due -= k;
        if (due == 0) {
            due = every;
            win->pump();
            if (*stop)
                return 0;
        }
    }
    return !*stop;
}

/* Reads the word file once and keeps, in file order, the words that fit
** letters (the whole text's). Returns SEARCH_OK (also when stopped),
** SEARCH_POSITION, SEARCH_READ or FAST_FULL. */
static int readcands(const char *letters)
{
    char word[WORD_MAX + 1];
    uint64_t lcount[4];
    unsigned lmask;
    int offset, more, odd, used = 0;

    countof(letters, lcount, &lmask, &oddtext);
    if (dictposition("", 0))
        return SEARCH_POSITION;
    for (;;) {
        if (dictnext(word, &offset, &more))
            return SEARCH_READ;
        if (!more)
            return SEARCH_OK;
        int len = (int)strlen(word);
        if (passedover(word, len))
            continue;       /* as if the file did not hold it */
        faststats.read++;
        if (!counting(1))
            return SEARCH_OK;
        Cand c;
        c.nlen = (unsigned char)countof(word, c.count, &c.mask, &odd);
        if ((c.mask & ~lmask) || !strcontains(letters, word))
            continue;
        if (faststats.kept == FAST_WORDS || used + len + 1 > FAST_POOL)
            return FAST_FULL;
        memcpy(pool + used, word, (size_t)len + 1);
        c.text = used;
        c.len = (unsigned char)len;
        c.odd = (unsigned char)odd;
        cands[faststats.kept++] = c;
        used += len + 1;
    }
}

static int bytewise(const void *a, const void *b)
{
    return strcmp(pool + ((const Cand *)a)->text, pool + ((const Cand *)b)->text);
}

/* Puts the candidates in byte order, so that each level walks its words in
** that order, and says in faststats.inorder whether the lines will then
** come in byte order too: they do when every word is followed in its line
** by a space that sorts below all its bytes, and no word comes twice (the
** lines of a word's second copy would follow those of its first, not go
** between them). */
static void sortcands(void)
{
    int n = faststats.kept;
    qsort(cands, (size_t)n, sizeof *cands, bytewise);
    faststats.inorder = 1;
    for (int i = 0; i < n && faststats.inorder; i++) {
        for (const unsigned char *p = (const unsigned char *)pool + cands[i].text; *p; p++)
            if (*p <= ' ') {
                faststats.inorder = 0;
                break;
            }
        if (i > 0 && strcmp(pool + cands[i - 1].text, pool + cands[i].text) == 0)
            faststats.inorder = 0;
    }
}

/* Chains the candidates by their letters, in a table small enough to stay
** in the cache. */
static void makechains(void)
{
    for (chains = 2; chains < 2u * (unsigned)faststats.kept; chains *= 2)
        ;
    for (unsigned i = 0; i < chains; i++)
        chain[i] = -1;
    for (int i = faststats.kept - 1; i >= 0; i--) {
        Cand *c = &cands[i];
        int h = chainof(c->count, c->odd ? oddsum(pool + c->text) : 0);
        c->next = chain[h];
        chain[h] = i;
    }
}

/* Puts w after the words taken on the levels above depth. */
static void take(int depth, const char *w, int len)
{
    memcpy(line + linepos[depth], w, (size_t)len);
    line[linepos[depth] + len] = ' ';
    linepos[depth + 1] = linepos[depth] + len + 1;
}

/* Lines kept for replay. The lines below a level depend only on the
** letters left there and on the words a line may still take, and the same
** letters come back under many orders of the words above them: their lines
** are written once, kept, and replayed after whatever words come first.
** Every level under way records its lines, each in a stage of its own,
** until they are too many; a level known already is replayed into the
** stages above it. For each line a record holds the words taken before it,
** so a replay pumps the window as often as the walk did. */
#define MEMO_POOL  (6 << 20)    /* bytes of the lines kept */
#define MEMO_SPAN  (192 << 10)  /* bytes the lines of one level may take */
#define MEMO_SLOTS (1 << 14)    /* letter sets kept at most, half the table */

struct Memo {
    uint64_t count[4];      /* the letters left */
    int budget;             /* words a line may still take */
    unsigned gen;           /* the slot is in use when it is memogen */
    int start, end;         /* its records in memopool; start -1: too many */
    unsigned tail;          /* words taken after its last line */
};

/* The records of a level under way. */
struct Stage {
    Memo key;
    int on;                 /* recording: its lines fit so far */
    int len;
    long long mark;         /* faststats.taken at its last line */
    char buf[MEMO_SPAN];
};

static Memo memos[2 * MEMO_SLOTS];
static char memopool[MEMO_POOL];
static Stage stages[WORDS_MAX];     /* by depth */
static unsigned memogen;    /* a new value empties the table */
static int memoused, memotop;
static int memoing;         /* the search may replay: no odd characters, no lengths */
static int recording;       /* stages on, at most */

static void memoreset(void)
{
    memogen++;
    memoused = memotop = 0;
}

/* The slot of the letters of count with budget, or the free one where
** they would go. */
static Memo *memofind(const uint64_t count[4], int budget)
{
    unsigned i = (unsigned)chainof(count, (uint64_t)budget) & (2 * MEMO_SLOTS - 1);
    for (;; i = (i + 1) & (2 * MEMO_SLOTS - 1)) {
        Memo *m = &memos[i];
        if (m->gen != memogen || (m->budget == budget && !memcmp(m->count, count, sizeof m->count)))
            return m;
    }
}

/* Keeps the lines of stage st, or that they are too many (kept 0). */
static void memokeep(Stage *st, int kept)
{
    st->on = 0;
    if (kept && memotop + st->len > MEMO_POOL)
        memoreset();
    if (memoused == MEMO_SLOTS)
        memoreset();
    Memo *m = memofind(st->key.count, st->key.budget);
    if (m->gen != memogen)
        memoused++;
    *m = st->key;
    m->gen = memogen;
    m->start = kept ? memotop : -1;
    m->end = kept ? memotop + st->len : -1;
    m->tail = (unsigned)(faststats.taken - st->mark);
    if (kept) {
        memcpy(memopool + memotop, st->buf, (size_t)st->len);
        memotop += st->len;
    }
}

/* Adds to each stage on the line that ends at line[end], from the word of
** the stage's level. */
static void record(int end)
{
    for (int d = 0; d < recording; d++) {
        Stage *st = &stages[d];
        if (!st->on)
            continue;
        int len = end - linepos[d];
        int need = (int)sizeof(unsigned) + 2 + len;
        if (st->len + need > MEMO_SPAN) {
            memokeep(st, 0);
            continue;
        }
        unsigned short n = (unsigned short)len;
        unsigned takes = (unsigned)(faststats.taken - st->mark);
        char *p = st->buf + st->len;
        memcpy(p, &takes, sizeof takes);
        memcpy(p + sizeof takes, &n, 2);
        memcpy(p + sizeof takes + 2, line + linepos[d], (size_t)len);
        st->len += need;
        st->mark = faststats.taken;
    }
}

/* Adds the line that ends at line[end]. */
static void emitline(int end)
{
    line[end] = '\n';
    line[end + 1] = '\0';
    if (recording)
        record(end);
    win->addline(line);
    faststats.lines++;
}

/* Adds the line of the words taken on levels 0 to depth. */
static void emit(int depth)
{
    emitline(linepos[depth + 1]);
}

/* Accounts for one word taken; 0 when the search is to stop. */
static int taking(void)
{
    faststats.taken++;
    return counting(1);
}

/* The lines of m again, after the words taken above depth. The stages
** above it take them in, and none is kept into the pool before this ends,
** so the records stay in place. */
static void replay(int depth, const Memo *m)
{
    int p = m->start, end = m->end;
    unsigned tail = m->tail;
    while (p < end) {
        unsigned takes;
        unsigned short n;
        memcpy(&takes, memopool + p, sizeof takes);
        memcpy(&n, memopool + p + sizeof takes, 2);
        faststats.taken += takes;
        if (!counting(takes))
            return;
        memcpy(line + linepos[depth], memopool + p + sizeof takes + 2, n);
        emitline(linepos[depth] + n);
        p += (int)sizeof takes + 2 + n;
    }
    faststats.taken += tail;
    counting(tail);
}

/* The words that end the line at this level: those that use exactly the
** letters left. They hold the rarest letter and pass the single-word
** length test whatever it is, and they fit any letters above. */
static void endings(int depth, Sig *s)
{
    for (int i = chain[chainof(s->count, s->oddsum)]; i >= 0; i = cands[i].next) {
        const Cand *c = &cands[i];
        if (c->nlen != s->left || memcmp(c->count, s->count, sizeof s->count) ||
            (c->odd && !fitodd(pool + c->text, s->have)))
            continue;
        if (!taking())
            return;
        take(depth, pool + c->text, c->len);
        emit(depth);
    }
}

static void walk(int depth, const char *letters, Sig *s, const int *list, int n, int top);

/* One level: its lines replayed where they are known, else walked, and
** recorded when no level above is. */
static void level(int depth, const char *letters, Sig *s, const int *list, int n, int top)
{
    if (depth >= limit)
        return;
    if (!memoing) {
        walk(depth, letters, s, list, n, top);
        return;
    }
    int budget = limit - depth < s->left ? limit - depth : s->left;
    Memo *m = memofind(s->count, budget);
    if (m->gen == memogen && m->start >= 0) {
        replay(depth, m);
        return;
    }
    if (m->gen == memogen) {
        walk(depth, letters, s, list, n, top);
        return;
    }
    Stage *st = &stages[depth];
    memcpy(st->key.count, s->count, sizeof st->key.count);
    st->key.budget = budget;
    st->on = 1;
    st->len = 0;
    st->mark = faststats.taken;
    recording = depth + 1;
    walk(depth, letters, s, list, n, top);
    if (st->on && !*stop)
        memokeep(st, 1);
    st->on = 0;
    recording = depth;
}

/* The candidates of list (n of them) that fit s, m of them, narrowed onto
** the top of fastindex where they fit there (*exact set), else list
** itself, whose entries the caller then tests one by one. Moves *top past
** the entries it writes. */
static const int *fitting(const int *list, int n, Sig *s, int *top, int *m, int *exact)
{
    *m = n;
    *exact = 0;
    if (*top + n > FAST_INDEX)
        return list;
    int *out = fastindex + *top;
    *m = narrow(list, n, s, out);
    faststats.tried += n;
    *top += *m;
    *exact = 1;
    return out;
}

/* One level of the backtracking, depth words taken already, as a pass of
** search() over the words: in order, the candidates of list (n of them,
** every word that fits the letters of the level above) that fit the letters
** left and hold the rarest. On the last level a line may have, only the
** words that end it are wanted, and they are found by their letters. The
** words of list that fit the letters left go to the top of
** fastindex, the list of the next level; where they would not fit there,
** the next level tests this level's list again, which finds the same. */
static void walk(int depth, const char *letters, Sig *s, const int *list, int n, int top)
{
    if (depth + 1 == limit) {
        endings(depth, s);
        return;
    }
    int m, exact;
    const int *fit = fitting(list, n, s, &top, &m, &exact);
    unsigned char rare = (unsigned char)letters[0];
    unsigned rarebit = (rare >= 'a' && rare <= 'z') ? charbit(rare) : 0;
    for (int j = 0; j < m; j++) {
        const Cand *c = &cands[fit[j]];
        const char *w = pool + c->text;
        /* the rarest letter left first; with no letters left, strchr
        ** finds the terminator, as the search's test does */
        if (rarebit ? !(c->mask & rarebit) : !strchr(w, rare))
            continue;
        if (!exact) {
            faststats.tried++;
            if (!fits(c, s))
                continue;
        }
        if (type == SINGLE_WORD && c->len < s->left)
            continue;
        if (!taking())
            return;
        take(depth, w, c->len);
        if (c->nlen == s->left) {
            emit(depth);
            continue;
        }
        char rest[STACK_STR];
        Sig next;
        strminus(letters, w, rest);     /* keeps the rarest-first order */
        sigminus(s, c, rest, &next);
        level(depth + 1, rest, &next, fit, m, top);
        if (*stop)
            return;
    }
}

/* One level of a search for lines of the lengths in fastlengths, in their
** order: every candidate that fits the letters left and has the level's
** length, whatever letter is rarest, so every order of a set of words is
** found, each once. Lengths count the letters a word uses, not its spaces. */
static void lenlevel(int depth, const char *letters, Sig *s, const int *list, int n, int top)
{
    if (depth + 1 == nfastlengths) {
        if (s->left == fastlengths[depth])
            endings(depth, s);
        return;
    }
    int m, exact;
    const int *fit = fitting(list, n, s, &top, &m, &exact);
    for (int j = 0; j < m; j++) {
        const Cand *c = &cands[fit[j]];
        if (c->nlen != fastlengths[depth] || c->nlen >= s->left)
            continue;
        if (!exact) {
            faststats.tried++;
            if (!fits(c, s))
                continue;
        }
        if (!taking())
            return;
        const char *w = pool + c->text;
        take(depth, w, c->len);
        char rest[STACK_STR];
        Sig next;
        strminus(letters, w, rest);
        sigminus(s, c, rest, &next);
        lenlevel(depth + 1, rest, &next, fit, m, top);
        if (*stop)
            return;
    }
}

int fastsearch(SearchWindow *w)
{
    const char *text;
    char blanked[TEXT_MAX + 1];
    char letters[STACK_STR];

    memset(&faststats, 0, sizeof faststats);
    win = w;
    win->takeinput(&text, &type);
    if (countletters(text) > TEXT_MAX)
        return SEARCH_TOOLONG;
    win->clearlist();
    every = win->pumpwords() > 0 ? (unsigned)win->pumpwords() : 1;
    due = 1;
    stop = win->stopflag();
    *stop = 0;
    strminus(text, " \t", blanked);
    strlower(blanked);
    freqsort(blanked, letters);
    limit = maxwords < WORDS_MAX ? maxwords : WORDS_MAX;
    win->startbusy();

    int err = readcands(letters);
    if (err == FAST_FULL) {
        win->stopbusy();
        return err;
    }
    if (err) {
        fprintf(stderr, "%s: dictionary file error [%d]\n", "vexlore", err);
        return err;
    }
    sortcands();
    makechains();
    memoreset();
    recording = 0;
    memoing = !oddtext && nfastlengths == 0;
    for (int i = 0; i < faststats.kept; i++)
        fastindex[i] = i;
    linepos[0] = 0;
    if (!*stop) {
        Sig s;
        sigof(letters, &s);
        if (nfastlengths == 0)
            level(0, letters, &s, fastindex, faststats.kept, faststats.kept);
        else if (nfastlengths <= limit)
            lenlevel(0, letters, &s, fastindex, faststats.kept, faststats.kept);
    }
    win->stopbusy();
    if (win->countlines() == 0)
        win->addline("*No anagrams found*");
    return SEARCH_OK;
}
