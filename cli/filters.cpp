/*
** The filters: the options' arguments checked, the letters of the words a
** line must hold taken out of the text, the orders of a line's words that
** fit the lengths asked, the candidate words in one pass over the file, and
** the bound on the lines, all between the search and the finder's window.
*/
#include <string.h>

#include <algorithm>

#include "cli/filters.h"
#include "dictionary/dict.h"
#include "engine/exclude.h"
#include "engine/fastsearch.h"
#include "engine/letters.h"

static int blank(char c)
{
    return c == ' ' || c == '\t';
}

std::string addwords(const char *option, const char *arg, std::vector<std::string> *words)
{
    size_t before = words->size();
    for (const char *p = arg; *p;) {
        while (blank(*p))
            p++;
        const char *start = p;
        while (*p && !blank(*p))
            p++;
        if (p == start)
            break;
        std::string w(start, p);
        if (w.size() > WORD_MAX)
            return std::string(option) + ": '" + w + "' is longer than a word can be (" +
                   std::to_string(WORD_MAX) + " characters)";
        strlower(&w[0]);
        words->push_back(w);
    }
    if (words->size() == before)
        return std::string(option) + " takes one or more words, not '" + arg + "'";
    return "";
}

std::string parselengths(const char *arg, Filters *f)
{
    std::string why = std::string("--lengths takes 1 to ") + std::to_string(LENGTHS_MAX) +
                      " word lengths of 1 to " + std::to_string(WORD_MAX) +
                      " separated by commas, such as 5,7, not '" + arg + "'";
    const char *p = arg;
    f->nlengths = 0;
    do {
        int n = 0, digits = 0;
        for (; *p >= '0' && *p <= '9' && n <= WORD_MAX; p++, digits++)
            n = 10 * n + (*p - '0');
        if (digits == 0 || n < 1 || n > WORD_MAX || f->nlengths == LENGTHS_MAX)
            return why;
        f->lengths[f->nlengths++] = n;
    } while (*p++ == ',');
    return p[-1] == '\0' ? "" : why;
}

int takewords(const std::string &text, const std::vector<std::string> &words, std::string *rest,
              std::string *lacking)
{
    int need[256] = {0};
    for (const std::string &w : words)
        for (unsigned char c : w)
            need[c]++;
    rest->clear();
    bool tab = false;
    for (char c : text) {
        if (c == ' ' || (c == '\t' && !tab)) {
            tab = tab || c == '\t';    /* the first tab is a blank, as the search has it */
            continue;
        }
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (need[(unsigned char)c] > 0)
            need[(unsigned char)c]--;
        else
            *rest += c;     /* in the text's order, which breaks ties of rarity */
    }
    lacking->clear();
    for (int c = 1; c < 256; c++)
        lacking->append((size_t)need[c], (char)c);
    return lacking->empty() ? 0 : -1;
}

std::vector<std::string> wordsof(const char *line)
{
    std::vector<std::string> words;
    for (const char *p = line, *start = line; *p && *p != '\n'; p++)
        if (*p == ' ') {
            words.push_back(std::string(start, p));
            start = p + 1;
        }
    return words;
}

int fitslengths(const char *line, const int *lengths, int n)
{
    std::vector<std::string> words = wordsof(line);
    if ((int)words.size() != n)
        return 0;
    for (int k = 0; k < n; k++)
        if ((int)words[k].size() != lengths[k])
            return 0;
    return 1;
}

/* The words of the open file that are not in want, the first one. */
static std::string unknown(const std::vector<std::string> &want)
{
    std::set<std::string> missing(want.begin(), want.end());
    char word[WORD_MAX + 1];
    int offset, more;
    if (dictposition("", 0))
        return "";
    while (!missing.empty() && dictnext(word, &offset, &more) == 0 && more)
        missing.erase(word);
    for (const std::string &w : want)
        if (missing.count(w))
            return w;
    return "";
}

std::string checkfilters(const Filters &f, const std::string &text)
{
    std::string rest, lacking;
    if (takewords(text, f.contains, &rest, &lacking))
        return "--contains: the text lacks the letters '" + lacking + "' that its words need";
    if (f.candidates && (f.nlengths || !f.contains.empty()))
        return "--candidates lists single words: not with --lengths or --contains";
    if (f.nlengths) {
        int sum = 0, letters = countletters(text.c_str());
        for (int i = 0; i < f.nlengths; i++)
            sum += f.lengths[i];
        if (sum != letters)
            return "--lengths: the lengths add up to " + std::to_string(sum) +
                   " letters, but the text holds " + std::to_string(letters);
        if (f.contains.size() > (size_t)f.nlengths)
            return "--lengths gives fewer words than --contains";
        for (size_t i = 0; i < f.contains.size(); i++)
            if (f.contains[i].size() != (size_t)f.lengths[i])
                return "--lengths: the words of --contains come first, and '" + f.contains[i] +
                       "' has " + std::to_string(f.contains[i].size()) + " letters, not " +
                       std::to_string(f.lengths[i]);
    }
    std::string w = unknown(f.exclude);
    if (!w.empty())
        return "--exclude: '" + w + "' is not a word of the word file";
    excludeclear();
    excludespaced(f.nlengths > 0);
    for (const std::string &x : f.exclude)
        if (excludeadd(x.c_str()))
            return "--exclude takes at most " + std::to_string(EXCLUDE_MAX) + " words";
    return "";
}

