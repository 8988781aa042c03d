/*
** The finder's result lines in bounded memory, as sort(1) keeps them: the
** lines gather in memory up to a budget, each full batch goes sorted to a
** temporary file as a run, and the runs are merged as they are printed.
*/
#ifndef VEXLORE_LINESTORE_H
#define VEXLORE_LINESTORE_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <memory>
#include <string>
#include <vector>

/* Memory the lines may take by default, and at least. */
#define STORE_DEFAULT ((size_t)256 << 20)
#define STORE_MIN     ((size_t)64 << 10)

/* Runs merged at once: open files, and read buffers, at most. */
#define STORE_FAN 16

class LineStore {
public:
    explicit LineStore(size_t budget = STORE_DEFAULT) : budget(budget) {}
    LineStore(const LineStore &) = delete;
    LineStore &operator=(const LineStore &) = delete;
    ~LineStore();

    /* Adds a line of n bytes; a line that is to be merged from a run ends
    ** with a line feed and holds no other. Returns 0, or -1 when memory or
    ** the temporary file failed: error() says what, and every later call
    ** fails too. */
    int add(const char *line, size_t n);
    long long count() const { return total; }
    int runs() const { return spilled; }
    const char *error() const { return why.c_str(); }

    /* Hands every line to put in sorted byte order, and stops at the first
    ** put that returns other than 0, returning that. -1 when a run cannot
    ** be read back (error() says why). */
    int each(int (*put)(const char *line, size_t n, void *ctx), void *ctx);

private:
    /* A line in memory: its first sixteen bytes as two numbers that order
    ** as the bytes do, so that most comparisons of a sort never reach the
    ** text. */
    struct Line {
        uint64_t key[2];
        const char *text;
        size_t len;
        bool operator<(const Line &o) const;
    };

    size_t budget;
    std::vector<Line> lines;
    std::vector<std::unique_ptr<char[]>> blocks;   /* the lines' text */
    size_t blocksize = 0;
    size_t block = 0;       /* the block being filled, once there is one */
    size_t used = 0;        /* bytes of it filled */
    struct Run {
        FILE *f;
        std::unique_ptr<char[]> buf;    /* its stdio buffer */
    };
    std::vector<Run> files;     /* the runs on disk, each sorted */
    long long total = 0;
    int spilled = 0;
    std::string why;

    int fail(const char *what, int err);
    int room(size_t n);
    int spill();
    int newrun(std::string *dir);
    int merge(std::vector<Run> &from, bool withmemory,
              int (*put)(const char *line, size_t n, void *ctx), void *ctx);
};

#endif
