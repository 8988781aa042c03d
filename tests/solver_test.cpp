/* The dialog's rules, tested once against a fake view: every window (Win32,
** GTK, the page) runs this logic, and their drivers check only what each
** platform adds. */
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dictionary/dict.h"
#include "engine/fastsearch.h"
#include "engine/stack.h"
#include "frontend/bestfirst.h"
#include "frontend/solver.h"
#include "tests/testutil.h"

typedef std::vector<std::string> Lines;

/* A dialog that records what the logic does to it. Its clock moves one
** millisecond a call; onevent runs where a real window would dispatch a
** click. */
class FakeView : public SolverView {
public:
    std::string text;
    int type = MULTI_WORD;
    Lines lines, messages;
    int shown = 0;          /* lines drawn by the last showlines */
    int showcalls = 0, events = 0, ends = 0, clears = 0;
    int maxlines = 1 << 30;
    bool playing = false;
    unsigned now = 0;
    std::function<void()> onevent;
    bool best = false;      /* the Best first box */
    int orders = 0;         /* ranked() calls */
    bool inrank = false;    /* as the last said */

    void input(const char **t, int *ty) override { *t = text.c_str(); *ty = type; }
    void clearlines() override { lines.clear(); shown = 0; clears++; }
    bool addline(const char *line) override
    {
        if ((int)lines.size() >= maxlines)
            return false;
        lines.push_back(line);
        return true;
    }
    int countlines() override { return (int)lines.size(); }
    void showlines() override { shown = (int)lines.size(); showcalls++; }
    void busy(bool on) override { playing = on; }
    void takeevent() override
    {
        events++;
        if (onevent)
            onevent();
    }
    void message(const char *t) override { messages.push_back(t); }
    void causemessage(const char *t, const char *why) override
    {
        messages.push_back(std::string(t) + "|" + why);
    }
    unsigned clock() override { return now++; }
    void end() override { ends++; }
    SolverSearch ranking() override { return best ? bestsearch : nullptr; }
    void ranked(bool on) override { inrank = on; orders++; }
};

struct Dialog {
    FakeView view;
    int stop = 0;
    Solver solver;

    explicit Dialog(const char *words = nine_words, SolverSearch run = search)
        : solver(&view, &stop, run)
    {
        EXPECT_TRUE(solver.open(makefile(words).c_str()));
    }
    Lines run(const std::string &text, int type)
    {
        view.text = text;
        view.type = type;
        solver.start();
        return view.lines;
    }
};

/* Lines go in without their line feed, and a search leaves every line
** drawn, the placeholder too, which comes after the clip has stopped. */
TEST(Solver, LinesAndPlaceholderAreShown)
{
    Dialog d;
    Lines got = d.run("dirty room", MULTI_WORD);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (Lines{"dirty moor ", "dirty room ", "dormitory "}));
    EXPECT_EQ(d.view.shown, 3);
    EXPECT_EQ(d.run("vexlore", MULTI_WORD), (Lines{"*No anagrams found*"}));
    EXPECT_EQ(d.view.shown, 1);
    EXPECT_FALSE(d.view.playing);
    d.solver.close();
}

/* A Start that a click delivers while the search runs is ignored, and the
** search it interrupted ends with its own lines; Stop ends it early. */
TEST(Solver, StartDuringASearchIsIgnoredAndStopEndsIt)
{
    std::string many;
    for (int i = 0; i < 3000; i++)
        many += "dirty\n";
    Dialog d(many.c_str());
    d.view.onevent = [&] {
        d.view.text = "Listen";     /* what a second search would look for */
        d.solver.start();
        d.solver.stop();
    };
    Lines got = d.run("dirty", SINGLE_WORD);
    EXPECT_LT(got.size(), 3000u) << "Stop ended the search";
    EXPECT_GT(d.view.events, 0);
    EXPECT_EQ(d.view.clears, 1) << "no second search";
    for (const std::string &line : got)
        EXPECT_EQ(line, "dirty ");
    EXPECT_EQ(strdepth(), 0);

    /* Stop while idle does not carry over: the next search runs to its end */
    d.view.onevent = nullptr;
    d.solver.stop();
    EXPECT_EQ(d.run("dirty", SINGLE_WORD).size(), 3000u);
    d.solver.close();
}

