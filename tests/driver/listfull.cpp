/*
** vexlore-listfull.exe: the program with a results list that takes no
** more than LISTFULL_LINES lines, as a list out of memory would: past
** them LB_ADDSTRING fails with LB_ERRSPACE. The window test runs it in
** place of vexlore.exe to see what the program does with a full list,
** without filling a gigabyte first. Only the list is changed: the dialog
** is the program's own.
*/
#include <windows.h>

#include "driver.h"
#include "windows/framework/app.h"
#include "windows/solverdlg.h"

static WNDPROC listproc;    /* the list box's own window procedure */

static LRESULT CALLBACK fullproc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == LB_ADDSTRING && CallWindowProcA(listproc, h, LB_GETCOUNT, 0, 0) >= LISTFULL_LINES)
        return LB_ERRSPACE;
    return CallWindowProcA(listproc, h, msg, wp, lp);
}

class CListFullDlg : public CSolverDlg {
protected:
    BOOL OnInitDialog() override
    {
        BOOL r = CSolverDlg::OnInitDialog();
        listproc = (WNDPROC)SetWindowLongPtrA(m_results.m_hWnd, GWLP_WNDPROC, (LONG_PTR)fullproc);
        return r;
    }
};

class CListFullApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        CListFullDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = NULL;
        return FALSE;
    }
};

static CListFullApp theApp;
