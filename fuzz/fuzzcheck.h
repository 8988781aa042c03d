/*
** What the fuzz targets share: a check that stops the run with a message,
** and the one scratch word file each target rewrites for every input.
*/
#ifndef VEXLORE_FUZZCHECK_H
#define VEXLORE_FUZZCHECK_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

/* On failure: writes what failed, with the input's size, and aborts, which
** both libFuzzer and the replay report together with the input. */
#define FUZZ_CHECK(cond, ...) \
    do { if (!(cond)) fuzzfail(__FILE__, __LINE__, #cond, __VA_ARGS__); } while (0)

[[noreturn]] void fuzzfail(const char *file, int line, const char *cond, const char *fmt, ...);

/* Writes bytes to a scratch word file and opens it with dictopen, then
** removes its name, so that nothing is left behind however the process
** ends. Returns what dictopen returns. */
int dictopenbytes(const std::string &bytes);

/* A word of a word file and the offset its line starts at. */
struct Word {
    std::string text;
    int offset;
    bool operator==(const Word &o) const { return text == o.text && offset == o.offset; }
};

/* The words of a file by the reader's rules: lines split at line feeds, a
** carriage return before the line feed dropped, the last line kept even
** without a line feed, capitals folded; lines longer than 35 characters or
** holding a NUL byte are no words. Fills *out (which keeps its capacity
** from one input to the next). */
void readerwords(const std::string &bytes, std::vector<Word> *out);

/* Bytes as a C string literal, cut after max bytes, for messages. */
std::string quoted(const std::string &bytes, size_t max = 120);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

#endif
