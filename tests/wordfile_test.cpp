/* The word file reader: words folded and handed out with their offsets,
** line ends, long and NUL-holding lines, seeks, byte-order marks, paths in
** any script, and the sorted file's lookup. */
#include <errno.h>
#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "dictionary/dict.h"
#include "dictionary/wordfile.h"
#include "tests/testutil.h"

#ifndef _WIN32
#include <unistd.h>
#endif

typedef std::vector<std::pair<std::string, int>> Words;

/* Every word dictnext hands out from the start, with its offset. */
static Words readall(const std::string &bytes)
{
    Words out;
    OpenWords words(makefile(bytes));
    EXPECT_EQ(words.opened, 0);
    EXPECT_EQ(dictposition("", 0), 0);
    char word[WORD_MAX + 1];
    int offset = -1, more = -1;
    for (;;) {
        EXPECT_EQ(dictnext(word, &offset, &more), 0);
        if (!more)
            break;
        out.push_back({word, offset});
    }
    EXPECT_STREQ(word, "");
    EXPECT_EQ(offset, 0);
    return out;
}

TEST(WordFile, ReadsFoldedWordsWithTheirOffsetsAndSkipsBack)
{
    OpenWords words(makefile("Dirty\ndormitory\n"));
    ASSERT_EQ(words.opened, 0);
    char word[WORD_MAX + 1];
    int offset, more;
    EXPECT_EQ(dictposition("", 0), 0);
    EXPECT_EQ(dictnext(word, &offset, &more), 0);
    EXPECT_STREQ(word, "dirty");
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(dictnext(word, &offset, &more), 0);
    EXPECT_STREQ(word, "dormitory");
    EXPECT_EQ(offset, 6);
    EXPECT_EQ(more, 1);
    EXPECT_EQ(dictnext(word, &offset, &more), 0);
    EXPECT_STREQ(word, "");
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(more, 0);
    EXPECT_EQ(dictnext(word, &offset, &more), 0);   /* and stays at the end */
    EXPECT_EQ(more, 0);

    /* only whether the word is empty matters: its line is passed over */
    EXPECT_EQ(dictposition("dirty", 0), 0);
    EXPECT_EQ(dictnext(word, &offset, &more), 0);
    EXPECT_STREQ(word, "dormitory");
    EXPECT_EQ(offset, 6);
    EXPECT_EQ(dictposition("anything", 0), 0);
    EXPECT_EQ(dictnext(word, &offset, &more), 0);
    EXPECT_STREQ(word, "dormitory");
    EXPECT_EQ(words.close(), 0);
}

TEST(WordFile, PositioningAfterEachWordReturnsTheOneAfterIt)
{
    Words all = readall(nine_words);
    ASSERT_EQ(all.size(), 9u);
    OpenWords words(makefile(nine_words));
    ASSERT_EQ(words.opened, 0);
    char word[WORD_MAX + 1];
    int offset, more;
    /* backwards, so every move goes against the direction of reading */
    for (int i = 7; i >= 0; i--) {
        EXPECT_EQ(dictposition(all[i].first.c_str(), all[i].second), 0);
        EXPECT_EQ(dictnext(word, &offset, &more), 0);
        EXPECT_EQ(word, all[i + 1].first);
        EXPECT_EQ(offset, all[i + 1].second);
    }
}

TEST(WordFile, LineEndsAndTheLastLine)
{
    /* a last line without a line feed keeps all its characters */
    EXPECT_EQ(readall("moor\nzoo"), (Words{{"moor", 0}, {"zoo", 5}}));
    /* CR LF: the carriage return is not part of the word, offsets exact */
    EXPECT_EQ(readall("ab\r\ncd\r\n\r\nef"), (Words{{"ab", 0}, {"cd", 4}, {"", 8}, {"ef", 10}}));
    /* a carriage return anywhere else stays */
    EXPECT_EQ(readall("a\rb\nc\r"), (Words{{"a\rb", 0}, {"c\r", 4}}));
    EXPECT_EQ(readall("\n\nx\n"), (Words{{"", 0}, {"", 1}, {"x", 2}}));
    EXPECT_EQ(readall(""), Words{});
    EXPECT_EQ(readall("\xC4PFEL\n"), (Words{{"\xC4pfel", 0}}));
}

TEST(WordFile, LinesLongerThanAWordNeverReachTheCaller)
{
    std::string w35(35, 'a'), w36(36, 'b');
    for (int n : {36, 79, 80, 81, 82, 200, 70000, 200000}) {
        std::string bytes = "x\n" + std::string(n, 'c') + "\ny\n" + w35 + "\n" + w36 + "\r\nz";
        int y = 2 + n + 1;
        EXPECT_EQ(readall(bytes), (Words{{"x", 0}, {"y", y}, {w35, y + 2}, {"z", y + 2 + 36 + 38}}))
            << "line of " << n;
    }
    /* a long line at the very end, without a line feed */
    EXPECT_EQ(readall("q\n" + std::string(100, 'd')), (Words{{"q", 0}}));
}

