/*
** Fuzz target: the word file reader fed arbitrary bytes as a word file.
** Every word the dictionary layer hands out must be exactly a line that
** passes the reader's rules, at the offset where that line starts, and
** moving back to any of those offsets must go on from there. The bytes are
** read twice: alone, and after filler lines that put them across the
** reader's first block refill.
*/
#include <errno.h>
#include <string.h>

#include <string>
#include <vector>

#include "dictionary/dict.h"
#include "dictionary/wordfile.h"
#include "fuzz/fuzzcheck.h"

/* The reader's block size: filler of about this length makes the fuzzed
** bytes straddle the first refill. */
#define FUZZ_BLOCK 65536

/* Positionings and lookups tried per file; enough to cover small files
** whole, few enough to keep large ones quick. */
#define FUZZ_PROBES 24

static bool linestart(const std::string &bytes, int offset)
{
    return offset == 0 || (offset > 0 && (size_t)offset <= bytes.size() && bytes[offset - 1] == '\n');
}

/* One dictnext into a word buffer of exactly WORD_MAX + 1 bytes on the
** heap, so that the address sanitizer sees a byte written past it. */
static bool next(Word *w, const std::string &bytes)
{
    static std::vector<char> buf(WORD_MAX + 1);
    int offset = -7, more = -7;
    FUZZ_CHECK(dictnext(buf.data(), &offset, &more) == 0, "dictnext failed on an open file");
    FUZZ_CHECK(more == 0 || more == 1, "more is %d", more);
    w->text = buf.data();
    w->offset = offset;
    FUZZ_CHECK(w->text.size() <= WORD_MAX, "a word of %zu characters", w->text.size());
    if (!more) {
        FUZZ_CHECK(w->text.empty() && offset == 0, "end of file gave %s at %d",
                   quoted(w->text).c_str(), offset);
        return false;
    }
    FUZZ_CHECK(linestart(bytes, offset), "offset %d is no line start", offset);
    return true;
}

static void checkfile(const std::string &bytes)
{
    static std::vector<Word> want, got;
    readerwords(bytes, &want);
    got.clear();
    int opened = dictopenbytes(bytes);
    /* two letters, each with a NUL after or before it: UTF-16, refused */
    if (opened != 0 && errno == EILSEQ && bytes.size() >= 4 &&
        ((bytes[0] && !bytes[1] && bytes[2] && !bytes[3]) ||
         (!bytes[0] && bytes[1] && !bytes[2] && bytes[3])))
        return;
    FUZZ_CHECK(opened == 0, "dictopen failed");
    FUZZ_CHECK(dictposition("", 0) == 0, "dictposition at 0 failed");
    Word w;
    while (next(&w, bytes)) {
        got.push_back(w);
        FUZZ_CHECK(got.size() <= want.size(), "more words than lines that pass");
    }
    FUZZ_CHECK(!next(&w, bytes), "a read after the end found a word");
    FUZZ_CHECK(got == want, "%zu words, %zu expected; file %s", got.size(), want.size(),
               quoted(bytes).c_str());

    /* back to a word's offset: with its word the line is passed over and
    ** the next word follows; with an empty word the word itself comes */
    size_t n = got.size();
    size_t step = n > FUZZ_PROBES ? n / FUZZ_PROBES : 1;
    for (size_t i = n; i-- > 0;) {
        if (i % step != 0 && i + 3 < n)
            continue;
        FUZZ_CHECK(dictposition(got[i].text.empty() ? "x" : got[i].text.c_str(), got[i].offset) == 0,
                   "dictposition(%d) failed", got[i].offset);
        bool more = next(&w, bytes);
        FUZZ_CHECK(i + 1 < n ? more && w == got[i + 1] : !more,
                   "after the word at %d came %s at %d", got[i].offset, quoted(w.text).c_str(), w.offset);
        FUZZ_CHECK(dictposition("", got[i].offset) == 0, "dictposition(\"\", %d) failed", got[i].offset);
        FUZZ_CHECK(next(&w, bytes) && w == got[i], "word at %d read back as %s at %d",
                   got[i].offset, quoted(w.text).c_str(), w.offset);
    }
    int size = (int)bytes.size();
    FUZZ_CHECK(wordseek(size) == 1 && wordseek(size + 1) == 0 && wordseek(-1) == 0,
               "wordseek bounds of a file of %d bytes", size);
    FUZZ_CHECK(dictposition("", size) == 0 && !next(&w, bytes), "positioning at the end");

    /* lookups never crash, and a hit is a line starting with the key */
    for (size_t i = 0; i < n; i += step) {
        std::vector<char> key(got[i].text.c_str(), got[i].text.c_str() + got[i].text.size() + 1);
        int at = wordfind(key.data());
        FUZZ_CHECK(at >= WORD_SEEKFAIL && at != WORD_READFAIL, "wordfind gave %d", at);
        if (at >= 0) {
            FUZZ_CHECK(linestart(bytes, at), "wordfind gave %d, no line start", at);
            std::string line = bytes.substr(at, got[i].text.size());
            for (char &c : line)
                if (c >= 'A' && c <= 'Z')
                    c |= 0x20;
            FUZZ_CHECK(line == got[i].text, "wordfind(%s) gave the line at %d",
                       quoted(got[i].text).c_str(), at);
        }
    }
    /* after a lookup the reader starts over from a known place */
    if (n > 0) {
        FUZZ_CHECK(dictposition("", got[0].offset) == 0 && next(&w, bytes) && w == got[0],
                   "first word after the lookups");
    }
    FUZZ_CHECK(dictclose() == 0, "dictclose failed");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string bytes((const char *)data, size);
    checkfile(bytes);

    long fill = FUZZ_BLOCK - (long)(size + 1) / 2;
    if (fill > 0) {
        std::string filler;
        const std::string line = "fillerfiller\n";   /* no heap for such words */
        while ((long)(filler.size() + line.size()) <= fill)
            filler += line;
        filler += std::string((size_t)(fill - (long)filler.size()), 'f');
        if (!filler.empty())
            filler.back() = '\n';
        checkfile(filler + bytes);
    }
    return 0;
}
