/* Every version of the line scan against the plain one: on its own over
** texts built to hit group edges, and through the reader and the search
** over files built to hit block edges. */
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "dictionary/dict.h"
#include "dictionary/linescan.h"
#include "engine/search.h"
#include "tests/testutil.h"

using testing::internal::CaptureStderr;
using testing::internal::GetCapturedStderr;

typedef std::vector<std::pair<int, int>> Stops;

static std::vector<int> versions()
{
    std::vector<int> v;
    for (int k = SCAN_SSE2; k < SCAN_KINDS; k++)
        if (scanruns(k))
            v.push_back(k);
    return v;
}

static unsigned lackof(const char *letters)
{
    unsigned lack = (1u << 26) - 1;
    for (; *letters; letters++)
        lack &= ~(1u << (*letters - 'a'));
    return lack;
}

/* Walks the scan over text, placed shift bytes past a group boundary in a
** buffer whose bytes around it are line feeds and lacking letters: where
** each call stopped and what it counted, stepping over the line it
** stopped at. */
static Stops walk(int kind, const scanfilter *f, const std::string &text, int shift)
{
    const int slack = 2 * SCAN_ALIGN;
    std::vector<char> mem(text.size() + 2 * slack + SCAN_ALIGN);
    char *base = mem.data() + (SCAN_ALIGN - (uintptr_t)mem.data() % SCAN_ALIGN);
    for (size_t i = 0; i < mem.size() - (base - mem.data()); i++)
        base[i] = i % 3 ? 'q' : '\n';
    char *p = base + slack + shift;
    memcpy(p, text.data(), text.size());
    Stops out;
    int n = (int)text.size(), at = 0;
    while (at < n) {
        int passed = 0;
        at += scanwith(kind, f, p + at, n - at, &passed);
        out.push_back({at, passed});
        if (at < n)
            at += (int)((const char *)memchr(p + at, '\n', n - at) - (p + at)) + 1;
    }
    return out;
}

/* Each version stops where the plain one stops and counts what it counts,
** at every alignment. */
static void expectsame(const std::string &text, const std::vector<unsigned> &lacks,
                       const char *what)
{
    for (unsigned lack : lacks) {
        scanfilter f;
        scanletters(&f, lack);
        Stops want = walk(SCAN_PLAIN, &f, text, 0);
        for (int kind : versions())
            for (int shift = 0; shift < SCAN_ALIGN; shift++)
                ASSERT_EQ(walk(kind, &f, text, shift), want)
                    << what << ", " << scanname(kind) << ", shift " << shift << ", lack " << lack;
    }
}

/* Filters of every shape: nothing lacking, everything, and the runs of
** letters kept from one to thirteen (SSE2 tests ranges). */
static const std::vector<unsigned> shapes = {
    0, (1u << 26) - 1, lackof("astronomer"), lackof("elevenplustwo"), lackof("y"),
    lackof("acegikmoqsuwy"), lackof("az"), lackof("abcdefghijklmnopqrstuvwxy"),
};

TEST(LineScan, OddBytesInEveryPositionOfAGroup)
{
    /* lines that are all passed over under lack of 'z' ... */
    std::string plain;
    while (plain.size() < 3 * SCAN_ALIGN)
        plain += std::string("zebra\nzoo\nquiz\nazure\nfez\n").substr(plain.size() % 7);
    plain += "zz\n";
    const char odd[] = "AZ\r\x01 `{@[\x80\xC4\xFF\n";
    for (size_t i = 0; i + 1 < plain.size(); i++) {
        for (size_t j = 0; j < sizeof odd; j++) {   /* the last is the NUL byte */
            std::string text = plain;
            text[i] = odd[j];
            scanfilter f;
            scanletters(&f, lackof("aeiou"));
            Stops want = walk(SCAN_PLAIN, &f, text, 0);
            for (int kind : versions())
                for (int shift : {0, 1, 15, 31, 32, 47, 63})
                    ASSERT_EQ(walk(kind, &f, text, shift), want)
                        << scanname(kind) << ", byte " << (int)(unsigned char)odd[j] << " at "
                        << i << ", shift " << shift;
        }
    }
}

/* One call passing over hundreds of groups before it stops, then to the
** end: the count of a version that adds up its line feeds as it goes must
** not lose any when it sums them now and then. */
TEST(LineScan, ThousandsOfLinesInOneCall)
{
    const char *words[] = {"zoo", "quiz", "fez", "azure"};
    std::string text;
    for (int i = 0; text.size() < 40000; i++)
        text += std::string(words[i % 4]) + "\n";
    text += "eau\n" + text;    /* lacks nothing: the one stop */
    expectsame(text, {lackof("aeiou")}, "thousands of lines");
}

TEST(LineScan, LinesAroundTheLongestWord)
{
    std::string text;
    for (int len : {34, 35, 36, 37, 63, 64, 65, 70000, 35, 0, 36, 1})
        for (char c : {'z', 'e'})   /* lacking, then not */
            text += std::string(len, 'a') + c + "\n" + c + std::string(len, 'a') + "\n" + "zz\n";
    expectsame(text, {lackof("ae"), lackof("a"), lackof("")}, "long lines");
}