/* Close during a search stops it; the word file is closed and the dialog
** ended once, only after the search has unwound; no Start runs after. */
TEST(Solver, CloseDuringASearchEndsOnceTheSearchUnwinds)
{
    std::string many;
    for (int i = 0; i < 20000; i++)
        many += "dirty\n";
    Dialog d(many.c_str());
    int endsduring = -1;
    d.view.onevent = [&] {
        d.solver.close();
        endsduring = d.view.ends;
    };
    d.run("dirty", SINGLE_WORD);
    EXPECT_EQ(endsduring, 0);
    EXPECT_EQ(d.view.ends, 1);
    EXPECT_FALSE(d.solver.searching());
    d.view.onevent = nullptr;
    d.view.lines.clear();
    d.run("dirty", SINGLE_WORD);
    EXPECT_TRUE(d.view.lines.empty()) << "a Start after Close";
    EXPECT_EQ(d.view.ends, 1);
}

/* What fastsearch does when the words that fit do not fit its store. */
static int storefull(SearchWindow *win)
{
    const char *text;
    int type;
    win->takeinput(&text, &type);
    win->clearlist();
    win->startbusy();
    win->stopbusy();
    return FAST_FULL;
}

/* The in-memory search behind the same dialog: the same lines, and Stop
** seen between its pumps; one that finds its store too small gives way to
** search(). */
TEST(Solver, InMemorySearchAndItsFallBack)
{
    for (SolverSearch run : { fastsearch, storefull }) {
        Dialog d(nine_words, run);
        Lines got = d.run("dirty room", MULTI_WORD);
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, (Lines{"dirty moor ", "dirty room ", "dormitory "}));
        EXPECT_EQ(d.view.shown, 3);
        EXPECT_FALSE(d.view.playing);
        d.solver.close();
    }
    std::string many;
    for (int i = 0; i < 10000; i++)     /* more than a pump's words */
        many += "dirty\n";
    Dialog d(many.c_str(), fastsearch);
    d.view.onevent = [&] { d.solver.stop(); };
    EXPECT_LT(d.run("dirty", SINGLE_WORD).size(), 10000u);
    d.view.onevent = nullptr;
    EXPECT_EQ(d.run("dirty", SINGLE_WORD).size(), 10000u);
    d.solver.close();
}

/* A list that takes no more lines stops the search; its lines stay and one
** message says how many it holds. */
TEST(Solver, FullListStopsTheSearchWithItsMessage)
{
    std::string many;
    for (int i = 0; i < 5000; i++)
        many += "dirty\n";
    Dialog d(many.c_str());
    d.view.maxlines = 100;
    EXPECT_EQ(d.run("dirty", SINGLE_WORD).size(), 100u);
    EXPECT_EQ(d.view.messages, (Lines{"The results list is full: it holds 100 lines. The search "
                                      "was stopped; the lines found so far are kept."}));
    EXPECT_EQ(strdepth(), 0);
    d.view.maxlines = 1 << 30;
    d.view.messages.clear();
    EXPECT_EQ(d.run("dirty", SINGLE_WORD).size(), 5000u) << "the next search starts afresh";
    EXPECT_TRUE(d.view.messages.empty());
    d.solver.close();
}

/* A word file that fails under a search ends it as a search ends: the
** clip stops, the lines found stay, one message names the file, and the
** next search starts clean. */
TEST(Solver, ReadErrorStopsTheClipAndSaysSo)
{
    std::string many;
    for (int i = 0; i < 5000; i++)
        many += "dirty\n";
    Dialog d(many.c_str());
    d.view.onevent = [] { dictsource(DICT_DISABLED); };
    size_t kept = d.run("dirty", SINGLE_WORD).size();
    d.view.onevent = nullptr;
    dictsource(DICT_FILE);
    EXPECT_GT(kept, 0u);
    EXPECT_LT(kept, 5000u);
    EXPECT_FALSE(d.view.playing);
    EXPECT_EQ(d.view.shown, (int)kept);
    ASSERT_EQ(d.view.messages.size(), 1u);
    EXPECT_EQ(d.view.messages[0].rfind("Unable to read dictionary file (", 0), 0u);
    EXPECT_EQ(strdepth(), 0);
    EXPECT_EQ(d.run("dirty", SINGLE_WORD).size(), 5000u) << "the next search starts clean";
    d.solver.close();
}

TEST(Solver, TextTooLongIsSaidAndTheListKept)
{
    Dialog d;
    d.run("dirty room", MULTI_WORD);
    d.run(std::string(80, 'a'), MULTI_WORD);
    EXPECT_EQ(d.view.messages, (Lines{"The text holds more than 79 letters; blanks do not count, "
                                      "and an accented letter or a symbol may count as two to "
                                      "four."}));
    EXPECT_EQ(d.view.lines.size(), 3u) << "the list is kept";
    d.solver.close();
}

