/*
** The results list's lines in byte order. The lines sit in buckets by
** their first bytes: a bucket that grows past BUCKET_MAX lines splits into
** one bucket for each next byte, so a line goes in by a walk as deep as
** the bytes it shares with many others. A bucket is sorted only when a row
** in it is wanted, and only if lines came since; every node counts the
** lines below it, so a row is found by counting down from the top.
*/
#include <string.h>

#include <algorithm>
#include <new>

#include "gtk/lineindex.h"

#define BLOCK_SIZE (1 << 20)    /* bytes of text in one block */
#define BUCKET_MAX 2048         /* lines a bucket holds before it splits */

/* A bucket, or, once split, a node with a child for each next byte that
** some line below it holds. Every line below shares its first depth bytes. */
struct LineNode {
    explicit LineNode(int d) : depth(d) {}
    ~LineNode()
    {
        if (child)
            for (int c = 1; c < 256; c++)
                delete child[c];
        delete[] child;
    }

    int depth;
    int count = 0;              /* lines below, ends included */
    std::vector<const char *> lines;    /* a bucket's, sorted if sorted */
    bool sorted = true;
    LineNode **child = NULL;    /* a split node's 256, by the byte at depth */
    int ends = 0;               /* lines of just depth bytes: all the same */
    const char *end = NULL;     /* one of them */
};

LineIndex::LineIndex() : m_root(new LineNode(0)), m_next(NULL), m_room(0), m_text(0) {}

LineIndex::~LineIndex()
{
    delete m_root;
}

/* A copy of the line's n bytes in the last block, or a new one; NULL
** when there is no memory for it. */
char *LineIndex::keep(const char *line, size_t n)
{
    if (n > m_room) {
        size_t size = n > BLOCK_SIZE ? n : BLOCK_SIZE;
        try {
            m_blocks.emplace_back(new char[size]);
        } catch (const std::bad_alloc &) {
            return NULL;
        }
        m_next = m_blocks.back().get();
        m_room = size;
    }
    char *at = m_next;
    memcpy(at, line, n);
    m_next += n;
    m_room -= n;
    m_text += n;
    return at;
}

/* Splits a bucket by the byte after its depth, and each new bucket that is
** still too big. The children are all made before a line moves: with no
** memory for them the bucket stays whole, merely slower to sort. */
static void split(LineNode *node)
{
    int sizes[256] = {0};
    for (const char *line : node->lines)
        sizes[(unsigned char)line[node->depth]]++;
    LineNode **child = new (std::nothrow) LineNode *[256]();
    if (!child)
        return;
    try {
        for (int c = 1; c < 256; c++)
            if (sizes[c]) {
                child[c] = new LineNode(node->depth + 1);
                child[c]->lines.reserve(sizes[c]);
            }
    } catch (const std::bad_alloc &) {
        for (int c = 1; c < 256; c++)
            delete child[c];
        delete[] child;
        return;
    }
    for (const char *line : node->lines) {
        unsigned char c = (unsigned char)line[node->depth];
        if (c == 0) {
            node->ends++;
            node->end = line;
        } else {
            child[c]->lines.push_back(line);
            child[c]->count++;
        }
    }
    std::vector<const char *>().swap(node->lines);
    node->child = child;
    for (int c = 1; c < 256; c++)
        if (child[c]) {
            child[c]->sorted = node->sorted || child[c]->count < 2;
            if (child[c]->count > BUCKET_MAX)
                split(child[c]);
        }
}

/* The walk finds the bucket, or the node the line ends at, and the counts
** on the way go up only once the line is in. */
bool LineIndex::add(const char *line)
{
    char *text = keep(line, strlen(line) + 1);
    if (!text)
        return false;
    LineNode *node = m_root;
    while (node->child) {
        unsigned char c = (unsigned char)text[node->depth];
        if (c == 0)
            break;
        if (!node->child[c]) {
            node->child[c] = new (std::nothrow) LineNode(node->depth + 1);
            if (!node->child[c])
                return false;
        }
        node = node->child[c];
    }
    if (node->child) {
        node->ends++;
        node->end = text;
    } else {
        try {
            node->lines.push_back(text);
        } catch (const std::bad_alloc &) {
            return false;
        }
        node->sorted = node->lines.size() < 2;
    }
    for (LineNode *up = m_root; up != node; up = up->child[(unsigned char)text[up->depth]])
        up->count++;
    node->count++;
    if (!node->child && node->count > BUCKET_MAX)
        split(node);
    return true;
}

const char *LineIndex::at(int row)
{
    if (row < 0 || row >= m_root->count)
        return NULL;
    LineNode *node = m_root;
    while (node->child) {
        if (row < node->ends)
            return node->end;
        row -= node->ends;
        for (int c = 1; c < 256; c++) {
            LineNode *next = node->child[c];
            if (!next)
                continue;
            if (row < next->count) {
                node = next;
                break;
            }
            row -= next->count;
        }
    }
    if (!node->sorted) {
        /* every line here shares the first depth bytes */
        int d = node->depth;
        std::sort(node->lines.begin(), node->lines.end(),
                  [d](const char *a, const char *b) { return strcmp(a + d, b + d) < 0; });
        node->sorted = true;
    }
    return node->lines[row];
}

int LineIndex::count() const
{
    return m_root->count;
}

void LineIndex::clear()
{
    delete m_root;
    m_root = new LineNode(0);
    m_blocks.clear();
    m_next = NULL;
    m_room = 0;
    m_text = 0;
}

static size_t nodebytes(const LineNode *node)
{
    size_t n = sizeof *node + node->lines.capacity() * sizeof(const char *);
    if (node->child) {
        n += 256 * sizeof(LineNode *);
        for (int c = 1; c < 256; c++)
            if (node->child[c])
                n += nodebytes(node->child[c]);
    }
    return n;
}

size_t LineIndex::overhead() const
{
    /* a line is far shorter than a block: every block is BLOCK_SIZE */
    size_t blocks = m_blocks.size() * (size_t)BLOCK_SIZE;
    return nodebytes(m_root) + (blocks - m_text) + m_blocks.capacity() * sizeof m_blocks[0];
}
