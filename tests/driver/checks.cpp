/*
** What Windows adds to the dialog, as a user sees it: the layout, the
** window drawn (the clip, the list as lines come), folders of any length
** and script, and the program's header. The dialog's rules are played by
** tests/scenarios.py through the serve mode.
*/
#include <stdio.h>
#include <string.h>

#include <windows.h>

#include "driver.h"
#include "layout.h"
#include "vexwin.h"

/* A search long enough to be stopped at leisure (many seconds under Wine
** over the build's list), with lines found in the first 0.1 s. */
static const char longtext[] = "the astronomer";
static const std::vector<std::string> dirtyroom = {"dirty moor ", "dirty room ", "dormitory "};

static std::string joined(const std::vector<std::string> &lines, size_t most = 6)
{
    std::string s;
    for (size_t i = 0; i < lines.size() && i < most; i++)
        s += (i ? ", \"" : "\"") + lines[i] + "\"";
    if (lines.size() > most)
        s += ", ...";
    return s;
}

/* Clicks the OK button of a message box the program shows, if any. */
static void dismiss(Vex *v)
{
    HWND box = vexbox(v, 0.2);
    if (box)
        SendMessageTimeoutW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 3000, NULL);
}

/* Waits until the search has found lines and at least secs have passed. */
static bool waitlines(Vex *v, double secs)
{
    double start = seconds(), end = start + 10;
    while (seconds() < end && vexbusy(v)) {
        if (seconds() - start >= secs && vexcount(v) > 0)
            return true;
        Sleep(20);
    }
    return false;
}

/* The window over the build's list as it draws: its layout, the scroll
** bar of a full list, the list changing as the first lines come in, the
** clip playing during a search and still after Stop. */
static void screenchecks(const std::string &tree)
{
    Vex v;
    DWORD code = 0;

    if (!vexstart(&v, tree)) {
        report(false, "start", "no window from %s\\vexlore.exe", tree.c_str());
        vexend(&v);
        return;
    }
    checklayout(&v);
    screenshot("idle", v.dlg);

    bool ran = vexsearch(&v, "dirty room", true, 120);
    /* a list box shows its scroll bar only while its lines overflow it */
    bool scrolls = (GetWindowLongA(v.results, GWL_STYLE) & WS_VSCROLL) != 0;
    report(ran && scrolls, "scroll bar", "'dirty room', multi-word: %d lines, %s",
           vexcount(&v), scrolls ? "with a scroll bar" : "NO scroll bar");
    screenshot("results", v.dlg);

    /* from the click on: the list empties, then shows the lines found so
    ** far. A search this fast soon has its first page and the scroll box
    ** at its smallest, so the list may change just those two times; a
    ** list that drew nothing until the end would change once. */
    vextype(&v, longtext);
    unsigned long long before = screenhash(v.results);
    vexbegin(&v);
    int drawn = screenchanges(v.results, 1600, before);
    bool lines = waitlines(&v, 1.0);
    bool animated = lines && screenchanges(v.busy, 700) > 0;
    if (lines)
        screenshot("searching", v.dlg);
    clickon(v.stop);
    bool ended = vexwait(&v, 5);
    bool stopped = ended && screenchanges(v.busy, 700) == 0;
    if (!ended)
        vexwait(&v, 120);
    report(animated && stopped, "animation", "%s while searching, %s after Stop",
           animated ? "plays" : "does NOT play", stopped ? "still" : "STILL MOVING");
    report(drawn >= 2, "list while searching", "%s on the screen as the first lines come in "
           "(%d changes in 1.6 s)", drawn >= 2 ? "changes" : "does NOT change", drawn);
    clickon(v.close);
    vexwaitexit(&v, 5, &code);
    vexend(&v);
}

/* The list that is full, its message box over the window: a picture. */
static void listfullpicture(const std::string &tree, const std::string &work)
{
    Vex v;
    std::string dir = work + "\\listfull";

    if (plant(tree, work, dir, TREEWORDS, "vexlore-listfull.exe") && vexstart(&v, dir)) {
        vextype(&v, longtext);
        vexpick(&v, true);
        vexbegin(&v);
        HWND box = vexbox(&v, 30);
        if (box)
            screenshot("listfull", v.dlg, box);
        dismiss(&v);
        vexwait(&v, 120);
        clickon(v.close);
        vexwaitexit(&v, 5, NULL);
    }
    vexend(&v);
}