int FilterWindow::inorder() const
{
    return listing || (fast && faststats.inorder);
}

void FilterWindow::takeinput(const char **text, int *type)
{
    const char *t;
    out->takeinput(&t, type);
    *text = rest.c_str();
    if (f.nlengths)
        *type = MULTI_WORD;
}

void FilterWindow::clearlist()
{
    out->clearlist();
    over = 0;
    passed = 0;
    last.clear();
    seen.clear();
}

/* Hands one finished line on, once only under --lengths, and stops a
** search whose lines come in order once the bound is passed: the one line
** beyond it tells the window that there were more. */
void FilterWindow::pass(const char *line)
{
    if (f.nlengths) {
        if (inorder() ? last == line : !seen.insert(line).second)
            return;
        last = line;
    }
    if (f.limit && inorder() && passed > f.limit)
        return;
    if (f.limit && inorder() && passed == f.limit) {
        over = 1;
        *out->stopflag() = 1;
    }
    passed++;
    out->addline(line);
}

/* The orders of the words of line that fit the lengths left once those of
** --contains are taken, each after the prefix. */
void FilterWindow::orders(const char *line)
{
    int k = (int)f.contains.size();
    std::vector<std::string> words = wordsof(line);
    std::sort(words.begin(), words.end());
    do {
        std::string l;
        for (const std::string &w : words)
            l += w + " ";
        if (fitslengths((l + "\n").c_str(), f.lengths + k, f.nlengths - k))
            pass((prefix + l + "\n").c_str());
    } while (std::next_permutation(words.begin(), words.end()));
}

void FilterWindow::addline(const char *line)
{
    if (prefix.empty() && !f.nlengths && !f.limit) {
        out->addline(line);     /* nothing to do to it: the common case, at full speed */
        return;
    }
    size_t n = strlen(line);
    if (n == 0 || line[n - 1] != '\n')
        out->addline(line);     /* the placeholder */
    else if (f.nlengths && !fast)
        orders(line);
    else if (prefix.empty())
        pass(line);
    else
        pass(joined.assign(prefix).append(line, n).c_str());
}

/* The words of the file made of some of the letters, longest first, then
** in byte order, each as a line of its own. */
static int listcandidates(FilterWindow *win, const char *letters)
{
    std::vector<std::string> words;
    int *stop = win->stopflag();
    if (int r = fittingwords(letters, &words, win))
        return r;
    std::sort(words.begin(), words.end(), [](const std::string &a, const std::string &b) {
        return a.size() != b.size() ? a.size() > b.size() : a < b;
    });
    for (const std::string &w : words) {
        if (*stop)
            break;
        win->addline((w + " \n").c_str());
    }
    return SEARCH_OK;
}

int filteredsearch(FilterWindow *win, int fast)
{
    const Filters &f = win->f;
    const char *text;
    int type;
    std::string lacking;

    win->out->takeinput(&text, &type);
    takewords(text, f.contains, &win->rest, &lacking);
    if (f.contains.empty())
        win->rest = text;
    else if (win->rest.find('\t') != std::string::npos)
        win->rest.insert(0, "\t");     /* the search takes a first tab for a blank */
    win->fast = fast;
    win->listing = f.candidates;
    win->prefix.clear();
    for (const std::string &w : f.contains)
        win->prefix += w + " ";

    int k = (int)f.contains.size(), words = maxwords, r;
    if (countletters(text) > TEXT_MAX)
        return SEARCH_TOOLONG;
    if (f.candidates) {
        char blanked[TEXT_MAX + 1], letters[TEXT_MAX + 1];
        win->clearlist();
        *win->stopflag() = 0;
        strminus(text, " \t", blanked);
        strlower(blanked);
        freqsort(blanked, letters);
        win->startbusy();
        r = listcandidates(win, letters);
        win->stopbusy();
    } else if (k > 0 && (win->rest.empty() || k >= maxwords)) {
        /* the words of --contains use the letters up, or leave no room */
        win->clearlist();
        *win->stopflag() = 0;
        if (win->rest.empty() && k <= maxwords)
            win->pass((win->prefix + "\n").c_str());
        r = SEARCH_OK;
    } else {
        maxwords -= k;
        if (f.nlengths && f.nlengths - k < maxwords)
            maxwords = f.nlengths - k;
        nfastlengths = 0;
        if (fast)
            for (int i = k; i < f.nlengths; i++)
                fastlengths[nfastlengths++] = f.lengths[i];
        r = fast ? fastsearch(win) : search(win);
        maxwords = words;
        nfastlengths = 0;
        return r;
    }
    if (r == SEARCH_OK && win->countlines() == 0)
        win->addline("*No anagrams found*");
    return r;
}
