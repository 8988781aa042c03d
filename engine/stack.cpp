/*
** Frame stacks of the search and the result line built from them.
*/
#include <stdio.h>
#include <string.h>

#include "engine/stack.h"

static char strstack[STACK_DEPTH][STACK_STR];
static int strtop;
static int istack[STACK_DEPTH];
static int itop;
static char line[LINE_SIZE];

void strpush(const char *s)
{
    if (strtop == STACK_DEPTH) {
        fprintf(stderr, "strpush: stack overflow at %s\n", s);
        return;
    }
    strncpy(strstack[strtop], s, STACK_STR - 1);
    strstack[strtop][STACK_STR - 1] = '\0';
    strtop++;
}

const char *strpull(void)
{
    if (strtop > 0)
        strtop--;
    else
        fprintf(stderr, "strpull: stack underflow\n");
    return strstack[strtop];
}

int strdepth(void)
{
    return strtop;
}

void ipush(int n)
{
    if (itop == STACK_DEPTH) {
        fprintf(stderr, "ipush: stack overflow at %d\n", n);
        return;
    }
    istack[itop++] = n;
}

int ipull(void)
{
    if (itop > 0)
        return istack[--itop];
    fprintf(stderr, "ipull: stack underflow\n");
    return 0;
}

const char *stackline(void)
{
    char *p = line;
    for (int i = 2; i < strtop; i += 2) {   /* LINE_SIZE holds them all */
        size_t n = strlen(strstack[i]);
        memcpy(p, strstack[i], n);
        p += n;
        *p++ = ' ';
    }
    *p++ = '\n';
    *p = '\0';
    return line;
}
