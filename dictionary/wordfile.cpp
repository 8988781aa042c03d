/*
** File layer of the word file reader. Lines are cut out of a block buffer
** filled by fread, so a pass over the file costs one library call per
** block rather than one per line. A line of lower-case letters, the usual
** word, is found and copied sixteen bytes at a time, and the lines that a
** search can rule out are passed over many at a time (wordscan).
*/
#include <errno.h>
#include <limits.h>
#include <string.h>

#include "dictionary/bytescan.h"
#include "dictionary/filestat.h"
#include "dictionary/linescan.h"
#include "dictionary/wordfile.h"
#include "engine/letters.h"

#define BLOCK_SIZE 65536
#define BLOCK_PAD  SCAN_ALIGN  /* line feeds after the bytes held: a chunk, a scan group */

static FILE *wf;             /* the open word file, or NULL */
static int wsize;            /* its size when opened */
static int wfold;            /* fold lines to lower case */
static int wbom;             /* bytes of the UTF-8 byte-order mark it starts with: 0 or 3 */
static long long wstampsize, wstamptime;    /* its status as last seen by wordchanged */
alignas(SCAN_ALIGN) static char block[BLOCK_SIZE + BLOCK_PAD];
static int blockoff;         /* file offset of block[0] */
static int blocklen;         /* bytes held */
static int blockpos;         /* next byte to hand out */
static int blockwhole;       /* bytes held up to the last line feed among them */

static void dropblock(int offset)
{
    blockoff = offset;
    blocklen = 0;
    blockpos = 0;
    blockwhole = 0;
}

FILE *wordopen(const char *path, int fold)
{
    wordclose();
    wfold = fold;
    if (pathstat(path) != 0)
        return NULL;
    wf = fileopen(path);
    if (!wf)
        return NULL;
    setvbuf(wf, NULL, _IONBF, 0);   /* the block is the buffer: fread fills it directly */
    long long size = 0;
    if (filestat(wf, &size) != 0 || size > INT_MAX) {
        int err = (size > INT_MAX) ? EFBIG : errno;
        fclose(wf);
        wf = NULL;
        errno = err;
        return NULL;
    }
    wsize = (int)size;
    if (filestamp(wf, &wstampsize, &wstamptime) != 0)
        wstampsize = wstamptime = -1;
    /* Notepad starts a UTF-8 file with a byte-order mark: no part of the
    ** first word. A UTF-16 or UTF-32 file holds no 8-bit words at all: it
    ** is known by its mark, either way round, or, without one, by the
    ** zero byte beside each of its first two ASCII characters, which no
    ** 8-bit text starts with. */
    unsigned char h[4] = {0, 0, 0, 0};
    size_t n = fread(h, 1, sizeof h, wf);
    int wide = (n >= 2 && ((h[0] == 0xFF && h[1] == 0xFE) || (h[0] == 0xFE && h[1] == 0xFF))) ||
               (n == 4 && !h[0] && !h[1] && h[2] == 0xFE && h[3] == 0xFF) ||
               (n == 4 && ((h[0] && !h[1] && h[2] && !h[3]) || (!h[0] && h[1] && !h[2] && h[3])));
    wbom = (n >= 3 && h[0] == 0xEF && h[1] == 0xBB && h[2] == 0xBF) ? 3 : 0;
    if (wide || fseek(wf, wbom, SEEK_SET) != 0) {
        int err = wide ? EILSEQ : errno;
        fclose(wf);
        wf = NULL;
        errno = err;
        return NULL;
    }
    dropblock(wbom);
    return wf;
}

int wordchanged(void)
{
    long long size, mtime;
    if (!wf || filestamp(wf, &size, &mtime) != 0)
        return 0;
    if (size == wstampsize && mtime == wstamptime)
        return 0;
    wstampsize = size;
    wstamptime = mtime;
    return 1;
}

const char *wordcause(int err)
{
    if (err == EINVAL)
        return "not a regular file";
    if (err == EILSEQ)
        return "UTF-16 or UTF-32 text, but a word file is 8-bit text (ANSI or UTF-8)";
    return strerror(err);
}

