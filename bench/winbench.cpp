/*
** vexlore-winbench: the window against vexlore-find, run under Wine by
** bench/window-bench.sh. The same multi-word search over the same word
** file under the same Wine, timed in the window from the Start click to
** the end of the search, and in vexlore-find by itself around its search
** and from outside, less the cost of starting a process.
*/
#include <stdio.h>
#include <stdlib.h>

#include <windows.h>

#include <algorithm>

#include "vexwin.h"

#define RATIO_MAX 1.3

static double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2]
                                        : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
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
              "the window took at most 1.3 times as long as vexlore-find.\n", stderr);
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    return runbench(winpath(args[1]), atoi(args[2].c_str()),
                    std::vector<std::string>(args.begin() + 3, args.end()));
}
