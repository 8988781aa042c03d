/*
** The line scan. Each version marks, for a group of bytes at a time, the
** line feeds, the bytes 'a' to 'z' and the letters the filter lacks, and
** folds those marks to one verdict per line; only the plain version looks
** at one byte at a time.
*/
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "dictionary/linescan.h"

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#define SCAN_X86
#define SCAN_VECTOR
#include <immintrin.h>
#define SCAN_SHUFFLE
#elif defined(__wasm_simd128__) && defined(__SSE2__)
/* WebAssembly SIMD, onto which the compiler maps the SSE2 intrinsics, and
** the SSSE3 ones where the build asks for them (in Chromium the SSSE3
** version ran slower than the SSE2 one). The versions built always run. */
#define SCAN_VECTOR
#ifdef __SSSE3__
#define SCAN_SHUFFLE
#include <tmmintrin.h>
#else
#include <emmintrin.h>
#endif
#endif

/* A group: as many bytes as a machine word has bits, one bit a byte. */
#if defined(__x86_64__) || defined(__aarch64__) || defined(__wasm__)
#define GROUP 64
typedef uint64_t groupmask;
#define lowzeros(m)  __builtin_ctzll(m)
#define highzeros(m) __builtin_clzll(m)
#define popcount(m)  __builtin_popcountll(m)
#else
#define GROUP 32
typedef uint32_t groupmask;
#define lowzeros(m)  __builtin_ctz(m)
#define highzeros(m) __builtin_clz(m)
#define popcount(m)  __builtin_popcount(m)
#endif

void scanletters(struct scanfilter *f, unsigned lack)
{
    lack &= (1u << 26) - 1;
    f->lack = lack;
    memset(f->nibble, 0, sizeof f->nibble);
    for (int i = 0; i < 26; i++) {
        int c = 'a' + i;
        unsigned char letter = (c >> 4) == 6 ? 0x40 : 0x10;
        f->nibble[c & 15] |= letter;
        if (lack >> i & 1)
            f->nibble[c & 15] |= letter << 1;
    }
    f->nranges = 0;
    for (int i = 0; i < 26; i++) {
        if (lack >> i & 1)
            continue;
        int j = i;
        while (j + 1 < 26 && !(lack >> (j + 1) & 1))
            j++;
        /* 'a' + i moves to -128, and the run's last letter to -128 + j - i */
        memset(f->shift[f->nranges], (unsigned char)(128 - 'a' - i), 16);
        memset(f->above[f->nranges], (unsigned char)(j - i - 128), 16);
        f->nranges++;
        i = j;
    }
}

/* The twin the others are held to: one line, one byte at a time. */
static int scanplain(const struct scanfilter *f, const char *p, int n, int *passed)
{
    int at = 0, count = 0;
    while (at < n) {
        int len = 0, plain = 1, lacking = 0;
        for (; p[at + len] != '\n'; len++) {
            unsigned c = (unsigned char)p[at + len] - 'a';
            if (c >= 26)
                plain = 0;
            else if (f->lack >> c & 1)
                lacking = 1;
        }
        if (!plain || len > SCAN_LINEMAX || !lacking)
            break;
        at += len + 1;
        count++;
    }
    *passed += count;
    return at;
}

#ifdef SCAN_VECTOR

#ifdef SCAN_X86
/* a + b + carry into *sum; returns the carry out. The add-with-carry
** instruction itself: the compilers' intrinsic for it goes through memory. */
static inline unsigned char addcarry(unsigned char carry, groupmask a, groupmask b, groupmask *sum)
{
    __asm__("addb $255, %b[c]\n\tadc %[b], %[a]\n\tsetc %b[c]"
            : [a] "+r"(a), [c] "+q"(carry)
            : [b] "r"(b)
            : "cc");
    *sum = a;
    return carry;
}

/* Keeps x in a general register: left to itself, the compiler does the
** fold of the AVX-512 version in mask registers, moving each value there
** and back for the integer steps. */
#define inregister(x) __asm__("" : "+r"(x))
#else
/* WebAssembly has no carry flag: the carry out of a + b + carry */
static inline unsigned char addcarry(unsigned char carry, groupmask a, groupmask b, groupmask *sum)
{
    groupmask s = a + b, t = s + carry;
    *sum = t;
    return (unsigned char)((s < a) | (t < s));
}

#define inregister(x) ((void)0)
#endif

