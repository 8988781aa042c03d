/*
** Fuzz target: the letter operations against a model that keeps counts
** instead of marking slots. The input is two strings split at its first
** NUL byte: letters (or src) and word (or s).
*/
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/letters.h"
#include "fuzz/fuzzcheck.h"

/* Longer strings only slow the sorts down: past the 80 characters of a
** working copy there is nothing new to find. */
#define FUZZ_STRMAX 300

/* The characters of src that take part in matching, as counts. */
static void workcounts(const std::string &src, int counts[256])
{
    memset(counts, 0, 256 * sizeof counts[0]);
    for (size_t i = 0; i < src.size() && i < LETTERS_COPY; i++)
        counts[(unsigned char)src[i]]++;
}

/* Takes c out of counts if it is there; a used slot turns into a space. */
static bool take(int counts[256], unsigned char c)
{
    if (counts[c] == 0)
        return false;
    counts[c]--;
    counts[' ']++;
    return true;
}

static int modelcontains(const std::string &letters, const std::string &word)
{
    int counts[256];
    workcounts(letters, counts);
    for (char c : word)
        if (!take(counts, (unsigned char)c))
            return 0;
    return 1;
}

static std::string modelminus(const std::string &s, const std::string &src)
{
    int counts[256];
    workcounts(src, counts);
    std::string out;
    for (char c : s)
        if (!take(counts, (unsigned char)c))
            out += c;
    return out;
}

static int freqkey(char c)
{
    return (c >= 'a' && c <= 'z') ? letter_freq[c - 'a'] : 1 << 20;
}

static std::string modelsort(std::string s, int (*key)(char))
{
    std::stable_sort(s.begin(), s.end(), [key](char x, char y) { return key(x) < key(y); });
    return s;
}

/* The engine works on buffers of exactly the size its contract asks for,
** so that the address sanitizer sees any byte written past one. */
static std::vector<char> cbuf(const std::string &s)
{
    return std::vector<char>(s.c_str(), s.c_str() + s.size() + 1);
}

static void checksorts(const std::string &s)
{
    std::vector<char> src = cbuf(s), dst(s.size() + 1, '#');
    freqsort(src.data(), dst.data());
    FUZZ_CHECK(std::string(dst.data()) == modelsort(s, freqkey),
               "freqsort(%s) gave %s", quoted(s).c_str(), quoted(dst.data()).c_str());
    std::fill(dst.begin(), dst.end(), '#');
    alphasort(src.data(), dst.data());
    auto signedkey = [](char c) { return (int)(signed char)c; };
    FUZZ_CHECK(std::string(dst.data()) == modelsort(s, signedkey),
               "alphasort(%s) gave %s", quoted(s).c_str(), quoted(dst.data()).c_str());
    FUZZ_CHECK(std::string(src.data()) == s, "a sort changed its source");
}

static void checklower(const std::string &s)
{
    std::vector<char> buf = cbuf(s);
    FUZZ_CHECK(strlower(buf.data()) == buf.data(), "strlower returned another pointer");
    for (size_t i = 0; i < s.size(); i++) {
        unsigned char c = (unsigned char)s[i];
        char want = (c >= 'A' && c <= 'Z') ? (char)(c | 0x20) : (char)c;
        FUZZ_CHECK(buf[i] == want, "strlower(%s) changed byte %zu", quoted(s).c_str(), i);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string in((const char *)data, size);
    size_t nul = in.find('\0');
    std::string a = in.substr(0, nul), b;
    if (nul != std::string::npos)
        b = in.substr(nul + 1, in.find('\0', nul + 1) - nul - 1);
    if (a.size() > FUZZ_STRMAX)
        a.resize(FUZZ_STRMAX);
    if (b.size() > FUZZ_STRMAX)
        b.resize(FUZZ_STRMAX);

    std::vector<char> ca = cbuf(a), cb = cbuf(b);
    for (int swap = 0; swap < 2; swap++) {
        const std::string &x = swap ? b : a, &y = swap ? a : b;
        const char *px = swap ? cb.data() : ca.data(), *py = swap ? ca.data() : cb.data();
        int got = strcontains(px, py);
        FUZZ_CHECK(got == modelcontains(x, y), "strcontains(%s, %s) gave %d",
                   quoted(x).c_str(), quoted(y).c_str(), got);
        std::vector<char> out(y.size() + 1, '#');
        strminus(py, px, out.data());
        std::string want = modelminus(y, x);
        FUZZ_CHECK(std::string(out.data()) == want, "strminus(%s, %s) gave %s, not %s",
                   quoted(y).c_str(), quoted(x).c_str(), quoted(out.data()).c_str(),
                   quoted(want).c_str());
    }
    FUZZ_CHECK(std::string(ca.data()) == a && std::string(cb.data()) == b,
               "a letter operation changed a string it only reads");
    checksorts(a);
    checklower(a);
    return 0;
}