static void nowordscheck(const std::string &dir, const char *name)
{
    Vex v;
    DWORD code = 0;
    std::string want = "Unable to open dictionary file (" + dir + "\\words).\r\n"
                       "Ensure this file is where vexlore.exe is located.";

    if (!vexstart(&v, dir, false)) {
        report(false, name, "cannot start %s\\vexlore.exe", dir.c_str());
        return;
    }
    HWND box = vexbox(&v, 20);
    std::string text = box ? vexboxtext(box) : "", caption = box ? windowtext(box) : "";
    bool waiting = vexalive(&v);
    /* a box clicked while Wine still places it may not see the click:
    ** while it stays, it is clicked again */
    bool gone = false;
    for (int tries = 0; box && !gone && tries < 3; tries++) {
        if (IsWindow(box))
            clickon(GetDlgItem(box, IDOK));
        gone = vexwaitexit(&v, 5, &code);
    }
    std::string shown = text;
    size_t crlf = shown.find("\r\n");
    if (crlf != std::string::npos)
        shown.replace(crlf, 2, "\\r\\n");
    report(box && text == want && caption == "Vexlore" && waiting && gone,
           name, "message box \"%s\" (caption \"%s\"); %s", shown.c_str(),
           caption.c_str(), gone ? "the program ended after OK" : "the program did not end");
    vexend(&v);
}

/* The program finds its word file from a folder path far longer than 127
** characters, and from one named outside the ANSI code page; there, too,
** its message names the path as the user knows it. */
static void folderchecks(const std::string &tree, const std::string &work)
{
    std::string deep = work + "\\deep", unicode = work + "\\My Folder \xc3\xb1\xc3\xa9 \xe2\x80\x93 "
                       "\xe6\xb8\xac\xe8\xa9\xa6";
    for (char c = 'a'; c <= 'd'; c++)
        deep += "\\" + std::string(40, c);
    const struct { const char *name; std::string dir; } folders[] = {
        {"deep folder", deep}, {"folder named in any script", unicode}};

    for (const auto &folder : folders) {
        Vex v;
        std::vector<std::string> got;
        std::string exe = folder.dir + "\\vexlore.exe";
        if (!plant(tree, work, folder.dir, NINEWORDS)) {
            report(false, folder.name, "cannot set up %s", folder.dir.c_str());
            continue;
        }
        bool started = vexstart(&v, folder.dir, true, 20);
        HWND box = vexbox(&v, 0.5);
        std::string text = box ? vexboxtext(box) : "";
        bool ran = started && !box && vexsearch(&v, "dirty room", true, 30) && vexlines(&v, &got);
        report(ran && got == dirtyroom, folder.name, "%d characters, %s: %s%s", (int)exe.size(),
               exe.c_str(), box ? "message box " : "", box ? text.c_str() : joined(got).c_str());
        if (box)
            dismiss(&v);
        if (started)
            clickon(v.close);
        vexwaitexit(&v, 5, NULL);
        vexend(&v);
    }
    std::string nowords = unicode + "\\nowords";
    if (plant(tree, work, nowords, NOWORDS))
        nowordscheck(nowords, "no word file, in a folder named in any script");
}

/* The program may use more than 2 GB: the 32-bit one on 64-bit Windows up
** to 4 GB, the 64-bit one as much as there is. Its header says so. */
static void addresscheck(const std::string &tree)
{
    std::string exe = tree + "\\vexlore.exe";
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS32 nt;
    FILE *f = fopen(exe.c_str(), "rb");
    bool read = f && fread(&dos, sizeof dos, 1, f) == 1 && dos.e_magic == IMAGE_DOS_SIGNATURE &&
                fseek(f, dos.e_lfanew, SEEK_SET) == 0 && fread(&nt, sizeof nt, 1, f) == 1 &&
                nt.Signature == IMAGE_NT_SIGNATURE;
    if (f)
        fclose(f);
    /* the driver is built in the program's own tree, so it is as wide */
#ifdef _WIN64
    const WORD machine = IMAGE_FILE_MACHINE_AMD64;
#else
    const WORD machine = IMAGE_FILE_MACHINE_I386;
#endif
    bool same = read && nt.FileHeader.Machine == machine;
    bool aware = read && (nt.FileHeader.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE);
    report(same && aware, "large address aware", "%s: %s", exe.c_str(),
           !read ? "cannot read its header" : !same ? "NOT built for this tree's processor"
           : aware ? "marked" : "NOT marked");
}

int runchecks(const std::string &tree, const std::string &work)
{
    screenchecks(tree);
    listfullpicture(tree, work);
    folderchecks(tree, work);
    addresscheck(tree);
    return summary();
}