/* The word file's message keeps its text; its cause comes beneath. */
TEST(Solver, NoWordFileMessageGivesTheCause)
{
    const struct { std::string path, why; } cases[] = {
        { "no such folder/words", "No such file or directory." },
        { ".", "Is a directory." },
        { makefile(std::string("\xff\xfel\0i\0", 6)),
          "UTF-16 or UTF-32 text, but a word file is 8-bit text (ANSI or UTF-8)." },
    };
    for (const auto &c : cases) {
        FakeView view;
        int stop = 0;
        Solver none(&view, &stop);
        EXPECT_FALSE(none.open(c.path.c_str()));
        EXPECT_EQ(view.messages, (Lines{"Unable to open dictionary file (" + c.path + ").\r\n"
                                        "Ensure this file is where vexlore.exe is located.|" +
                                        c.why}));
    }
}

/* A word file rewritten while a search reads it: the lines found stay and
** one message says the list may be incomplete; the next search is quiet. */
TEST(Solver, WordFileChangedDuringASearchIsSaid)
{
    std::string many;
    for (int i = 0; i < 20000; i++)
        many += "dirty\n";
    std::string path = makefile(many);
    FakeView view;
    int stop = 0;
    Solver s(&view, &stop);
    ASSERT_TRUE(s.open(path.c_str()));
    view.onevent = [&] {
        if (FILE *f = fopen(path.c_str(), "wb")) {
            fputs("dirty\n", f);
            fclose(f);
        }
        view.onevent = nullptr;
    };
    view.text = "dirty";
    view.type = SINGLE_WORD;
    s.start();
    EXPECT_FALSE(view.lines.empty());
    EXPECT_EQ(view.messages, (Lines{"The word file changed during the search; the list may be "
                                    "incomplete."}));
    view.messages.clear();
    s.start();
    EXPECT_TRUE(view.messages.empty());
    s.close();
}

/* The pump looks at the queue at most once a clock tick, and draws new
** lines every 200 ms. */
TEST(Solver, PumpLooksOnceATickAndShowsLinesEvery200ms)
{
    FakeView view;
    int stop = 0;
    Solver s(&view, &stop);
    s.startbusy();          /* at 0 */
    view.now = 5;
    s.addline("a \n");
    unsigned ticks[] = { 5, 5, 5, 6, 150, 205, 205, 300 };
    for (unsigned t : ticks) {
        view.now = t;
        s.pump();
        view.now = t;       /* the pump read the clock once */
    }
    EXPECT_EQ(view.events, 5);      /* 5, 6, 150, 205, 300 */
    EXPECT_EQ(view.showcalls, 1);   /* at 205: 200 ms since the start */
    EXPECT_EQ(view.lines, (Lines{"a "}));
}

/* Best first: Start runs the ranking, whose lines come in its order and
** are said to (here by shape, as vexlore-find --best ranks without a
** model), each set once, the text's own words left out; a single word
** takes the words of all the letters; a text the ranking cannot take is
** said in a box; with the box off, the search. */
TEST(Solver, BestFirstRunsTheRankingInItsOrder)
{
    Dialog d("dirty\ndormitory\nmoor\nroom\nroomy\ndirt\n");
    d.view.best = true;
    EXPECT_EQ(d.run("dirty room", MULTI_WORD),
              (Lines{"dormitory ", "dirt roomy ", "dirty moor "}));
    EXPECT_TRUE(d.view.inrank);
    EXPECT_FALSE(d.view.playing);
    EXPECT_EQ(d.run("dirty moor", SINGLE_WORD), (Lines{"dormitory "}));
    EXPECT_EQ(d.run("vexlore", MULTI_WORD), (Lines{"*No anagrams found*"}));
    EXPECT_TRUE(d.view.messages.empty());
    EXPECT_EQ(d.run("abcdefghijklmnopqrstuvwxyz 0123456789", MULTI_WORD), Lines{});
    EXPECT_EQ(d.view.messages, (Lines{"The text holds more than 32 different letters and "
                                      "symbols, more than Best first can rank."}));
    EXPECT_FALSE(d.view.playing);

    d.view.best = false;
    Lines all = d.run("dirty room", MULTI_WORD);
    EXPECT_FALSE(d.view.inrank);
    EXPECT_EQ(all.size(), 4u);
    EXPECT_EQ(d.view.orders, 5);
    d.solver.close();
}
