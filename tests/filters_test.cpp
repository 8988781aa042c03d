/*
** The finder's filters over both searches, each held to what the reference
** enumerator finds without it, on seeded random word files and texts.
*/
#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "cli/filters.h"
#include "engine/exclude.h"
#include "tests/reference.h"
#include "tests/testutil.h"

typedef std::vector<std::string> Lines;
enum Kind { CONTAINS, EXCLUDE, LENGTHS, CANDIDATES, LIMIT };

static std::vector<std::string> split(const std::string &line)
{
    std::vector<std::string> w;
    for (size_t at = 0, sp; (sp = line.find(' ', at)) != std::string::npos; at = sp + 1)
        w.push_back(line.substr(at, sp - at));
    return w;
}

/* What the filter of kind, set up in f for text, must list, from the
** reference's own lines. */
static Lines expected(Kind kind, Reference ref, Filters &f, const std::string &text,
                      std::mt19937 &rng, const std::vector<std::string> &parts)
{
    Lines want, all = ref.run(text);
    const Lines none = {"*No anagrams found*"};
    switch (kind) {
    case CONTAINS: {
        f.contains = {parts[0]};
        std::string rest, lacking;
        takewords(text, f.contains, &rest, &lacking);
        ref.maxwords = 8;
        for (const std::string &l : rest.empty() ? Lines{"\n"} : ref.run(rest))
            want.push_back(l[0] == '*' ? l : parts[0] + " " + l);
        return want;
    }
    case EXCLUDE:
        f.exclude = {ref.words[rng() % ref.words.size()]};
        ref.words.erase(std::remove(ref.words.begin(), ref.words.end(), f.exclude[0]), ref.words.end());
        return ref.run(text);
    case LENGTHS: {
        for (const std::string &p : parts)
            f.lengths[f.nlengths++] = (int)p.size();
        std::shuffle(f.lengths, f.lengths + f.nlengths, rng);
        ref.maxwords = (size_t)f.nlengths;
        for (const std::string &l : ref.run(text)) {
            std::vector<std::string> w = split(l);
            std::sort(w.begin(), w.end());
            do {
                std::string line;
                for (const std::string &x : w)
                    line += x + " ";
                if (fitslengths((line + "\n").c_str(), f.lengths, f.nlengths))
                    want.push_back(line + "\n");
            } while (std::next_permutation(w.begin(), w.end()));
        }
        std::sort(want.begin(), want.end());
        want.erase(std::unique(want.begin(), want.end()), want.end());
        return want.empty() ? none : want;
    }
    case CANDIDATES: {
        f.candidates = 1;
        for (const std::string &w : ref.words)
            if (std::all_of(w.begin(), w.end(), [&](char c) {
                    return std::count(w.begin(), w.end(), c) <= std::count(text.begin(), text.end(), c);
                }))
                want.push_back(w + " \n");
        std::stable_sort(want.begin(), want.end(), [](const std::string &a, const std::string &b) {
            return a.size() != b.size() ? a.size() > b.size() : a < b;
        });
        return want.empty() ? none : want;
    }
    case LIMIT:
        f.limit = 1 + rng() % 3;
        return all;
    }
    return want;
}

class Filter : public ::testing::TestWithParam<std::tuple<Kind, int>> {};

TEST_P(Filter, ListsWhatTheReferenceFindsFiltered)
{
    SettingsBack settingsback;
    Kind kind = std::get<0>(GetParam());
    int fast = std::get<1>(GetParam()), lines = 0;
    for (unsigned seed = 1; seed <= 150; seed++) {
        std::mt19937 rng(seed);
        Reference ref;
        ref.multi = true;
        std::string bytes, text;
        for (int i = 3 + (int)(rng() % 20); i > 0; i--) {
            std::string w;
            for (int n = 1 + (int)(rng() % 5); n > 0; n--)
                w += REFERENCE_LETTERS[rng() % (sizeof REFERENCE_LETTERS - 1)];
            ref.words.push_back(w);
            bytes += w + "\n";
        }
        std::vector<std::string> parts;
        for (int i = 1 + (int)(rng() % 3); i > 0; i--)
            parts.push_back(ref.words[rng() % ref.words.size()]);
        for (const std::string &p : parts)
            text += p;
        std::shuffle(text.begin(), text.end(), rng);
        std::string file = makefile(bytes);

        Filters f;
        Lines want = expected(kind, ref, f, text, rng, parts);
        TestWindow out;
        out.text = text;
        out.type = MULTI_WORD;
        FilterWindow win(&out, f);
        OpenWords words(file);
        ASSERT_EQ(checkfilters(f, text), "") << "seed " << seed;
        filteredsearch(&win, fast);
        excludeclear();
        Lines got = out.lines;
        if (!win.inorder())
            std::sort(got.begin(), got.end());  /* as the finder's store has them */
        if (f.limit) {      /* the finder prints the first lines; one more says there were more */
            EXPECT_EQ(got.size() > (size_t)f.limit, want.size() > (size_t)f.limit) << "seed " << seed;
            want.resize(std::min(want.size(), (size_t)f.limit));
            got.resize(std::min(got.size(), (size_t)f.limit));
        }
        EXPECT_EQ(got, want) << "seed " << seed << " text '" << text << "'";
        lines += want[0][0] != '*' ? (int)want.size() : 0;
    }
    EXPECT_GT(lines, 150) << "the texts were mostly misses";
}

INSTANTIATE_TEST_SUITE_P(Both, Filter,
                         ::testing::Combine(::testing::Values(CONTAINS, EXCLUDE, LENGTHS, CANDIDATES, LIMIT),
                                            ::testing::Values(0, 1)));
