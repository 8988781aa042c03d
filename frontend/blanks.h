/*
** Typed or pasted text made plain for the search: what a window's text
** field may hold that looks like a blank but would count as letters.
*/
#ifndef VEXLORE_FRONTEND_BLANKS_H
#define VEXLORE_FRONTEND_BLANKS_H

/* Turns, in place, every line break (LF, CR, VT, FF, U+0085, U+2028,
** U+2029), every tab after the first and every Unicode space character
** (U+00A0, U+1680, U+2000 to U+200A, U+202F, U+205F, U+3000) of the UTF-8
** text into one plain space. The search drops spaces and the first tab;
** so the text then finds what the letters alone would. The text never
** grows; bytes that are no such character are left as they are. */
void plainblanks(char *text);

#endif
