/*
** Letter operations: folding, multiset containment and difference, and the
** rarest-first order the search keeps its letters in.
*/
#include <string.h>

#include "engine/letters.h"

const int letter_freq[26] = {
    82, 15, 28, 43, 127, 22, 20, 61, 70, 2, 8, 40, 24,   /* a .. m */
    67, 75, 19, 1, 60, 63, 91, 28, 10, 24, 2, 20, 1      /* n .. z */
};

/* Weight of a character outside 'a'..'z': rarer than nothing, so such
** characters sort after every letter. */
#define FREQ_OTHER 1000

char *strlower(char *s)
{
    for (char *p = s; *p; p++)
        if (*p >= 'A' && *p <= 'Z')
            *p |= 0x20;
    return s;
}

/* Copies at most LETTERS_COPY characters of s into copy and terminates it. */
static void workcopy(const char *s, char copy[LETTERS_COPY + 1])
{
    int n = 0;
    while (n < LETTERS_COPY && s[n]) {
        copy[n] = s[n];
        n++;
    }
    copy[n] = '\0';
}

/* First c in s, or NULL; s is short, so a plain loop beats a library call. */
static inline char *findchar(char *s, char c)
{
    for (; *s; s++)
        if (*s == c)
            return s;
    return NULL;
}

int strcontains(const char *letters, const char *word)
{
    char copy[LETTERS_COPY + 1];
    workcopy(letters, copy);
    for (; *word; word++) {
        char *hit = findchar(copy, *word);
        if (!hit)
            return 0;
        *hit = ' ';
    }
    return 1;
}

void strminus(const char *s, const char *src, char *out)
{
    char copy[LETTERS_COPY + 1];
    workcopy(src, copy);
    for (; *s; s++) {
        char *hit = findchar(copy, *s);
        if (hit)
            *hit = ' ';
        else
            *out++ = *s;
    }
    *out = '\0';
}

static int freqweight(char c)
{
    return (c >= 'a' && c <= 'z') ? letter_freq[c - 'a'] : FREQ_OTHER;
}

static int codeweight(char c)
{
    return (signed char)c;
}

/* Bubble sort with an early exit; only a strictly smaller weight moves a
** character forward, so the sort is stable. */
static void bubblesort(const char *src, char *dst, int (*weight)(char))
{
    strcpy(dst, src);
    int n = (int)strlen(dst);
    int swapped = 1;
    while (swapped) {
        swapped = 0;
        for (int i = 0; i + 1 < n; i++) {
            if (weight(dst[i + 1]) < weight(dst[i])) {
                char t = dst[i];
                dst[i] = dst[i + 1];
                dst[i + 1] = t;
                swapped = 1;
            }
        }
    }
}

void freqsort(const char *src, char *dst)
{
    bubblesort(src, dst, freqweight);
}

void alphasort(const char *src, char *dst)
{
    bubblesort(src, dst, codeweight);
}
