/*
** The line scan: passes over, many bytes at a time, the lines of a block of
** word file text that can be no part of an anagram of the letters left,
** and stops at the first line the reader has to read. One version per
** instruction set, chosen once at run time.
*/
#ifndef VEXLORE_LINESCAN_H
#define VEXLORE_LINESCAN_H

/* Longest line the scan passes over: a longer one is no word, and the
** reader decides so for itself. */
#define SCAN_LINEMAX 35

/* The scan reads whole groups of SCAN_ALIGN bytes, aligned to SCAN_ALIGN:
** the bytes from the group boundary before the text to the one after it
** must be readable. */
#define SCAN_ALIGN 64

/* Ranges of letters the SSE2 version tests a byte against. */
#define SCAN_RANGES 13

/* The versions, plainest first. Plain is the byte-at-a-time twin of the
** others: each stops where it stops and passes what it passes. */
enum { SCAN_PLAIN, SCAN_SSE2, SCAN_SSSE3, SCAN_AVX2, SCAN_AVX512, SCAN_KINDS };

/* Which lines the scan passes over: those made of at most SCAN_LINEMAX
** bytes 'a' to 'z' (and their line feed), one of which or more is a letter
** in lack. Made by scanletters. */
struct scanfilter {
    unsigned lack;                          /* bit 0 'a' ... bit 25 'z' */
    alignas(16) unsigned char nibble[16];   /* by low nibble: the letters 0x6_ and 0x7_ */
    int nranges;                            /* runs of letters not in lack */
    /* for each run, a byte added to every byte of text and a bound: a
    ** byte is outside the run when their sum, read as signed, is above it */
    alignas(16) signed char shift[SCAN_RANGES][16];
    alignas(16) signed char above[SCAN_RANGES][16];
};

/* Sets up f to pass over the lines that hold a letter of lack. */
void scanletters(struct scanfilter *f, unsigned lack);

/* Passes over the lines f rules out from p on, in the n bytes of text at
** p, which end with a line feed (or n is 0), and stops at the first other
** line. Returns where that line starts (n if there is none) and adds the
** number of lines passed over to *passed. */
int scanlines(const struct scanfilter *f, const char *p, int n, int *passed);

/* The same with the given version, which must be one the processor runs. */
int scanwith(int kind, const struct scanfilter *f, const char *p, int n, int *passed);

/* Whether this build has the version kind and the processor runs it. */
int scanruns(int kind);

/* The version scanlines uses: the widest the processor runs, or the one
** the environment variable VEXLORE_SCAN names (by scanname), if it runs. */
int scankind(void);

/* Makes scanlines use kind from now on, for tests and benchmarks; returns
** 1, or 0 and changes nothing if kind does not run. */
int scanuse(int kind);

/* "plain", "sse2", "ssse3", "avx2" or "avx512"; NULL for no such kind. */
const char *scanname(int kind);

#endif
