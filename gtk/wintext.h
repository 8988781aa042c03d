/*
** Text the window shows is UTF-8, whatever it comes from: a word list in
** Windows-1252 (Latin-1) from an old Windows disk, or a folder's name that
** is not UTF-8. GTK, Pango and a screen reader's bus take nothing else.
*/
#ifndef VEXLORE_GTK_WINTEXT_H
#define VEXLORE_GTK_WINTEXT_H

#include <string>

/* true if the file at path can be read and is not valid UTF-8: its lines
** are then taken as Windows-1252. */
bool filewin1252(const char *path);

/* Windows-1252 text as UTF-8; the five bytes it leaves undefined become
** U+FFFD. */
std::string fromwin1252(const char *text);

/* UTF-8 text as Windows-1252; a character it lacks becomes '?', which no
** letter of a word matches. */
std::string towin1252(const char *text);

/* text as it is where it is valid UTF-8; any other byte is read as
** Windows-1252, so a Latin-1 'café' shows as such. */
std::string utf8shown(const char *text);

#endif
