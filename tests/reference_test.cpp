/*
** Both searches against the reference enumerator (reference.h), and the
** fast search against the file search over files of any bytes. Word
** files and texts are random but seeded, so a failure can be replayed.
*/
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/fastsearch.h"
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
    SettingsBack settingsback;
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

        /* every third file under limits too */
        maxwords = (int)(ref.maxwords = seed % 3 ? WORDS_MAX : 1 + seed / 3 % 4);
        minlength = (int)(ref.minlength = seed % 3 ? 0 : seed / 3 % 3);
        for (bool multi : {false, true}) {
            ref.multi = multi;
            Lines want = ref.run(text);
            for (int fast : {0, 1}) {
                testfast = fast;
                EXPECT_EQ(find(file, text, multi ? MULTI_WORD : SINGLE_WORD), want)
                    << "seed " << seed << " text '" << text << "' multi " << multi
                    << " fast " << fast << " limits " << maxwords << " " << minlength;
            }
            lines += (int)want.size();
        }
    }
    EXPECT_GT(lines, 1000);   /* the texts were not all misses */
}

/* Pieces of a word file the reference does not take: letters of equal
** weight (u and c, g and y, m and w), so the order the letters stand in
** decides the rarest; spaces inside words and before them, tabs, bytes of
** 0x80 and above, capitals, empty lines, CR LF, lines too long for a word. */
static const char *const pieces[] = {
    "u", "c", "g", "y", "m", "w", "e", "s", "uc", "cu", "gy", "me", "C", "Y",
    " ", "\t", "\xC4", "\n", "\n", "\n", "\r\n", "\n\n",
};

TEST(Reference, FastSearchFindsWhatTheSearchFindsInAnyFile)
{
    SettingsBack settingsback;
    int lines = 0;
    for (unsigned seed = 1; seed <= 300; seed++) {
        std::mt19937 rng(seed);
        std::string bytes, text;
        int n = 10 + (int)(rng() % 60);
        for (int i = 0; i < n; i++)
            bytes += pieces[rng() % (sizeof pieces / sizeof *pieces)];
        if (rng() % 8 == 0)
            bytes += std::string(36 + rng() % 4, 'u') + "\n";
        if (rng() % 4 == 0)
            bytes += bytes.substr(0, bytes.size() / 2);     /* duplicates */
        /* the text: a few lines of the file, mixed up */
        std::vector<std::string> lines_of;
        for (size_t at = 0, end; at < bytes.size(); at = end + 1) {
            end = std::min(bytes.find('\n', at), bytes.size());
            lines_of.push_back(bytes.substr(at, end - at));
        }
        for (int parts = 1 + (int)(rng() % 3); parts > 0; parts--)
            text += lines_of[rng() % lines_of.size()];
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        std::shuffle(text.begin(), text.end(), rng);
        text = text.substr(0, 30);
        std::string file = makefile(bytes);
        maxwords = seed % 2 ? WORDS_MAX : 1 + (int)(rng() % WORDS_MAX);
        minlength = seed % 4 ? 0 : (int)(rng() % 4);
        for (int type : {SINGLE_WORD, MULTI_WORD}) {
            testfast = 0;
            Lines want = find(file, text, type);
            testfast = 1;
            EXPECT_EQ(find(file, text, type), want)
                << "seed " << seed << " type " << type << " limits " << maxwords << " " << minlength;
            lines += want[0][0] != '*' ? (int)want.size() : 0;
        }
    }
    EXPECT_GT(lines, 500) << "the texts were mostly misses";
}
