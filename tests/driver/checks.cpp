/*
** The checks, as a user would make them: on a nine-word file, on the
** build's full word list, and with no word file at all.
*/
#include <stdio.h>
#include <string.h>

#include <windows.h>
#include <commctrl.h>

#include "driver.h"
#include "layout.h"
#include "vexwin.h"

static const char *const ninewords[] = {
    "dirty", "dormitory", "enlist", "inlets", "listen", "moor", "room", "silent", "tinsel"
};

/* A search long enough to be stopped at leisure (many seconds under Wine
** over the build's list), with lines found in the first 0.1 s. */
static const char longtext[] = "the astronomer";
static const char nofit[] = "*No anagrams found*";

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

static void expect(Vex *v, const char *name, const char *text, bool multi,
                   const std::vector<std::string> &want)
{
    std::vector<std::string> got;
    bool ran = vexsearch(v, text, multi, 30);

    if (!ran)
        dismiss(v);
    bool ok = ran && vexlines(v, &got) && got == want;
    report(ok, name, "'%s', %s: %s%s", text, multi ? "multi-word" : "single word",
           ok ? "" : "got ", joined(got).c_str());
}

/* More than 79 letters: a message box, and the list keeps its lines. */
static void toolong(Vex *v)
{
    std::vector<std::string> before, after;
    std::string eighty, seventynine;

    for (int i = 0; i < 80; i++)
        eighty += (char)('a' + i % 26);
    for (int i = 0; i < 79; i++)
        seventynine += std::string(i % 10 == 9 ? " " : "") + "q";

    vexlines(v, &before);
    vextype(v, eighty.c_str());
    vexpick(v, true);
    vexbegin(v);
    HWND box = vexbox(v, 5);
    std::string text = box ? vexboxtext(box) : "", caption = box ? windowtext(box) : "";
    bool okonly = box && GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL) &&
                  !GetDlgItem(box, IDNO);
    vexlines(v, &after);
    if (box)
        clickon(GetDlgItem(box, IDOK));
    bool ended = vexwait(v, 5);
    if (!ended)
        dismiss(v), vexwait(v, 5);
    report(box && caption == "Vexlore" && okonly && text.find("79") != std::string::npos &&
           after == before && !before.empty() && ended,
           "80 letters", "message box \"%s\" (caption \"%s\", %s), list kept %d of %d lines",
           text.c_str(), caption.c_str(), okonly ? "OK only" : "not OK only",
           (int)after.size(), (int)before.size());

    std::vector<std::string> got;
    bool ran = vexsearch(v, seventynine.c_str(), false, 30);
    box = vexbox(v, 0.3);
    if (!ran || box)
        dismiss(v), vexwait(v, 5);
    vexlines(v, &got);
    report(ran && !box && got == std::vector<std::string>{nofit}, "79 letters",
           "79 letters and 7 blanks: %s, list %s", box ? "a message box" : "no message box",
           joined(got).c_str());
}

/* Esc and the close box while idle; then Enter in the text field. */
static void keysandbox(Vex *v)
{
    POINT pt = { 0, 0 };
    std::vector<std::string> got;

    vexfront(v);
    clickon(v->text);
    Sleep(100);
    keypress(VK_ESCAPE);
    Sleep(400);
    report(vexalive(v) && IsWindowVisible(v->dlg) && vexanswers(v), "Esc while idle",
           "the window stays open");

    bool found = closebox(v, &pt);
    if (found)
        mouseclick(pt.x, pt.y);
    Sleep(400);
    report(found && vexalive(v) && IsWindowVisible(v->dlg) && vexanswers(v),
           "close box while idle", found ? "clicked at (%ld, %ld): the window stays open"
           : "no close box on the caption", pt.x, pt.y);

    /* Esc and the close box set the stop flag: the search below must
    ** clear it and run to the end */
    vextype(v, "Dormitory");
    vexpick(v, false);
    vexfront(v);
    clickon(v->text);
    Sleep(100);
    keypress(VK_RETURN);
    bool ok = false;
    for (double end = seconds() + 5; !ok && seconds() < end; Sleep(50))
        ok = vexlines(v, &got) && got == std::vector<std::string>{"dormitory "};
    report(ok, "Enter in the text field", "'Dormitory' searched: %s", joined(got).c_str());
}