/* Whether some aligned 16 bits of m are all 0. A run of more than
** SCAN_LINEMAX line bytes holds 16 such bits of a group's line feed mask,
** or of the group's before when it starts there. */
static inline int zero16(groupmask m)
{
    const groupmask ones = (groupmask)0x0001000100010001ull, highs = ones << 15;
    return ((m - ones) & ~m & highs) != 0;
}

/* The bits that start a run of more than SCAN_LINEMAX ones within m. */
static inline groupmask longruns(groupmask m)
{
#if GROUP > SCAN_LINEMAX
    static_assert(SCAN_LINEMAX == 35 && GROUP == 64, "the shifts below find runs of 36");
    /* any run of 36 in 64 bits holds bits 28 to 35 */
    if ((~m >> 28 & 0xff) != 0)
        return 0;
    m &= m >> 1;
    m &= m >> 2;
    m &= m >> 4;
    m &= m >> 8;
    m &= m >> 16;
    m &= m >> 4;
    return m;
#else
    (void)m;
    return 0;       /* no such run fits in a group */
#endif
}

/* Bits set in m, for the versions that may not use the instruction. */
static inline int countbits(groupmask m)
{
    m = m - ((m >> 1) & (groupmask)0x5555555555555555ull);
    m = (m & (groupmask)0x3333333333333333ull) + ((m >> 2) & (groupmask)0x3333333333333333ull);
    m = (m + (m >> 4)) & (groupmask)0x0f0f0f0f0f0f0f0full;
    return (int)((m * (groupmask)0x0101010101010101ull) >> (GROUP - 8));
}

/* The loop every vector version shares; V::marks gives the marks of one
** aligned group and whether all its bytes are letters and line feeds,
** V::letters the letters among them, V::count counts bits. A version that
** tallies counts the line feeds of every group it marks in its tally
** itself, not as bits of each group passed, and flushes it now and then
** (V::flush); V::total is what it holds. A line is passed over when its
** bytes hold a lacking letter and nothing else stands out: no byte but
** 'a' to 'z', no more than SCAN_LINEMAX of them. Both are found with one
** addition each over the group's line bytes ("body", a run of ones per
** line): a mark inside a run carries up to the line feed that ends it,
** and the carry out of the group goes into the next, so a line across
** groups is judged whole. Every line feed passed over is one line, so the
** count is exact, and the scan stops at the start of the first line it
** does not pass over, which is where the reader goes on.
**
** Nearly every group of a word list stands out in nothing: all its line
** bytes are letters, no 16 aligned bytes of it (or the last 16 of the
** group before) lack a line feed, so no line in it can be too long, and
** no line that stood out goes on into it. Such a group needs only the
** first addition; the others take the whole test. */
template <class V>
static inline __attribute__((always_inline))
int scanloop(const struct scanfilter *f, const char *p, int n, int *passed)
{
    if (n <= 0)
        return 0;
    const char *end = p + n;
    const char *g = (const char *)((uintptr_t)p & ~(uintptr_t)(GROUP - 1));
    groupmask valid = ~(groupmask)0 << (p - g);
    groupmask before = ~(groupmask)0;   /* the bytes of the group before that are no line's */
    unsigned char cbad = 0, cslow = 0;
    unsigned char odder = 0;    /* the group before stood out so, this one cannot be quick */
    int run = 0;                /* bytes of the line open at the group's start, where before is 0 */
    int count = 0;
    typename V::tally tally;
    groupmask want, lf;
    for (;; g += GROUP) {
        groupmask lack;
        int plain = V::marks(f, g, &lf, &lack, &tally);
        if (end - g < GROUP)
            valid &= ((groupmask)1 << (end - g)) - 1;
        if (V::tallies && valid != ~(groupmask)0)
            count -= V::count(lf & ~valid);     /* tallied, but no line of the text's */
        lf &= valid;
        groupmask body = ~lf & valid;
        inregister(lf);
        inregister(body);
        groupmask bad;
        if (__builtin_expect(plain && !(odder | zero16(~body)), 1)) {
            cbad = addcarry(cbad, body, lack & body, &bad);
            want = lf & ~bad;
        } else {
            groupmask odd = body & ~V::letters(f, g);
            /* a line too long, begun in a group before: mark its first byte here */
            int open = before ? highzeros(before) : run;
            int lead = ~body ? lowzeros(~body) : GROUP;
            if (lead > 0 && open + lead > SCAN_LINEMAX)
                odd |= 1;
            run = ~body ? highzeros(~body) : open + GROUP;
            odd |= longruns(body);
            groupmask slow;
            cbad = addcarry(cbad, body, lack & body, &bad);
            cslow = addcarry(cslow, body, odd, &slow);
            want = lf & ~(bad & ~slow);
            odder = cslow | (~body >> (GROUP - 16) == 0);
        }
        before = ~body;
        if (want)
            break;
        if (V::tallies)
            V::flush(&tally, 0);
        else
            count += V::count(lf);
        if (end - g <= GROUP) {
            *passed += count + V::total(&tally);
            return n;
        }
        valid = ~(groupmask)0;
    }
    /* the line wanted starts after the last line feed before it */
    groupmask prior = lf & ((want & (0 - want)) - 1);
    count += V::count(prior) - (V::tallies ? V::count(lf) : 0);
    *passed += count + V::total(&tally);
    if (prior)
        return (int)(g + GROUP - highzeros(prior) - p);
    const char *s = g > p ? g : p;
    while (s > p && s[-1] != '\n')
        s--;
    return (int)(s - p);
}

