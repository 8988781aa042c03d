/* Where the program looks for its word file: the folder it runs from, as
** its command line names it, however long. */
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "windows/wordpath.h"

static std::string path(const std::string &cmdline, int size = -1)
{
    std::string out(cmdline.size() + 16, '#');
    if (size < 0)
        size = (int)cmdline.size() + 8;     /* always enough */
    int len = wordpath(cmdline.c_str(), &out[0], size);
    EXPECT_EQ(out[size], '#');      /* nothing written past size */
    std::string got = out.c_str();
    if (size > len) {
        EXPECT_EQ((int)got.size(), len);
    }
    return got;
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

TEST(WordPath, TheWholeCommandLineCountsAndPathNeverOverflows)
{
    /* a folder path of 197 characters, far beyond the first 127 */
    std::string deep = "\"C:\\Users\\" + std::string(60, 'a') + "\\" + std::string(60, 'b') + "\\" +
                       std::string(60, 'c');
    EXPECT_EQ(path(deep + "\\vexlore.exe\""), deep.substr(1) + "\\words");
    std::string far = "C:\\" + std::string(32000, 'f');  /* the system's limit is 32,767 */
    EXPECT_EQ(path(far + "\\vexlore.exe"), far + "\\words");
    /* UTF-8 passes through byte for byte */
    EXPECT_EQ(path("\"C:\\My Folder \xc3\xb1\xc3\xa9 \xe2\x80\x93 \xe6\xb8\xac\xe8\xa9\xa6\\vexlore.exe\""),
              "C:\\My Folder \xc3\xb1\xc3\xa9 \xe2\x80\x93 \xe6\xb8\xac\xe8\xa9\xa6\\words");

    std::string full = path("C:\\Tools\\v.exe");
    EXPECT_EQ(path("C:\\Tools\\v.exe", 10), full.substr(0, 9));
    EXPECT_EQ(path("C:\\Tools\\v.exe", 4), full.substr(0, 3));
    EXPECT_EQ(path("vexlore", 1), "");
    char none = '#';
    EXPECT_EQ(wordpath("vexlore", &none, 0), 7);    /* ".\\words", and nothing written */
    EXPECT_EQ(none, '#');
}
