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

#include <chrono>
#include <memory>
#include <string>

#include "cli/best.h"
#include "cli/linestore.h"
#include "cli/platform.h"
#include "dictionary/dict.h"
#include "engine/fastsearch.h"
#include "dictionary/linescan.h"
#include "engine/search.h"
#include "model/rank.h"

static const char usage[] =
    "usage: vexlore-find [-m|--multi] [-w FILE|--words=FILE] [--fast] [--max-words N]\n"
    "                    [--min-length N] [--memory SIZE] [--best[=N]] [--model FILE]\n"
    "                    [--trace] [--stats] [--help] [--] TEXT...\n"
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
    "      --memory SIZE  keep at most SIZE bytes of result lines in memory (a\n"
    "                     number with K, M or G for KiB, MiB or GiB; at least\n"
    "                     64K; default 256M); more go sorted to temporary files\n"
    "                     in TMPDIR (Windows: the temporary folder) until the end\n"
    "      --best[=N]     only the N best combinations of words (default 20), each\n"
    "                     set of words once, in its best order, best first, as a\n"
    "                     model of English text scores them as a sentence; sets\n"
    "                     that take a word of TEXT come after those that do not,\n"
    "                     and TEXT's own words are left out. Implies -m; with\n"
    "                     at most 1 word (--max-words), single words by how\n"
    "                     common they are.\n"
    "                     Without the model: fewest words first, then the\n"
    "                     longest shortest word. With --stats, each line's\n"
    "                     score (log10 probability less 1 a word) and that\n"
    "                     per word follow it\n"
    "      --model FILE   the model --best ranks by (default: 'english.model'\n"
    "                     beside the program)\n"
    "      --trace        write the search's progress to standard error\n"
    "                     (not with --fast)\n"
    "      --stats        write the words examined (with --fast: the words\n"
    "                     kept and the lines found), the time taken and the\n"
    "                     temporary files used to standard error\n"
    "      --help         show this text\n"
    "      --             end of the options: what follows is TEXT\n"
    "\n"
    "Options may come before, between or after the TEXT arguments.\n"
    "Ctrl-C stops the search and prints what was found so far.\n"
    "Exit status: 0 lines found, 1 none found, 2 usage, word file, model file,\n"
    "memory, temporary file or output error, 130 stopped by Ctrl-C.\n";

/* Ctrl-Cs so far: one stops the search, one more the printing. */
static volatile sig_atomic_t interrupted;
static sig_atomic_t printing;   /* the count when the printing started */

static void oninterrupt(int)
{
    interrupted = interrupted + 1;
}

/* The finder's side of the search: the text from the command line and
** the result lines, kept until the search ends, within the memory given. A
** store that fails (memory, a full disk) stops the search as Ctrl-C does. */
class FinderWindow : public SearchWindow {
public:
    std::string text;
    int type = SINGLE_WORD;
    size_t memory = STORE_DEFAULT;
    std::unique_ptr<LineStore> lines;
    long long found = 0;    /* real result lines, not the placeholder */
    int stop = 0;
    int failed = 0;         /* the store failed: lines->error() says how */