/* What a version that counts bits group by group keeps in its tally. */
struct notally {
    static const bool tallies = false;
    struct tally {};
    static inline void flush(tally *, int) {}
    static inline int total(tally *) { return 0; }
};

#ifdef SCAN_X86
#define SSE2_TARGET   __attribute__((target("sse2")))
#define SSSE3_TARGET  __attribute__((target("ssse3,popcnt")))
#else
#define SSE2_TARGET
#define SSSE3_TARGET
#endif
#define AVX2_TARGET   __attribute__((target("avx2,popcnt,bmi,lzcnt")))
#define AVX512_TARGET __attribute__((target("avx512bw,avx512vl,popcnt,bmi,lzcnt")))

/* SSE2: a byte is a letter not lacking when it falls in one of the runs
** of such letters; N of them, or f->nranges when N is negative. A range
** test is an addition that moves the run's first letter to -128 and a
** signed comparison, both with the filter's bytes straight from memory,
** as 32-bit code has only eight vector registers. Any byte outside the
** runs counts as lacking: in a line of letters it is a letter in lack,
** and a line with another byte stands out whatever its marks. */
static inline __attribute__((always_inline)) __m128i sse2letters(__m128i x)
{
    return _mm_cmplt_epi8(_mm_add_epi8(x, _mm_set1_epi8((char)(128 - 'a'))), _mm_set1_epi8(26 - 128));
}

template <int N>
struct SSE2 {
    /* SSE2 has no bit count: the line feeds of each group are added up
    ** byte by byte in a vector, GROUP / 16 to a byte a group, and summed
    ** across before a byte can overflow. */
    static const bool tallies = true;
    enum { GROUPS = 240 / (GROUP / 16) };
    struct tally {
        __m128i bytes = _mm_setzero_si128(), sums = _mm_setzero_si128();
        int left = GROUPS;
    };
    SSE2_TARGET static inline void flush(tally *t, int now)
    {
        if (--t->left > 0 && !now)
            return;
        t->sums = _mm_add_epi64(t->sums, _mm_sad_epu8(t->bytes, _mm_setzero_si128()));
        t->bytes = _mm_setzero_si128();
        t->left = GROUPS;
    }
    SSE2_TARGET static inline int total(tally *t)
    {
        flush(t, 1);
        return _mm_cvtsi128_si32(t->sums) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(t->sums, t->sums));
    }
    SSE2_TARGET static inline int marks(const struct scanfilter *f, const char *g,
                                        groupmask *lf, groupmask *lack, tally *t)
    {
        groupmask l = 0, k = 0;
        __m128i all = _mm_set1_epi8(-1);
        int nr = N < 0 ? f->nranges : N;
        for (int i = 0; i < GROUP; i += 16) {
            __m128i x = _mm_load_si128((const __m128i *)(g + i));
            __m128i eol = _mm_cmpeq_epi8(x, _mm_set1_epi8('\n'));
            __m128i out = _mm_set1_epi8(-1);
            for (int r = 0; r < nr; r++) {
                __m128i u = _mm_add_epi8(x, _mm_load_si128((const __m128i *)f->shift[r]));
                out = _mm_and_si128(out, _mm_cmpgt_epi8(u, _mm_load_si128((const __m128i *)f->above[r])));
            }
            all = _mm_and_si128(all, _mm_or_si128(sse2letters(x), eol));
            t->bytes = _mm_sub_epi8(t->bytes, eol);
            l |= (groupmask)(unsigned)_mm_movemask_epi8(eol) << i;
            k |= (groupmask)(unsigned)_mm_movemask_epi8(out) << i;
        }
        *lf = l;
        *lack = k;
        return _mm_movemask_epi8(all) == 0xffff;
    }
    SSE2_TARGET static inline groupmask letters(const struct scanfilter *, const char *g)
    {
        groupmask w = 0;
        for (int i = 0; i < GROUP; i += 16)
            w |= (groupmask)(unsigned)_mm_movemask_epi8(sse2letters(_mm_load_si128((const __m128i *)(g + i)))) << i;
        return w;
    }
    static inline int count(groupmask m) { return countbits(m); }
};

