// The model's lookup against a model small enough to score by hand, and
// the bounded ranking against its exhaustive twin with the real model.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "model/lmfile.h"
#include "model/rank.h"
#include "model/related.h"
#include "model/score.h"
#include "tests/testutil.h"

namespace {

struct Gram { int w, h1, h2; float p, bo; };  // h2 < 0: a bigram

// Writes a model of the words (ids 0..n-1, in byte order within each of
// the two runs: the first ngram, 0 for all, take part in n-grams) with
// every value at 16 bits: each distinct value is its own centre.
void writemodel(const char *path, const std::vector<const char *> &words, const float (*uni)[2],
                const std::vector<Gram> &grams, int bos, int eos, float unknown, uint32_t ngram = 0)
{
    std::map<float, uint32_t> c[5];
    auto centre = [&](int k, float v) { return c[k].emplace(v, (uint32_t)c[k].size()).first->second; };
    uint32_t n = (uint32_t)words.size(), nb = 0, nt = 0;
    ngram = ngram ? ngram : n;
    for (const Gram &g : grams)
        (g.h2 < 0 ? nb : nt)++;
    int wb = lmbits(ngram - 1), ub = 32 + lmbits(nb), bb = wb + 32 + lmbits(nt), tb = wb + 16;
    auto table = [](uint64_t entries, int bits) { return std::vector<unsigned char>((entries * bits + 7) / 8 + 8); };
    std::vector<unsigned char> ut = table(n + 1ull, ub), bt = table(nb + 1ull, bb), tt = table(nt, tb);
    uint32_t b = 0, t = 0;
    for (uint32_t w = 0; w <= n; w++) {  // grams come sorted by w, then h1, then h2
        uint64_t e = (uint64_t)w * ub;
        if (w < n)
            lmput(ut.data(), e, 16, centre(0, uni[w][0])), lmput(ut.data(), e + 16, 16, centre(1, uni[w][1]));
        lmput(ut.data(), e + 32, lmbits(nb), b);
        for (const Gram &g : grams) {
            if (g.w != (int)w)
                continue;
            if (g.h2 < 0) {
                lmput(bt.data(), b * bb, wb, g.h1);
                lmput(bt.data(), b * bb + wb, 16, centre(2, g.p));
                lmput(bt.data(), b * bb + wb + 16, 16, centre(3, g.bo));
                lmput(bt.data(), b * bb + wb + 32, lmbits(nt), t);
                b++;
            } else {
                lmput(tt.data(), t * tb, wb, g.h2);
                lmput(tt.data(), t * tb + wb, 16, centre(4, g.p));
                t++;
            }
        }
    }
    lmput(bt.data(), nb * bb + wb + 32, lmbits(nt), t);
    std::string text;
    for (const char *w : words)
        text += std::string(w) + '\0';
    unsigned char h[LM_HEADER] = {0};
    memcpy(h, LM_MAGIC, 8);
    uint32_t v[7] = {LM_VERSION, n, nb, nt, (uint32_t)text.size(), (uint32_t)bos, (uint32_t)eos};
    memcpy(h + 8, v, sizeof v);
    memcpy(h + 36, &unknown, 4);
    memset(h + 40, 16, 5);
    memcpy(h + 48, &ngram, 4);
    FILE *f = fopen(path, "wb");
    fwrite(h, 1, sizeof h, f);
    for (auto &k : c) {
        std::vector<float> at(1 << 16, 0);
        for (auto &kv : k)
            at[kv.second] = kv.first;
        fwrite(at.data(), 4, at.size(), f);
    }
    fwrite(ut.data(), 1, ut.size(), f);
    fwrite(bt.data(), 1, bt.size(), f);
    fwrite(tt.data(), 1, tt.size(), f);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

// The bounded ranking and its exhaustive twin give the same lines and
// scores for text out of cands.
void sametwins(const char *text, const std::vector<const char *> &cands, int most)
{
    RankQuery q = {text, cands.data(), (int)cands.size(), most, 3, 1, nullptr, nullptr, nullptr, 0};
    static RankLine a[RANK_MOST], b[RANK_MOST];
    int na = 0, nb = 0;
    ASSERT_EQ(RANK_OK, rankbest(&q, a, &na));
    ASSERT_EQ(RANK_OK, rankall(&q, b, &nb));
    ASSERT_EQ(nb, na) << text;
    for (int i = 0; i < na; i++) {
        EXPECT_STREQ(b[i].text, a[i].text) << text << " line " << i;
        EXPECT_FLOAT_EQ(b[i].score, a[i].score) << text << " line " << i;
    }
}

}  // namespace

// ids: </s> 0, <s> 1, dirty 2, room 3. Worked out by hand, in log10:
//   "dirty room": P(dirty|<s>) -1 (bigram), P(room|<s> dirty) -0.1
//     (trigram), P(</s>|dirty room) -0.4 (bigram) + bo(dirty room) -0.05
//     = -1.55
//   "room dirty": -2 + bo(<s>) -0.2, then -2 + bo(room) -0.3, then
//     -1 + bo(dirty) -0.5 = -6.0
//   "dirty moor", moor unknown (-5): -1, -5, then </s> after an unknown
//     word is its unigram -1 = -7; "moor dirty": -5, -2, -1.5 = -8.5
// and each word costs 1 more in the ranking's score.
TEST(Rank, HandMadeModel)
{
    const float uni[4][2] = {{-1, 0}, {-99, -0.2f}, {-2, -0.5f}, {-2, -0.3f}};
    std::vector<Gram> grams = {
        {0, 3, -1, -0.4f, 0}, {2, 1, -1, -1, 0}, {3, 2, -1, -0.5f, -0.05f}, {3, 2, 1, -0.1f, 0}};
    writemodel("tiny.model", {"</s>", "<s>", "dirty", "room"}, uni, grams, 1, 0, -5);
    ASSERT_EQ(LM_OK, lmload("tiny.model")) << lmerror();
    EXPECT_EQ(2, lmword("dirty"));
    EXPECT_EQ(LM_NONE, lmword("moor"));
    EXPECT_FLOAT_EQ(-2.3f, lmscore(2, 3, 1));   // no bigram: both back-offs

    // with a lead, the line is scored whole and the text's own set, lead
    // and all, is left out
    const char *dirty[] = {"dirty"};
    const struct { const char *text, *cands[3]; const char *line; float score; const char *const *lead; } cases[] = {
        {"dirtyroom", {"room", "dirty", "moor"}, "dirty room ", -3.55f, nullptr},
        {"moordirty", {"moor", "dirty", "dirty"}, "dirty moor ", -9.0f, nullptr},
        {"dirty room", {"room", "moor", "moor"}, "moor ", -9.0f, dirty},
    };
    for (const auto &c : cases) {
        RankQuery q = {c.text, c.cands, 3, 5, 3, 1, nullptr, nullptr, c.lead, c.lead ? 1 : 0};
        RankLine out[5];
        int n = 0;
        for (auto rank : {rankbest, rankall}) {
            ASSERT_EQ(RANK_OK, rank(&q, out, &n));
            ASSERT_GE(n, 1) << c.text;
            EXPECT_TRUE(!c.lead || n == 1) << "the text's own set listed";
            EXPECT_STREQ(c.line, out[0].text);
            EXPECT_NEAR(c.score, out[0].fluency, 1e-5);
        }
    }
    lmfree();
}

// The score's parts by hand, with the model above ('dirt', 'moor' and
// 'roomy' unknown) and a bag that relates 'moor' and 'dormitory':
//   "dirty moor" -9.0 + a bonus of 6 = -3.0 beats "dirty room" -3.55;
//   for 'dirtyroom', 'dirty' is a chunk: "dirty room" -3.55 - 5 = -8.55
//     beats "dirt roomy" (-5, -5, -1, less 2 for the words: -13) but not
//     when a chunk comes last;
//   for 'dirty room', "dirty moor" (-9, the text's 'dirty') comes after
//     "dirt roomy" but for a demotion of 2 (-11).
TEST(Rank, ScoreByHand)
{
    const float uni[4][2] = {{-1, 0}, {-99, -0.2f}, {-2, -0.5f}, {-2, -0.3f}};
    std::vector<Gram> grams = {
        {0, 3, -1, -0.4f, 0}, {2, 1, -1, -1, 0}, {3, 2, -1, -0.5f, -0.05f}, {3, 2, 1, -0.1f, 0}};
    writemodel("tiny.model", {"</s>", "<s>", "dirty", "room"}, uni, grams, 1, 0, -5);
    ASSERT_EQ(LM_OK, lmload("tiny.model")) << lmerror();
    std::ofstream("tiny.related", std::ios::binary) << relfile({"dormitory", "moor"}, {{1}, {0}}, {});
    ASSERT_EQ(REL_OK, relload("tiny.related")) << relerror();
    const ScoreRule keep = scorerule;
    const struct {
        const char *text; ScoreRule rule; const char *first, *second; float score, related, demoted;
    } cases[] = {
        {"dormitory", {6, 5, -1, 1, 0, -1}, "dirty moor ", "dirty room ", -3.0f, 6, 0},
        {"dirtyroom", {6, 5, -1, 1, 0, -1}, "dirty room ", "dirt roomy ", -8.55f, 0, -5},
        {"dirtyroom", {6, -1, -1, 1, 0, -1}, "dirt roomy ", "dirty room ", -13.0f, 0, 0},
        {"dirty room", {6, 5, -1, 1, 0, -1}, "dirt roomy ", "dirty moor ", -13.0f, 0, 0},
        {"dirty room", {6, 5, 2, 1, 0, -1}, "dirty moor ", "dirt roomy ", -11.0f, 0, -2},
        {"dormitory", {6, 5, -1, 5, 0, -1}, "dirty room ", "dirty moor ", -3.55f, 0, 0},  // 'moor' too short
    };
    const char *cands[] = {"dirt", "dirty", "moor", "room", "roomy"};
    for (const auto &c : cases) {
        scorerule = c.rule;
        RankQuery q = {c.text, cands, 5, 5, 3, 1, nullptr, nullptr, nullptr, 0};
        RankLine out[5];
        int n = 0;
        for (auto rank : {rankbest, rankall}) {
            ASSERT_EQ(RANK_OK, rank(&q, out, &n));
            ASSERT_GE(n, 2) << c.text;
            EXPECT_STREQ(c.first, out[0].text) << c.text;
            EXPECT_STREQ(c.second, out[1].text) << c.text;
            EXPECT_NEAR(c.score, out[0].score, 1e-5) << c.text;
            EXPECT_NEAR(c.related, out[0].related, 1e-5) << c.text;
            EXPECT_NEAR(c.demoted, out[0].demoted, 1e-5) << c.text;
        }
    }
    scorerule = keep;
    relfree();
    lmfree();
}

// A chunk: a run of 5 or more letters of a word of the text, or a word
// that holds a word of the text that long.
TEST(Rank, Chunks)
{
    const struct { const char *word, *text; int chunk; } cases[] = {
        {"master", "schoolmaster", 1}, {"schoolmasters", "schoolmaster", 1},
        {"elections", "election results", 1}, {"result", "election results", 1},
        {"clothespins", "clothes pins", 1}, {"machine", "slot machines", 1},
        {"post", "postmaster", 0},      // 4 letters
        {"slots", "slot machines", 0},  // holds 'slot', of 4
        {"steam", "master", 0}, {"lift", "a shoplifter", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.chunk, scorechunk(c.word, c.text)) << c.word << " for " << c.text;
}

// A damaged model is refused whole: cut short anywhere, or a word's link
// sent past the end.
TEST(Rank, DamagedModel)
{
    const float uni[4][2] = {{-1, 0}, {-99, 0}, {-2, 0}, {-2, 0}};
    writemodel("tiny.model", {"</s>", "<s>", "dirty", "room"}, uni, {{3, 2, -1, -1, 0}}, 1, 0, -5);
    std::ifstream in("tiny.model", std::ios::binary);
    std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t cut : {(size_t)0, (size_t)7, (size_t)LM_HEADER, whole.size() - 1}) {
        std::ofstream("cut.model", std::ios::binary) << whole.substr(0, cut);
        EXPECT_EQ(LM_BAD, lmload("cut.model")) << cut;
        EXPECT_EQ(nullptr, lmmodel());
    }
    std::string bad = whole;
    size_t uni0 = LM_HEADER + 5 * 4 * 65536;
    bad[uni0 + 4] = (char)0xff;     // word 0's first bigram
    std::ofstream("bad.model", std::ios::binary) << bad;
    EXPECT_EQ(LM_BAD, lmload("bad.model"));
    EXPECT_EQ(LM_NOFILE, lmload("no-such.model"));
}

// The bounded search lists exactly what scoring every order of every set
// lists, on texts small enough for that.
TEST(Rank, BoundedIsExhaustive)
{
    if (lmload(VEXLORE_TEST_MODEL) != LM_OK)
        GTEST_SKIP() << "no model at " VEXLORE_TEST_MODEL;
    std::ifstream list(VEXLORE_TEST_WORDS);
    std::vector<std::string> words;
    for (std::string w; std::getline(list, w);)
        words.push_back(w);
    std::vector<const char *> cands;
    for (const std::string &w : words)
        cands.push_back(w.c_str());
    for (const char *text : {"dormitory", "funeral", "debit card", "the eyes", "listen"}) {
        sametwins(text, cands, 20);
        EXPECT_TRUE(rankstats.exact) << text;
    }
    // with the bonus of the relatedness file, and the chunks
    if (relload(VEXLORE_TEST_RELATED) == REL_OK)
        for (const char *text : {"madam curie", "the eyes", "postmaster", "dirty room"})
            sametwins(text, cands, 20);
    relfree();
    lmfree();
}

// What the reader takes, the ranking holds: a word that heads no n-gram
// and backs off by +50 ('ab', in "ab cd") is within the bound, and ids
// 2^21 apart ('abc' and 'cab') are told apart.
TEST(Rank, CraftedModels)
{
    const float uni[5][2] = {{-1, 0}, {-99, 0}, {-2, 0}, {-3, 50}, {-3, 0}};
    writemodel("backoff.model", {"</s>", "<s>", "abcd", "ab", "cd"}, uni, {}, 1, 0, -40, 3);
    ASSERT_EQ(LM_OK, lmload("backoff.model")) << lmerror();
    sametwins("dcba", {"ab", "abcd", "cd"}, 1);
    writemodel("backoff.model", {"</s>", "<s>", "abcd", "ab", "cd"}, uni, {{3, 2, -1, -1, 0}}, 1, 0, -40, 3);
    EXPECT_EQ(LM_BAD, lmload("backoff.model"));     // 'ab' heads a bigram

    std::vector<std::string> names = {"</s>", "<s>", "abc"};
    for (uint32_t i = 0; i + 1 < 1u << 21; i++) {   // b + five letters, in byte order
        std::string w = "baaaaa";
        for (int k = 5, v = (int)i; k > 0; k--, v /= 26)
            w[k] = (char)('a' + v % 26);
        names.push_back(w);
    }
    names.push_back("cab");
    std::vector<const char *> words;
    std::vector<float> values;
    for (const std::string &w : names) {
        words.push_back(w.c_str());
        values.push_back(w == "</s>" || w == "abc" ? -1 : w == "cab" ? -20 : -30);
        values.push_back(0);
    }
    writemodel("many.model", words, (const float (*)[2])values.data(), {}, 1, 0, -40, 2);
    ASSERT_EQ(LM_OK, lmload("many.model")) << lmerror();
    ASSERT_EQ(lmword("abc") + (1 << 21), lmword("cab"));
    sametwins("bca", {"abc", "cab"}, 2);
    lmfree();
    remove("many.model");
}

// A model file cut short while it is loaded changes nothing of the model
// (a mapping of it would fault).
TEST(Rank, ModelCutWhileLoaded)
{
    const float uni[4][2] = {{-1, 0}, {-99, -0.2f}, {-2, -0.5f}, {-2, -0.3f}};
    writemodel("tiny.model", {"</s>", "<s>", "dirty", "room"}, uni, {{3, 2, -1, -0.5f, -0.05f}}, 1, 0, -5);
    ASSERT_EQ(LM_OK, lmload("tiny.model")) << lmerror();
    std::ofstream("tiny.model", std::ios::binary | std::ios::trunc).close();
    EXPECT_EQ(3, lmword("room"));
    EXPECT_FLOAT_EQ(-0.5f, lmscore(3, 2, 1));
    lmfree();
}
