/*
** vexlore-find: the anagram search from the command line, for scripts,
** benchmarks and machines without a display.
*/
#include <errno.h>
#include <getopt.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <stdint.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "dictionary/dict.h"
#include "engine/fastsearch.h"
#include "dictionary/linescan.h"
#include "engine/search.h"

#ifndef _WIN32
#include <unistd.h>
#endif

static const char usage[] =
    "usage: vexlore-find [-m|--multi] [-w FILE|--words=FILE] [--fast] [--max-words N]\n"
    "                    [--min-length N] [--trace] [--stats] [--help] [--] TEXT...\n"
    "\n"
    "Prints every word of the word file (or, with -m, every combination of\n"
    "words) that uses exactly the letters of TEXT, one line each, sorted.\n"
    "The TEXT arguments are joined by single spaces; blanks do not count.\n"
    "\n"
    "  -m, --multi        find combinations of words, not single words\n"
    "  -w, --words FILE   the word file (default: 'words' beside the program)\n"
    "      --fast         read the word file once and search in memory; the\n"
    "                     same lines as without it\n"
    "      --max-words N  no line of more than N words (1 to 9; default 9)\n"
    "      --min-length N only words of at least N characters (1 to 35)\n"
    "      --trace        write the search's progress to standard error\n"
    "                     (not with --fast)\n"
    "      --stats        write the words examined (with --fast: the words\n"
    "                     kept and the lines found) and the time taken to\n"
    "                     standard error\n"
    "      --help         show this text\n"
    "      --             end of the options: what follows is TEXT\n"
    "\n"
    "Options may come before, between or after the TEXT arguments.\n"
    "Ctrl-C stops the search and prints what was found so far.\n"
    "Exit status: 0 lines found, 1 none found, 2 usage, word file or output\n"
    "error, 130 stopped by Ctrl-C.\n";

static volatile sig_atomic_t interrupted;

static void oninterrupt(int)
{
    interrupted = 1;
}

/* A result line: its text, and its first sixteen bytes as two numbers
** that order as the bytes do, so that most comparisons of a sort never
** reach the text. */
struct Line {
    uint64_t key[2];
    const char *text;
    size_t len;

    const char *c_str() const { return text; }
    bool operator<(const Line &o) const
    {
        if (key[0] != o.key[0])
            return key[0] < o.key[0];
        if (key[1] != o.key[1])
            return key[1] < o.key[1];
        return len > 16 && o.len > 16 && strcmp(text + 16, o.text + 16) < 0;
    }
};

/* The finder's side of the search: the text from the command line and
** the result lines kept in memory until the search ends, their text in
** blocks that never move, so a line costs no allocation of its own. */
class FinderWindow : public SearchWindow {
public:
    std::string text;
    int type = SINGLE_WORD;
    std::vector<Line> lines;
    int found = 0;      /* real result lines, not the placeholder */
    int stop = 0;

