/*
** The window as a user sees it after one search: for the run command's
** screenshot, on a machine with no display of its own.
*/
#include <stdio.h>

#include <windows.h>

#include "driver.h"
#include "vexwin.h"

int runshow(const std::string &tree, const std::string &text)
{
    Vex v;
    DWORD code = 0;

    if (!vexstart(&v, tree)) {
        fprintf(stderr, "driver: no window from %s\\vexlore.exe\n", tree.c_str());
        vexend(&v);
        return 1;
    }
    bool ran = vexsearch(&v, text.c_str(), true, 120);
    int lines = vexcount(&v);
    screenshot("window", v.dlg);
    clickon(v.close);
    bool gone = vexwaitexit(&v, 5, &code);
    vexend(&v);
    if (!ran)
        fprintf(stderr, "driver: the search of '%s' did not end within 120 s\n", text.c_str());
    else
        printf("'%s', multi-word: %d lines in the window\n", text.c_str(), lines);
    if (!gone)
        fprintf(stderr, "driver: the window did not close\n");
    return ran && gone && code == 0 ? 0 : 1;
}