    void takeinput(const char **t, int *ty) override { *t = text.c_str(); *ty = type; }
    void clearlist() override
    {
        lines.reset(new LineStore(memory));
        found = 0;
    }
    void addline(const char *line) override
    {
        size_t n = strlen(line);
        if (failed || lines->add(line, n)) {
            failed = stop = 1;
            return;
        }
        if (n > 0 && line[n - 1] == '\n')
            found++;
    }
    int countlines() override { return lines->count() > 0 || failed; }
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

/* The value of --memory: bytes, with K, M or G for KiB, MiB or GiB, from
** STORE_MIN to what the address space can hold; 0 after a message. */
static size_t memsize(const char *arg)
{
    const size_t most = (size_t)1 << (sizeof(void *) < 8 ? 30 : 40);
    char *end;
    errno = 0;
    unsigned long long n = strtoull(arg, &end, 10);
    int shift = 0;
    if (*end && !end[1])
        shift = *end == 'K' || *end == 'k' ? 10 : *end == 'M' || *end == 'm' ? 20
              : *end == 'G' || *end == 'g' ? 30 : -1;
    if (end == arg || arg[0] == '-' || errno || shift < 0 || (*end && end[1]) ||
        n > most >> shift || (n << shift) < STORE_MIN) {
        fprintf(stderr, "vexlore-find: --memory takes a size from 64K to %uG, such as 256M, "
                "not '%s'\n%s", (unsigned)(most >> 30), arg, "Try 'vexlore-find --help'.\n");
        return 0;
    }
    return (size_t)(n << shift);
}

/* Where the lines go as the store hands them out. */
struct Output {
    int placeholder;    /* the one line is the placeholder: end it */
    int werr;           /* errno of a failed write */
};

/* Prints one line; 1 when Ctrl-C came (a blocked write gives way to it),
** 2 when the write failed. */
static int putline(const char *line, size_t n, void *ctx)
{
    Output *out = (Output *)ctx;
    if (interrupted != printing)
        return 1;
    if (fwrite(line, 1, n, stdout) != n || (out->placeholder && fputc('\n', stdout) == EOF)) {
        out->werr = errno;
        return interrupted != printing ? 1 : 2;
    }
    return 0;
}

enum { OPT_TRACE = 256, OPT_STATS, OPT_HELP, OPT_FAST, OPT_MAXWORDS, OPT_MINLENGTH, OPT_MEMORY,
       OPT_BEST, OPT_MODEL };

static const struct option longopts[] = {
    {"multi", no_argument, nullptr, 'm'},
    {"words", required_argument, nullptr, 'w'},
    {"trace", no_argument, nullptr, OPT_TRACE},
    {"stats", no_argument, nullptr, OPT_STATS},
    {"help", no_argument, nullptr, OPT_HELP},
    {"fast", no_argument, nullptr, OPT_FAST},
    {"max-words", required_argument, nullptr, OPT_MAXWORDS},
    {"min-length", required_argument, nullptr, OPT_MINLENGTH},
    {"memory", required_argument, nullptr, OPT_MEMORY},
    {"best", optional_argument, nullptr, OPT_BEST},
    {"model", required_argument, nullptr, OPT_MODEL},
    {nullptr, 0, nullptr, 0},
};

int main(int argc, char **argv)
{
    FinderWindow win;
    std::string path;
    int ntext = 0, stats = 0, fast = 0, opt;
    BestOptions best = {"", "", 0, 0, 0};

    opterr = 0;     /* the messages below say it in the finder's own words */
    while ((opt = getopt_long(argc, argv, ":mw:", longopts, nullptr)) != -1) {
        switch (opt) {
        case 'm':
            win.type = MULTI_WORD;
            break;
        case 'w':
            if (optarg[0] == '\0')
                return fail("the word file name is empty: -w FILE");
            path = widearg(argc, argv, optarg);
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
        case OPT_MEMORY:
            if ((win.memory = memsize(optarg)) == 0)
                return 2;
            break;
        case OPT_BEST:
            if ((best.most = optarg ? number("--best", optarg, 1, RANK_MOST) : 20) < 0)
                return 2;
            break;
        case OPT_MODEL:
            if (optarg[0] == '\0')
                return fail("the model file name is empty: --model FILE");
            best.model = widearg(argc, argv, optarg);
            best.named = 1;
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
    if (best.most && trace)
        return fail("--trace shows the passes over the word file, which --best does not make");
    if (path.empty())
        path = selfwords(argv[0]);

    dictsource(DICT_FILE);
    if (dictopen(path.c_str())) {
        fprintf(stderr, "vexlore-find: cannot open word file '%s': %s\n", path.c_str(),
                errno == EINVAL ? "not a regular file"
                : errno == EILSEQ ? "UTF-16 or UTF-32 text, but a word file is 8-bit text (ANSI or UTF-8)"
                : strerror(errno));
        return 2;
    }
    if (best.most) {
        if (best.model.empty()) {
            std::string self = selfwords(argv[0]);
            best.model = self.substr(0, self.size() - 5) + "english.model";
        }
        best.text = win.text;
        best.stats = stats;
        int r = findbest(&best);
        dictclose();
        return written(0) ? r : 2;
    }
    /* a long list goes out in blocks of 64 KiB, not of the default size */
    static char outbuf[1 << 16];
    setvbuf(stdout, outbuf, _IOFBF, sizeof outbuf);
    catchinterrupt(oninterrupt);
    auto start = std::chrono::steady_clock::now();
    int r = fast ? fastsearch(&win) : search(&win);
    if (r == FAST_FULL) {
        if (faststats.kept >= FAST_WORDS)
            fprintf(stderr, "vexlore-find: more than %d words fit the text, more than --fast "
                    "keeps; searching without it\n", FAST_WORDS);
        else
            fprintf(stderr, "vexlore-find: the words that fit the text take more than %d MiB, "
                    "more than --fast keeps; searching without it\n", FAST_POOL >> 20);
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
    if (stats && win.lines->runs() > 0)
        fprintf(stderr, "vexlore-find: %lld lines went through %d sorted runs in temporary "
                "files\n", win.lines->count(), win.lines->runs());
    if (win.failed) {
        fprintf(stderr, "vexlore-find: cannot keep the results: %s; nothing printed\n",
                win.lines->error());
        return 2;
    }
    /* a stopped search that found nothing has no placeholder line: it did
    ** not look everywhere */
    Output out = {!win.found, 0};
    printing = interrupted;
    int put = !win.found && win.stop ? 0 : win.lines->each(putline, &out);
    if (put == 0 && fflush(stdout) != 0)
        put = interrupted != printing ? 1 : 0;  /* else written() tells */
    if (put == 1) {
        fprintf(stderr, "vexlore-find: stopped by Ctrl-C while printing the results; the lines "
                "printed are the first of the %lld found\n", win.found);
        return 130;
    }
    if (put == -1) {
        fflush(stdout);
        fprintf(stderr, "vexlore-find: cannot print the results: %s\n", win.lines->error());
        return 2;
    }
    if (!written(put == 2 ? (out.werr ? out.werr : EIO) : 0))
        return 2;
    if (win.stop) {
        fprintf(stderr, "vexlore-find: the search was stopped; the %lld lines printed "
                "are those found so far\n", win.found);
        return 130;     /* as for a program ended by SIGINT */
    }
    return win.found ? 0 : 1;
}
