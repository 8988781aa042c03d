/*
** makerelated: makes the relatedness file (english.related) from WordNet
** 3.0 as Debian's wordnet-base installs it: for each word of the word file
** and the model that WordNet knows, and for WordNet's names of two to four
** words, the words related to it (docs/related-format.md).
** usage: makerelated WORDNET-DIR WORDS MODEL|- OUT [LIST...]
**        (LIST: more words a text may hold, such as the larger SCOWL lists;
**        they have bags but are in none, as a search never tries them)
**        makerelated --dump FILE [WORD...]   (the bags of a relatedness file)
**        makerelated --set FILE TEXT          (the words related to TEXT)
*/
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/lmfile.h"
#include "model/related.h"

/* The senses of each part of speech a word's bag draws on: the first
** three, which for a name are often the person ('curie': the unit, Pierre,
** Marie). */
#ifndef SENSES
#define SENSES 3
#endif
/* The pointers followed from each of those senses: enough for a word's
** hypernyms and its nearer hyponyms, not every kind of dog. */
#ifndef POINTERS
#define POINTERS 24
#endif
/* A word found in more bags than this relates to nothing in particular
** ('person', 'used', 'make') and is dropped from them all. */
#ifndef COMMONEST
#define COMMONEST 1000
#endif

/* The shortest word in a bag: the words of one or two letters a gloss
** holds ('am' and 'ma' for 'madam') fit in nearly any text and tell
** little of it. */
#define SHORTEST 3

/* Function words and the vague ones of glosses: never related to a text. */
static const char *const stopwords[] = {
    "a", "about", "after", "all", "also", "an", "and", "any", "are", "as", "at", "be",
    "been", "being", "but", "by", "can", "could", "did", "do", "does", "e", "each", "eg",
    "either", "esp", "especially", "etc", "for", "from", "had", "has", "have", "he",
    "her", "hers", "him", "his", "how", "i", "ie", "if", "in", "into", "is", "it",
    "its", "may", "more", "most", "much", "must", "no", "nor", "not", "of", "off", "on",
    "one", "or", "other", "our", "out", "over", "own", "s", "same", "she", "should",
    "so", "some", "something", "someone", "such", "than", "that", "the", "their",
    "them", "then", "there", "these", "they", "this", "those", "to", "too", "under",
    "up", "upon", "us", "used", "usually", "very", "was", "we", "were", "what", "when",
    "where", "which", "who", "whom", "whose", "why", "will", "with", "within",
    "without", "would", "you", "your", "especially", "often", "sometimes",
};

struct Synset {
    std::vector<std::string> lemmas;   /* lower case, '_' between words */
    std::vector<std::pair<char, long>> ptrs;   /* part of speech, offset */
    std::string gloss;
};

static const char posname[4] = {'n', 'v', 'a', 'r'};
static const char *const posfile[4] = {"noun", "verb", "adj", "adv"};
static std::string dataf[4];
static std::unordered_map<std::string, std::vector<long>> indexof[4];
static std::unordered_map<std::string, std::vector<std::string>> exc[4];

static void die(const char *msg, const char *what = "")
{
    fprintf(stderr, "makerelated: %s%s\n", msg, what);
    exit(1);
}

static std::string slurp(const std::string &path)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        die("cannot open ", path.c_str());
    std::string s;
    char buf[65536];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
        s.append(buf, n);
    fclose(f);
    return s;
}

