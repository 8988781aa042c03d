/*
** The relatedness file: for the words --best may meet, and for names of a
** few words, the words related to them by meaning, read whole from one
** file; and the set of words related to a text, made once per search.
** Plain code: it reads the file through stdio and nothing else.
*/
#ifndef VEXLORE_RELATED_H
#define VEXLORE_RELATED_H

#include <stdint.h>

/*
** The file (all numbers little-endian; docs/related-format.md says the
** same at more length):
**   header, REL_HEADER bytes:
**     magic "VXRELATE", u32 version (REL_VERSION), u32 words, u32 text
**     bytes, u32 bases, u32 base bytes, u32 heads, u32 bag bytes
**   text: the words, each ended by a NUL, in strictly rising byte order
**     (the id of a word is its place here); a name of several words has
**     one space between them
**   bases: for each inflected word WordNet knows only in its base form,
**     varint (its id - the previous such id - 1; the first: its id),
**     varint the id of its base form, in rising order of word
**   bags: for each word with related words, in rising order of id,
**     varint (its id - the previous head's - 1; the first: its id),
**     varint (count - 1), then count ids in rising order, each a varint
**     (id - the one before - 1; the first: the id)
** A varint holds 7 bits a byte, low bits first, the high bit set on every
** byte but the last; at most 5 bytes. The sections fill the file exactly.
** Relations go both ways between the words a search may try: such a
** word is in the bag of each such word in its bag. A bag holds base forms
** only; a name is never in a bag, and a name's bag holds only what the
** bags of its words do not.
*/
#define REL_MAGIC    "VXRELATE"
#define REL_VERSION  1
#define REL_HEADER   36

/* Results of relload(), as lmload() gives them. */
#define REL_OK       0
#define REL_NOFILE   1      /* cannot open or read it: errno says why */
#define REL_BAD      2      /* not a relatedness file, or damaged: relerror() says how */

/* Reads the relatedness file at path, checking every count, size and id
** before it is used. Returns REL_OK, REL_NOFILE or REL_BAD; on failure
** nothing stays loaded. A second call replaces what was loaded. */
int relload(const char *path);

/* Why the last relload() said REL_BAD. */
const char *relerror(void);

/* Frees what was loaded. */
void relfree(void);

/* The words of the file loaded (ids 0 to relcount() - 1); 0 when none is. */
int relcount(void);

/* The id of word (lower case; a name with one space between its words),
** or -1 when the file does not hold it. */
int relword(const char *word);

/* The text of id. */
const char *reltext(int id);

/* The id of the base form of id ('hurricanes': 'hurricane'), or id itself. */
int relbase(int id);

/* The words related to head (or, where head has none, to its base form),
** as ids in rising order: writes at most max of them to ids and returns
** how many there are; 0 for a word the file does not hold. For a name,
** only those its words' bags do not hold. */
int relbag(const char *head, int *ids, int max);

/* The words related to a text, for a search that asks of each word it
** tries: for each id, the id of the text's word or name it is related to
** ('radium' ~ 'curie'), or -1. */
struct RelSet {
    int n;          /* ids of the file loaded, relcount() when it was made */
    int *why;       /* n entries */
    int count;      /* ids related */
};

/* Makes the set of the words related to text: those in the bags of its
** words and of the names of two to four words it holds ('florence
** nightingale'), each with its inflections, but not the text's own words
** nor theirs, nor a word that is a chunk of 5 or more letters of a word
** of the text or holds a word of it of 5 or more ('master', 'schools' for
** 'schoolmaster'), nor one that is a run of 4 letters of a word of the
** text or begins with the same 4 ('ware', 'safer' for 'rail safety
** software'). Returns the number related, or -1 when out of memory (the
** set is then empty). Frees what set held before; an empty set when no
** file is loaded. */
int relset(RelSet *set, const char *text);

/* The id of the text's word or name id is related to, or -1: O(1). */
int relrelated(const RelSet *set, int id);

/* Frees what set holds; it is then empty. */
void relsetfree(RelSet *set);

#endif