static void ninechecks(const std::string &dir)
{
    Vex v;
    DWORD code = 0;

    if (!vexstart(&v, dir)) {
        report(false, "start", "no window from %s\\vexlore.exe", dir.c_str());
        vexend(&v);
        return;
    }
    checklayout(&v);
    screenshot("idle", v.dlg);

    expect(&v, "multi-word", "dirty room", true, {"dirty moor ", "dirty room ", "dormitory "});
    expect(&v, "single word", "Listen", false,
           {"enlist ", "inlets ", "listen ", "silent ", "tinsel "});
    expect(&v, "no anagram", "vexlore", true, {nofit});
    vexsearch(&v, "dirty room", true, 30);
    toolong(&v);
    keysandbox(&v);

    clickon(v.close);
    bool gone = vexwaitexit(&v, 5, &code);
    report(gone && code == 0, "Close while idle", gone ? "exit code %lu" : "still running",
           code);
    vexend(&v);
}

/* Stop, three times: the search ends within 100 ms of the click, keeps
** its lines, and the animation stops. */
static void stopchecks(Vex *v)
{
    double worst = 0, each[3] = { 0, 0, 0 };
    bool ok = true, animated = true, stopped = true;
    int drawn = 0;
    std::string why;

    for (int trial = 0; trial < 3; trial++) {
        std::vector<std::string> after;

        vextype(v, longtext);
        vexpick(v, true);
        vexbegin(v);
        /* from the click on: the list empties, then shows the lines found
        ** so far. A search this fast soon has its first page and the scroll
        ** box at its smallest, so the list may change just those two times;
        ** a list that drew nothing until the end would change once. */
        if (trial == 0)
            drawn = screenchanges(v->results, 1600);
        if (!waitlines(v, trial == 0 ? 1.0 : 0.5)) {
            ok = false;
            why += " no lines came;";
            vexwait(v, 120);
            continue;
        }
        if (trial == 0) {
            animated = screenchanges(v->busy, 700) > 0;
            screenshot("searching", v->dlg);
        }
        /* only the count: while the search runs, each message to the
        ** list waits for the search to look at its queue */
        int before = vexcount(v);
        bool running = vexbusy(v);
        double click = seconds();
        clickon(v->stop);
        if (!running || !vexwait(v, 5)) {
            ok = false;
            why += running ? " the search went on;" : " the search ended before the click;";
            vexwait(v, 120);
            continue;
        }
        each[trial] = (v->ended - click) * 1000;
        if (each[trial] > worst)
            worst = each[trial];
        vexlines(v, &after);
        bool anagrams = true;
        for (const std::string &line : after)
            anagrams = anagrams && anagramof(line, longtext);
        if (before <= 0 || (int)after.size() < before || !sortedlines(after) || !anagrams) {
            ok = false;
            why += " lines lost, unsorted or wrong;";
        }
        if (trial == 0)
            stopped = screenchanges(v->busy, 700) == 0;
    }
    report(ok && worst <= 100, "Stop during a search",
           "'%s': ended %.0f, %.0f, %.0f ms after the click (at most 100); lines kept, "
           "sorted, all anagrams%s", longtext, each[0], each[1], each[2], why.c_str());
    report(animated && stopped, "animation", "%s while searching, %s after Stop",
           animated ? "plays" : "does NOT play", stopped ? "still" : "STILL MOVING");
    report(drawn >= 2, "list while searching", "%s on the screen as the first lines come in "
           "(%d changes in 1.6 s)", drawn >= 2 ? "changes" : "does NOT change", drawn);
}

