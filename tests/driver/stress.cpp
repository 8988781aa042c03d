/*
** The stress run: searches started one after another, with Stop, the
** close box, a second Start and Close clicked at random moments, from a
** seed. After each search the window must answer, the program must still
** run (unless closed, when it must end cleanly), the list must be sorted,
** and a search that ran to its end must show every line vexlore-find
** prints for the same text and word file.
*/
#include <stdio.h>

#include <windows.h>

#include <algorithm>
#include <map>

#include "driver.h"
#include "vexwin.h"

struct Case {
    const char *text;
    bool multi;
    bool slow;      /* seconds or more: never left to run to its end */
};

/* Over the build's word list: from a few lines in a few milliseconds to
** thousands of lines in tens of seconds. */
static const Case cases[] = {
    { "evil", true, false }, { "night sky", true, false }, { "the eyes", true, false },
    { "old west", true, false }, { "tea time", true, false }, { "rain coat", true, false },
    { "dirty room", true, false }, { "word play", true, false }, { "Listen", false, false },
    { "a gentleman", true, false }, { "astronomer", true, true }, { "conversation", true, true },
};
#define NCASES (int)(sizeof cases / sizeof cases[0])

enum What { RUN, STOP, CLOSEBOX, RESTART, CLOSE };
static const char *const whatname[] = { "runs to its end", "Stop", "close box", "Start again",
                                        "Close" };

static unsigned rngstate;

static unsigned rnd(unsigned n)
{
    /* xorshift32: the same clicks for the same seed */
    rngstate ^= rngstate << 13;
    rngstate ^= rngstate >> 17;
    rngstate ^= rngstate << 5;
    return rngstate % n;
}

struct Tally {
    int actions = 0, searches = 0, complete = 0, interrupted = 0, restarts = 0;
    int clicks[5] = { 0, 0, 0, 0, 0 };
    int faults = 0;
    std::vector<double> stopms;     /* Stop clicked while a search ran: click to end */
};

static bool restart(Vex *v, const std::string &tree, Tally *t)
{
    vexend(v);
    t->restarts++;
    return vexstart(v, tree);
}

/* Waits for the search to end, making sure meanwhile that the window
** answers. FALSE if it hung or did not end within limit seconds. */
static bool waitend(Vex *v, double limit, std::string *why)
{
    for (double end = seconds() + limit; seconds() < end;) {
        if (vexwait(v, 0.3))
            return true;
        if (!vexalive(v)) {
            *why = "the program died during the search";
            return false;
        }
        if (!vexanswers(v, 3000)) {
            *why = "the window did not answer for 3 s during the search";
            return false;
        }
    }
    *why = "the search did not end";
    return false;
}

/* One search and what is clicked during it. Returns the clicks made. */
static int stressround(Vex *v, const std::string &tree, const Case *c, What what, double delay,
                 const std::vector<std::string> *want, POINT closept, Tally *t)
{
    std::string why;
    double click = 0;
    int clicks = 1;

    vextype(v, c->text);
    vexpick(v, c->multi);
    vexbegin(v);
    t->searches++;
    if (what != RUN) {
        Sleep((DWORD)(delay * 1000));
        click = seconds();
        clicks++;
        t->clicks[what]++;
        if (what == STOP)
            clickon(v->stop);
        else if (what == CLOSEBOX)
            mouseclick(closept.x, closept.y);
        else if (what == CLOSE)
            clickon(v->close);
        else if (what == RESTART) {
            /* ignored while the search runs: it goes on; then Stop */
            clickon(v->start);
            Sleep(300 + rnd(700));
            click = seconds();
            clickon(v->stop);
            clicks++;
            t->clicks[STOP]++;
        }
    }

    if (what == CLOSE) {
        DWORD code = 0;
        bool gone = vexwaitexit(v, 5, &code);
        printf("  '%s': Close %.0f ms in, the program ended %.2f s after it\n", c->text,
               delay * 1000, seconds() - click);
        if (!gone || code != 0) {
            t->faults++;
            report(false, "stress", "'%s': Close %.0f ms into the search: %s %lu", c->text,
                   delay * 1000, gone ? "exit code" : "the program did not end", code);
        }
        if (!restart(v, tree, t)) {
            t->faults++;
            report(false, "stress", "no window after a restart");
        }
        return clicks;
    }

    if (!waitend(v, c->slow && what == RUN ? 300 : 60, &why)) {
        t->faults++;
        report(false, "stress", "'%s' (%s at %.0f ms): %s", c->text, whatname[what],
               delay * 1000, why.c_str());
        restart(v, tree, t);
        return clicks;
    }

    std::vector<std::string> lines;
    bool read = vexanswers(v) && vexlines(v, &lines);
    /* the search ran to its end if it ended before the click, or (the
    ** click coming too late) gave every line all the same */
    bool complete = what == RUN || v->ended < click || (want && lines == *want);
    double ms = (v->ended - click) * 1000;
    if (what == STOP && !complete)
        t->stopms.push_back(ms);
    printf("  '%s'%s: %s", c->text, c->multi ? "" : " (single word)", whatname[what]);
    if (what != RUN && ms < 0)
        printf(" %.0f ms in, after the search ended", delay * 1000);
    else if (what != RUN)
        printf(" %.0f ms in, the search %s %.0f ms after %s", delay * 1000,
               complete ? "ran to its end" : "ended", ms, what == RESTART ? "Stop" : "it");
    printf("; %d lines\n", (int)lines.size());
    bool ok = read && vexalive(v) && IsWindowVisible(v->dlg) && sortedlines(lines);
    if (complete && want)
        ok = ok && lines == *want;
    else if (want && lines != std::vector<std::string>{"*No anagrams found*"})
        ok = ok && std::includes(want->begin(), want->end(), lines.begin(), lines.end());
    for (const std::string &line : lines)
        ok = ok && (line == "*No anagrams found*" || anagramof(line, c->text));
    (complete ? t->complete : t->interrupted)++;
    if (!ok) {
        t->faults++;
        report(false, "stress", "'%s' (%s at %.0f ms, %s): %d lines%s%s", c->text,
               whatname[what], delay * 1000, complete ? "ran to its end" : "stopped",
               (int)lines.size(), sortedlines(lines) ? "" : ", NOT sorted",
               complete && want && lines != *want ? ", not vexlore-find's" : "");
        if (!vexalive(v) || !read)
            restart(v, tree, t);
    }
    return clicks;
}