    void takeinput(const char **t, int *ty) override { *t = text.c_str(); *ty = type; }
    void clearlist() override { lines.clear(); found = 0; }
    void addline(const char *line) override
    {
        size_t n = strlen(line);
        if (n + 1 > room) {
            room = std::max(n + 1, (size_t)1 << 20);
            blocks.emplace_back(new char[room]);
            next = blocks.back().get();
        }
        Line l = {{0, 0}, next, n};
        memcpy(next, line, n + 1);
        next += n + 1;
        room -= n + 1;
        for (size_t i = 0; i < 16 && i < n; i++)
            l.key[i / 8] |= (uint64_t)(unsigned char)line[i] << (56 - 8 * (i % 8));
        lines.push_back(l);
        if (n > 0 && line[n - 1] == '\n')
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

private:
    std::vector<std::unique_ptr<char[]>> blocks;
    char *next = nullptr;
    size_t room = 0;
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

/* Flushes standard output; on a failed write (werr, or the flush) says so
** and returns 0. A full disk, a closed output or a reader gone away (with
** SIGPIPE ignored) must not pass for a search that printed its lines. */
static int written(int werr)
{
    if (fflush(stdout) != 0 && !werr)
        werr = errno;
    if (!werr && ferror(stdout))
        werr = EIO;
    if (!werr)
        return 1;
    fprintf(stderr, "vexlore-find: cannot write the results: %s\n", strerror(werr));
    return 0;
}

static int fail(const char *msg)
{
    fprintf(stderr, "vexlore-find: %s\n%s", msg, "Try 'vexlore-find --help'.\n");
    return 2;
}

/* The value of option name: a whole number from lo to hi, or -1 after a
** message saying what it takes. */
static int number(const char *name, const char *arg, int lo, int hi)
{
    char *end;
    errno = 0;
    long n = strtol(arg, &end, 10);
    if (end == arg || *end != '\0' || errno || n < lo || n > hi) {
        fprintf(stderr, "vexlore-find: %s takes a whole number from %d to %d, not '%s'\n%s",
                name, lo, hi, arg, "Try 'vexlore-find --help'.\n");
        return -1;
    }
    return (int)n;
}

enum { OPT_TRACE = 256, OPT_STATS, OPT_HELP, OPT_FAST, OPT_MAXWORDS, OPT_MINLENGTH };

static const struct option longopts[] = {
    {"multi", no_argument, nullptr, 'm'},
    {"words", required_argument, nullptr, 'w'},
    {"trace", no_argument, nullptr, OPT_TRACE},
    {"stats", no_argument, nullptr, OPT_STATS},
    {"help", no_argument, nullptr, OPT_HELP},
    {"fast", no_argument, nullptr, OPT_FAST},
    {"max-words", required_argument, nullptr, OPT_MAXWORDS},
    {"min-length", required_argument, nullptr, OPT_MINLENGTH},
    {nullptr, 0, nullptr, 0},
};

int main(int argc, char **argv)
{
    FinderWindow win;
    std::string path;
    int ntext = 0, stats = 0, fast = 0, opt;

    opterr = 0;     /* the messages below say it in the finder's own words */
    while ((opt = getopt_long(argc, argv, ":mw:", longopts, nullptr)) != -1) {
        switch (opt) {
        case 'm':
            win.type = MULTI_WORD;
            break;
        case 'w':
            if (optarg[0] == '\0')
                return fail("the word file name is empty: -w FILE");
            path = optarg;
            break;
        case OPT_TRACE:
            trace = 1;
            break;
        case OPT_STATS:
            stats = 1;
            break;
        case OPT_HELP:
            fputs(usage, stdout);
            return written(0) ? 0 : 2;
        case OPT_FAST:
            fast = 1;
            break;
        case OPT_MAXWORDS:
            if ((maxwords = number("--max-words", optarg, 1, WORDS_MAX)) < 0)
                return 2;
            break;
        case OPT_MINLENGTH:
            if ((minlength = number("--min-length", optarg, 1, WORD_MAX)) < 0)
                return 2;
            break;
        case ':': {   /* an option without its argument */
            if (optopt == 'w')
                return fail("option needs a file name: -w FILE");
            std::string msg = std::string("option '") + argv[optind - 1] + "' needs an argument";
            return fail(msg.c_str());
        }
        default: {   /* an unknown option, or an argument given to one that takes none */
            bool letter = optopt > 0 && optopt < 128 && !strchr("mw", optopt);
            std::string msg = letter ? std::string("unknown option '-") + (char)optopt + "'"
                                     : std::string("unknown option '") + argv[optind - 1] + "'";
            return fail(msg.c_str());
        }
        }
    }
    int i = optind;
    for (; i < argc; i++, ntext++)
        win.text += (ntext ? " " : "") + std::string(argv[i]);
    if (ntext == 0)
        return fail("no TEXT to find anagrams of");
    if (fast && trace)
        return fail("--trace shows the passes over the word file, which --fast does not make");
    if (path.empty())
        path = defaultwords(argv[0]);

    dictsource(DICT_FILE);
    if (dictopen(path.c_str())) {
        fprintf(stderr, "vexlore-find: cannot open word file '%s': %s\n", path.c_str(),
                errno == EINVAL ? "not a regular file"
                : errno == EILSEQ ? "UTF-16 text, but a word file is 8-bit text (ANSI or UTF-8)"
                : strerror(errno));
        return 2;
    }
    /* a long list goes out in blocks of 64 KiB, not of the default size */
    static char outbuf[1 << 16];
    setvbuf(stdout, outbuf, _IOFBF, sizeof outbuf);
    signal(SIGINT, oninterrupt);
    auto start = std::chrono::steady_clock::now();
    int r = fast ? fastsearch(&win) : search(&win);
    if (r == FAST_FULL) {
        fprintf(stderr, "vexlore-find: more than %d words fit the text, more than --fast keeps; "
                "searching without it\n", FAST_WORDS);
        fast = 0;
        r = search(&win);
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    dictclose();
    if (stats && fast)
        fprintf(stderr, "vexlore-find: kept %d of %lld words read, found %lld lines in %.3f s, "
                "%.0f lines/s\n", faststats.kept, faststats.read, faststats.lines, secs,
                secs > 0 ? faststats.lines / secs : 0.0);
    else if (stats)
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
    /* Ctrl-C from here on ends the program at once; the search is over */
    signal(SIGINT, SIG_DFL);
    std::sort(win.lines.begin(), win.lines.end());
    int werr = 0;
    for (const Line &line : win.lines) {
        /* a stopped search that found nothing has no placeholder line:
        ** it did not look everywhere */
        if (!win.found && win.stop)
            break;
        const char *text = line.c_str();
        if (fputs(text, stdout) == EOF || (!win.found && fputc('\n', stdout) == EOF)) {
            werr = errno;
            break;
        }
    }
    if (!written(werr))
        return 2;
    if (win.stop) {
        fprintf(stderr, "vexlore-find: the search was stopped; the %d lines printed "
                "are those found so far\n", win.found);
        return 130;     /* as for a program ended by SIGINT */
    }
    return win.found ? 0 : 1;
}