/* The 16-entry lookups of SSSE3 and up: by a byte's low nibble, the filter's
** table gives bit 7 for a lacking letter 0x6_ and bit 6 for any letter 0x6_,
** bits 5 and 4 the same for 0x7_; by its high nibble the rows table keeps
** the two bits of its row. Shifted together: bit 7 lacking, bit 6 letter. */
#ifdef SCAN_SHUFFLE
#define ROWS 0, 0, 0, 0, 0, 0, (char)0xC0, 0x30, 0, 0, 0, 0, 0, 0, 0, 0

struct SSSE3 : notally {
    SSSE3_TARGET static inline __m128i lookup(const struct scanfilter *f, __m128i x)
    {
        const __m128i nib = _mm_set1_epi8(0x0f);
        __m128i v = _mm_and_si128(_mm_shuffle_epi8(_mm_load_si128((const __m128i *)f->nibble), _mm_and_si128(x, nib)),
                                  _mm_shuffle_epi8(_mm_setr_epi8(ROWS), _mm_and_si128(_mm_srli_epi16(x, 4), nib)));
        return _mm_or_si128(v, _mm_slli_epi16(v, 2));
    }
    SSSE3_TARGET static inline int marks(const struct scanfilter *f, const char *g,
                                         groupmask *lf, groupmask *lack, tally *)
    {
        groupmask l = 0, k = 0;
        __m128i all = _mm_set1_epi8(-1);
        for (int i = 0; i < GROUP; i += 16) {
            __m128i x = _mm_load_si128((const __m128i *)(g + i));
            __m128i v = lookup(f, x);
            __m128i eol = _mm_cmpeq_epi8(x, _mm_set1_epi8('\n'));
            all = _mm_and_si128(all, _mm_or_si128(_mm_add_epi8(v, v), eol));
            l |= (groupmask)(unsigned)_mm_movemask_epi8(eol) << i;
            k |= (groupmask)(unsigned)_mm_movemask_epi8(v) << i;
        }
        *lf = l;
        *lack = k;
        return _mm_movemask_epi8(all) == 0xffff;
    }
    SSSE3_TARGET static inline groupmask letters(const struct scanfilter *f, const char *g)
    {
        groupmask w = 0;
        for (int i = 0; i < GROUP; i += 16) {
            __m128i v = lookup(f, _mm_load_si128((const __m128i *)(g + i)));
            w |= (groupmask)(unsigned)_mm_movemask_epi8(_mm_add_epi8(v, v)) << i;
        }
        return w;
    }
    SSSE3_TARGET static inline int count(groupmask m) { return popcount(m); }
};
#endif

/* The 64-bit Windows compiler cannot align its stack for AVX spills, so
** the AVX versions stay out of that build (which is only a test build). */
#if defined(SCAN_X86) && !defined(_WIN64)
#define SCAN_AVX

