/*
** Fuzz target: the whole search and the fast search over a small fuzzed
** word file and text, against the reference enumerator of the tests and
** against each other. The input's bytes are
** mapped onto what the reference handles: texts of its letters (either
** case) and spaces; files of its letters with line feeds, CR LF line ends,
** lone carriage returns, capitals, empty lines, NUL bytes, tabs, bytes of
** 0x80 and above, and lines around the reader's length limits. The reader's
** rules decide which lines are words.
**
** Input: byte 0 is the search type (bit 0), the text's length (the rest of
** the byte modulo 20) and the limits (the rest divided by 20: 0 for none,
** else a line of at most that many words, of words of at least that
** number modulo 3 characters); then the text; then the file.
*/
#include <errno.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dictionary/dict.h"
#include "engine/fastsearch.h"
#include "engine/search.h"
#include "engine/stack.h"
#include "fuzz/fuzzcheck.h"
#include "tests/reference.h"
#include "tests/testutil.h"

/* Words examined before the search is stopped: enough for every small
** case, and it keeps an input that explodes into lines from taking long. */
#define FUZZ_BUDGET 20000

/* Left on the number stack across the search, which must take off exactly
** what it put on. */
#define FUZZ_MARK 0x5eed

static const char alphabet[] = REFERENCE_LETTERS;
static const int nletters = (int)sizeof alphabet - 1;

static std::string maptext(const uint8_t *p, size_t n)
{
    std::string text;
    for (size_t i = 0; i < n; i++) {
        int v = p[i] % 24;
        if (v < nletters)
            text += alphabet[v];
        else if (v < 2 * nletters)
            text += (char)(alphabet[v - nletters] & ~0x20);
        else
            text += ' ';
    }
    return text;
}

static std::string mapfile(const uint8_t *p, size_t n)
{
    std::string bytes;
    for (size_t i = 0; i < n; i++) {
        int v = p[i] & 0x1f, k = p[i] >> 5;
        if (v < nletters)
            bytes += alphabet[v];
        else if (v < 2 * nletters)
            bytes += (char)(alphabet[v - nletters] & ~0x20);
        else if (v < 25)
            bytes += '\n';
        else if (v == 25)
            bytes += "\r\n";
        else if (v == 26)
            bytes += '\0';
        else if (v == 27)
            bytes += '\r';
        else if (v == 28)
            bytes += std::string(33 + k, 'e');        /* about the longest word */
        else if (v == 29)
            bytes += std::string(76 + k, 'a');        /* about a reader's line */
        else if (v == 30)
            bytes += std::string(9000 * (k + 1), 's'); /* up to past a block */
        else
            bytes += k < 4 ? '\t' : '\xC4';
    }
    return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    int type = (data[0] & 1) ? MULTI_WORD : SINGLE_WORD;
    size_t textlen = std::min((size_t)(data[0] >> 1) % 20, size - 1);
    std::string text = maptext(data + 1, textlen);
    std::string bytes = mapfile(data + 1 + textlen, size - 1 - textlen);

    int limits = (data[0] >> 1) / 20;
    int most = limits ? limits : WORDS_MAX, shortest = limits % 3;
    maxwords = most;
    minlength = shortest;

    TestWindow win, fast;
    win.text = fast.text = text;
    win.type = fast.type = type;
    win.stopafter = fast.stopafter = FUZZ_BUDGET;
    int opened = dictopenbytes(bytes);
    /* two letters, each with a NUL after or before it: UTF-16, refused */
    if (opened != 0 && errno == EILSEQ && bytes.size() >= 4 &&
        ((bytes[0] && !bytes[1] && bytes[2] && !bytes[3]) ||
         (!bytes[0] && bytes[1] && !bytes[2] && bytes[3])))
        return 0;
    FUZZ_CHECK(opened == 0, "dictopen failed");
    ipush(FUZZ_MARK);
    int r = search(&win);
    FUZZ_CHECK(r == SEARCH_OK, "search returned %d", r);
    FUZZ_CHECK(strdepth() == 0, "%d entries left on the string stack", strdepth());
    FUZZ_CHECK(ipull() == FUZZ_MARK, "the number stack is out of step");
    FUZZ_CHECK(!win.busy, "the busy animation still plays");
    r = fastsearch(&fast);
    FUZZ_CHECK(r == SEARCH_OK, "fastsearch returned %d", r);
    FUZZ_CHECK(!fast.busy, "the busy animation still plays after the fast search");
    dictclose();
    maxwords = WORDS_MAX;
    minlength = 0;
    if (win.stop && fast.stop) {
        /* both stopped by the budget: what was found is still real */
        FUZZ_CHECK(!win.lines.empty() && !fast.lines.empty(), "a stopped search left an empty list");
        return 0;
    }

    Reference ref;
    std::vector<Word> words;
    readerwords(bytes, &words);
    for (const Word &w : words)
        ref.words.push_back(w.text);
    ref.multi = type == MULTI_WORD;
    ref.maxwords = (size_t)most;
    ref.minlength = (size_t)shortest;
    std::vector<std::string> want = ref.run(text);
    for (TestWindow *w : {&win, &fast}) {
        std::sort(w->lines.begin(), w->lines.end());
        if (w->stop) {
            /* stopped by the budget: what was found is still real */
            FUZZ_CHECK(!w->lines.empty(), "a stopped search left an empty list");
            continue;
        }
        if (w->lines != want) {
            std::string got, exp;
            for (const std::string &l : w->lines)
                got += l;
            for (const std::string &l : want)
                exp += l;
            FUZZ_CHECK(false, "text %s %s (limits %d) over %s:\n  %s gave %s\n  reference %s",
                       quoted(text).c_str(), type ? "multi" : "single", limits,
                       quoted(bytes).c_str(), w == &win ? "search" : "fastsearch",
                       quoted(got, 400).c_str(), quoted(exp, 400).c_str());
        }
    }
    return 0;
}
