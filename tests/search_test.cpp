/* The search through its window, each case once with the file
** search and once with the fast one: the worked examples, Stop, texts at
** the limits, a failing word file and the limits on words and length. */
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dictionary/dict.h"
#include "engine/search.h"
#include "engine/stack.h"
#include "tests/testutil.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

typedef std::vector<std::string> Lines;

/* Every case runs against the file search (the word file read anew at
** every level) and the fast search. */
class Search : public testing::TestWithParam<int> {
protected:
    void SetUp() override { testfast = GetParam(); }
    SettingsBack settingsback;
};

INSTANTIATE_TEST_SUITE_P(Modes, Search, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int> &i) {
                             return std::string(i.param ? "fast" : "file");
                         });

TEST_P(Search, NineWordExamples)
{
    std::string nine = makefile(nine_words);
    EXPECT_EQ(find(nine, "dirty room", MULTI_WORD),
              (Lines{"dirty moor \n", "dirty room \n", "dormitory \n"}));
    EXPECT_EQ(find(nine, "dirty room", SINGLE_WORD), (Lines{"dormitory \n"}));
    EXPECT_EQ(find(nine, "Listen", SINGLE_WORD),
              (Lines{"enlist \n", "inlets \n", "listen \n", "silent \n", "tinsel \n"}));
    EXPECT_EQ(find(nine, "DIRTY ROOM", MULTI_WORD), find(nine, "dirty room", MULTI_WORD));
    EXPECT_EQ(find(nine, "xyz", MULTI_WORD), (Lines{"*No anagrams found*"}));
    EXPECT_EQ(strdepth(), 0);
}

TEST_P(Search, TraceOfTheWorkedExample)
{
    if (GetParam())
        GTEST_SKIP() << "the fast search has no passes to trace";
    std::string nine = makefile(nine_words);
    trace = 1;
    CaptureStderr();
    find(nine, "dirty room", MULTI_WORD);
    std::string got = GetCapturedStderr();
    trace = 0;
    EXPECT_EQ(got,
              "reverse frequency sorted: ymdrrioot\n"
              "Positioning to: '' or position 0\n"
              "found word: dirty\n"
              "Pass 0 of dictionary complete\n"
              "Positioning to: '' or position 0\n"
              "found word: moor\n"
              "found word: room\n"
              "Pass 1 of dictionary complete\n"
              "Positioning to: 'dirty' or position 0\n"
              "found word: dormitory\n"
              "Pass 2 of dictionary complete\n");
}

TEST_P(Search, RepeatedRarestLetterGivesEveryOrder)
{
    EXPECT_EQ(find(makefile("ab\nba\n"), "aabb", MULTI_WORD),
              (Lines{"ab ab \n", "ab ba \n", "ba ab \n", "ba ba \n"}));
}

TEST_P(Search, BlanksAndEmptyText)
{
    std::string nine = makefile(nine_words);
    EXPECT_EQ(find(nine, "", MULTI_WORD), (Lines{"*No anagrams found*"}));
    EXPECT_EQ(find(nine, "   ", SINGLE_WORD), (Lines{"*No anagrams found*"}));
    /* every space and the first tab are blanks; a second tab is a letter */
    EXPECT_EQ(find(nine, " si\tlent ", SINGLE_WORD).size(), 5u);
    EXPECT_EQ(find(nine, "si\tl\tent", SINGLE_WORD), (Lines{"*No anagrams found*"}));
    /* an empty line of the file is a word of no letters */
    EXPECT_EQ(find(makefile("a\n\nb\n"), "", SINGLE_WORD), (Lines{" \n"}));
}

TEST_P(Search, WordWithASpaceTakesAUsedSlot)
{
    EXPECT_EQ(find(makefile("a b\nc\n"), "abc", SINGLE_WORD), (Lines{"a b c \n"}));
}

TEST_P(Search, DuplicatesAndTheLastWord)
{
    EXPECT_EQ(find(makefile("tinsel\nsilent\nSilent\n"), "listen", SINGLE_WORD),
              (Lines{"silent \n", "silent \n", "tinsel \n"}));
    /* the last word of the file, without a line feed, completes the line once */
    EXPECT_EQ(find(makefile("ab\ncd"), "dcba", MULTI_WORD), (Lines{"ab cd \n"}));
}

TEST_P(Search, StopKeepsWhatWasFound)
{
    std::string file = makefile("ab\nba\nx\n");
    Lines all = find(file, "aabb", MULTI_WORD);
    for (int at : {0, 1, 4, 5}) {
        TestWindow win;
        win.text = "aabb";
        win.type = MULTI_WORD;
        win.stopafter = at;
        EXPECT_EQ(OpenWords(file).search(&win), SEARCH_OK);
        EXPECT_FALSE(win.busy);
        EXPECT_EQ(strdepth(), 0);
        if (at == 0) {
            EXPECT_EQ(win.lines, (Lines{"*No anagrams found*"}));
        } else {
            EXPECT_LT(win.lines.size(), all.size()) << at;
        }
        for (const std::string &l : win.lines) {
            if (l[0] != '*') {
                EXPECT_NE(std::find(all.begin(), all.end(), l), all.end()) << l;
            }
        }
        /* a stop before the search clears the flag at its start */
        win.stopafter = -1;
        OpenWords(file).search(&win);
        EXPECT_EQ(win.lines.size(), all.size());
    }
}