struct AVX2 : notally {
    AVX2_TARGET static inline __m256i lookup(const struct scanfilter *f, __m256i x)
    {
        const __m256i nib = _mm256_set1_epi8(0x0f);
        __m256i tab = _mm256_broadcastsi128_si256(_mm_load_si128((const __m128i *)f->nibble));
        __m256i v = _mm256_and_si256(_mm256_shuffle_epi8(tab, _mm256_and_si256(x, nib)),
                                     _mm256_shuffle_epi8(_mm256_setr_epi8(ROWS, ROWS),
                                                         _mm256_and_si256(_mm256_srli_epi16(x, 4), nib)));
        return _mm256_or_si256(v, _mm256_slli_epi16(v, 2));
    }
    AVX2_TARGET static inline int marks(const struct scanfilter *f, const char *g,
                                        groupmask *lf, groupmask *lack, tally *)
    {
        groupmask l = 0, k = 0;
        __m256i all = _mm256_set1_epi8(-1);
        for (int i = 0; i < GROUP; i += 32) {
            __m256i x = _mm256_load_si256((const __m256i *)(g + i));
            __m256i v = lookup(f, x);
            __m256i eol = _mm256_cmpeq_epi8(x, _mm256_set1_epi8('\n'));
            all = _mm256_and_si256(all, _mm256_or_si256(_mm256_add_epi8(v, v), eol));
            l |= (groupmask)(unsigned)_mm256_movemask_epi8(eol) << i;
            k |= (groupmask)(unsigned)_mm256_movemask_epi8(v) << i;
        }
        *lf = l;
        *lack = k;
        return (unsigned)_mm256_movemask_epi8(all) == 0xffffffffu;
    }
    AVX2_TARGET static inline groupmask letters(const struct scanfilter *f, const char *g)
    {
        groupmask w = 0;
        for (int i = 0; i < GROUP; i += 32) {
            __m256i v = lookup(f, _mm256_load_si256((const __m256i *)(g + i)));
            w |= (groupmask)(unsigned)_mm256_movemask_epi8(_mm256_add_epi8(v, v)) << i;
        }
        return w;
    }
    AVX2_TARGET static inline int count(groupmask m) { return popcount(m); }
};

/* AVX-512BW: the marks come straight out as masks, a whole group at once;
** 32-bit code has no 64-bit masks and takes a 32-byte group. */
struct AVX512 : notally {
#if GROUP == 64
    AVX512_TARGET static inline __m512i lookup(const struct scanfilter *f, __m512i x)
    {
        const __m512i nib = _mm512_set1_epi8(0x0f);
        return _mm512_and_si512(
            _mm512_shuffle_epi8(_mm512_broadcast_i32x4(_mm_load_si128((const __m128i *)f->nibble)),
                                _mm512_and_si512(x, nib)),
            _mm512_shuffle_epi8(_mm512_broadcast_i32x4(_mm_setr_epi8(ROWS)),
                                _mm512_and_si512(_mm512_srli_epi16(x, 4), nib)));
    }
    AVX512_TARGET static inline int marks(const struct scanfilter *f, const char *g,
                                          groupmask *lf, groupmask *lack, tally *)
    {
        __m512i x = _mm512_load_si512((const void *)g);
        __m512i v = lookup(f, x);
        __mmask64 eol = _mm512_cmpeq_epi8_mask(x, _mm512_set1_epi8('\n'));
        __mmask64 letter = _mm512_test_epi8_mask(v, _mm512_set1_epi8(0x50));
        groupmask l = _cvtmask64_u64(eol);
        groupmask k = _cvtmask64_u64(_mm512_test_epi8_mask(v, _mm512_set1_epi8((char)0xA0)));
        inregister(l);
        inregister(k);
        *lf = l;
        *lack = k;
        return _kortestc_mask64_u8(letter, eol);
    }
    AVX512_TARGET static inline groupmask letters(const struct scanfilter *f, const char *g)
    {
        return _mm512_test_epi8_mask(lookup(f, _mm512_load_si512((const void *)g)), _mm512_set1_epi8(0x50));
    }
#else
    AVX512_TARGET static inline __m256i lookup(const struct scanfilter *f, __m256i x)
    {
        return AVX2::lookup(f, x);
    }
    AVX512_TARGET static inline int marks(const struct scanfilter *f, const char *g,
                                          groupmask *lf, groupmask *lack, tally *)
    {
        __m256i x = _mm256_load_si256((const __m256i *)g);
        __m256i v = lookup(f, x);
        __mmask32 eol = _mm256_cmpeq_epi8_mask(x, _mm256_set1_epi8('\n'));
        __mmask32 letter = _mm256_test_epi8_mask(v, _mm256_set1_epi8(0x50));
        groupmask l = _cvtmask32_u32(eol);
        groupmask k = _cvtmask32_u32(_mm256_test_epi8_mask(v, _mm256_set1_epi8((char)0xA0)));
        inregister(l);
        inregister(k);
        *lf = l;
        *lack = k;
        return _kortestc_mask32_u8(letter, eol);
    }
    AVX512_TARGET static inline groupmask letters(const struct scanfilter *f, const char *g)
    {
        return _mm256_test_epi8_mask(lookup(f, _mm256_load_si256((const __m256i *)g)), _mm256_set1_epi8(0x50));
    }
#endif
    AVX512_TARGET static inline int count(groupmask m) { return popcount(m); }
};
#endif

