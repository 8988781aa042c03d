/*
** Dictionary layer: the rest of the program reaches the word file only
** through these calls. Each returns 0 on success and 1 on failure.
*/
#ifndef VEXLORE_DICT_H
#define VEXLORE_DICT_H

#define DICT_DISABLED 100   /* every call below fails at once */
#define DICT_FILE     101   /* work on the word file */

/* Longest word handed out; a word buffer holds WORD_MAX + 1 bytes. */
#define WORD_MAX 35

/* Stores 100 or 101 and returns 1; any other value is refused with 0. */
int dictsource(int source);

/* Opens the word file at path (closing any open one). */
int dictopen(const char *path);

/* Moves to the line starting at offset; a non-empty word means that line
** is the word's own and is passed over, so dictnext returns the next one. */
int dictposition(const char *word, int offset);

/* Reads the next word (folded to lower case) into word, which holds
** WORD_MAX + 1 bytes, with the offset of its line. At end of file: an
** empty word, *offset 0 and *more 0, and still success. Lines longer than
** WORD_MAX or holding a NUL byte are passed over; they are not words. */
int dictnext(char *word, int *offset, int *more);

/* dictnext for a search with the letter string letters left: first
** passes over the words that hold a letter 'a' to 'z' that letters lacks,
** which no search for those letters can use, and adds their number to
** *passed (which it first sets to 0). A word it returns may still not fit. */
int dictscan(const char *letters, char *word, int *offset, int *more, int *passed);

/* Why dictopen failed, from the errno it left (as "Is a directory", or
** "not a regular file"), for a message; never NULL. */
const char *dictcause(int err);

/* 1 once the open word file's size or time of last change differs from
** what it was at dictopen or when this last said so; else 0. Unlike the
** calls above, 1 is no failure. */
int dictchanged(void);

/* Closes the word file; no call but dictopen may follow. */
int dictclose(void);

#endif