TEST(LineScan, RandomTexts)
{
    std::mt19937 rng(11);
    const char rare[] = "AQZ\r\t `{\x80\xFE";
    for (int round = 0; round < 60; round++) {
        std::string text;
        int size = 40 + (int)(rng() % 400);
        while ((int)text.size() < size) {
            unsigned r = rng() % 1000;
            if (r < 130)
                text += '\n';
            else if (r < 990)
                text += (char)('a' + rng() % (r & 1 ? 26 : 6));
            else if (r < 995)
                text += rare[rng() % (sizeof rare - 1)];
            else if (r < 997)
                text += '\0';
            else
                text += std::string(30 + rng() % 12, 'b');
        }
        text += '\n';
        std::vector<unsigned> lacks = shapes;
        lacks.push_back(rng() & ((1u << 26) - 1));
        expectsame(text, lacks, ("round " + std::to_string(round)).c_str());
    }
}

/* One pass as the search makes it, under the given version: the words
** dictscan returns, with their offsets, and after each the words passed
** over before it. */
static std::vector<std::string> scanpass(int kind, const std::string &path, const char *letters)
{
    std::vector<std::string> out;
    char word[WORD_MAX + 1];
    int offset = 0, more = 1, passed = 0;
    EXPECT_EQ(scanuse(kind), 1);
    OpenWords words(path);
    EXPECT_EQ(words.opened, 0);
    EXPECT_EQ(dictposition("", 0), 0);
    while (more) {
        EXPECT_EQ(dictscan(letters, word, &offset, &more, &passed), 0);
        out.push_back(std::to_string(passed) + " " + word + " " + std::to_string(offset));
    }
    return out;
}

/* A file of short plain lines up to a block's edge, whose last line feed
** ends the block, then atedge astride the edge, then more lines, the last
** without a line feed. */
static std::string blockfile(int edge, const std::string &atedge)
{
    std::string bytes;
    std::mt19937 rng(edge + (unsigned)atedge.size());
    while (edge - (int)bytes.size() > 12) {
        int len = 1 + (int)(rng() % 8);
        for (int i = 0; i < len; i++)
            bytes += (char)('a' + rng() % 26);
        bytes += '\n';
    }
    bytes += std::string(edge - (int)bytes.size() - 1, 'y') + "\n";
    bytes.resize(edge - (int)atedge.size() / 2);
    bytes += atedge;
    for (int i = 0; i < 3000; i++)
        bytes += i % 3 ? "zoology\n" : "tarot\n";
    return bytes + "zoo";
}

TEST(LineScan, PassesThroughTheReaderAcrossBlockEdges)
{
    const int block = 65536;
    std::vector<std::string> files = {
        blockfile(block, ""),                       /* a line feed as the block's last byte */
        blockfile(block, "\nsatin\n"),
        blockfile(block, "\nastronomers\n"),        /* a word across the edge */
        blockfile(block, std::string("\nAstro\r\nno\0mer\n", 15)),
        blockfile(block, "\n" + std::string(70000, 'z') + "\n"),
        blockfile(2 * block, "\n" + std::string(36, 'z') + "\n" + std::string(35, 'z') + "\n"),
    };
    int before = scankind();
    for (const std::string &bytes : files) {
        std::string path = makefile(bytes);
        for (const char *letters : {"mroo", "ymdrrioot", "", "abcdefghijklmnopqrstuvwxyz"}) {
            std::vector<std::string> want = scanpass(SCAN_PLAIN, path, letters);
            for (int kind : versions())
                EXPECT_EQ(scanpass(kind, path, letters), want) << scanname(kind) << " " << letters;
        }
    }
    scanuse(before);
}

TEST(LineScan, SearchesKeepTheirTraceAndCount)
{
    std::string bytes;
    std::mt19937 rng(9);
    for (int n = 0; bytes.size() < 100000; n++) {
        int len = 3 + (int)(rng() % 6);
        for (int i = 0; i < len; i++)
            bytes += (char)('a' + rng() % 26);
        bytes += rng() % 50 ? "\n" : "\r\n";
        if (n % 1000 == 0)
            bytes += nine_words;
    }
    std::string path = makefile(bytes);
    std::string want;
    int before = scankind();
    long long count = 0;
    for (int kind : {SCAN_PLAIN, SCAN_SSE2, SCAN_SSSE3, SCAN_AVX2, SCAN_AVX512}) {
        if (!scanuse(kind))
            continue;
        TestWindow win;
        win.text = "dirty room";
        win.type = MULTI_WORD;
        trace = 1;
        CaptureStderr();
        EXPECT_EQ(OpenWords(path).search(&win), SEARCH_OK);
        std::string got = GetCapturedStderr();
        trace = 0;
        EXPECT_EQ(win.pumps, examined);
        if (kind == SCAN_PLAIN) {
            want = got;
            count = examined;
            EXPECT_GT(std::count(want.begin(), want.end(), '\n'), 100);
        } else {
            EXPECT_EQ(got, want) << scanname(kind);
            EXPECT_EQ(examined, count) << scanname(kind);
        }
    }
    scanuse(before);
}
