/* Blanks of every kind become plain spaces; the first tab, letters and
** other multibyte characters stay. */
#include <string>

#include <gtest/gtest.h>

#include "frontend/blanks.h"

TEST(Blanks, EveryKindBecomesOneSpace)
{
    const struct { const char *in, *want; } cases[] = {
        { "listen\n", "listen " },
        { "listen\r\n", "listen  " },
        { "dirty\xc2\xa0room", "dirty room" },              /* no-break space */
        { "a\xe2\x80\x80" "b\xe2\x80\x8a" "c\xe2\x80\xaf" "d", "a b c d" },
        { "a\xe2\x80\xa8" "b\xe2\x80\xa9" "c\xc2\x85" "d", "a b c d" },
        { "a\xe3\x80\x80" "b\xe1\x9a\x80" "c\xe2\x81\x9f" "d\v\fe", "a b c d  e" },
        { "a\tb\tc\td", "a\tb c d" },                        /* the search drops the first */
        { "caf\xc3\xa9 \xe2\x80\x8b\xe2\x80\x90", "caf\xc3\xa9 \xe2\x80\x8b\xe2\x80\x90" },
        { "\xe2\x80", "\xe2\x80" },                          /* cut short: left alone */
        { "", "" },
    };
    for (const auto &c : cases) {
        std::string s = c.in;
        plainblanks(&s[0]);
        EXPECT_EQ(std::string(s.c_str()), c.want) << c.in;
    }
}
