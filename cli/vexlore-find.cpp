/*
** vexlore-find: the anagram search from the command line, for scripts,
** benchmarks and machines without a display.
*/
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "dictionary/dict.h"
#include "dictionary/linescan.h"
#include "engine/search.h"

#ifndef _WIN32
#include <unistd.h>
#endif

static const char usage[] =
    "usage: vexlore-find [-m|--multi] [-w FILE|--words FILE] [--trace] [--stats] TEXT...\n"
    "\n"
    "Prints every word of the word file (or, with -m, every combination of\n"
    "words) that uses exactly the letters of TEXT, one line each, sorted.\n"
    "The TEXT arguments are joined by single spaces; blanks do not count.\n"
    "\n"
    "  -m, --multi        find combinations of words, not single words\n"
    "  -w, --words FILE   the word file (default: 'words' beside the program)\n"
    "      --trace        write the search's progress to standard error\n"
    "      --stats        write the words examined and the time taken to\n"
    "                     standard error\n"
    "      --help         show this text\n"
    "\n"
    "Ctrl-C stops the search and prints what was found so far.\n"
    "Exit status: 0 lines found, 1 none found, 2 usage or word file error.\n";

static volatile sig_atomic_t interrupted;

static void oninterrupt(int)
{
    interrupted = 1;
}

/* The finder's side of the search: the text from the command line and
** the result lines kept in memory until the search ends. */
class FinderWindow : public SearchWindow {
public:
    std::string text;
    int type = SINGLE_WORD;
    std::vector<std::string> lines;
    int found = 0;      /* real result lines, not the placeholder */
    int stop = 0;

    void takeinput(const char **t, int *ty) override { *t = text.c_str(); *ty = type; }
    void clearlist() override { lines.clear(); found = 0; }
    void addline(const char *line) override
    {
        lines.push_back(line);
        if (lines.back().back() == '\n')
            found++;
    }
    int countlines() override { return (int)lines.size(); }
    void startbusy() override {}
    void stopbusy() override {}
    void pump() override
    {
        if (interrupted)
            stop = 1;
    }
    /* a Ctrl-C needs no quicker answer than some microseconds */
    int pumpwords() override { return 4096; }
    int *stopflag() override { return &stop; }
};

/* 'words' in the folder that holds the program. */
static std::string defaultwords(const char *argv0)
{
    std::string self = argv0 ? argv0 : "";
#ifndef _WIN32
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
        buf[n] = '\0';
        self = buf;
    }
#endif
    size_t cut = self.find_last_of("/\\");
    return cut == std::string::npos ? "words" : self.substr(0, cut + 1) + "words";
}

static int fail(const char *msg)
{
    fprintf(stderr, "vexlore-find: %s\n%s", msg, "Try 'vexlore-find --help'.\n");
    return 2;
}

int main(int argc, char **argv)
{
    FinderWindow win;
    std::string path;
    int i = 1, ntext = 0, stats = 0;

    for (; i < argc; i++) {
        const char *a = argv[i];
        if (!strcmp(a, "--help")) {
            fputs(usage, stdout);
            return 0;
        } else if (!strcmp(a, "-m") || !strcmp(a, "--multi")) {
            win.type = MULTI_WORD;
        } else if (!strcmp(a, "--trace")) {
            trace = 1;
        } else if (!strcmp(a, "--stats")) {
            stats = 1;
        } else if (!strcmp(a, "-w") || !strcmp(a, "--words")) {
            if (++i == argc)
                return fail("option needs a file name: -w FILE");
            path = argv[i];
        } else if (!strcmp(a, "--")) {
            i++;
            break;
        } else if (a[0] == '-' && a[1] != '\0') {
            std::string msg = std::string("unknown option '") + a + "'";
            return fail(msg.c_str());
        } else {
            break;
        }
    }
    for (; i < argc; i++, ntext++)
        win.text += (ntext ? " " : "") + std::string(argv[i]);
    if (ntext == 0)
        return fail("no TEXT to find anagrams of");
    if (path.empty())
        path = defaultwords(argv[0]);

    dictsource(DICT_FILE);
    if (dictopen(path.c_str())) {
        fprintf(stderr, "vexlore-find: cannot open word file '%s': %s\n", path.c_str(),
                errno == EINVAL ? "not a regular file" : strerror(errno));
        return 2;
    }
    signal(SIGINT, oninterrupt);
    auto start = std::chrono::steady_clock::now();
    int r = search(&win);
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    dictclose();
    if (stats)
        fprintf(stderr, "vexlore-find: examined %lld words in %.3f s, %.1f million words/s "
                "(scan: %s)\n", examined, secs, secs > 0 ? examined / secs / 1e6 : 0.0,
                scanname(scankind()));
    if (r == SEARCH_TOOLONG) {
        fprintf(stderr, "vexlore-find: the text holds more than %d letters, "
                "which is more than a search can take\n", TEXT_MAX);
        return 2;
    }
    if (r != SEARCH_OK) {
        fprintf(stderr, "vexlore-find: cannot read word file '%s'\n", path.c_str());
        return 2;
    }
    std::sort(win.lines.begin(), win.lines.end());
    for (const std::string &line : win.lines)
        fputs(win.found ? line.c_str() : (line + "\n").c_str(), stdout);
    return win.found ? 0 : 1;
}