static void bigchecks(const std::string &tree)
{
    Vex v;
    std::vector<std::string> want, got;
    double secs = 0;
    DWORD code = 0;
    POINT pt = { 0, 0 };

    if (!vexstart(&v, tree)) {
        report(false, "start", "no window from %s\\vexlore.exe", tree.c_str());
        vexend(&v);
        return;
    }
    bool found = runfind(tree, findargs(tree + "\\words", "dirty room", true), &want);
    bool ran = vexsearch(&v, "dirty room", true, 120, &secs);
    vexlines(&v, &got);
    /* a list box shows its scroll bar only while its lines overflow it */
    bool scrolls = (GetWindowLongA(v.results, GWL_STYLE) & WS_VSCROLL) != 0;
    report(found && ran && got == want && !want.empty() && scrolls, "full word list",
           "'dirty room', multi-word: %d lines in %.2f s, %s vexlore-find's %d; %s", (int)got.size(),
           secs, got == want ? "the same as" : "NOT the same as", (int)want.size(),
           scrolls ? "with a scroll bar" : "NO scroll bar");
    screenshot("results", v.dlg);

    stopchecks(&v);

    /* the close box during a search stops it; the window stays */
    found = closebox(&v, &pt);
    vextype(&v, longtext);
    vexbegin(&v);
    bool lines = waitlines(&v, 0.5);
    double click = seconds();
    if (found)
        mouseclick(pt.x, pt.y);
    bool ended = vexwait(&v, 5);
    double ms = (v.ended - click) * 1000;
    Sleep(300);
    report(found && lines && ended && vexalive(&v) && IsWindowVisible(v.dlg) && vexcount(&v) > 0,
           "close box during a search", "the search ended %.0f ms after the click, "
           "the window stays open with %d lines", ended ? ms : -1.0, vexcount(&v));
    if (!ended)
        vexwait(&v, 120);

    /* Close during a search: the search unwinds, the program ends */
    vexbegin(&v);
    lines = waitlines(&v, 0.5);
    click = seconds();
    clickon(v.close);
    bool gone = vexwaitexit(&v, 5, &code);
    report(lines && gone && code == 0, "Close during a search",
           gone ? "the program ended %.2f s after the click, exit code %lu" : "still running",
           seconds() - click, code);
    vexend(&v);
}

