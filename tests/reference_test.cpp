/*
** The search against a small enumerator written from the rules alone:
** in memory, recursive, with letters kept as counts. Word files and texts
** are random but seeded, so a failure can be replayed.
*/
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/letters.h"
#include "engine/search.h"
#include "tests/testutil.h"

typedef std::vector<std::string> Lines;

/* No two of these letters weigh the same, so the rarest one left is never
** a matter of order. */
static const char alphabet[] = "abdeilnorst";

struct Reference {
    std::vector<std::string> words;     /* folded, in file order */
    bool multi;
    Lines lines;

    static int weight(char c) { return letter_freq[c - 'a']; }

    void enumerate(int counts[26], int left, std::vector<std::string> &path)
    {
        int rarest = -1;
        for (int c = 0; c < 26; c++)
            if (counts[c] > 0 && (rarest < 0 || weight('a' + c) < weight('a' + rarest)))
                rarest = c;
        for (const std::string &w : words) {
            int need[26] = {0};
            bool fits = true, hasrarest = rarest < 0;
            for (char c : w) {
                if (c < 'a' || c > 'z' || ++need[c - 'a'] > counts[c - 'a'])
                    fits = false;
                else if (c - 'a' == rarest)
                    hasrarest = true;
            }
            if (!fits || !hasrarest || (!multi && (int)w.size() < left) || path.size() == 9)
                continue;
            for (int c = 0; c < 26; c++)
                counts[c] -= need[c];
            path.push_back(w);
            if (left == (int)w.size()) {
                std::string line;
                for (const std::string &p : path)
                    line += p + " ";
                lines.push_back(line + "\n");
            } else {
                enumerate(counts, left - (int)w.size(), path);
            }
            path.pop_back();
            for (int c = 0; c < 26; c++)
                counts[c] += need[c];
        }
    }

    Lines run(const std::string &text)
    {
        int counts[26] = {0}, left = 0;
        for (char c : text)
            if (c != ' ') {
                counts[(c | 0x20) - 'a']++;
                left++;
            }
        std::vector<std::string> path;
        lines.clear();
        enumerate(counts, left, path);
        if (lines.empty())
            lines.push_back("*No anagrams found*");
        std::sort(lines.begin(), lines.end());
        return lines;
    }
};

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
