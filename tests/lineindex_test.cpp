/* The results list's index of lines: any row, at any moment, is the line
** of that row in byte order, however the lines came and its buckets split. */
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gtk/lineindex.h"

/* Lines that share long beginnings, repeat, end where others go on, and
** hold bytes above 127 and none at all, in no order: enough of them that
** buckets split several levels down. */
TEST(LineIndex, EveryRowInByteOrder)
{
    std::vector<std::string> lines = {"", "", "\xe9t\xe9 ", "zz"};
    srand(7);
    for (int i = 0; i < 30000; i++) {
        std::string l = "aa";
        for (int n = rand() % 6; n > 0; n--)
            l += "ab \xe9"[rand() % 4];
        lines.push_back(l);
    }
    LineIndex index;
    std::vector<std::string> sorted;
    for (size_t i = 0; i < lines.size(); i++) {
        ASSERT_TRUE(index.add(lines[i].c_str()));
        sorted.push_back(lines[i]);
        if (i == 10 || i == 5000 || i + 1 == lines.size()) {
            std::sort(sorted.begin(), sorted.end());   /* std::string compares bytes unsigned */
            ASSERT_EQ(index.count(), (int)sorted.size());
            for (size_t r = 0; r < sorted.size(); r++)
                ASSERT_EQ(index.at((int)r), sorted[r]) << "row " << r << " of " << sorted.size();
        }
    }
    EXPECT_EQ(index.at(-1), nullptr);
    EXPECT_EQ(index.at(index.count()), nullptr);
    index.clear();
    EXPECT_EQ(index.count(), 0);
    EXPECT_TRUE(index.add("b") && index.add("a"));
    EXPECT_STREQ(index.at(0), "a");
}
