#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "ui/wordpath.h"

static std::string path(const std::string &cmdline, int size = WORDPATH_SIZE)
{
    char out[WORDPATH_SIZE + 8];
    memset(out, '#', sizeof out);
    wordpath(cmdline.c_str(), out, size);
    EXPECT_EQ(out[size + 1], '#');      /* nothing written past size */
    return out;
}

TEST(WordPath, FolderOfTheProgram)
{
    EXPECT_EQ(path("\"C:\\Tools\\vexlore.exe\""), "C:\\Tools\\words");
    EXPECT_EQ(path("vexlore"), ".\\words");
    EXPECT_EQ(path("C:\\Program Files\\Vexlore\\vexlore.exe"), "C:\\Program Files\\Vexlore\\words");
    EXPECT_EQ(path("\"C:\\Program Files\\Vexlore\\vexlore.exe\" "), "C:\\Program Files\\Vexlore\\words");
    EXPECT_EQ(path(""), ".\\words");
}

TEST(WordPath, ArgumentsAfterAQuotedNameDoNotCount)
{
    EXPECT_EQ(path("\"C:\\Tools\\vexlore.exe\" D:\\data\\list.txt"), "C:\\Tools\\words");
    EXPECT_EQ(path("\"vexlore.exe\" D:\\data\\list.txt"), ".\\words");
    /* an unquoted name may hold spaces, so there the last backslash wins */
    EXPECT_EQ(path("vexlore D:\\data\\x"), "vexlore D:\\data\\words");
}

TEST(WordPath, OnlyThe127FirstCharactersCountAndPathNeverOverflows)
{
    std::string folder = "C:\\" + std::string(120, 'f');     /* 123 characters */
    EXPECT_EQ(path(folder + "\\v.exe"), folder + "\\words");   /* backslash at 123 */
    std::string deep = "C:\\" + std::string(124, 'f');      /* 127: the name is cut off */
    EXPECT_EQ(path(deep + "\\vexlore.exe"), "C:\\words");
    std::string full = path(folder + "\\v.exe");
    EXPECT_EQ(path(folder + "\\v.exe", 10), full.substr(0, 9));
    EXPECT_EQ(path("vexlore", 1), "");
}