int wordfirst(void)
{
    return wbom;
}

int wordclose(void)
{
    if (!wf)
        return 1;
    int r = fclose(wf);
    wf = NULL;
    dropblock(0);
    return r;
}

int wordseek(int offset)
{
    if (!wf || offset < 0 || offset > wsize)
        return 0;
    if (offset == 0)
        offset = wbom;      /* the first line's text starts after the mark */
    /* a move within the bytes already held needs no seek */
    if (offset >= blockoff && offset <= blockoff + blocklen) {
        blockpos = offset - blockoff;
        return 1;
    }
    if (fseek(wf, offset, SEEK_SET) != 0)
        return 0;
    dropblock(offset);
    return 1;
}

/* Reads the next block, never past the size recorded at open. Returns the
** bytes read: 0 at end of file, -1 on a read error. */
static int fillblock(void)
{
    int start = blockoff + blocklen;
    int want = wsize - start;
    if (want > BLOCK_SIZE)
        want = BLOCK_SIZE;
    int n = want > 0 ? (int)fread(block, 1, (size_t)want, wf) : 0;
    dropblock(start);
    blocklen = n;
    memset(block + n, '\n', BLOCK_PAD);
    for (blockwhole = n; blockwhole > 0 && block[blockwhole - 1] != '\n'; blockwhole--)
        ;
    if (n == 0 && want > 0 && ferror(wf)) {
        clearerr(wf);
        return -1;
    }
    return n;
}

/* Reads a line across blocks, or one that needs tidying: the general case.
** Kept out of line, so that the common case stays small. */
#if defined(__GNUC__)
__attribute__((noinline))
#endif
static int readline(char *dst, int size, int *len)
{
    int kept = 0;       /* characters stored in dst */
    int total = 0;      /* characters of the line */
    int ended = 0;      /* a line feed was seen */
    int nul = 0;        /* a NUL byte was seen */
    char last = 0;

    dst[0] = '\0';
    if (len)
        *len = 0;
    if (!wf)
        return WORD_READFAIL;
    if (blockpos == blocklen) {
        int n = fillblock();
        if (n <= 0)
            return n < 0 ? WORD_READFAIL : WORD_END;
    }
    int start = blockoff + blockpos;
    for (;;) {
        const char *p = block + blockpos;
        int avail = blocklen - blockpos;
        const char *lf = (const char *)memchr(p, '\n', (size_t)avail);
        int chunk = lf ? (int)(lf - p) : avail;
        int room = size - 1 - kept;
        int take = chunk < room ? chunk : room;
        memcpy(dst + kept, p, (size_t)take);
        kept += take;
        total += chunk;
        nul |= memchr(p, '\0', (size_t)chunk) != NULL;
        if (chunk > 0)
            last = p[chunk - 1];
        if (lf) {
            blockpos += chunk + 1;
            ended = 1;
            break;
        }
        blockpos = blocklen;
        int n = fillblock();
        if (n < 0)
            return WORD_READFAIL;
        if (n == 0)
            break;      /* the last line has no line feed */
    }
    if (ended && total > 0 && last == '\r') {
        total--;
        if (kept > total)
            kept = total;
    }
    dst[kept] = '\0';
    if (wfold)
        strlower(dst);
    if (len)
        *len = nul ? -1 : total;
    return start;
}

#ifdef BYTESCAN
/* Copies the line at p to dst (of size bytes) a chunk at a time,
** terminated, if it is a plain word: letters 'a' to 'z' up to its line
** feed, which comes soon enough for whole chunks to fit in dst. Returns its
** length, or -1 for any other line, which readline then takes. The line
** feeds padding the block stop the scan. The chunk that holds the line's
** end is stored whole with its terminator, since a lone byte stored into
** it would stall the loads that soon read it back. */
static int copyplain(const char *p, char *dst, int size)
{
    for (int i = 0; i + BYTESCAN <= size; i += BYTESCAN) {
        chunk x = chunk_load(p + i);
        unsigned lf = chunk_equal(x, '\n');
        unsigned other = ~chunk_lower(x);
        if (lf) {
            int n = chunk_first(lf);
            if (other & ((1u << n) - 1))
                return -1;
            chunk_store(dst + i, chunk_cut(x, n));
            return i + n;
        }
        if (other & 0xffff)
            return -1;
        chunk_store(dst + i, x);
    }
    return -1;
}
#else
static int copyplain(const char *, char *, int)
{
    return -1;
}
#endif

