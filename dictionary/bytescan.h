/*
** Sixteen bytes at a time: the tests that the loops over every word of
** the word file make on a chunk of text. Where the compiler offers SSE2
** (every x86-64, and the 32-bit Windows build) BYTESCAN is defined and a
** test gives one bit per byte, bit i for byte i; elsewhere callers keep to
** their byte loops.
*/
#ifndef VEXLORE_BYTESCAN_H
#define VEXLORE_BYTESCAN_H

#if defined(__SSE2__)
#include <emmintrin.h>

#define BYTESCAN 16     /* bytes in a chunk */

typedef __m128i chunk;

static inline chunk chunk_load(const char *p)
{
    return _mm_loadu_si128((const __m128i *)p);
}

static inline void chunk_store(char *p, chunk x)
{
    _mm_storeu_si128((__m128i *)p, x);
}

/* The bytes of x equal to c. */
static inline unsigned chunk_equal(chunk x, char c)
{
    return (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8(c)));
}

/* The bytes of x from 'a' to 'z'. */
static inline unsigned chunk_lower(chunk x)
{
    __m128i t = _mm_sub_epi8(x, _mm_set1_epi8('a'));
    return (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(t, _mm_set1_epi8(25)), t));
}

/* x with every byte from index n on set to zero (0 <= n <= 16). */
static inline chunk chunk_cut(chunk x, int n)
{
    const __m128i index = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    return _mm_and_si128(x, _mm_cmplt_epi8(index, _mm_set1_epi8((char)n)));
}

/* Index of the lowest bit set in mask (not 0). */
static inline int chunk_first(unsigned mask)
{
    return __builtin_ctz(mask);
}
#endif

#endif