static void nowordscheck(const std::string &dir, const char *name = "no word file")
{
    Vex v;
    DWORD code = 0;
    std::string want = "Unable to open dictionary file (" + dir + "\\words).\r\n"
                       "Ensure this file is where vexlore.exe is located.";

    if (!vexstart(&v, dir, false)) {
        report(false, "no word file", "cannot start %s\\vexlore.exe", dir.c_str());
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

/* Makes the folders of dir (UTF-8) one by one, from base on (its parent
** exists), and puts the program in it, and with words the nine-word file
** (without, no word file at all). */
static bool plant(const std::string &tree, const std::string &base, const std::string &dir,
                  bool words)
{
    for (size_t at = base.size(); at != std::string::npos; at = dir.find('\\', at + 1))
        CreateDirectoryW(widen(dir.substr(0, at)).c_str(), NULL);
    CreateDirectoryW(widen(dir).c_str(), NULL);
    if (!CopyFileW(widen(tree + "\\vexlore.exe").c_str(), widen(dir + "\\vexlore.exe").c_str(),
                   FALSE))
        return false;
    std::wstring file = widen(dir + "\\words");
    DeleteFileW(file.c_str());
    if (!words)
        return true;
    FILE *f = _wfopen(file.c_str(), L"wb");
    if (!f)
        return false;
    for (const char *w : ninewords)
        fprintf(f, "%s\n", w);
    return fclose(f) == 0;
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
        if (!plant(tree, work, folder.dir, true)) {
            report(false, folder.name, "cannot set up %s", folder.dir.c_str());
            continue;
        }
        bool started = vexstart(&v, folder.dir, true, 20);
        HWND box = vexbox(&v, 0.5);
        std::string text = box ? vexboxtext(box) : "";
        bool ran = started && !box && vexsearch(&v, "dirty room", true, 30) && vexlines(&v, &got);
        report(ran && got == std::vector<std::string>{"dirty moor ", "dirty room ", "dormitory "},
               folder.name, "%d characters, %s: %s%s", (int)exe.size(), exe.c_str(),
               box ? "message box " : "", box ? text.c_str() : joined(got).c_str());
        if (box)
            dismiss(&v);
        if (started)
            clickon(v.close);
        vexwaitexit(&v, 5, NULL);
        vexend(&v);
    }
    std::string nowords = unicode + "\\nowords";
    if (plant(tree, work, nowords, false))
        nowordscheck(nowords, "no word file, in a folder named in any script");
}

/* A results list that can take no more lines: the search stops as Stop
** would, the lines stay, and a message says the list is full and how
** many lines it holds. vexlore-listfull.exe is the program with a list
** that is full at LISTFULL_LINES lines. */
static void listfullcheck(const std::string &tree, const std::string &work)
{
    Vex v;
    std::string dir = work + "\\listfull";
    std::vector<std::string> got, after;

    CreateDirectoryA(dir.c_str(), NULL);
    if (!CopyFileA((tree + "\\vexlore-listfull.exe").c_str(), (dir + "\\vexlore.exe").c_str(),
                   FALSE) ||
        !CopyFileA((tree + "\\words").c_str(), (dir + "\\words").c_str(), FALSE) ||
        !vexstart(&v, dir)) {
        report(false, "list full", "cannot start %s\\vexlore.exe", dir.c_str());
        vexend(&v);
        return;
    }
    /* some 5 s and 3,505 lines to the end; the list is full within 1 s */
    vextype(&v, longtext);
    vexpick(&v, true);
    double click = seconds();
    vexbegin(&v);
    HWND box = vexbox(&v, 30);
    double secs = seconds() - click;
    std::string text = box ? vexboxtext(box) : "", caption = box ? windowtext(box) : "";
    bool okonly = box && GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL) &&
                  !GetDlgItem(box, IDNO);
    vexlines(&v, &got);
    if (box)
        screenshot("listfull", v.dlg, box);
    char holds[64];
    snprintf(holds, sizeof holds, "holds %d lines", LISTFULL_LINES);
    if (box)
        clickon(GetDlgItem(box, IDOK));
    bool ended = vexwait(&v, 5);
    if (!ended)
        dismiss(&v), vexwait(&v, 120);
    bool anagrams = true;
    for (const std::string &line : got)
        anagrams = anagrams && anagramof(line, longtext);
    vexlines(&v, &after);
    report(box && caption == "Vexlore" && okonly && text.find("full") != std::string::npos &&
           text.find(holds) != std::string::npos && secs < 3 && ended &&
           (int)got.size() == LISTFULL_LINES && anagrams && sortedlines(got) && after == got,
           "list full", "message box after %.2f s: \"%s\" (caption \"%s\", %s); "
           "%d lines kept, %s; search %s after OK", secs, text.c_str(), caption.c_str(),
           okonly ? "OK only" : "not OK only", (int)after.size(),
           anagrams && sortedlines(got) ? "sorted anagrams" : "NOT sorted anagrams",
           ended ? "ended" : "went on");

    /* the next search starts afresh */
    bool ran = vexsearch(&v, "Listen", false, 30);
    box = vexbox(&v, 0.3);
    if (box)
        dismiss(&v), vexwait(&v, 5);
    vexlines(&v, &got);
    report(ran && !box && !got.empty() && (int)got.size() < LISTFULL_LINES, "list full, then a search",
           "'Listen': %d lines, %s", (int)got.size(), box ? "a message box" : "no message box");
    clickon(v.close);
    vexwaitexit(&v, 5, NULL);
    vexend(&v);
}

/* The 32-bit program may use 4 GB on 64-bit Windows: its header says so. */
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
    report(same && (aware || machine != IMAGE_FILE_MACHINE_I386), "large address aware",
           "%s: %s", exe.c_str(), !read ? "cannot read its header"
           : !same ? "NOT built for this tree's processor"
           : machine != IMAGE_FILE_MACHINE_I386 ? "a 64-bit program, not limited to 2 GB"
           : aware ? "marked" : "NOT marked");
}

int runchecks(const std::string &tree, const std::string &work)
{
    /* work\nine holds the program and the nine-word file, work\nowords the
    ** program alone */
    if (!plant(tree, work, work + "\\nine", true) || !plant(tree, work, work + "\\nowords", false)) {
        report(false, "prepare", "cannot set up %s from %s", work.c_str(), tree.c_str());
        return summary();
    }
    ninechecks(work + "\\nine");
    bigchecks(tree);
    nowordscheck(work + "\\nowords");
    folderchecks(tree, work);
    listfullcheck(tree, work);
    addresscheck(tree);
    return summary();
}
