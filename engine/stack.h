/*
** The search's frame stacks: a stack of letter strings and a stack of
** offsets, one instance each, and the result-line builder.
*/
#ifndef VEXLORE_STACK_H
#define VEXLORE_STACK_H

#define STACK_DEPTH 20   /* entries on each stack */
#define STACK_STR   80   /* bytes of one string entry */
/* A result line: nine words at most, each up to STACK_STR - 1 characters
** and a space, then a line feed and a NUL. Words may hold spaces that take
** the slots of letters already used, so the letters alone do not bound it. */
#define LINE_SIZE   ((STACK_DEPTH / 2 - 1) * STACK_STR + 2)

/* Pushes a copy of s (cut to STACK_STR - 1 characters). On a full stack it
** writes a diagnostic and stores nothing. */
void strpush(const char *s);

/* Pops and returns the top entry, valid until the next push. On an empty
** stack it writes a diagnostic and returns entry 0. */
const char *strpull(void);

int strdepth(void);

/* Pushes n; on a full stack writes a diagnostic and stores nothing. */
void ipush(int n);

/* Pops and returns the top number; 0 with a diagnostic on an empty stack. */
int ipull(void);

/* The words of the frames on the string stack (entries 2, 4, ...), each
** followed by a space, then a line feed. The buffer is overwritten by the
** next call. */
const char *stackline(void);

#endif
