/*
** makemodel: turns the CMU Sphinx trigram model (its binary trie, as
** Debian's pocketsphinx-en-us ships it) into the model file --best reads.
** Every word of the model is kept with its unigram; a bigram or trigram is
** kept only where each of its words is in the word file (or is <s> or
** </s>), as a search over that file can meet no other. Those words take
** the low ids, so an id in an n-gram needs fewer bits.
** usage: makemodel SPHINX.lm.bin WORDS OUT [PROBBITS [BOBITS]]
*/
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "model/lmfile.h"

/* The source: a trie that runs from the predicted word back, as ours does,
** with 16-bit quantised values in tables of 65536 floats, log base 1.0001. */
static const char sphinxmagic[] = "Trie Language Model";
#define SPHINX_QBITS 16
#define UNIBITS 16      /* the unigrams are few: their values stay as they are */
static const double sphinxlog10 = 4.3427276862669e-05;   /* log10(1.0001) */

static std::vector<unsigned char> file;

static void die(const char *msg)
{
    fprintf(stderr, "makemodel: %s\n", msg);
    exit(1);
}

static const unsigned char *need(size_t at, size_t n)
{
    if (at > file.size() || n > file.size() - at)
        die("the Sphinx model is shorter than its counts say");
    return file.data() + at;
}

