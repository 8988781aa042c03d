/*
** Result lines kept within a memory budget: batches sorted in memory,
** spilled to temporary files as runs, and merged, sixteen runs at a time,
** on the way out. The runs hold the lines as they are printed.
*/
#include <errno.h>
#include <string.h>

#include <algorithm>
#include <new>

#include "cli/linestore.h"
#include "cli/platform.h"

#define RUN_BUFFER (1 << 16)    /* bytes of each run's stdio buffer */
#define RUN_LINE   1024         /* a run's longest line, with its terminator */

bool LineStore::Line::operator<(const Line &o) const
{
    if (key[0] != o.key[0])
        return key[0] < o.key[0];
    if (key[1] != o.key[1])
        return key[1] < o.key[1];
    return len > 16 && o.len > 16 && strcmp(text + 16, o.text + 16) < 0;
}

LineStore::~LineStore()
{
    for (Run &r : files)
        fclose(r.f);    /* and the system removes it */
}

int LineStore::fail(const char *what, int err)
{
    if (why.empty())
        why = std::string(what) + ": " + strerror(err);
    return -1;
}

/* Adds a new run file, with a buffer of its own, to files; -1 after
** fail(). */
int LineStore::newrun(std::string *dir)
{
    std::unique_ptr<char[]> buf(new char[RUN_BUFFER]);
    FILE *f = opentemp(dir);
    if (!f)
        return fail(("cannot make a temporary file in '" + *dir + "'").c_str(), errno);
    setvbuf(f, buf.get(), _IOFBF, RUN_BUFFER);
    files.push_back(Run{f, std::move(buf)});
    return 0;
}

static int putfile(const char *line, size_t n, void *ctx)
{
    return fwrite(line, 1, n, (FILE *)ctx) == n ? 0 : -1;
}

/* Writes the lines in memory, sorted, to a new run, and empties the
** memory for more; sixteen runs become one. */
int LineStore::spill()
{
    std::string dir;
    std::sort(lines.begin(), lines.end());
    if (newrun(&dir))
        return -1;
    FILE *f = files.back().f;
    for (const Line &l : lines)
        if (putfile(l.text, l.len, f))
            break;
    if (fflush(f) != 0 || ferror(f))
        return fail(("cannot write a temporary file in '" + dir + "'").c_str(),
                    errno ? errno : EIO);
    spilled++;
    lines.clear();      /* keeps its room, as the blocks are kept */
    block = 0;
    used = 0;
    if (files.size() < STORE_FAN)
        return 0;
    std::vector<Run> from;
    from.swap(files);
    int r = newrun(&dir);
    if (r == 0) {
        r = merge(from, false, putfile, files.back().f);
        if (r == 0 && (fflush(files.back().f) != 0 || ferror(files.back().f)))
            r = -1;
        if (r == -1)
            fail(("cannot write a temporary file in '" + dir + "'").c_str(), errno ? errno : EIO);
    }
    for (Run &old : from)
        fclose(old.f);
    return r;
}

/* Makes room for a line of n bytes and its entry, spilling when the
** budget would be passed. The budget counts the entries (twice while they
** move to a larger array) and the text blocks. */
int LineStore::room(size_t n)
{
    if (blocksize == 0)
        blocksize = std::min((size_t)1 << 20, budget / 8);
    size_t entry = sizeof(Line);
    if (lines.size() == lines.capacity()) {
        size_t cap = lines.capacity(), want = cap ? 2 * cap : 1024;
        if ((cap + want) * entry + blocks.size() * blocksize <= budget)
            lines.reserve(want);
        else if (spill())
            return -1;
    }
    if (!blocks.empty() && used + n + 1 <= blocksize)
        return 0;
    if (!blocks.empty() && block + 1 < blocks.size()) {
        block++;
        used = 0;
        return 0;
    }
    if (blocks.empty() || lines.capacity() * entry + (blocks.size() + 1) * blocksize <= budget) {
        blocks.emplace_back(new char[blocksize]);
        block = blocks.size() - 1;
        used = 0;
        return 0;
    }
    return spill();     /* leaves block 0 empty */
}

int LineStore::add(const char *line, size_t n)
{
    if (!why.empty())
        return -1;
    if (n + 1 > RUN_LINE)
        return fail("a result line too long to keep", EINVAL);
    try {
        if (room(n))
            return -1;
    } catch (const std::bad_alloc &) {
        return fail("cannot keep the results in memory", ENOMEM);
    }
    char *text = blocks[block].get() + used;
    memcpy(text, line, n + 1);
    used += n + 1;
    Line l = {{0, 0}, text, n};
    for (size_t i = 0; i < 16 && i < n; i++)
        l.key[i / 8] |= (uint64_t)(unsigned char)line[i] << (56 - 8 * (i % 8));
    lines.push_back(l);     /* room() made room: no allocation */
    total++;
    return 0;
}

/* One source of a merge: a run read back line by line, or the sorted
** lines in memory. */
struct Source {
    FILE *f;
    size_t next;            /* in memory: the line after head */
    char buf[RUN_LINE];
    const char *head;       /* its first line not yet merged, or NULL */
    size_t len;
};

/* Hands the lines of the runs from, and those in memory when withmemory is
** set, to put, in order. */
int LineStore::merge(std::vector<Run> &from, bool withmemory,
                     int (*put)(const char *line, size_t n, void *ctx), void *ctx)
{
    std::vector<Source> src(from.size() + (withmemory ? 1 : 0));
    /* read the next line of s into head; -1 when a run cannot be read */
    auto advance = [this](Source &s) -> int {
        if (!s.f) {
            s.head = s.next < lines.size() ? lines[s.next].text : NULL;
            s.len = s.head ? lines[s.next++].len : 0;
            return 0;
        }
        if (!fgets(s.buf, sizeof s.buf, s.f)) {
            s.head = NULL;
            return ferror(s.f) ? fail("cannot read back a temporary file", errno ? errno : EIO)
                               : 0;
        }
        s.head = s.buf;
        s.len = strlen(s.buf);
        if (s.len == 0 || s.buf[s.len - 1] != '\n')
            return fail("cannot read back a temporary file", EILSEQ);
        return 0;
    };
    for (size_t i = 0; i < src.size(); i++) {
        src[i].f = i < from.size() ? from[i].f : NULL;
        src[i].next = 0;
        if (src[i].f && (fflush(src[i].f) != 0 || fseek(src[i].f, 0, SEEK_SET) != 0))
            return fail("cannot read back a temporary file", errno ? errno : EIO);
        if (advance(src[i]))
            return -1;
    }
    /* a heap of the sources by their first lines, smallest on top */
    std::vector<Source *> heap;
    for (Source &s : src)
        if (s.head)
            heap.push_back(&s);
    auto later = [](const Source *a, const Source *b) { return strcmp(a->head, b->head) > 0; };
    std::make_heap(heap.begin(), heap.end(), later);
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), later);
        Source *s = heap.back();
        int r = put(s->head, s->len, ctx);
        if (r)
            return r;
        if (advance(*s))
            return -1;
        if (s->head)
            std::push_heap(heap.begin(), heap.end(), later);
        else
            heap.pop_back();
    }
    return 0;
}

int LineStore::each(int (*put)(const char *line, size_t n, void *ctx), void *ctx)
{
    std::sort(lines.begin(), lines.end());
    if (files.empty()) {
        for (const Line &l : lines) {
            int r = put(l.text, l.len, ctx);
            if (r)
                return r;
        }
        return 0;
    }
    return merge(files, true, put, ctx);
}
