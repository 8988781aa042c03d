/*
** File layer of the word file reader: one open word file per process,
** read line by line through a block buffer, with the byte offset of every
** line start. Only the dictionary layer and its tests call it.
*/
#ifndef VEXLORE_WORDFILE_H
#define VEXLORE_WORDFILE_H

#include <stdio.h>

/* Bytes of the window wordfind reads at each probe. */
#define WORD_LINEMAX 80

/* Negative results. */
#define WORD_END       (-1)   /* no more lines, or no line matches */
#define WORD_NOLINEEND (-2)   /* wordfind: an 80-byte window held no line end */
#define WORD_SEEKFAIL  (-3)   /* wordfind: a seek failed */
#define WORD_READFAIL  (-4)   /* wordread: the file could not be read */

/* Opens path for reading, closing any file still open, and records its
** size. Refuses (NULL, errno set) what cannot be opened, what is not a
** regular file, a file too large for 32-bit offsets, and a UTF-16 or
** UTF-32 file, with a byte-order mark or not (EILSEQ). Records fold, which makes every line read come back in lower
** case, in any case. A UTF-8 byte-order mark at the start is passed over:
** offset 0 still means the first line, but its text starts after the
** mark, at wordfirst(). */
FILE *wordopen(const char *path, int fold);

/* Why wordopen refused a file, from the errno it left: a short phrase in
** lower case, or the system's own text for the error. */
const char *wordcause(int err);

/* 1 if the open file's size or time of last change is no longer what it
** was at open, or at the call that last returned 1; else 0 (also when no
** file is open or its status cannot be read). A file changed while it is
** read may have lost lines to the reader or moved them. */
int wordchanged(void);

/* Where the first line's text starts: 3 after a UTF-8 byte-order mark,
** else 0. */
int wordfirst(void);

/* Closes the open file; returns what fclose returns, or 1 if none is open. */
int wordclose(void);

/* Moves to offset; returns 1 if 0 <= offset <= size and the move worked,
** else 0. Bytes past the size recorded at open are never read. */
int wordseek(int offset);

/* Reads the next whole line and returns the offset it starts at, or
** WORD_END, or WORD_READFAIL. dst, of size bytes (at least 1), receives at
** most size - 1 characters of it, terminated. The line feed, and a
** carriage return just before it, are not part of the line; the last line
** needs no line feed. *len (if len is not NULL) receives the full length of
** the line, which tells the caller whether dst holds all of it, or -1 if
** the line holds a NUL byte, which no C string can carry. */
int wordread(char *dst, int size, int *len);

/* Passes over the lines ahead that f rules out (dictionary/linescan.h),
** adding their number to *passed, and stops at the first other line, or
** at the end of the whole lines the reader holds; the next wordread reads
** on from there. Reads nothing from the file. */
struct scanfilter;
void wordscan(const struct scanfilter *f, int *passed);

/* Binary search for key over a file whose lines are in ascending byte
** order after folding; folds key in place when fold is set. Returns the
** offset of the matching line, WORD_END, WORD_NOLINEEND or WORD_SEEKFAIL. */
int wordfind(char *key);

#endif