static uint32_t u32(size_t at)
{
    const unsigned char *p = need(at, 4);
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

static float f32(size_t at)
{
    float f;
    memcpy(&f, need(at, 4), 4);
    return f;
}

struct Bigram { uint32_t w, h1; float p, bo; std::vector<std::pair<uint32_t, float>> tri; };

/* The index of the centre nearest to x. */
static uint32_t nearest(const std::vector<float> &c, float x)
{
    size_t i = std::lower_bound(c.begin(), c.end(), x) - c.begin();
    if (i == c.size())
        return (uint32_t)(i - 1);
    if (i > 0 && x - c[i - 1] <= c[i] - x)
        return (uint32_t)(i - 1);
    return (uint32_t)i;
}

/* Centres for values: the distinct values where they are few enough, else
** the means of 2^bits bins of equal count, then moved a few times to the
** mean of the values nearest to each (which narrows the sparse bins at the
** ends, where the common words' values are). */
static std::vector<float> centres(std::vector<float> v, int bits)
{
    size_t n = (size_t)1 << bits;
    std::sort(v.begin(), v.end());
    std::vector<float> u(v);
    u.erase(std::unique(u.begin(), u.end()), u.end());
    std::vector<float> c;
    if (u.size() <= n) {
        c = u;
    } else {
        for (size_t i = 0; i < n; i++) {
            size_t b = v.size() * i / n, e = v.size() * (i + 1) / n;
            double sum = 0;
            for (size_t j = b; j < e; j++)
                sum += v[j];
            c.push_back(e > b ? (float)(sum / (e - b)) : v[b]);
        }
        for (int round = 0; round < 20; round++) {
            std::vector<double> sum(n);
            std::vector<size_t> count(n);
            for (float x : v) {
                size_t i = nearest(c, x);
                sum[i] += x;
                count[i]++;
            }
            for (size_t i = 0; i < n; i++)
                if (count[i])
                    c[i] = (float)(sum[i] / count[i]);
            std::sort(c.begin(), c.end());
        }
    }
    if (c.empty())
        c.push_back(0);
    while (c.size() < n)
        c.push_back(c.back());
    return c;
}

static void putu32(std::vector<unsigned char> &out, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out.push_back((unsigned char)(v >> 8 * i));
}

int main(int argc, char **argv)
{
    if (argc < 4 || argc > 6)
        die("usage: makemodel SPHINX.lm.bin WORDS OUT [PROBBITS [BOBITS]]");
    /* 7 and 6 bits rank the known anagrams of bench/quality.py as 8 and 7
    ** do, and keep the file under 16 MB */
    int pbits = argc > 4 ? atoi(argv[4]) : 7, bbits = argc > 5 ? atoi(argv[5]) : 6;
    if (pbits < 1 || pbits > 16 || bbits < 1 || bbits > 16)
        die("the bits of a value are 1 to 16");
    FILE *f = fopen(argv[1], "rb");
    if (!f)
        die("cannot open the Sphinx model");
    for (int c; (c = getc(f)) != EOF;)
        file.push_back((unsigned char)c);
    fclose(f);

    size_t at = strlen(sphinxmagic);
    if (memcmp(need(0, at), sphinxmagic, at) != 0 || *need(at, 1) != 3)
        die("not a Sphinx trigram model in the trie format");
    uint32_t n1 = u32(at + 1), n2 = u32(at + 5), n3 = u32(at + 9);
    at += 13 + 4;   /* the quantiser's unused word */
    size_t qmid = at, qmidbo = at + (4 << SPHINX_QBITS), qlong = at + (8 << SPHINX_QBITS);
    at += 12 << SPHINX_QBITS;
    size_t unis = at;
    at += (size_t)(n1 + 1) * 12;
    int wb = lmbits(n1), nb = lmbits(n3);
    int midbits = wb + 2 * SPHINX_QBITS + nb, longbits = wb + SPHINX_QBITS;
    size_t mid = at, midsize = ((size_t)(1 + n2) * midbits + 7) / 8 + 8;
    size_t lng = mid + midsize, lngsize = ((size_t)(1 + n3) * longbits + 7) / 8 + 8;
    need(lng, lngsize);
    at = lng + lngsize;
    uint32_t textbytes = u32(at);
    const char *text = (const char *)need(at + 4, textbytes);

    std::vector<std::string> word;
    for (size_t i = 0; i < textbytes && word.size() < n1; i += word.back().size() + 1)
        word.push_back(std::string(text + i, strnlen(text + i, textbytes - i)));
    if (word.size() != n1)
        die("the Sphinx model's words are fewer than its count");

    std::unordered_set<std::string> inlist = {"<s>", "</s>"};
    FILE *wf = fopen(argv[2], "r");
    if (!wf)
        die("cannot open the word file");
    for (char line[256]; fgets(line, sizeof line, wf);) {
        line[strcspn(line, "\r\n")] = '\0';
        inlist.insert(line);
    }
    fclose(wf);

    /* our ids: first the words kept in n-grams, then the others, each
    ** run in byte order */
    std::vector<uint32_t> order(n1), id(n1);
    std::vector<char> keep(n1);
    uint32_t nk = 0;
    for (uint32_t i = 0; i < n1; i++) {
        order[i] = i;
        keep[i] = inlist.count(word[i]) > 0;
        nk += keep[i];
    }
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return keep[a] != keep[b] ? keep[a] > keep[b] : word[a] < word[b]; });
    for (uint32_t i = 0; i < n1; i++)
        id[order[i]] = i;

    auto unip = [&](uint32_t w) { return f32(unis + 12 * (size_t)w) * sphinxlog10; };
    auto unibo = [&](uint32_t w) { return f32(unis + 12 * (size_t)w + 4) * sphinxlog10; };
    auto uninx = [&](uint32_t w) { return u32(unis + 12 * (size_t)w + 8); };
    const unsigned char *midt = file.data() + mid, *lngt = file.data() + lng;
    auto table = [&](size_t base, uint32_t q) { return f32(base + 4 * (size_t)q) * sphinxlog10; };

    std::vector<Bigram> bis;
    float floor = 0;   /* the lowest unigram: the unknown word's */
    int bos = -1, eos = -1;
    for (uint32_t w = 0; w < n1; w++) {
        if (unip(w) > -90)  /* <s> is never predicted: its -99 is no word's */
            floor = std::min(floor, (float)unip(w));
        if (word[w] == "<s>") bos = (int)id[w];
        if (word[w] == "</s>") eos = (int)id[w];
        if (!keep[w])
            continue;
        for (uint32_t i = uninx(w); i < uninx(w + 1) && i < n2; i++) {
            uint64_t e = (uint64_t)i * midbits;
            uint32_t h1 = lmget(midt, e, wb);
            if (h1 >= n1 || !keep[h1])
                continue;
            Bigram b = {id[w], id[h1], (float)table(qmid, lmget(midt, e + wb + 16, 16)),
                        (float)table(qmidbo, lmget(midt, e + wb, 16)), {}};
            uint32_t tb = lmget(midt, e + wb + 32, nb), te = lmget(midt, e + midbits + wb + 32, nb);
            for (uint32_t t = tb; t < te && t < n3; t++) {
                uint64_t le = (uint64_t)t * longbits;
                uint32_t h2 = lmget(lngt, le, wb);
                if (h2 >= n1 || !keep[h2])
                    continue;
                b.tri.push_back({id[h2], (float)table(qlong, lmget(lngt, le + wb, 16))});
            }
            std::sort(b.tri.begin(), b.tri.end());
            bis.push_back(std::move(b));
        }
    }
    if (bos < 0 || eos < 0)
        die("the Sphinx model has no <s> or </s>");
    std::sort(bis.begin(), bis.end(), [](const Bigram &a, const Bigram &b) {
        return a.w != b.w ? a.w < b.w : a.h1 < b.h1; });

    /* the values, quantised */
    std::vector<float> v[5];
    for (uint32_t w = 0; w < n1; w++) {
        v[0].push_back(unip(w));
        v[1].push_back(unibo(w));
    }
    size_t ntri = 0;
    for (const Bigram &b : bis) {
        v[2].push_back(b.p);
        v[3].push_back(b.bo);
        for (auto &t : b.tri)
            v[4].push_back(t.second);
        ntri += b.tri.size();
    }
    int cb[5] = {UNIBITS, UNIBITS, pbits, bbits, pbits};
    std::vector<float> c[5];
    for (int k = 0; k < 5; k++)
        c[k] = centres(v[k], cb[k]);

    uint32_t nw = n1, nbi = (uint32_t)bis.size(), ntr = (uint32_t)ntri;
    int wordbits = lmbits(nk - 1), uninext = lmbits(nbi), binext = lmbits(ntr);
    int ub = 2 * UNIBITS + uninext, bb = wordbits + pbits + bbits + binext, tb = wordbits + pbits;
    std::vector<unsigned char> uni(((uint64_t)(nw + 1) * ub + 7) / 8 + 8);
    std::vector<unsigned char> bi(((uint64_t)(nbi + 1) * bb + 7) / 8 + 8);
    std::vector<unsigned char> tri(((uint64_t)ntr * tb + 7) / 8 + 8);
    uint32_t bi_i = 0, tri_i = 0;
    for (uint32_t w = 0; w <= nw; w++) {
        uint64_t e = (uint64_t)w * ub;
        if (w < nw) {
            lmput(uni.data(), e, UNIBITS, nearest(c[0], v[0][order[w]]));
            lmput(uni.data(), e + UNIBITS, UNIBITS, nearest(c[1], v[1][order[w]]));
        }
        lmput(uni.data(), e + 2 * UNIBITS, uninext, bi_i);
        for (; bi_i < nbi && bis[bi_i].w == w; bi_i++) {
            const Bigram &b = bis[bi_i];
            uint64_t be = (uint64_t)bi_i * bb;
            lmput(bi.data(), be, wordbits, b.h1);
            lmput(bi.data(), be + wordbits, pbits, nearest(c[2], b.p));
            lmput(bi.data(), be + wordbits + pbits, bbits, nearest(c[3], b.bo));
            lmput(bi.data(), be + wordbits + pbits + bbits, binext, tri_i);
            for (auto &t : b.tri) {
                lmput(tri.data(), (uint64_t)tri_i * tb, wordbits, t.first);
                lmput(tri.data(), (uint64_t)tri_i * tb + wordbits, pbits, nearest(c[4], t.second));
                tri_i++;
            }
        }
    }
    lmput(bi.data(), (uint64_t)nbi * bb + wordbits + pbits + bbits, binext, tri_i);

    std::vector<unsigned char> out(LM_MAGIC, LM_MAGIC + 8);
    std::string words;
    for (uint32_t w = 0; w < nw; w++)
        words += word[order[w]] + '\0';
    putu32(out, LM_VERSION);
    putu32(out, nw);
    putu32(out, nbi);
    putu32(out, ntr);
    putu32(out, (uint32_t)words.size());
    putu32(out, (uint32_t)bos);
    putu32(out, (uint32_t)eos);
    unsigned char fl[4];
    memcpy(fl, &floor, 4);
    out.insert(out.end(), fl, fl + 4);
    for (int k = 0; k < 5; k++)
        out.push_back((unsigned char)cb[k]);
    out.resize(48);
    putu32(out, nk);
    out.resize(LM_HEADER);
    for (int k = 0; k < 5; k++)
        for (float x : c[k]) {
            memcpy(fl, &x, 4);
            out.insert(out.end(), fl, fl + 4);
        }
    out.insert(out.end(), uni.begin(), uni.end());
    out.insert(out.end(), bi.begin(), bi.end());
    out.insert(out.end(), tri.begin(), tri.end());
    out.insert(out.end(), words.begin(), words.end());

    /* written whole under another name, then put in place: a finder that
    ** reads the model meanwhile sees the old file or the new, never a part */
    std::string part = std::string(argv[3]) + ".part";
    FILE *o = fopen(part.c_str(), "wb");
    int ok = o && fwrite(out.data(), 1, out.size(), o) == out.size();
    if (o && fclose(o) != 0)
        ok = 0;
    if (ok && rename(part.c_str(), argv[3]) != 0) {
        remove(argv[3]);    /* Windows renames onto no existing file */
        ok = rename(part.c_str(), argv[3]) == 0;
    }
    if (!ok) {
        remove(part.c_str());
        die("cannot write the model file");
    }
    printf("makemodel: %u words (%u of them in n-grams), %u bigrams, %u trigrams, %zu bytes\n",
           nw, nk, nbi, ntr, out.size());
    return 0;
}
