/* The letter helpers the search is built on: folding, containment with
** spaces, the rarest-first order and the comparisons it sorts with. */
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "engine/letters.h"

static std::string minus(const char *s, const char *src)
{
    char out[256];
    strminus(s, src, out);
    return out;
}

static std::string fsort(const char *s)
{
    char out[256];
    freqsort(s, out);
    return out;
}

TEST(Letters, LowerFoldsOnlyAsciiCapitals)
{
    char s[] = "ABc\xC4Z@[";
    EXPECT_EQ(strlower(s), s);
    EXPECT_STREQ(s, "abc\xC4z@[");
}

TEST(Letters, ContainsCountsRepeatsAndLetsSpacesTakeUsedSlots)
{
    EXPECT_EQ(strcontains("ab", "a b"), 1);
    EXPECT_EQ(strcontains("ab", ""), 1);
    EXPECT_EQ(strcontains("", "a"), 0);
    EXPECT_EQ(strcontains("aab", "aba"), 1);
    EXPECT_EQ(strcontains("ab", "aa"), 0);
    EXPECT_EQ(strcontains("ab", " "), 0);   /* no slot used yet */
    EXPECT_EQ(strcontains("lsnite", "tinsel"), 1);
    EXPECT_EQ(strcontains("ymdrrioot", "dormitory"), 1);
    EXPECT_EQ(strcontains("mroo", "dormitory"), 0);
}

TEST(Letters, MatchedStringTakesPartThroughItsFirst80Characters)
{
    std::string letters(80, 'a');
    EXPECT_EQ(strcontains((letters + "b").c_str(), "b"), 0);
    EXPECT_EQ(strcontains((letters + "b").c_str(), std::string(80, 'a').c_str()), 1);
    EXPECT_EQ(minus("b", (letters + "b").c_str()), "b");
}

TEST(Letters, MinusKeepsTheOrderOfItsFirstOperand)
{
    EXPECT_EQ(minus("a b\tc\td", " \t"), "abc\td");
    EXPECT_EQ(minus("lsnite", "tinsel"), "");
    EXPECT_EQ(minus("ymdrrioot", "dirty"), "mroo");
    EXPECT_EQ(minus("abc", ""), "abc");
    EXPECT_EQ(minus("", "abc"), "");
}

TEST(Letters, FreqsortPutsTheRarestFirstAndIsStable)
{
    EXPECT_EQ(fsort("listen"), "lsnite");
    EXPECT_EQ(fsort("dirtyroom"), "ymdrrioot");
    EXPECT_EQ(fsort("zq"), "zq");
    EXPECT_EQ(fsort("uc"), "uc");
    EXPECT_EQ(fsort("cu"), "cu");
    EXPECT_EQ(fsort(""), "");
}

TEST(Letters, FreqsortSendsOtherCharactersAfterEveryLetter)
{
    /* each of these would index outside the table if taken as a letter */
    EXPECT_EQ(fsort("1ea"), "ae1");
    EXPECT_EQ(fsort("\xFF" "e" "\x80" "q"), "qe\xFF\x80");
    EXPECT_EQ(fsort("E{e`"), "eE{`");
}

TEST(Letters, AlphasortComparesSignedCodes)
{
    char out[16];
    alphasort("cb\xC4" "a", out);
    EXPECT_STREQ(out, "\xC4" "abc");
}
