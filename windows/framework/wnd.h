/*
** Window wrappers: CWnd holds a window handle, and the control classes add
** the few messages the dialog sends to its list and its animation.
** CPaintDC brackets painting with BeginPaint and EndPaint.
*/
#ifndef VEXLORE_WND_H
#define VEXLORE_WND_H

#include <windows.h>

#include "windows/framework/msgmap.h"

class CWnd : public CCmdTarget {
public:
    CWnd() : m_hWnd(NULL) {}

    LRESULT SendMessage(UINT message, WPARAM wp = 0, LPARAM lp = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wp, lp);
    }
    void GetClientRect(RECT *rect) const { ::GetClientRect(m_hWnd, rect); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    /* A message box owned by this window; text and caption in UTF-8, shown
    ** through the wide API, so a path reads as the user named it. (With
    ** windows.h, the name reads MessageBoxA throughout, as for the API.) */
    int MessageBox(const char *text, const char *caption, UINT type = MB_OK) const;
    HICON SetIcon(HICON icon, BOOL big)
    {
        return (HICON)SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                                  (LPARAM)icon);
    }

    HWND m_hWnd;
};

class CListBox : public CWnd {
public:
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    /* Returns the line's index, or LB_ERR / LB_ERRSPACE. */
    int AddString(const char *s) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)s); }
    int GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
};

class CAnimateCtrl : public CWnd {
public:
    /* Opens the AVI resource id of the program's own module; FALSE if the
    ** control cannot open it. */
    BOOL Open(UINT id);
    /* Frames from..to, repeat times (-1: without end). */
    BOOL Play(UINT from, UINT to, UINT repeat);
    BOOL Stop();
};

class CPaintDC {
public:
    explicit CPaintDC(CWnd *wnd);
    ~CPaintDC();

    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

    HDC m_hDC;
private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps;

    CPaintDC(const CPaintDC &);
    CPaintDC &operator=(const CPaintDC &);
};

#endif
