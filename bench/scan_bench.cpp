/*
** How long one examined word takes: a whole pass over the word file as the
** search makes it, and whole searches, in nanoseconds per word. Run from
** the build folder, where the words file lies, or give its path in
** VEXLORE_WORDS.
*/
#include <stdlib.h>
#include <string.h>

#include <string>

#include <benchmark/benchmark.h>

#include "dictionary/dict.h"
#include "dictionary/linescan.h"
#include "engine/search.h"

static const char *wordspath()
{
    const char *p = getenv("VEXLORE_WORDS");
    return p ? p : "words";
}

/* One pass: position at the start, then every word with the rarest-letter
** test, here for 'y', the rarest letter of 'dirty room'. */
static void BM_Pass(benchmark::State &state)
{
    dictsource(DICT_FILE);
    if (dictopen(wordspath())) {
        state.SkipWithError("no words file");
        return;
    }
    char word[WORD_MAX + 1] = "";
    int offset = 0, more = 0;
    long long words = 0, hits = 0;
    for (auto _ : state) {
        dictposition("", 0);
        for (dictnext(word, &offset, &more); more; dictnext(word, &offset, &more)) {
            hits += strchr(word, 'y') != NULL;
            words++;
        }
    }
    benchmark::DoNotOptimize(hits);
    dictclose();
    state.counters["ns/word"] = benchmark::Counter(
        (double)words, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["words"] = (double)words / (double)state.iterations();
}
BENCHMARK(BM_Pass)->Unit(benchmark::kMillisecond);

/* Forces scan version kind and opens the benchmark's word file; false,
** with the benchmark skipped, when either cannot be done. */
static bool openwith(benchmark::State &state, int kind)
{
    if (!scanuse(kind)) {
        state.SkipWithError("the processor does not run this version");
        return false;
    }
    dictsource(DICT_FILE);
    if (dictopen(wordspath())) {
        state.SkipWithError("no words file");
        return false;
    }
    return true;
}

/* One pass as the search makes it for 'astronomer': every word either
** passed over by the scan or read for the exact tests. */
static void BM_ScanPass(benchmark::State &state, int kind)
{
    if (!openwith(state, kind))
        return;
    char word[WORD_MAX + 1] = "";
    int offset = 0, more = 0, passed = 0;
    long long words = 0;
    for (auto _ : state) {
        dictposition("", 0);
        for (more = 1; more; words += passed + more)
            dictscan("aeomnorrst", word, &offset, &more, &passed);
    }
    dictclose();
    state.counters["ns/word"] = benchmark::Counter(
        (double)words, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

class CountingWindow : public SearchWindow {
public:
    const char *text;
    int type;
    int lines = 0, stop = 0;
    void takeinput(const char **t, int *ty) override { *t = text; *ty = type; }
    void clearlist() override { lines = 0; }
    void addline(const char *) override { lines++; }
    int countlines() override { return lines; }
    void startbusy() override {}
    void stopbusy() override {}
    void pump() override {}
    int pumpwords() override { return 4096; }
    int *stopflag() override { return &stop; }
};

/* A whole multi-word search, end to end, per examined word. */
static void BM_Search(benchmark::State &state, const char *text, int kind)
{
    if (!openwith(state, kind))
        return;
    CountingWindow win;
    win.text = text;
    win.type = MULTI_WORD;
    long long words = 0;
    for (auto _ : state) {
        search(&win);
        words += examined;
    }
    dictclose();
    state.counters["ns/word"] = benchmark::Counter(
        (double)words, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["Mwords/s"] = benchmark::Counter((double)words / 1e6, benchmark::Counter::kIsRate);
}

int main(int argc, char **argv)
{
    for (int k = SCAN_PLAIN; k < SCAN_KINDS; k++) {
        std::string name = scanname(k);
        benchmark::RegisterBenchmark(("BM_ScanPass/" + name).c_str(), BM_ScanPass, k)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("BM_Search/dirty_room/" + name).c_str(), BM_Search,
                                     "dirty room", k)->Unit(benchmark::kMillisecond);
        if (k != SCAN_PLAIN)
            benchmark::RegisterBenchmark(("BM_Search/astronomer/" + name).c_str(), BM_Search,
                                         "astronomer", k)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
