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
#include "cli/filters.h"
#include "cli/linestore.h"
#include "cli/platform.h"
#include "dictionary/dict.h"
#include "engine/fastsearch.h"
#include "engine/search.h"
#include "model/rank.h"

static const char usage[] =
    "usage: vexlore-find [-m|--multi] [-w FILE|--words=FILE] [--fast] [--max-words N]\n"
    "                    [--min-length N] [--contains WORDS] [--exclude WORDS]\n"
    "                    [--lengths L1,L2,...] [--candidates] [--limit N]\n"
    "                    [--memory SIZE] [--best[=N]] [--model FILE]\n"
    "                    [--related FILE] [--trace] [--stats] [--help] [--] TEXT...\n"
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
    "      --contains WORDS  every line starts with these words, in this order;\n"
    "                     their letters come out of TEXT (may be repeated)\n"
    "      --exclude WORDS   never use these words of the word file (may be\n"
    "                     repeated)\n"
    "      --lengths L1,L2,...  only lines of words of exactly these lengths, in\n"
    "                     this order, in every order that fits (a crossword's\n"
    "                     enumeration; implies -m)\n"
    "      --candidates   list the words made of some of the letters of TEXT,\n"
    "                     longest first\n"
    "      --limit N      print at most N lines; say so when there were more\n"
    "      --memory SIZE  keep at most SIZE bytes of result lines in memory (a\n"
    "                     number with K, M or G for KiB, MiB or GiB; at least\n"
    "                     64K; default 256M); more go sorted to temporary files\n"
    "                     in TMPDIR (Windows: the temporary folder) until the end\n"
    "      --best[=N]     only the N best combinations of words (default 20), each\n"
    "                     set of words once, in its best order, best first, as a\n"
    "                     model of English text scores them as a sentence, with\n"
    "                     a bonus for each word related to TEXT and 5 taken for\n"
    "                     each word of TEXT or chunk of one ('master' for\n"
    "                     'schoolmaster'); TEXT's own words are left out.\n"
    "                     Implies -m; with at most 1 word (--max-words),\n"
    "                     single words by how common they are.\n"
    "                     Without the model: fewest words first, then the\n"
    "                     longest shortest word. With --stats, each line's\n"
    "                     score and that per word follow it, then its fluency\n"
    "                     (log10 probability less 1 a word), its bonus for\n"
    "                     related words, its demotion for chunks of TEXT, and\n"
    "                     the words related ('radium ~ curie')\n"
    "      --model FILE   the model --best ranks by (default: 'english.model'\n"
    "                     beside the program)\n"
    "      --related FILE the words related by meaning that the ranking adds\n"
    "                     a bonus for (default: 'english.related' beside the\n"
    "                     model); without it, it ranks by the model alone\n"
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
    "memory, temporary file or output error, 130 stopped by Ctrl-C, 141 the\n"
    "output's reader closed it early.\n";

/* Ctrl-Cs so far: one stops the search, one more the printing. */
static volatile sig_atomic_t interrupted;
static sig_atomic_t printing;   /* the count when the printing started */

static void oninterrupt(int)
{
    interrupted = interrupted + 1;
}

/* The ranking's poll: a Ctrl-C stops it. */
static int interruptpoll(void *)
{
    return interrupted != 0;
}

/* Where the lines go as they are printed. */
struct Output {
    int placeholder;    /* the one line is the placeholder: end it */
    int werr;           /* errno of a failed write */
    long long limit;    /* lines to print at most, or 0 */
    long long printed;
    int cut;            /* a line beyond the limit came */
    size_t used;
    char buf[1 << 16];  /* lines not yet written: stdio's own calls cost more a line */
};

static int putline(const char *line, size_t n, void *ctx);

/* The finder's side of the search: the text from the command line and
** the result lines. Lines that come in the order they are printed in go
** straight out; the rest are kept until the search ends, within the memory
** given. A store or a write that fails (memory, a full disk, a reader gone)
** stops the search as Ctrl-C does. */
class FinderWindow : public SearchWindow {
public:
    std::string text;
    int type = SINGLE_WORD;
    size_t memory = STORE_DEFAULT;
    std::unique_ptr<LineStore> lines;
    const FilterWindow *filter = nullptr;   /* says when lines come in order */
    Output out = {};
    long long found = 0;    /* real result lines, not the placeholder */
    int stop = 0;
    int failed = 0;         /* the store failed: lines->error() says how */
    int streamed = 0;       /* 0, or what putline said of a line printed at once */

