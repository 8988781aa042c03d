/*
** The words of the open word file that fit some letters, read in one pass.
*/
#include "dictionary/dict.h"
#include "engine/exclude.h"
#include "engine/letters.h"
#include "model/fitwords.h"

int fittingwords(const char *letters, std::vector<std::string> *words, SearchWindow *win)
{
    unsigned have = 0;
    for (const char *p = letters; *p; p++)
        have |= 1u << ((unsigned char)*p & 31);
    char word[WORD_MAX + 1];
    int offset, more, *stop = win ? win->stopflag() : nullptr;
    if (dictposition("", 0))
        return SEARCH_POSITION;
    for (;;) {
        if (dictnext(word, &offset, &more))
            return SEARCH_READ;
        if (!more || (stop && *stop))
            break;
        if (win)
            win->pump();
        unsigned mask = 0;
        int len = 0;
        for (const char *p = word; *p; p++, len++)
            mask |= 1u << ((unsigned char)*p & 31);     /* a letter TEXT lacks rules most out */
        if (len > 0 && !(mask & ~have & ~1u) && !passedover(word, len) && strcontains(letters, word))
            words->push_back(word);
    }
    return SEARCH_OK;
}
