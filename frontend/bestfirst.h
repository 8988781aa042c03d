/*
** Best first in a window: while its box is checked, Start runs the ranking
** of vexlore-find --best=BEST_LINES (model/rank.h) over the open word file
** instead of the search, with the window pumped and its stop flag obeyed
** while it runs. The model of English text, and the relatedness file the
** ranking adds to it, are loaded once, beside the program, by the front
** end.
*/
#ifndef VEXLORE_FRONTEND_BESTFIRST_H
#define VEXLORE_FRONTEND_BESTFIRST_H

#include <stddef.h>

#include "engine/search.h"

/* Lines a window lists best first: those of vexlore-find --best=100 (with
** --max-words 1 for a single word). */
#define BEST_LINES 100

/* What a ranking takes at most: different characters in the text, and
** words of the word file that fit it. */
#define BEST_SLOTS  32
#define BEST_WORDS  65535

/* Results of bestsearch() besides the search's own (engine/search.h). */
#define BEST_TOOWIDE    61  /* more different characters than a ranking takes */
#define BEST_TOOMANY    62  /* more words fit the text than a ranking takes */
#define BEST_NOMEMORY   63

/* Loads the model file at path, replacing any loaded before. 0 when it is
** loaded; otherwise nothing is loaded and why holds the reason as one
** sentence for the user (the box's tooltip): the file is missing, cannot
** be read, or is damaged. */
int bestload(const char *path, char *why, size_t size);

/* Loads the relatedness file at path (model/related.h), replacing any
** loaded before: the ranking then prefers the words related to the text.
** 0 when it is loaded; otherwise none is, the ranking goes by fluency
** alone, and why holds a short sentence that says so and why (the file is
** missing, cannot be read, or is damaged), for the box's tooltip. The box
** works either way. */
int bestrelated(const char *path, char *why, size_t size);

/* A model is loaded: the window may offer its box. */
int bestready(void);

/* The ranking Start runs best first (a SolverSearch, frontend/solver.h):
** takes the window's text and search type, clears the list, plays the
** clip, and adds the BEST_LINES best word sets (Multi-word; a single word:
** the words that use every letter, likeliest first) in rank order, each
** as its words followed by spaces, or "*No anagrams found*". Stop ends it
** with the best lines found so far. Without a model it ranks by shape,
** as vexlore-find does. Returns SEARCH_OK, SEARCH_TOOLONG (the list
** untouched), SEARCH_POSITION or SEARCH_READ after a read error (the clip
** left on, as search() leaves it), or BEST_TOOWIDE, BEST_TOOMANY or
** BEST_NOMEMORY with the list left empty. */
int bestsearch(SearchWindow *win);

#endif