int wordread(char *dst, int size, int *len)
{
    /* the common case: a whole plain line inside the block */
    if (blockpos < blocklen) {
        int n = copyplain(block + blockpos, dst, size);
        if (n >= 0 && n < blocklen - blockpos) {
            int start = blockoff + blockpos;
            blockpos += n + 1;
            if (len)
                *len = n;
            return start;
        }
    }
    return readline(dst, size, len);
}

void wordscan(const struct scanfilter *f, int *passed)
{
    if (blockpos < blockwhole)
        blockpos += scanlines(f, block + blockpos, blockwhole - blockpos, passed);
}

/* Compares key with a line of which only the first slen characters are
** known to be in s. Returns <0, 0 or >0 as strcmp does when that decides
** it, and WORD_NOLINEEND when the rest of the line would be needed. */
static int compareline(const char *key, const char *s, int slen, int complete)
{
    int c = complete ? strcmp(key, s) : strncmp(key, s, (size_t)slen);
    if (c != 0 || complete)
        return (c > 0) - (c < 0);
    if ((int)strlen(key) <= slen)
        return -1;      /* key is a prefix of the longer line */
    return WORD_NOLINEEND;
}

/* One probe at mid: compares key with the first line that starts after
** mid (at mid itself when mid is 0). Returns <0, 0 or >0, with the line's
** offset in *found, or a negative WORD_ code. */
static int probe(const char *key, int mid, int *found)
{
    char buf[WORD_LINEMAX + 1];
    if (fseek(wf, mid, SEEK_SET) != 0)
        return WORD_SEEKFAIL;
    int want = wsize - mid < WORD_LINEMAX ? wsize - mid : WORD_LINEMAX;
    int n = (int)fread(buf, 1, (size_t)want, wf);
    int skip = mid == 0 ? wbom : 0;
    if (mid > 0) {
        const char *lf = (const char *)memchr(buf, '\n', (size_t)n);
        if (!lf)
            return mid + n >= wsize ? -1 : WORD_NOLINEEND;
        skip = (int)(lf - buf) + 1;
    }
    if (mid + skip >= wsize)
        return -1;      /* no line starts after the probe: look lower */
    char *s = buf + skip;
    int avail = n - skip;
    const char *lf = (const char *)memchr(s, '\n', (size_t)avail);
    int slen = lf ? (int)(lf - s) : avail;
    if (lf && slen > 0 && s[slen - 1] == '\r')
        slen--;
    s[slen] = '\0';
    if (wfold)
        strlower(s);
    *found = mid == 0 ? 0 : mid + skip;
    return compareline(key, s, slen, lf != NULL || mid + n >= wsize);
}

int wordfind(char *key)
{
    if (!wf)
        return WORD_SEEKFAIL;
    if (wfold)
        strlower(key);
    int lo = 0, hi = wsize, lastprobe = 0, result = WORD_END;
    while (lo <= hi && !lastprobe) {
        if (lo + 1 >= hi)
            lastprobe = 1;
        int mid = lo + (hi - lo) / 2;
        int found = 0;
        int c = probe(key, mid, &found);
        if (c == WORD_SEEKFAIL || c == WORD_NOLINEEND) {
            result = c;
            break;
        }
        if (c < 0)
            hi = mid;
        else if (c > 0)
            lo = mid;
        else {
            result = found;
            break;
        }
    }
    /* the probes moved the file; the block buffer starts over from here */
    long pos = ftell(wf);
    dropblock(pos < 0 ? 0 : (int)pos);
    return result;
}