TEST(WordFile, LinesHoldingNulBytesAreNoWords)
{
    std::string bytes("ab\0cd\nef\n\0\nzz", 13);
    EXPECT_EQ(readall(bytes), (Words{{"ef", 6}, {"zz", 11}}));
}

TEST(WordFile, ReaderReportsTheFullLengthOfALongLine)
{
    ASSERT_NE(wordopen(makefile(std::string(100, 'k') + "\r\nok\n").c_str(), 0), nullptr);
    char line[WORD_LINEMAX + 1];
    int len;
    memset(line, '#', sizeof line);
    EXPECT_EQ(wordread(line, sizeof line, &len), 0);
    EXPECT_EQ(len, 100);
    EXPECT_EQ(strlen(line), (size_t)WORD_LINEMAX);
    EXPECT_EQ(wordread(line, 2, &len), 102);        /* a buffer smaller than the line */
    EXPECT_STREQ(line, "o");
    EXPECT_EQ(len, 2);
    EXPECT_EQ(wordread(line, sizeof line, &len), WORD_END);
    EXPECT_EQ(wordclose(), 0);
    EXPECT_EQ(wordread(line, sizeof line, &len), WORD_READFAIL);   /* closed: no read at all */
}

TEST(WordFile, SeekStaysWithinTheFile)
{
    ASSERT_NE(wordopen(makefile("ab\ncd\n").c_str(), 1), nullptr);
    char line[WORD_LINEMAX + 1];
    EXPECT_EQ(wordseek(6), 1);
    EXPECT_EQ(wordread(line, sizeof line, nullptr), WORD_END);
    EXPECT_EQ(wordseek(7), 0);
    EXPECT_EQ(wordseek(-1), 0);
    EXPECT_EQ(wordseek(3), 1);
    EXPECT_EQ(wordread(line, sizeof line, nullptr), 3);
    EXPECT_STREQ(line, "cd");
    wordclose();
    EXPECT_EQ(wordseek(0), 0);
}

/* Notepad's UTF-8 files start with a byte-order mark: not part of the
** first word, which still starts at 0; the other offsets are the file's.
** A UTF-16 or UTF-32 file, either way round, is refused, with its mark
** or without. */
TEST(WordFile, ByteOrderMarks)
{
    std::string bom = "\xef\xbb\xbf";
    EXPECT_EQ(readall(bom + "Listen\nsilent\n"), (Words{{"listen", 0}, {"silent", 10}}));
    EXPECT_EQ(readall(bom), Words{});
    EXPECT_EQ(readall("\xef\xbb" "a\n"), (Words{{"\xef\xbb" "a", 0}}));  /* no mark */

    OpenWords words(makefile(bom + "dirty\ndormitory\n"));
    ASSERT_EQ(words.opened, 0);
    char word[WORD_MAX + 1];
    int offset, more;
    EXPECT_EQ(dictposition("dirty", 0), 0);     /* the search's way back to the first word */
    EXPECT_EQ(dictnext(word, &offset, &more), 0);
    EXPECT_STREQ(word, "dormitory");
    EXPECT_EQ(offset, 9);
    char key[] = "dirty", key2[] = "dormitory";
    EXPECT_EQ(wordfind(key), 0);
    EXPECT_EQ(wordfind(key2), 9);
    words.close();

    for (const char *mark : {"\xff\xfe", "\xfe\xff"}) {
        errno = 0;
        EXPECT_EQ(dictopen(makefile(std::string(mark) + "l\0i\0").c_str()), 1);
        EXPECT_EQ(errno, EILSEQ);
    }
    /* UTF-32 either way round, and UTF-16 without a mark */
    for (std::string wide : {std::string("\xff\xfe\0\0l\0\0\0", 8), std::string("\0\0\xfe\xff\0\0\0l", 8),
                             std::string("l\0i\0\n\0", 6), std::string("\0l\0i\0\n", 6)}) {
        errno = 0;
        EXPECT_EQ(dictopen(makefile(wide).c_str()), 1);
        EXPECT_EQ(errno, EILSEQ);
    }
}

