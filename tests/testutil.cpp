/* Helpers shared by the tests: scratch word files removed at exit, and
** one search over a word file with its lines sorted. */
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

#include "engine/fastsearch.h"
#include "tests/testutil.h"

const char nine_words[] =
    "dirty\ndormitory\nenlist\ninlets\nlisten\nmoor\nroom\nsilent\ntinsel\n";

static int made;

static void removemade()
{
    for (int i = 1; i <= made; i++)
        remove(("vtest-" + std::to_string(i) + ".words").c_str());
}

std::string makefile(const std::string &bytes)
{
    if (made == 0)
        atexit(removemade);
    std::string name = "vtest-" + std::to_string(++made) + ".words";
    FILE *f = fopen(name.c_str(), "wb");
    if (f) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return name;
}

int testfast;

int runsearch(SearchWindow *win)
{
    return testfast ? fastsearch(win) : search(win);
}

std::vector<std::string> find(const std::string &path, const std::string &text,
                              int type, int *result)
{
    TestWindow win;
    win.text = text;
    win.type = type;
    int r = OpenWords(path).search(&win);
    if (r < 0)
        return {"cannot open " + path};
    if (result)
        *result = r;
    std::sort(win.lines.begin(), win.lines.end());
    return win.lines;
}
