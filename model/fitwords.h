/*
** The candidates of a ranking: the words of the open word file that a
** text's letters can make, shared by the finder's --best and the windows'
** Best first.
*/
#ifndef VEXLORE_FITWORDS_H
#define VEXLORE_FITWORDS_H

#include <string>
#include <vector>

#include "engine/search.h"

/* The words of the open word file made of some of letters (folded), in the
** file's order, those a search passes over (exclude.h) left out. With win,
** it is pumped for each word read, and a stop ends the read early. Returns
** SEARCH_OK, or SEARCH_POSITION or SEARCH_READ after a read error. */
int fittingwords(const char *letters, std::vector<std::string> *words, SearchWindow *win);

#endif
