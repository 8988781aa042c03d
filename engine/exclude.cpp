/*
** The words left out: an open-addressed table of their texts, looked up
** for every word read, so that a long list of them costs no more than a
** short one.
*/
#include <string.h>

#include "dictionary/dict.h"
#include "engine/exclude.h"
#include "engine/search.h"

#define SLOTS (2 * EXCLUDE_MAX)     /* a power of two, half used at most */

static char table[SLOTS][WORD_MAX + 1];
static unsigned char used[SLOTS];
static int count;
static int spaced;      /* words holding a space are left out */

static unsigned hashof(const char *w)
{
    unsigned h = 2166136261u;
    for (; *w; w++)
        h = (h ^ (unsigned char)*w) * 16777619u;
    return h & (SLOTS - 1);
}

/* The slot that holds w, or the free slot where it would go. */
static unsigned slotof(const char *w)
{
    unsigned i = hashof(w);
    while (used[i] && strcmp(table[i], w) != 0)
        i = (i + 1) & (SLOTS - 1);
    return i;
}

int excludeadd(const char *word)
{
    if (strlen(word) > WORD_MAX)
        return -1;
    unsigned i = slotof(word);
    if (used[i])
        return 0;
    if (count == EXCLUDE_MAX)
        return -1;
    strcpy(table[i], word);
    used[i] = 1;
    count++;
    return 0;
}

void excludeclear(void)
{
    memset(used, 0, sizeof used);
    count = 0;
    spaced = 0;
}

void excludespaced(int on)
{
    spaced = on;
}

int excluding(void)
{
    return count > 0 || spaced;
}

int passedover(const char *word, int len)
{
    if (len < minlength)
        return 1;
    if (spaced && memchr(word, ' ', (size_t)len))
        return 1;
    return count > 0 && used[slotof(word)];
}