/* The SSE2 loop with the ranges as constants when there are few. */
SSE2_TARGET static int scansse2(const struct scanfilter *f, const char *p, int n, int *passed)
{
    switch (f->nranges) {
    case 0: return scanloop<SSE2<0>>(f, p, n, passed);
    case 1: return scanloop<SSE2<1>>(f, p, n, passed);
    case 2: return scanloop<SSE2<2>>(f, p, n, passed);
    case 3: return scanloop<SSE2<3>>(f, p, n, passed);
    case 4: return scanloop<SSE2<4>>(f, p, n, passed);
    default: return scanloop<SSE2<-1>>(f, p, n, passed);
    }
}

#ifdef SCAN_SHUFFLE
SSSE3_TARGET static int scanssse3(const struct scanfilter *f, const char *p, int n, int *passed)
{
    return scanloop<SSSE3>(f, p, n, passed);
}
#endif

#ifdef SCAN_AVX
AVX2_TARGET static int scanavx2(const struct scanfilter *f, const char *p, int n, int *passed)
{
    return scanloop<AVX2>(f, p, n, passed);
}

AVX512_TARGET static int scanavx512(const struct scanfilter *f, const char *p, int n, int *passed)
{
    return scanloop<AVX512>(f, p, n, passed);
}
#endif
#endif

typedef int scanfn(const struct scanfilter *, const char *, int, int *);

/* Each version, or NULL where the build has none. */
static scanfn *const versions[SCAN_KINDS] = {
    scanplain,
#ifdef SCAN_VECTOR
    scansse2,
#else
    NULL,
#endif
#ifdef SCAN_SHUFFLE
    scanssse3,
#else
    NULL,
#endif
#ifdef SCAN_AVX
    scanavx2,
    scanavx512,
#else
    NULL,
    NULL,
#endif
};

static const char *const names[SCAN_KINDS] = { "plain", "sse2", "ssse3", "avx2", "avx512" };

const char *scanname(int kind)
{
    return kind >= 0 && kind < SCAN_KINDS ? names[kind] : NULL;
}

#ifdef SCAN_X86
/* The bit instructions the AVX versions use beside their vectors: every
** processor with AVX2 has them, but a virtual machine may hide some. */
static int bitops(void)
{
    return __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("abm");
}
#endif

int scanruns(int kind)
{
    if (kind < 0 || kind >= SCAN_KINDS || !versions[kind])
        return 0;
#ifdef SCAN_X86
    __builtin_cpu_init();
    switch (kind) {
    case SCAN_SSE2:
        return __builtin_cpu_supports("sse2") != 0;
    case SCAN_SSSE3:
        return __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("popcnt");
    case SCAN_AVX2:
        return __builtin_cpu_supports("avx2") && bitops();
    case SCAN_AVX512:
        return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") && bitops();
    }
#endif
    return 1;
}

/* The choice, made once: the widest version, unless VEXLORE_SCAN names
** another that runs (for benchmarks and tests, which can tell from
** scankind which one they got). */
static int choose(void)
{
    int best = SCAN_PLAIN;
    const char *want = getenv("VEXLORE_SCAN");
    for (int k = SCAN_PLAIN; k < SCAN_KINDS; k++)
        if (scanruns(k))
            best = k;
    for (int k = SCAN_PLAIN; want && k < SCAN_KINDS; k++)
        if (!strcmp(want, names[k]) && scanruns(k))
            return k;
    return best;
}

static int chosen = -1;

int scankind(void)
{
    if (chosen < 0)
        chosen = choose();
    return chosen;
}

int scanuse(int kind)
{
    if (!scanruns(kind))
        return 0;
    chosen = kind;
    return 1;
}

int scanlines(const struct scanfilter *f, const char *p, int n, int *passed)
{
    return versions[scankind()](f, p, n, passed);
}

int scanwith(int kind, const struct scanfilter *f, const char *p, int n, int *passed)
{
    return versions[kind](f, p, n, passed);
}
