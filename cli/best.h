/*
** The finder's --best: the candidates from the open word file, the ranking
** by the model beside the program (or by shape without it), the lines out.
*/
#ifndef VEXLORE_BEST_H
#define VEXLORE_BEST_H

#include <string>

/* What --best was asked. */
struct BestOptions {
    std::string text;       /* the letters to rank (prefix's taken out) */
    std::string whole;      /* the text as typed: its words are the text's own */
    std::string model;      /* the model file */
    int named;              /* the model was named (--model): it must be there */
    std::string related;    /* the relatedness file */
    int relnamed;           /* it was named (--related): it must be there */
    int most;               /* lines wanted */
    int stats;              /* the score of each line, and the search's figures */
    std::string prefix;     /* words every line starts with (--contains), each
                            ** followed by a space; text holds the letters left */
    int nprefix;            /* their number: they count towards maxwords */
    const int *lengths;     /* --lengths: the lines' word lengths, in order */
    int nlengths;
    int candidates;         /* --candidates: the words alone, the likeliest first */
    long long limit;        /* --limit: lines to print at most, or 0 */
    int (*poll)(void *ctx); /* nonzero stops the ranking (Ctrl-C); NULL: never */
};

/* Ranks the anagrams of the text (of TEXT_MAX letters at most, which the
** caller has seen to) with the word file open, within the
** search's limits (maxwords, minlength) and its words left out
** (exclude.h), and prints the best lines, each after the prefix.
** Returns the finder's exit status: 0 lines printed, 1 none, 2 an error
** (said on standard error), 130 stopped by poll (the lines found so far
** printed, and said so). */
int findbest(const BestOptions *o);

#endif