int runstress(const std::string &tree, unsigned seed, int actions, double limit)
{
    std::map<int, std::vector<std::string>> want;
    std::map<int, double> secs;
    Tally t;
    Vex v;
    POINT closept;
    double start = seconds();

    rngstate = seed ? seed : 1;
    for (int i = 0; i < NCASES; i++) {
        if (cases[i].slow)
            continue;
        double s;
        if (!runfind(tree, findargs(tree + "\\words", cases[i].text, cases[i].multi), &want[i], &s)) {
            report(false, "stress", "vexlore-find.exe did not run");
            return summary();
        }
        secs[i] = s;
    }
    if (!vexstart(&v, tree) || !closebox(&v, &closept)) {
        report(false, "stress", "no window from %s\\vexlore.exe", tree.c_str());
        vexend(&v);
        return summary();
    }

    while (t.actions < actions && seconds() - start < limit) {
        int i = (int)rnd(NCASES);
        unsigned r = rnd(100);
        What what = r < 20 ? RUN : r < 50 ? STOP : r < 65 ? CLOSEBOX : r < 80 ? RESTART : CLOSE;
        if (what == RUN && cases[i].slow)
            what = STOP;
        /* a second Start goes to a search that surely still runs */
        while (what == RESTART && !cases[i].slow)
            i = (int)rnd(NCASES);
        /* a moment within the search (a little past the end, at times),
        ** scaled by how long vexlore-find takes over it */
        double span = cases[i].slow ? 2.0 : 1.3 * secs[i] + 0.02;
        double delay = span * rnd(1000) / 1000.0;
        t.actions += stressround(&v, tree, &cases[i], what, delay,
                           cases[i].slow ? NULL : &want[i], closept, &t);
    }

    double took = seconds() - start;
    std::sort(t.stopms.begin(), t.stopms.end());
    double median = t.stopms.empty() ? 0 : t.stopms[t.stopms.size() / 2];
    double worst = t.stopms.empty() ? 0 : t.stopms.back();
    SendMessageTimeoutW(v.close, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, NULL);
    vexwaitexit(&v, 5, NULL);
    vexend(&v);
    report(t.faults == 0, "stress",
           "seed %u: %d actions in %.0f s (%d searches started; Stop %d, close box %d, "
           "Start again %d, Close %d); %d ran to their end with vexlore-find's lines, "
           "%d stopped with sorted lines; Stop ended a running search in %.0f ms "
           "(median of %d; at most %.0f); %d restarts; %d faults",
           seed, t.actions, took, t.searches, t.clicks[STOP], t.clicks[CLOSEBOX],
           t.clicks[RESTART], t.clicks[CLOSE], t.complete, t.interrupted, median,
           (int)t.stopms.size(), worst, t.restarts, t.faults);
    return summary();
}
