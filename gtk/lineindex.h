/*
** The results list's lines, in byte order, for a list of millions: a
** line goes in at the cost of its own text and length, whatever the list
** holds, and the line at any row is found in a few microseconds.
*/
#ifndef VEXLORE_GTK_LINEINDEX_H
#define VEXLORE_GTK_LINEINDEX_H

#include <memory>
#include <vector>

struct LineNode;

class LineIndex {
public:
    LineIndex();
    ~LineIndex();
    LineIndex(const LineIndex &) = delete;
    LineIndex &operator=(const LineIndex &) = delete;

    /* Keeps a copy of line; false, with nothing kept, when there is no
    ** memory for it. */
    bool add(const char *line);
    /* The line of the given row in byte order (strcmp's), or NULL past
    ** the last. Valid until the next clear. */
    const char *at(int row);
    int count() const;
    void clear();
    /* Bytes held beyond the lines' text, for the benchmark. */
    size_t overhead() const;

private:
    char *keep(const char *line, size_t n);

    LineNode *m_root;
    std::vector<std::unique_ptr<char[]>> m_blocks;    /* the text, never moved */
    char *m_next;           /* free room in the last block */
    size_t m_room;
    size_t m_text;          /* bytes of text held, terminators included */
};

#endif
