/*
** Letter operations: words and letter strings treated as multisets of
** 8-bit characters. No state, no allocation.
*/
#ifndef VEXLORE_LETTERS_H
#define VEXLORE_LETTERS_H

/* The working copy of a string matched against holds at most this many
** characters; longer strings take part through their first LETTERS_COPY. */
#define LETTERS_COPY 80

/* English letter frequencies per thousand letters, 'a' to 'z': low is rare. */
extern const int letter_freq[26];

/* Folds 'A'..'Z' to lower case in place; every other byte stays. Returns s. */
char *strlower(char *s);

/* 1 if every character of word finds its own unmatched partner in letters,
** else 0. A matched character becomes a space in the working copy, so a
** space in word may take the slot of a letter already used. */
int strcontains(const char *letters, const char *word);

/* Writes to out the characters of s that find no unmatched partner in src,
** in the order of s. out must hold strlen(s) + 1 bytes. */
void strminus(const char *s, const char *src, char *out);

/* Copies src to dst, rarest letter first; letters of equal weight keep
** their order, and characters outside 'a'..'z' go last. */
void freqsort(const char *src, char *dst);

/* Copies src to dst in ascending order of signed character code. */
void alphasort(const char *src, char *dst);

#endif
