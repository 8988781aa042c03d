/*
** A small anagram enumerator written from the search's rules alone: in
** memory, recursive, with letters kept as counts. The differential unit
** test and the search fuzz target hold the engine to it.
*/
#ifndef VEXLORE_REFERENCE_H
#define VEXLORE_REFERENCE_H

#include <string>
#include <vector>

/* The letters the reference handles. No two of them weigh the same, so the
** rarest one left is never a matter of order. */
#define REFERENCE_LETTERS "abdeilnorst"

struct Reference {
    std::vector<std::string> words;     /* folded, in file order */
    bool multi = false;
    size_t maxwords = 9;    /* words in a line at most */
    size_t minlength = 0;   /* shorter words are not there */
    std::vector<std::string> lines;

    /* Every result line for text (letters of REFERENCE_LETTERS in either
    ** case, and spaces), sorted, or the placeholder line when none. */
    std::vector<std::string> run(const std::string &text);

private:
    void enumerate(int counts[26], int left, std::vector<std::string> &path);
};

#endif
