/*
** Words a search is told to leave out, as if the word file did not hold
** them: both searches pass over them where they read the file, as they pass
** over the words shorter than minlength.
*/
#ifndef VEXLORE_EXCLUDE_H
#define VEXLORE_EXCLUDE_H

#define EXCLUDE_MAX 1024    /* words left out at most */

/* Leaves word (folded to lower case, at most WORD_MAX characters) out of
** every later search. Returns 0, or -1 when it is too long or the table is
** full; a word given twice is kept once. */
int excludeadd(const char *word);

/* Leaves out nothing again. */
void excludeclear(void);

/* With on set, every word that holds a space is left out too. */
void excludespaced(int on);

/* Whether any word is left out. */
int excluding(void);

/* 1 if word (as dictnext gives it, len its length) is one a search passes
** over: shorter than minlength, or left out. */
int passedover(const char *word, int len);

#endif
