/*
** The main dialog's layout, checked from outside: positions in pixels
** against the template's dialog units, converted with the dialog base
** units of its font, worked out here the way the dialog manager does.
*/
#include <stdio.h>
#include <string.h>

#include <string>

#include <windows.h>
#include <commctrl.h>

#include "driver.h"
#include "frontend/dialog.h"
#include "layout.h"
#include "vexwin.h"

#define BORDER 0x1  /* WS_BORDER, or the sunken edge an edit control turns it into */
#define BS_HMASK 0x0300
#define BS_VMASK 0x0C00

/* What Windows adds to each control of the dialog's table (its ids, texts
** and places, frontend/dialog.h): its window class and the style bits the
** resource script gives it. In tab order, as the table. The list's
** vertical scroll bar shows (and WS_VSCROLL is set) only while its lines
** overflow it: the full-list check looks at it. */
struct Styles {
    const char *kind;   /* window class */
    DWORD type, typemask;
    DWORD style;        /* window style bits it must have */
    int border;
};

static const Styles styles[] = {
    { "Button", BS_DEFPUSHBUTTON, BS_TYPEMASK, WS_TABSTOP, 0 },
    { "Button", BS_PUSHBUTTON, BS_TYPEMASK, WS_TABSTOP, 0 },
    { "Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL, WS_TABSTOP, BORDER },
    { "ListBox", LBS_SORT | LBS_NOSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
      LBS_SORT | LBS_NOSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_TABSTOP, BORDER },
    { "Static", SS_LEFT, SS_TYPEMASK, WS_GROUP, 0 },
    { "Static", SS_LEFT, SS_TYPEMASK, WS_GROUP, 0 },
    { "Button", BS_PUSHBUTTON, BS_TYPEMASK, WS_TABSTOP, 0 },
    { "Button", BS_GROUPBOX, BS_TYPEMASK, WS_GROUP, 0 },
    { "Button", BS_AUTORADIOBUTTON, BS_TYPEMASK, WS_GROUP, 0 },
    { "Button", BS_AUTORADIOBUTTON | BS_LEFT | BS_TOP, BS_TYPEMASK | BS_HMASK | BS_VMASK, 0, 0 },
    { "SysAnimate32", ACS_CENTER, ACS_CENTER, WS_TABSTOP, BORDER },
};

#define NCONTROLS (int)(sizeof styles / sizeof styles[0])
static_assert(NCONTROLS == DLG_NCONTROLS, "a style for each control of the dialog's table");

/* The dialog base units of MS Sans Serif at 8 points: the average width
** of the 52 letters, rounded, and the font's height. */
static void baseunits(int *bx, int *by)
{
    HDC dc = GetDC(NULL);
    LOGFONTA lf;
    SIZE size;
    TEXTMETRICA tm;

    memset(&lf, 0, sizeof lf);
    lf.lfHeight = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfCharSet = DEFAULT_CHARSET;
    strcpy(lf.lfFaceName, "MS Sans Serif");
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(NULL, dc);
    *bx = (size.cx / 26 + 1) / 2;
    *by = tm.tmHeight;
}

static void checkdialog(Vex *v, int bx, int by)
{
    RECT win, client;
    DWORD style = (DWORD)GetWindowLongA(v->dlg, GWL_STYLE);
    DWORD exstyle = (DWORD)GetWindowLongA(v->dlg, GWL_EXSTYLE);
    DWORD want = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    std::string caption = windowtext(v->dlg);

    GetWindowRect(v->dlg, &win);
    GetClientRect(v->dlg, &client);
    int w = MulDiv(DLG_WIDTH, bx, 4), h = MulDiv(DLG_HEIGHT, by, 8);
    bool ok = caption == DLG_CAPTION && (style & want) == want && (exstyle & WS_EX_APPWINDOW) &&
              client.right == w && client.bottom == h && win.left == 0 && win.top == 0;
    report(ok, "dialog", "caption \"%s\", styles %08lx/%08lx, client %ldx%ld px at (%ld, %ld) "
           "(320x200 units at (0, 0) is %dx%d px with base units %dx%d)",
           caption.c_str(), style, exstyle, client.right, client.bottom, win.left, win.top,
           w, h, bx, by);
}

static std::string classof(HWND h)
{
    char cls[64] = "";
    GetClassNameA(h, cls, sizeof cls);
    return cls;
}

/* Empty when the control matches, else what differs. */
static std::string compare(HWND dlg, HWND h, const DlgControl *c, const Styles *k, int bx,
                           int by)
{
    std::string bad;
    char buf[256];
    RECT r;
    DWORD style = (DWORD)GetWindowLongA(h, GWL_STYLE);
    DWORD exstyle = (DWORD)GetWindowLongA(h, GWL_EXSTYLE);
    int id = (short)GetDlgCtrlID(h);

    if (id != c->id) {
        snprintf(buf, sizeof buf, " id %d;", id);
        bad += buf;
    }
    if (lstrcmpiA(classof(h).c_str(), k->kind) != 0)
        bad += " kind " + classof(h) + ";";
    if (windowtext(h) != c->text)
        bad += " text \"" + windowtext(h) + "\";";
    if ((style & k->typemask) != k->type || (style & k->style) != k->style ||
        (k->border && !(style & WS_BORDER) && !(exstyle & WS_EX_CLIENTEDGE))) {
        snprintf(buf, sizeof buf, " style %08lx;", style);
        bad += buf;
    }
    GetWindowRect(h, &r);
    MapWindowPoints(NULL, dlg, (POINT *)&r, 2);
    int x = MulDiv(c->x, bx, 4), y = MulDiv(c->y, by, 8);
    int w = MulDiv(c->w, bx, 4), ht = MulDiv(c->h, by, 8);
    if (r.left != x || r.top != y || r.right - r.left != w || r.bottom - r.top != ht) {
        snprintf(buf, sizeof buf, " at (%ld, %ld) %ldx%ld px, not (%d, %d) %dx%d;", r.left,
                 r.top, r.right - r.left, r.bottom - r.top, x, y, w, ht);
        bad += buf;
    }
    return bad;
}

void checklayout(Vex *v)
{
    int bx, by, n = 0;
    std::string bad;

    baseunits(&bx, &by);
    checkdialog(v, bx, by);
    for (HWND h = GetWindow(v->dlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT), n++) {
        if (n >= dlgncontrols) {
            bad += " one control too many: " + classof(h) + " \"" + windowtext(h) + "\";";
            break;
        }
        std::string diff = compare(v->dlg, h, &dlgcontrols[n], &styles[n], bx, by);
        if (!diff.empty())
            bad += std::string(" ") + styles[n].kind + " \"" + dlgcontrols[n].text + "\":" + diff;
    }
    if (n < dlgncontrols)
        bad += " too few controls;";
    report(bad.empty(), "controls", "%d controls in tab order: ids, kinds, styles, texts, "
           "places and sizes in dialog units%s%s", n, bad.empty() ? " as the template has" : ":",
           bad.c_str());
}
