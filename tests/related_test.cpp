// The relatedness file's reader against a file small enough to follow by
// hand, and against that file cut short or damaged.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <fstream>
#include <string>
#include <vector>

#include "model/related.h"
#include "tests/testutil.h"

namespace {

void varint(std::string &out, uint32_t v)
{
    for (; v >= 0x80; v >>= 7)
        out += (char)((v & 0x7f) | 0x80);
    out += (char)v;
}

void u32(std::string &out, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out += (char)(v >> 8 * i);
}

}  // namespace

std::string relfile(const std::vector<const char *> &words,
                    const std::vector<std::vector<uint32_t>> &bags,
                    const std::vector<std::pair<uint32_t, uint32_t>> &bases)
{
    std::string text, basebytes, bagbytes;
    for (const char *w : words)
        text += std::string(w) + '\0';
    for (size_t i = 0; i < bases.size(); i++) {
        varint(basebytes, i ? bases[i].first - bases[i - 1].first - 1 : bases[i].first);
        varint(basebytes, bases[i].second);
    }
    uint32_t heads = 0, last = 0;
    for (uint32_t h = 0; h < bags.size(); h++) {
        if (bags[h].empty())
            continue;
        varint(bagbytes, heads++ ? h - last - 1 : h);
        varint(bagbytes, (uint32_t)bags[h].size() - 1);
        for (size_t i = 0; i < bags[h].size(); i++)
            varint(bagbytes, i ? bags[h][i] - bags[h][i - 1] - 1 : bags[h][i]);
        last = h;
    }
    std::string f(REL_MAGIC, 8);
    for (uint32_t v : {(uint32_t)REL_VERSION, (uint32_t)words.size(), (uint32_t)text.size(),
                       (uint32_t)bases.size(), (uint32_t)basebytes.size(), heads, (uint32_t)bagbytes.size()})
        u32(f, v);
    return f + text + basebytes + bagbytes;
}

namespace {

// ids: chemist 0, chemists 1 (base: chemist), curie 2, lamp 3,
// madame curie 4, nurse 5, radium 6; each bag as the list gives it.
std::string tinyfile()
{
    return relfile({"chemist", "chemists", "curie", "lamp", "madame curie", "nurse", "radium"},
                   {{2}, {}, {0, 6}, {5}, {0, 6}, {3}, {2}}, {{1, 0}});
}

void save(const char *path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

TEST(Related, HandMadeFile)
{
    save("tiny.related", tinyfile());
    ASSERT_EQ(REL_OK, relload("tiny.related")) << relerror();
    EXPECT_EQ(7, relcount());
    EXPECT_EQ(4, relword("madame curie"));
    EXPECT_EQ(-1, relword("marie"));
    EXPECT_EQ(0, relbase(1));
    int bag[4];
    ASSERT_EQ(2, relbag("curie", bag, 4));
    EXPECT_EQ(0, bag[0]);
    EXPECT_EQ(6, bag[1]);
    EXPECT_EQ(1, relbag("chemists", bag, 1));  // its base form's bag
    EXPECT_EQ(2, bag[0]);
    EXPECT_EQ(0, relbag("marie", bag, 4));

    // the set of a text: the bags of its words and names, with their
    // inflections, never the text's own words nor theirs, nor its chunks,
    // nor its words' stems
    const struct { const char *text; int count; int id, why; } cases[] = {
        {"Madame Curie!", 3, 1, 2},   // chemists ~ curie, through chemist
        {"madame curie", 3, 6, 2},
        {"chemists", 1, 2, 1},        // curie ~ chemists; chemist, its own, not
        {"a nurse's lamp", 0, 3, -1}, // each the other's: both its own
        {"marie", 0, 2, -1},
        {"curie radiums", 2, 6, -1},  // radium: a chunk of the text
        {"curie chemic", 1, 0, -1},   // chemist: a word of the text in another form
        {"nurse clamps", 0, 3, -1},   // lamp: a run of its letters
    };
    RelSet set = {0, nullptr, 0};
    for (const auto &c : cases) {
        EXPECT_EQ(c.count, relset(&set, c.text)) << c.text;
        EXPECT_EQ(c.why, relrelated(&set, c.id)) << c.text;
    }
    EXPECT_EQ(-1, relrelated(&set, 7));
    relsetfree(&set);
    relfree();
    EXPECT_EQ(0, relset(&set, "curie"));   // nothing loaded: nothing related
}

// A damaged file is refused whole: cut short anywhere, a count or an id
// past what the file holds, its words out of order, a varint that does not
// end, a byte too many.
TEST(Related, DamagedFile)
{
    const std::string good = tinyfile();
    const size_t text = REL_HEADER, bags = good.size() - 20;
    std::vector<std::string> bad;
    for (size_t cut : {(size_t)0, (size_t)7, (size_t)REL_HEADER, text + 5, good.size() - 1})
        bad.push_back(good.substr(0, cut));
    auto poke = [&](size_t at, char c) { std::string b = good; b[at] = c; bad.push_back(b); };
    poke(8, 2);                       // version
    poke(12, 8);                      // words
    poke(20, 8);                      // bases
    poke(28, 9);                      // heads
    poke(text, 'd');                  // "dhemist" after "chemists"
    poke(text + 7, 'x');              // a word with no end
    poke(good.size() - 1, 0x7f);      // radium's bag: an id past the end
    poke(good.size() - 1, (char)0x80);  // a varint that runs off the end
    poke(bags, 0x7f);                 // the first head past the end
    poke(bags - 1, 0x7f);             // chemists's base past the end
    bad.push_back(good + '\0');
    for (size_t i = 0; i < bad.size(); i++) {
        save("bad.related", bad[i]);
        EXPECT_EQ(REL_BAD, relload("bad.related")) << "case " << i;
        EXPECT_EQ(0, relcount());
    }
    EXPECT_EQ(REL_NOFILE, relload("no-such.related"));
    save("bad.related", good);
    EXPECT_EQ(REL_OK, relload("bad.related")) << relerror();
    relfree();
}

// The file the build made: the text's glue ('a', 'in', 'of') relates to
// nothing, its words of meaning do.
TEST(Related, BuiltFile)
{
    if (relload(VEXLORE_TEST_RELATED) != REL_OK)
        GTEST_SKIP() << "no relatedness file was built";
    int bag[1];
    for (const char *glue : {"a", "in", "of", "to"})
        EXPECT_EQ(0, relbag(glue, bag, 1)) << glue;
    EXPECT_GT(relbag("shoplifter", bag, 1), 0);
    EXPECT_GT(relbag("curie", bag, 1), 0);
    relfree();
}
