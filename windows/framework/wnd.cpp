/*
** Window wrappers: the animation control's messages and the paint context.
*/
#include <stdlib.h>

#include <windows.h>
#include <commctrl.h>

#include "windows/framework/app.h"
#include "windows/framework/wnd.h"

/* The wide form of UTF-8 text s, in heap memory to free; NULL when
** memory runs out. */
static WCHAR *widen(const char *s)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, NULL, 0);
    WCHAR *w = n > 0 ? (WCHAR *)malloc((size_t)n * sizeof *w) : NULL;
    if (w && !MultiByteToWideChar(CP_UTF8, 0, s, -1, w, n))
        w[0] = 0;
    return w;
}

int CWnd::MessageBox(const char *text, const char *caption, UINT type) const
{
    WCHAR *wtext = widen(text), *wcaption = widen(caption);
    int r = wtext && wcaption ? ::MessageBoxW(m_hWnd, wtext, wcaption, type)
                              : ::MessageBoxA(m_hWnd, text, caption, type);
    free(wtext);
    free(wcaption);
    return r;
}

/* The instance goes in wParam: older controls look the clip up in the
** module that created them, newer ones in the module named there. */
BOOL CAnimateCtrl::Open(UINT id)
{
    return (BOOL)SendMessage(ACM_OPENA, (WPARAM)AfxGetInstanceHandle(),
                             (LPARAM)MAKEINTRESOURCEA(id));
}

BOOL CAnimateCtrl::Play(UINT from, UINT to, UINT repeat)
{
    return (BOOL)SendMessage(ACM_PLAY, (WPARAM)repeat, MAKELPARAM(from, to));
}

BOOL CAnimateCtrl::Stop()
{
    return (BOOL)SendMessage(ACM_STOP);
}

CPaintDC::CPaintDC(CWnd *wnd) : m_hWnd(wnd->m_hWnd)
{
    m_hDC = BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    EndPaint(m_hWnd, &m_ps);
}