/* Paths come in UTF-8, whatever script they are in; on Windows a name
** that is no UTF-8 is one in the ANSI code page, as vexlore-find's
** arguments come. */
TEST(WordFile, OpensAPathInAnyScript)
{
    const char name[] = "My Folder \xc3\xb1\xc3\xa9 \xe2\x80\x93 \xe6\xb8\xac\xe8\xa9\xa6.words";
#ifdef _WIN32
    const wchar_t *wide = L"My Folder \u00f1\u00e9 \u2013 \u6e2c\u8a66.words";
    FILE *f = _wfopen(wide, L"wb");
#else
    FILE *f = fopen(name, "wb");
#endif
    ASSERT_NE(f, nullptr);
    fputs("listen\n", f);
    fclose(f);
    OpenWords words(name);
    EXPECT_EQ(words.opened, 0);
    char word[WORD_MAX + 1];
    int offset, more;
    EXPECT_EQ(dictnext(word, &offset, &more), 0);
    EXPECT_STREQ(word, "listen");
    words.close();
#ifdef _WIN32
    _wremove(wide);
    const char ansi[] = "caf\xe9.words";      /* no valid UTF-8 */
    ASSERT_NE(f = fopen(ansi, "wb"), nullptr);
    fclose(f);
    EXPECT_EQ(OpenWords(ansi).opened, 0);
    remove(ansi);
#else
    remove(name);
#endif
}

TEST(WordFile, SourceSelector)
{
    std::string path = makefile(nine_words);
    EXPECT_EQ(dictsource(102), 0);
    EXPECT_EQ(dictsource(DICT_DISABLED), 1);
    EXPECT_EQ(dictsource(102), 0);
    EXPECT_EQ(dictopen(path.c_str()), 1);      /* still disabled */
    char word[WORD_MAX + 1] = "keep";
    int offset = 7, more = 7;
    EXPECT_EQ(dictposition("", 0), 1);
    EXPECT_EQ(dictnext(word, &offset, &more), 1);
    EXPECT_STREQ(word, "keep");
    EXPECT_EQ(offset + more, 14);
    EXPECT_EQ(dictclose(), 1);
    EXPECT_EQ(dictsource(DICT_FILE), 1);
    EXPECT_EQ(dictposition("", 0), 1);         /* nothing was opened */
    EXPECT_EQ(dictclose(), 1);
}

TEST(WordFile, OpenRefusesWhatIsNoReadableWordFile)
{
    dictsource(DICT_FILE);
    EXPECT_EQ(dictopen("no-such-file.words"), 1);
    EXPECT_EQ(dictopen("."), 1);               /* a folder */
#ifndef _WIN32
    /* a sparse file past what 32-bit offsets reach */
    std::string big = makefile("");
    ASSERT_EQ(truncate(big.c_str(), 0x80000010LL), 0);
    EXPECT_EQ(dictopen(big.c_str()), 1);
    EXPECT_EQ(errno, EFBIG);
    unlink(big.c_str());
#endif
}

TEST(WordFind, FindsEveryLineOfASortedFile)
{
    ASSERT_NE(wordopen(makefile("Able\nbaker\ncharlie\ndelta\necho\nfoxtrot\n").c_str(), 1), nullptr);
    const std::pair<const char *, int> lines[] = {
        {"able", 0}, {"baker", 5}, {"charlie", 11}, {"delta", 19}, {"echo", 25}, {"foxtrot", 30}};
    for (auto &l : lines) {
        char key[16];
        strcpy(key, l.first);
        EXPECT_EQ(wordfind(key), l.second) << l.first;
    }
    char upper[] = "DELTA";
    EXPECT_EQ(wordfind(upper), 19);
    EXPECT_STREQ(upper, "delta");
    for (const char *k : {"", "aardvark", "bak", "bakers", "zulu", "d"}) {
        char key[16];
        strcpy(key, k);
        EXPECT_EQ(wordfind(key), WORD_END) << k;
    }
    /* the reader goes on from a known place after a lookup */
    char line[WORD_LINEMAX + 1];
    EXPECT_EQ(wordseek(0), 1);
    EXPECT_EQ(wordread(line, sizeof line, nullptr), 0);
    EXPECT_STREQ(line, "able");
    wordclose();
}

TEST(WordFind, NegativeCodes)
{
    /* a probe inside the long line finds no line end in its window */
    ASSERT_NE(wordopen(makefile("a\n" + std::string(300, 'm') + "\nz\n").c_str(), 1), nullptr);
    char key[] = "n";
    EXPECT_EQ(wordfind(key), WORD_NOLINEEND);
    wordclose();

    char none[] = "a";
    EXPECT_EQ(wordfind(none), WORD_SEEKFAIL);   /* no file open */
    ASSERT_NE(wordopen(makefile("").c_str(), 1), nullptr);
    EXPECT_EQ(wordfind(none), WORD_END);
    wordclose();
}
