/*
** The search against the reference enumerator (reference.h). Word files
** and texts are random but seeded, so a failure can be replayed.
*/
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/search.h"
#include "tests/reference.h"
#include "tests/testutil.h"

typedef std::vector<std::string> Lines;

static const char alphabet[] = REFERENCE_LETTERS;

static std::string randomword(std::mt19937 &rng, int maxlen)
{
    std::string w;
    int n = 1 + (int)(rng() % maxlen);
    for (int i = 0; i < n; i++)
        w += alphabet[rng() % (sizeof alphabet - 1)];
    return w;
}

TEST(Reference, SearchAgreesWithTheReferenceOnRandomFiles)
{
    int lines = 0;
    for (unsigned seed = 1; seed <= 400; seed++) {
        std::mt19937 rng(seed);
        Reference ref;
        std::string bytes;
        int nwords = 3 + (int)(rng() % 25);
        for (int i = 0; i < nwords; i++) {
            std::string w = randomword(rng, 5);
            ref.words.push_back(w);
            if (rng() % 5 == 0)
                w[0] &= ~0x20;                  /* capitals fold */
            bytes += w + (rng() % 4 == 0 ? "\r\n" : "\n");
        }
        if (rng() % 3 == 0)
            bytes.pop_back();                   /* last line without its line end */
        if (bytes.back() == '\r')
            bytes.pop_back();
        std::string file = makefile(bytes);

        /* a text made of two to four words of the file, mixed up, so that
        ** most texts have anagrams */
        std::string text;
        int parts = 1 + (int)(rng() % 4);
        for (int i = 0; i < parts; i++)
            text += ref.words[rng() % ref.words.size()];
        if (rng() % 4 == 0)
            text += alphabet[rng() % (sizeof alphabet - 1)];
        std::shuffle(text.begin(), text.end(), rng);
        if (text.size() > 2 && rng() % 2)
            text.insert(rng() % text.size(), " ");

        for (bool multi : {false, true}) {
            ref.multi = multi;
            Lines want = ref.run(text);
            EXPECT_EQ(find(file, text, multi ? MULTI_WORD : SINGLE_WORD), want)
                << "seed " << seed << " text '" << text << "' multi " << multi;
            lines += (int)want.size();
        }
    }
    EXPECT_GT(lines, 1000);   /* the texts were not all misses */
}
