/*
** Window wrappers: the animation control's messages and the paint context.
*/
#include <windows.h>
#include <commctrl.h>

#include "framework/app.h"
#include "framework/wnd.h"

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