    void takeinput(const char **t, int *ty) override { *t = text.c_str(); *ty = type; }
    void clearlist() override
    {
        lines.reset(new LineStore(memory));
        found = 0;
    }
    void addline(const char *line) override
    {
        size_t n = strlen(line);
        int real = n > 0 && line[n - 1] == '\n';
        if (real && filter && filter->inorder()) {
            found++;
            if (streamed == 0 && (streamed = putline(line, n, &out)) != 0 && streamed != 3)
                stop = 1;
            streamed = streamed == 3 ? 0 : streamed;    /* the limit stops the search itself */
            return;
        }
        if (failed || lines->add(line, n)) {
            failed = stop = 1;
            return;
        }
        if (real)
            found++;
    }
    int countlines() override { return found > 0 || lines->count() > 0 || failed; }
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

/* The exit status when the output's reader has gone, as of a program
** ended by SIGPIPE. */
#define EXIT_READERGONE 141

/* Flushes standard output. Returns 0 when everything written went out,
** else the exit status: for a reader that closed the pipe (head -1)
** EXIT_READERGONE, without a word, as SIGPIPE ends the finder where it is
** not ignored (Windows has none); for any other failed write (werr, or
** the flush) 2, with what could not be written and why. A full disk or a
** closed output never passes for lines printed. */
static int written(int werr, const char *what)
{
    if (fflush(stdout) != 0 && !werr)
        werr = outerrno(errno);
    if (!werr && ferror(stdout))
        werr = EIO;
    if (!werr)
        return 0;
    if (werr == EPIPE)
        return EXIT_READERGONE;
    fprintf(stderr, "vexlore-find: cannot write %s: %s\n", what, strerror(werr));
    return 2;
}

/* The text holds more letters than a search can take: says so, exit 2. */
static int toolong(void)
{
    fprintf(stderr, "vexlore-find: the text holds more than %d letters, "
            "which is more than a search can take (an accented letter or a symbol "
            "may count as two to four)\n", TEXT_MAX);
    return 2;
}

/* The word file's size or time of last change was not, at the end of the
** search, what it was when the finder opened it: lines may have gone
** unread or been read twice. Says so, with what became of the lines; exit
** 2, as for a word file that cannot be read. */
static int filechanged(const std::string &path, const char *then)
{
    fprintf(stderr, "vexlore-find: the word file changed during the search ('%s'); %s\n",
            path.c_str(), then);
    return 2;
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

/* Writes the lines held in out->buf; 0, or as putline says. */
static int drain(Output *out)
{
    size_t n = out->used;
    out->used = 0;
    if (fwrite(out->buf, 1, n, stdout) != n) {
        out->werr = outerrno(errno);
        return interrupted != printing ? 1 : 2;
    }
    return 0;
}

/* Prints one line; 1 when Ctrl-C came (a blocked write gives way to it),
** 2 when the write failed, 3 for a line beyond the limit, which is not
** printed. The last lines wait in out->buf for drain(). */
static int putline(const char *line, size_t n, void *ctx)
{
    Output *out = (Output *)ctx;
    if (interrupted != printing)
        return 1;
    if (out->limit && out->printed == out->limit) {
        out->cut = 1;
        return 3;
    }
    out->printed++;
    if (out->used + n + 1 > sizeof out->buf) {
        int r = drain(out);
        if (r)
            return r;
        if (n + 1 > sizeof out->buf)
            return fwrite(line, 1, n, stdout) == n ? 0 : (out->werr = outerrno(errno), interrupted != printing ? 1 : 2);
    }
    memcpy(out->buf + out->used, line, n);
    out->used += n;
    if (out->placeholder)
        out->buf[out->used++] = '\n';
    return 0;
}

enum { OPT_TRACE = 256, OPT_STATS, OPT_HELP, OPT_FAST, OPT_MAXWORDS, OPT_MINLENGTH, OPT_MEMORY,
       OPT_CONTAINS, OPT_EXCLUDE, OPT_LENGTHS, OPT_CANDIDATES, OPT_LIMIT,
       OPT_BEST, OPT_MODEL, OPT_RELATED };

/* What ends the folder part of a file name. */
#ifdef _WIN32
#define PATH_CUT "/\\"
#else
#define PATH_CUT "/"
#endif

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
    {"contains", required_argument, nullptr, OPT_CONTAINS},
    {"exclude", required_argument, nullptr, OPT_EXCLUDE},
    {"lengths", required_argument, nullptr, OPT_LENGTHS},
    {"candidates", no_argument, nullptr, OPT_CANDIDATES},
    {"limit", required_argument, nullptr, OPT_LIMIT},
    {"best", optional_argument, nullptr, OPT_BEST},
    {"model", required_argument, nullptr, OPT_MODEL},
    {"related", required_argument, nullptr, OPT_RELATED},
    {nullptr, 0, nullptr, 0},
};

/* The long name of the option getopt_long() returned as opt. */
static const char *optname(int opt)
{
    const struct option *o = longopts;
    while (o->name && o->val != opt)
        o++;
    return o->name ? o->name : "?";
}

/* A filter's option refused: its one line, and the usage status. */
static int refuse(const std::string &why)
{
    fprintf(stderr, "vexlore-find: %s\n", why.c_str());
    return 2;
}

/* The value of --limit: 1 or more; 0 when it is not such a number. */
static long long limitof(const char *arg)
{
    char *end;
    errno = 0;
    long long n = strtoll(arg, &end, 10);
    return end == arg || *end || errno || n < 1 ? 0 : n;
}

int main(int argc, char **argv)
{
    FinderWindow win;
    Filters filters;
    std::string path, why;
    int ntext = 0, stats = 0, fast = 0, opt, given = 0;
    BestOptions best = {"", "", "", 0, "", 0, 0, 0, "", 0, nullptr, 0, 0, 0, nullptr};

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
            return written(fputs(usage, stdout) == EOF ? outerrno(errno) : 0, "the help text");
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
        case OPT_CONTAINS:
            why = addwords("--contains", optarg, &filters.contains);
            break;
        case OPT_EXCLUDE:
            why = addwords("--exclude", optarg, &filters.exclude);
            break;
        case OPT_LENGTHS:
        case OPT_CANDIDATES:
        case OPT_LIMIT:     /* each once: a second would contradict the first */
            if (given & (1 << (opt - OPT_CONTAINS)))
                return refuse(std::string("--") + optname(opt) + " is given twice");
            given |= 1 << (opt - OPT_CONTAINS);
            if (opt == OPT_LENGTHS)
                why = parselengths(optarg, &filters);
            else if (opt == OPT_CANDIDATES)
                filters.candidates = 1;
            else if ((filters.limit = limitof(optarg)) == 0)
                why = std::string("--limit takes a number of lines from 1, not '") + optarg + "'";
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
        case OPT_RELATED:
            if (optarg[0] == '\0')
                return fail("the relatedness file name is empty: --related FILE");
            best.related = widearg(argc, argv, optarg);
            best.relnamed = 1;
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
        if (!why.empty())
            return refuse(why);
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
                dictcause(errno));
        return 2;
    }
    if (!(why = checkfilters(filters, win.text)).empty()) {
        dictclose();
        return refuse(why);
    }
    /* --best ranks each set of words once, in its best order: the filters
    ** that choose the words apply before it; those that list orders or
    ** single words are for the full list */
    if (best.most && filters.nlengths && !filters.contains.empty()) {
        dictclose();
        return refuse("--best takes --lengths or --contains, not both");
    }
    if (best.most) {
        if (countletters(win.text.c_str()) > TEXT_MAX) {
            dictclose();
            return toolong();
        }
        if (best.model.empty()) {
            std::string self = selfwords(argv[0]);
            best.model = self.substr(0, self.size() - 5) + "english.model";
        }
        if (best.related.empty()) {     /* beside the model */
            size_t cut = best.model.find_last_of(PATH_CUT);
            best.related = (cut == std::string::npos ? "" : best.model.substr(0, cut + 1)) +
                           "english.related";
        }
        best.text = win.text;
        best.whole = win.text;
        for (const std::string &w : filters.contains)
            best.prefix += w + " ";
        best.nprefix = (int)filters.contains.size();
        if (best.nprefix) {
            std::string lacking;    /* none: checkfilters saw to it */
            takewords(win.text, filters.contains, &best.text, &lacking);
        }
        best.limit = filters.limit;
        best.lengths = filters.lengths;
        best.nlengths = filters.nlengths;
        best.candidates = filters.candidates;
        best.stats = stats;
        best.poll = interruptpoll;
        catchinterrupt(oninterrupt);
        int r = findbest(&best);
        int changed = dictchanged();
        dictclose();
        int bad = written(0, "the results");
        if (bad)
            return bad;
        if (changed && r != 2)
            return filechanged(path, "the lines printed were ranked from what was read");
        return r;
    }
    /* a long list goes out in blocks of 64 KiB, not of the default size */
    static char outbuf[1 << 16];
    setvbuf(stdout, outbuf, _IOFBF, sizeof outbuf);
    catchinterrupt(oninterrupt);
    auto start = std::chrono::steady_clock::now();
    FilterWindow filtered(&win, filters);
    win.filter = &filtered;
    win.out.limit = filters.limit;
    int r = filteredsearch(&filtered, fast);
    if (r == FAST_FULL) {
        if (faststats.kept >= FAST_WORDS)
            fprintf(stderr, "vexlore-find: more than %d words fit the text, more than --fast "
                    "keeps; searching without it\n", FAST_WORDS);
        else
            fprintf(stderr, "vexlore-find: the words that fit the text take more than %d MiB, "
                    "more than --fast keeps; searching without it\n", FAST_POOL >> 20);
        fast = 0;
        r = filteredsearch(&filtered, 0);
    }
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int changed = dictchanged();
    dictclose();
    if (stats && fast)
        fprintf(stderr, "vexlore-find: kept %d of %lld words read, found %lld lines in %.3f s, "
                "%.0f lines/s\n", faststats.kept, faststats.read, faststats.lines, secs,
                secs > 0 ? faststats.lines / secs : 0.0);
    else if (stats)
        fprintf(stderr, "vexlore-find: examined %lld words in %.3f s, %.1f million words/s "
                "(scan: %s)\n", examined, secs, secs > 0 ? examined / secs / 1e6 : 0.0,
                searchscan());
    if (r == SEARCH_TOOLONG)
        return toolong();
    if (r != SEARCH_OK && changed)
        return filechanged(path, "it could not be read on");
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
    ** not look everywhere, nor did one over a file that changed under it; a
    ** Ctrl-C while lines went straight out stopped the search, and is said
    ** so below */
    Output &out = win.out;
    out.placeholder = !win.found;
    int put = win.streamed == 1 ? 0 : win.streamed;
    if (put == 0) {
        printing = interrupted;
        put = !win.found && (win.stop || changed) ? 0 : win.lines->each(putline, &out);
        put = put == 3 ? 0 : put;   /* the lines beyond the limit */
    }
    if (put == 0)
        put = drain(&out);
    if (put == 0 && fflush(stdout) != 0) {
        out.werr = outerrno(errno);     /* a flush again would lose it */
        put = interrupted != printing ? 1 : 2;
    }
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
    if (int bad = written(put == 2 ? (out.werr ? out.werr : EIO) : 0, "the results"))
        return bad;
    if (out.cut)
        fprintf(stderr, "vexlore-find: the list was cut at --limit %lld lines; the search "
                "found more\n", out.limit);
    int stopped = win.stop && !filtered.cut();
    if (stopped)
        fprintf(stderr, "vexlore-find: the search was stopped; the %lld lines printed "
                "are those found so far\n", out.printed);
    if (changed)
        return filechanged(path, "the lines printed may be incomplete");
    if (stopped)
        return 130;     /* as for a program ended by SIGINT */
    return win.found ? 0 : 1;
}
