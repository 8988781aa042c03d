/*
** Where the word file lies on Linux: "words" in the folder of the program
** itself, symbolic links resolved, so /usr/bin/vexlore linked to
** /usr/lib/vexlore/vexlore finds /usr/lib/vexlore/words.
*/
#ifndef VEXLORE_GTK_WORDPATH_H
#define VEXLORE_GTK_WORDPATH_H

#include <string>

/* The path, or "./words" where the program's own path cannot be read. */
std::string wordpath();

#endif
