/*
** Modal dialogs: one dialog procedure for every CDialog finds the object
** and hands each message to its virtual handlers or its message map.
*/
#include <windows.h>

#include "windows/framework/app.h"
#include "windows/framework/dialog.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT idtemplate, CWnd *parent)
    : m_nIDTemplate(idtemplate), m_pParentWnd(parent), m_default(FALSE)
{
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : NULL;
    INT_PTR result;

    result = DialogBoxParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                             owner, DialogProc, (LPARAM)this);
    m_hWnd = NULL;
    return result;
}

BOOL CDialog::UpdateData(BOOL save)
{
    CDataExchange dx(this, save);

    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange *)
{
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

/* The object comes in with WM_INITDIALOG and is kept in the window's
** DWLP_USER slot. WM_SETFONT and a few others arrive before it; they go
** to the dialog manager untouched. */
INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp)
{
    CDialog *dlg;

    if (message == WM_INITDIALOG) {
        dlg = (CDialog *)lp;
        SetWindowLongPtrA(hwnd, DWLP_USER, (LONG_PTR)dlg);
        dlg->m_hWnd = hwnd;
        return dlg->OnInitDialog();
    }
    dlg = (CDialog *)GetWindowLongPtrA(hwnd, DWLP_USER);
    if (!dlg)
        return FALSE;
    return dlg->OnMessage(message, wp, lp);
}

/* A dialog procedure returns FALSE for "not handled, do the default".
** Commands the dialog's map lacks go on to the application's map. The
** few messages whose result a dialog procedure returns directly, such as
** WM_QUERYDRAGICON, return the handler's value. */
INT_PTR CDialog::OnMessage(UINT message, WPARAM wp, LPARAM)
{
    const MsgEntry *e;
    CWinApp *app;
    LRESULT result;
    BOOL outer, dflt;

    if (message == WM_COMMAND) {
        if (OnCmdMsg(LOWORD(wp), HIWORD(wp)))
            return TRUE;
        app = AfxGetApp();
        return app && app->OnCmdMsg(LOWORD(wp), HIWORD(wp));
    }
    e = FindEntry(message, 0, 0);
    if (!e)
        return FALSE;

    /* A handler may send messages that come back here before it returns,
    ** so the default flag is saved around the call. */
    outer = m_default;
    m_default = FALSE;
    result = CallEntry(e);
    dflt = m_default;
    m_default = outer;

    if (dflt)
        return FALSE;
    return e->iconhandler ? (INT_PTR)result : TRUE;
}

void DDX_Control(CDataExchange *dx, int id, CWnd &control)
{
    if (!control.m_hWnd)
        control.m_hWnd = dx->Control(id);
}

void DDX_Text(CDataExchange *dx, int id, CString &value)
{
    HWND h = dx->Control(id);
    int len;
    char *p;

    if (!dx->m_bSaveAndValidate) {
        SetWindowTextA(h, value);
        return;
    }
    len = GetWindowTextLengthA(h);
    p = value.GetBuffer(len);
    if (!p)
        return;     /* no memory: the member keeps its old text */
    p[0] = '\0';
    GetWindowTextA(h, p, len + 1);
    value.ReleaseBuffer();
}

/* The group runs from id through the following controls up to the next
** one that starts a group. Only radio buttons count; other controls in
** between are passed over, as the dialog manager does. */
void DDX_Radio(CDataExchange *dx, int id, int &value)
{
    HWND h = dx->Control(id);
    int index = 0;

    if (dx->m_bSaveAndValidate)
        value = -1;
    while (h) {
        if (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (!dx->m_bSaveAndValidate)
                SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            else if (SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
            index++;
        }
        h = GetWindow(h, GW_HWNDNEXT);
        if (h && (GetWindowLongA(h, GWL_STYLE) & WS_GROUP))
            break;
    }
}