TEST_P(Search, TextOfMoreThan79LettersIsRefusedWhole)
{
    std::string nine = makefile(nine_words);
    TestWindow win;
    win.lines = {"earlier \n"};
    win.text = std::string(200, 'e');
    OpenWords words(nine);
    ASSERT_EQ(words.opened, 0);
    EXPECT_EQ(runsearch(&win), SEARCH_TOOLONG);
    EXPECT_EQ(win.lines, (Lines{"earlier \n"}));
    EXPECT_EQ(win.clears, 0);
    win.text = std::string(80, 'e');
    EXPECT_EQ(runsearch(&win), SEARCH_TOOLONG);
    /* blanks do not count */
    win.text = std::string(79, 'e') + "    \t";
    EXPECT_EQ(runsearch(&win), SEARCH_OK);
    EXPECT_EQ(win.lines, (Lines{"*No anagrams found*"}));
    EXPECT_EQ(strdepth(), 0);
}

TEST_P(Search, NoLineNeedsATenthWord)
{
    std::string file = makefile("a\n");
    EXPECT_EQ(find(file, std::string(9, 'a'), MULTI_WORD), (Lines{"a a a a a a a a a \n"}));
    CaptureStderr();
    EXPECT_EQ(find(file, std::string(10, 'a'), MULTI_WORD), (Lines{"*No anagrams found*"}));
    EXPECT_EQ(GetCapturedStderr(), "");   /* no overflow on either stack */
    EXPECT_EQ(strdepth(), 0);
    /* with longer words the same letters still make lines of nine or fewer */
    Lines some = find(makefile("a\naa\n"), std::string(10, 'a'), MULTI_WORD);
    EXPECT_EQ(some.size(), 88u);   /* ordered sums of 1s and 2s making 10, in 9 parts or fewer */
    EXPECT_EQ(std::count(some.begin(), some.end(), "aa a a a a a a a a \n"), 1);
}

TEST_P(Search, DictionaryErrorEndsTheSearchAndLeavesTheStacksEmpty)
{
    OpenWords words(makefile(nine_words));
    ASSERT_EQ(words.opened, 0);
    dictsource(DICT_DISABLED);
    TestWindow win;
    win.text = "listen";
    CaptureStderr();
    EXPECT_EQ(runsearch(&win), SEARCH_POSITION);
    EXPECT_EQ(GetCapturedStderr(), "vexlore: dictionary file error [52]\n");
    EXPECT_TRUE(win.lines.empty());
    EXPECT_TRUE(win.busy);      /* ended by the error, not finished */
    EXPECT_EQ(strdepth(), 0);
    dictsource(DICT_FILE);
    EXPECT_EQ(runsearch(&win), SEARCH_OK);
    EXPECT_EQ(win.lines.size(), 5u);
}

TEST_P(Search, LimitsOnWordsAndLength)
{
    std::string nine = makefile(nine_words);
    maxwords = 2;
    EXPECT_EQ(find(nine, "dirty room", MULTI_WORD),
              (Lines{"dirty moor \n", "dirty room \n", "dormitory \n"}));
    EXPECT_EQ(find(makefile("a\naa\n"), "aaa", MULTI_WORD), (Lines{"a aa \n", "aa a \n"}));
    maxwords = 1;
    EXPECT_EQ(find(nine, "dirty room", MULTI_WORD), (Lines{"dormitory \n"}));
    /* a word holding a space descends even in a single-word search */
    EXPECT_EQ(find(makefile("a b\nc\n"), "abc", SINGLE_WORD), (Lines{"*No anagrams found*"}));
    maxwords = WORDS_MAX;

    minlength = 3;
    EXPECT_EQ(find(makefile("a\naa\naaa\n"), "aaaaaa", MULTI_WORD), (Lines{"aaa aaa \n"}));
    EXPECT_EQ(find(makefile("a\n\nx y\n"), "xy", SINGLE_WORD), (Lines{"x y \n"}));   /* spaces count */
    /* a short word is not there at all: the window sees no pump for it */
    int pumps[2];
    for (int i = 0; i < 2; i++) {
        TestWindow win;
        win.text = "listen";
        EXPECT_EQ(OpenWords(makefile(i ? "listen\nsilent\n" : "a\nlisten\nno\nsilent\n")).search(&win),
                  SEARCH_OK);
        EXPECT_EQ(win.lines.size(), 2u);
        pumps[i] = win.pumps;
    }
    EXPECT_EQ(pumps[0], pumps[1]);
}

TEST_P(Search, NoDescentPastTheLastWordALineMayHave)
{
    /* 'dirty' fits 'dirty room' but leaves letters: with one word a line,
    ** the multi-word search must pass over it as the single-word one does */
    std::string nine = makefile(nine_words);
    int pumps[2];
    for (int type = SINGLE_WORD; type <= MULTI_WORD; type++) {
        maxwords = type == MULTI_WORD ? 1 : WORDS_MAX;
        TestWindow win;
        win.text = "dirty room";
        win.type = type;
        dictsource(DICT_FILE);
        ASSERT_EQ(dictopen(nine.c_str()), 0);
        runsearch(&win);
        dictclose();
        EXPECT_EQ(win.lines, (Lines{"dormitory \n"}));
        pumps[type] = win.pumps;
    }
    EXPECT_EQ(pumps[MULTI_WORD], pumps[SINGLE_WORD]);
    /* the same at the stacks' own limit: the ninth 'a' of ten leaves one
    ** over, so it is not taken, and nine words are examined in all */
    maxwords = WORDS_MAX;
    TestWindow win;
    win.text = std::string(10, 'a');
    win.type = MULTI_WORD;
    dictsource(DICT_FILE);
    ASSERT_EQ(dictopen(makefile("a\n").c_str()), 0);
    runsearch(&win);
    dictclose();
    EXPECT_EQ(win.lines, (Lines{"*No anagrams found*"}));
    EXPECT_EQ(win.pumps, 9);
}