static std::vector<std::string> lines(const std::string &text)
{
    std::vector<std::string> out;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        out.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

static std::vector<std::string> fields(const std::string &line)
{
    std::vector<std::string> out;
    for (size_t at = 0; at < line.size();) {
        size_t end = line.find(' ', at);
        if (end == std::string::npos)
            end = line.size();
        if (end > at)
            out.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

static int posindex(char c)
{
    if (c == 's')   /* satellite adjectives live with the adjectives */
        c = 'a';
    for (int p = 0; p < 4; p++)
        if (posname[p] == c)
            return p;
    return -1;
}

static std::string lower(std::string s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return s;
}

/* The synset at offset of a data file: its lemmas, pointers and gloss. */
static Synset synset(int pos, long offset)
{
    Synset s;
    const std::string &d = dataf[pos];
    if (offset < 0 || (size_t)offset >= d.size())
        return s;
    size_t end = d.find('\n', offset);
    std::string line = d.substr(offset, end == std::string::npos ? std::string::npos : end - offset);
    size_t bar = line.find(" | ");
    if (bar != std::string::npos)
        s.gloss = line.substr(bar + 3);
    std::vector<std::string> f = fields(line.substr(0, bar));
    if (f.size() < 4)
        return s;
    size_t at = 3;
    unsigned long nw = strtoul(f[at++].c_str(), NULL, 16);
    for (unsigned long i = 0; i < nw && at + 1 < f.size(); i++, at += 2) {
        std::string w = lower(f[at]);
        size_t paren = w.find('(');   /* an adjective's (a), (p) or (ip) */
        if (paren != std::string::npos)
            w.resize(paren);
        s.lemmas.push_back(w);
    }
    if (at >= f.size())
        return s;
    unsigned long np = strtoul(f[at++].c_str(), NULL, 10);
    for (unsigned long i = 0; i < np && at + 3 < f.size(); i++, at += 4) {
        int p = posindex(f[at + 2][0]);
        if (p >= 0)
            s.ptrs.push_back({(char)p, atol(f[at + 1].c_str())});
    }
    return s;
}

/* The runs of letters of text, in lower case. */
static std::vector<std::string> letterruns(const std::string &text)
{
    std::vector<std::string> out;
    std::string w;
    for (char c : text + " ") {
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c >= 'a' && c <= 'z') {
            w += c;
        } else if (!w.empty()) {
            out.push_back(w);
            w.clear();
        }
    }
    return out;
}

static bool inindex(const std::string &w)
{
    for (int p = 0; p < 4; p++)
        if (indexof[p].count(w))
            return true;
    return false;
}

/* The base forms of an inflected word WordNet's way: its exceptions, then
** the endings taken off (and put on) each part of speech's inflections. */
static std::vector<std::string> bases(const std::string &w)
{
    static const char *const rules[4][8][2] = {
        {{"s", ""}, {"ses", "s"}, {"xes", "x"}, {"zes", "z"}, {"ches", "ch"}, {"shes", "sh"},
         {"men", "man"}, {"ies", "y"}},
        {{"s", ""}, {"ies", "y"}, {"es", "e"}, {"es", ""}, {"ed", "e"}, {"ed", ""},
         {"ing", "e"}, {"ing", ""}},
        {{"er", ""}, {"est", ""}, {"er", "e"}, {"est", "e"}},
        {},
    };
    std::vector<std::string> out;
    for (int p = 0; p < 4; p++) {
        auto e = exc[p].find(w);
        if (e != exc[p].end())
            for (const std::string &b : e->second)
                if (indexof[p].count(b))
                    out.push_back(b);
        for (int r = 0; r < 8 && rules[p][r][0]; r++) {
            std::string from = rules[p][r][0], to = rules[p][r][1];
            if (w.size() > from.size() + 1 && w.compare(w.size() - from.size(), from.size(), from) == 0) {
                std::string b = w.substr(0, w.size() - from.size()) + to;
                if (indexof[p].count(b))
                    out.push_back(b);
            }
        }
    }
    return out;
}

static void readwordnet(const std::string &dir)
{
    for (int p = 0; p < 4; p++) {
        dataf[p] = slurp(dir + "/data." + posfile[p]);
        for (const std::string &line : lines(slurp(dir + "/index." + posfile[p]))) {
            if (line.empty() || line[0] == ' ')   /* the licence at the top */
                continue;
            std::vector<std::string> f = fields(line);
            if (f.size() < 4)
                continue;
            size_t np = strtoul(f[3].c_str(), NULL, 10);
            if (f.size() < 6 + np)
                continue;
            size_t nsense = strtoul(f[4 + np].c_str(), NULL, 10);
            std::vector<long> &offs = indexof[p][f[0]];
            for (size_t i = 6 + np; i < f.size() && i < 6 + np + nsense; i++)
                offs.push_back(atol(f[i].c_str()));
        }
        for (const std::string &line : lines(slurp(dir + "/" + posfile[p] + ".exc"))) {
            std::vector<std::string> f = fields(line);
            for (size_t i = 1; i < f.size(); i++)
                exc[p][f[0]].push_back(f[i]);
        }
    }
}

static void putvarint(std::string &out, uint32_t v)
{
    for (; v >= 0x80; v >>= 7)
        out += (char)((v & 0x7f) | 0x80);
    out += (char)v;
}

static void putu32(std::string &out, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out += (char)(v >> 8 * i);
}

/* Prints the bags of the words named, or of every head, one a line:
** the head, a tab, its related words. */
static int dump(int argc, char **argv)
{
    if (relload(argv[2]) != REL_OK)
        die("cannot load the relatedness file: ", relerror());
    std::vector<int> bag(relcount());
    auto show = [&](int id) {
        int n = relbag(reltext(id), bag.data(), (int)bag.size());
        if (n <= 0)
            return;
        printf("%s\t", reltext(id));
        for (int i = 0; i < n; i++)
            printf("%s%s", i ? " " : "", reltext(bag[i]));
        printf("\n");
    };
    if (argc > 3) {
        for (int i = 3; i < argc; i++)
            if (relword(argv[i]) >= 0)
                show(relword(argv[i]));
    } else {
        for (int id = 0; id < relcount(); id++)
            show(id);
    }
    relfree();
    return 0;
}

/* Prints the words related to a text, one a line: the word, a tab, the
** text's word or name it is related to. */
static int showset(const char *file, const char *t)
{
    if (relload(file) != REL_OK)
        die("cannot load the relatedness file: ", relerror());
    RelSet set = {0, NULL, 0};
    if (relset(&set, t) < 0)
        die("out of memory");
    for (int id = 0; id < set.n; id++)
        if (relrelated(&set, id) >= 0)
            printf("%s\t%s\n", reltext(id), reltext(relrelated(&set, id)));
    relsetfree(&set);
    relfree();
    return 0;
}

int main(int argc, char **argv)
{
    if (argc >= 3 && strcmp(argv[1], "--dump") == 0)
        return dump(argc, argv);
    if (argc == 4 && strcmp(argv[1], "--set") == 0)
        return showset(argv[2], argv[3]);
    if (argc < 5)
        die("usage: makerelated WORDNET-DIR WORDS MODEL|- OUT [LIST...], "
            "makerelated --dump FILE [WORD...] or makerelated --set FILE TEXT");
    readwordnet(argv[1]);

    /* the words: the word file's and the model's, of letters only */
    std::unordered_set<std::string> vocab;
    for (const std::string &w : lines(slurp(argv[2])))
        if (!w.empty() && letterruns(w).size() == 1 && letterruns(w)[0] == w)
            vocab.insert(w);
    if (strcmp(argv[3], "-") != 0) {
        if (lmload(argv[3]) != LM_OK)
            die("cannot load the model: ", argv[3]);
        for (uint32_t i = 0; i < lmmodel()->nwords; i++) {
            std::string w = lmtext((int)i);
            if (!w.empty() && letterruns(w).size() == 1 && letterruns(w)[0] == w)
                vocab.insert(w);
        }
        lmfree();
    }
    std::unordered_set<std::string> more;
    for (int i = 5; i < argc; i++)
        for (const std::string &w : lines(slurp(argv[i])))
            if (!w.empty() && letterruns(w).size() == 1 && letterruns(w)[0] == w && !vocab.count(w))
                more.insert(w);

    /* a word no bag holds: too short, or a function word */
    std::unordered_set<std::string> stop(std::begin(stopwords), std::end(stopwords));
    auto glue = [&](const std::string &w) { return w.size() < SHORTEST || stop.count(w) > 0; };
    /* the heads: the words WordNet knows, and its names of two to four
    ** words of letters (joined by a space in our file) */
    std::map<std::string, std::string> heads;   /* our text -> WordNet's lemma */
    for (int p = 0; p < 4; p++)
        for (auto &e : indexof[p]) {
            std::string t = e.first;
            for (char &c : t)
                if (c == '_' || c == '-')
                    c = ' ';
            std::vector<std::string> parts = letterruns(t);
            std::string joined;
            for (const std::string &w : parts)
                joined += (joined.empty() ? "" : " ") + w;
            if (joined != t || parts.empty() || parts.size() > 4)
                continue;
            if (parts.size() == 1 && !vocab.count(t) && !more.count(t))
                continue;
            /* nor is a word that is in no bag: 'a' and 'in' of a text
            ** ('a shoplifter', 'mother in law') are not what it is about,
            ** and the vitamin, the ampere and Indiana of their senses put
            ** 'fish' and 'town' on top */
            if (parts.size() == 1 && glue(t))
                continue;
            /* 'mother-in-law' and 'mother_in_law' are one name: the
            ** same one every run */
            auto was = heads.find(t);
            if (was == heads.end() || e.first < was->second)
                heads[t] = e.first;
        }

    /* ids: every word and head in byte order */
    std::vector<std::string> text;
    for (const std::string &w : vocab)
        text.push_back(w);
    for (const std::string &w : more)
        text.push_back(w);
    for (auto &h : heads)
        if (h.first.find(' ') != std::string::npos)
            text.push_back(h.first);
    std::sort(text.begin(), text.end());
    std::unordered_map<std::string, uint32_t> id;
    std::vector<char> searched(text.size());   /* a word a search may try */
    for (uint32_t i = 0; i < text.size(); i++) {
        id[text[i]] = i;
        searched[i] = vocab.count(text[i]) > 0;
    }

    /* each word's base form, where WordNet does not know it as it is */
    std::vector<std::pair<uint32_t, uint32_t>> base;
    std::vector<uint32_t> baseof(text.size());
    for (uint32_t i = 0; i < text.size(); i++) {
        baseof[i] = i;
        if (inindex(text[i]) || text[i].find(' ') != std::string::npos)
            continue;
        for (const std::string &b : bases(text[i]))
            if (id.count(b) && b != text[i]) {
                baseof[i] = id[b];
                base.push_back({i, id[b]});
                break;
            }
    }

    auto addwords = [&](std::vector<uint32_t> &bag, const std::string &s) {
        for (const std::string &w : letterruns(s)) {
            auto f = id.find(w);
            if (f != id.end() && searched[f->second] && !glue(w))
                bag.push_back(baseof[f->second]);
        }
    };
    auto addlemmas = [&](std::vector<uint32_t> &bag, const Synset &s) {
        for (const std::string &l : s.lemmas)
            addwords(bag, l);
    };

    /* the bags: the first senses' lemmas and glosses, and one hop of their
    ** pointers with the first clause of those glosses */
    std::vector<std::vector<uint32_t>> bag(text.size());
    std::vector<uint32_t> found(text.size());
    for (auto &h : heads) {
        uint32_t hid = id[h.first];
        std::vector<uint32_t> &b = bag[hid];
        for (int p = 0; p < 4; p++) {
            auto e = indexof[p].find(h.second);
            if (e == indexof[p].end())
                continue;
            for (size_t k = 0; k < e->second.size() && k < SENSES; k++) {
                Synset s = synset(p, e->second[k]);
                addlemmas(b, s);
                addwords(b, s.gloss);
                for (size_t q = 0; q < s.ptrs.size() && q < POINTERS; q++) {
                    Synset t = synset(s.ptrs[q].first, s.ptrs[q].second);
                    addlemmas(b, t);
                    addwords(b, t.gloss.substr(0, t.gloss.find(';')));
                }
            }
        }
        std::sort(b.begin(), b.end());
        b.erase(std::unique(b.begin(), b.end()), b.end());
        b.erase(std::remove(b.begin(), b.end(), baseof[hid]), b.end());
        if (searched[hid])
            for (uint32_t w : b)
                found[w]++;
    }
    /* the commonest dropped, then each relation made both ways: a word
    ** whose bag holds the text's word is related to the text too */
    std::vector<std::vector<uint32_t>> both(text.size());
    size_t dropped = 0;
    for (uint32_t h = 0; h < text.size(); h++)
        for (uint32_t w : bag[h]) {
            if (found[w] > COMMONEST) {
                dropped++;
                continue;
            }
            both[h].push_back(w);
            if (searched[h])
                both[w].push_back(h);
        }
    for (auto &b : both) {
        std::sort(b.begin(), b.end());
        b.erase(std::unique(b.begin(), b.end()), b.end());
    }
    /* a name keeps only what the bags of its words do not hold: the set
    ** of a text that names it takes theirs too */
    for (uint32_t h = 0; h < text.size(); h++) {
        if (text[h].find(' ') == std::string::npos)
            continue;
        std::vector<uint32_t> parts;
        for (const std::string &w : letterruns(text[h])) {
            auto f = id.find(w);
            if (f != id.end()) {
                uint32_t p = both[f->second].empty() ? baseof[f->second] : f->second;
                parts.insert(parts.end(), both[p].begin(), both[p].end());
            }
        }
        std::sort(parts.begin(), parts.end());
        std::vector<uint32_t> own;
        std::set_difference(both[h].begin(), both[h].end(), parts.begin(), parts.end(),
                            std::back_inserter(own));
        both[h] = own;
    }

    /* only the words in a bag or with one, or whose base form has one,
    ** are kept: the rest relate to nothing; their order stays */
    std::vector<char> inbag(text.size());
    for (auto &b : both)
        for (uint32_t w : b)
            inbag[w] = 1;
    std::vector<uint32_t> newid(text.size());
    std::vector<std::string> kept;
    size_t names = 0;
    for (uint32_t i = 0; i < text.size(); i++) {
        newid[i] = (uint32_t)kept.size();
        if (inbag[i] || !both[i].empty() || !both[baseof[i]].empty()) {
            kept.push_back(text[i]);
            names += text[i].find(' ') != std::string::npos;
        }
    }
    for (auto &b : both)
        for (uint32_t &w : b)
            w = newid[w];
    std::vector<std::pair<uint32_t, uint32_t>> keptbase;
    for (auto &b : base)
        if (!both[b.second].empty())
            keptbase.push_back({newid[b.first], newid[b.second]});

    std::string bags;
    uint32_t nheads = 0, last = 0;
    size_t entries = 0;
    for (uint32_t old = 0; old < text.size(); old++) {
        std::vector<uint32_t> &b = both[old];
        uint32_t h = newid[old];
        if (b.empty())
            continue;
        putvarint(bags, nheads ? h - last - 1 : h);
        putvarint(bags, (uint32_t)b.size() - 1);
        for (size_t i = 0; i < b.size(); i++)
            putvarint(bags, i ? b[i] - b[i - 1] - 1 : b[i]);
        last = h;
        nheads++;
        entries += b.size();
    }
    base = keptbase;
    text = kept;
    std::string bt;
    for (size_t i = 0; i < base.size(); i++) {
        putvarint(bt, i ? base[i].first - base[i - 1].first - 1 : base[i].first);
        putvarint(bt, base[i].second);
    }
    std::string words;
    for (const std::string &w : text)
        words += w + '\0';

    std::string out(REL_MAGIC, 8);
    putu32(out, REL_VERSION);
    putu32(out, (uint32_t)text.size());
    putu32(out, (uint32_t)words.size());
    putu32(out, (uint32_t)base.size());
    putu32(out, (uint32_t)bt.size());
    putu32(out, nheads);
    putu32(out, (uint32_t)bags.size());
    out += words + bt + bags;

    /* written under another name and renamed, so a build that stops half
    ** way leaves no half file under the real one */
    std::string tmp = std::string(argv[4]) + ".part";
    FILE *o = fopen(tmp.c_str(), "wb");
    if (!o || fwrite(out.data(), 1, out.size(), o) != out.size() || fclose(o) != 0 ||
        rename(tmp.c_str(), argv[4]) != 0) {
        remove(tmp.c_str());
        die("cannot write ", argv[4]);
    }
    printf("makerelated: %zu words, %zu of them names, %u with related words, %zu relations "
           "(%zu to words in more than %d bags dropped), %zu bytes\n",
           text.size(), names, nheads, entries, dropped, COMMONEST, out.size());
    return 0;
}
