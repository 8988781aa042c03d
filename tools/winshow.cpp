/*
** vexlore-winshow: the window as a user sees it after one search, for
** scripts/run.sh's screenshot on a machine with no display of its own.
** One multi-word search of the text, a picture 'window' of it (asked of
** the script as the test driver asks), then Close.
*/
#include <stdio.h>

#include <windows.h>

#include "vexwin.h"

static int runshow(const std::string &tree, const std::string &pictures, const std::string &text)
{
    Vex v;
    DWORD code = 0;

    if (!vexstart(&v, tree)) {
        fprintf(stderr, "winshow: no window from %s\\vexlore.exe\n", tree.c_str());
        vexend(&v);
        return 1;
    }
    bool ran = vexsearch(&v, text.c_str(), true, 120);
    int lines = vexcount(&v);
    vexshot(pictures, "window", v.dlg);
    clickon(v.close);
    bool gone = vexwaitexit(&v, 5, &code);
    vexend(&v);
    if (!ran)
        fprintf(stderr, "winshow: the search of '%s' did not end within 120 s\n", text.c_str());
    else
        printf("'%s', multi-word: %d lines in the window\n", text.c_str(), lines);
    if (!gone)
        fprintf(stderr, "winshow: the window did not close\n");
    return ran && gone && code == 0 ? 0 : 1;
}

int main(int, char **)
{
    std::vector<std::string> args = vexargs();

    if (args.size() != 4) {
        fputs("usage: vexlore-winshow TREE PICTURES TEXT\n", stderr);
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    std::string pictures = winpath(args[2]);
    CreateDirectoryW(widen(pictures).c_str(), NULL);
    return runshow(winpath(args[1]), pictures, args[3]);
}
