/*
** vexlore-winbench: the window against vexlore-find, run under Wine by
** bench/window-bench.sh. The same multi-word search over the same word
** file under the same Wine, timed in the window from the Start click to
** the end of the search, and in vexlore-find by itself around its search
** and from outside, less the cost of starting a process. Then Stop and the
** caption's close box during a search that runs for ages: the click to the
** search's end, against its goal.
*/
#include <stdio.h>
#include <stdlib.h>

#include <windows.h>

#include <algorithm>

#include "vexwin.h"

#define RATIO_MAX 1.3
#define STOP_MS 50          /* Stop and the close box end a search this soon, by the median */
#define STOP_TEXT "the astronomer"  /* lists lines at once, and runs for many seconds */

static double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2]
                                        : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

/* Stop and the close box, each clicked in trials searches of STOP_TEXT
** once it has listed some lines: the ms from the click to the Start
** handler's return, as the window test clicks them. TRUE when both
** medians are within STOP_MS. */
static bool stops(Vex *v, int trials)
{
    POINT box;
    bool hasbox = closebox(v, &box), within = true;

    for (int way = 0; way < 2; way++) {
        if (way == 1 && !hasbox)
            break;
        std::vector<double> ms;
        std::string each;
        for (int i = 0; i < trials; i++) {
            vextype(v, STOP_TEXT);
            vexpick(v, true);
            vexbegin(v);
            for (double end = seconds() + 10; vexbusy(v) && vexcount(v) < 5 && seconds() < end;)
                Sleep(10);
            /* two clicks on the close box within the double-click time
            ** are a double click, which closes nothing */
            if (way == 1)
                Sleep(GetDoubleClickTime());
            double t = seconds();
            if (way == 0)
                clickon(v->stop);
            else
                mouseclick(box.x, box.y);
            if (!vexwait(v, 30)) {
                clickon(v->stop);
                vexwait(v, 120);
                ms.push_back(1e6);
                each += " -";
                continue;
            }
            ms.push_back((v->ended - t) * 1000);
            char one[16];
            snprintf(one, sizeof one, " %.0f", ms.back());
            each += one;
        }
        double med = median(ms);
        within = within && med <= STOP_MS;
        printf("%s during '%s': the click to the search's end, median %.0f ms (%s), at most "
               "%d: %s\n", way == 0 ? "Stop" : "the close box", STOP_TEXT, med, each.c_str() + 1,
               STOP_MS, med <= STOP_MS ? "yes" : "NO");
    }
    return within;
}

static int runbench(const std::string &tree, int runs, const std::vector<std::string> &texts)
{
    Vex v;
    std::vector<std::string> lines, found;
    std::vector<double> startup;
    std::string words = tree + "\\words";
    bool within = true;

    if (runs < 1 || !vexstart(&v, tree)) {
        fprintf(stderr, "driver: no window from %s\\vexlore.exe\n", tree.c_str());
        vexend(&v);
        return 2;
    }
    /* a run that searches nothing: the cost of a process start */
    for (int i = 0; i < runs; i++) {
        double wall;
        if (runfind(tree, "--help", &lines, NULL, &wall))
            startup.push_back(wall);
    }
    double start = median(startup);

    printf("%-14s %6s  %10s  %12s  %12s  %6s\n", "multi-word", "lines", "window s",
           "find s, in", "find s, out", "ratio");
    for (const std::string &text : texts) {
        std::vector<double> win, inside, outside;
        bool same = true;
        for (int i = 0; i < runs; i++) {
            double secs, wall;
            if (vexsearch(&v, text.c_str(), true, 600, &secs))
                win.push_back(secs);
            vexlines(&v, &lines);
            if (runfind(tree, findargs(words, text, true), &found, &secs, &wall)) {
                inside.push_back(secs);
                outside.push_back(wall - start);
            }
            same = same && lines == found;
        }
        double w = median(win), f = median(inside);
        double ratio = f > 0 ? w / f : 0;
        within = within && same && ratio > 0 && ratio <= RATIO_MAX;
        printf("%-14s %6d  %10.3f  %12.3f  %12.3f  %6.2f%s\n", ("'" + text + "'").c_str(),
               (int)lines.size(), w, f, median(outside), ratio,
               same ? "" : "  (the lines differ!)");
    }
    printf("medians of %d runs; process start-up %.3f s (taken off 'out'); "
           "ratio = window / find in, at most %.1f: %s\n",
           runs, start, RATIO_MAX, within ? "yes" : "NO");
    within = stops(&v, runs < 5 ? 5 : runs) && within;
    SendMessageTimeoutW(v.close, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, NULL);
    vexwaitexit(&v, 5, NULL);
    vexend(&v);
    return within ? 0 : 1;
}

int main(int, char **)
{
    std::vector<std::string> args = vexargs();

    if (args.size() < 4) {
        fputs("usage: vexlore-winbench TREE RUNS TEXT...\n"
              "TREE holds vexlore.exe, vexlore-find.exe and words. Exit status 0 when\n"
              "the window took at most 1.3 times as long as vexlore-find, and Stop and\n"
              "the close box ended a search within 50 ms by the median.\n", stderr);
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    return runbench(winpath(args[1]), atoi(args[2].c_str()),
                    std::vector<std::string>(args.begin() + 3, args.end()));
}
