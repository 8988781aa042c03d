/*
** Modal dialogs from a resource template, and the data exchange between a
** dialog's controls and its members.
*/
#ifndef VEXLORE_DIALOG_H
#define VEXLORE_DIALOG_H

#include <windows.h>

#include "windows/framework/cstring.h"
#include "windows/framework/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT idtemplate, CWnd *parent = NULL);

    /* Runs the dialog until EndDialog; returns EndDialog's result, or -1
    ** when the template cannot be loaded. */
    INT_PTR DoModal();
    void EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }

    /* Controls to members (save) or members to controls; always TRUE,
    ** since no exchange here validates. */
    BOOL UpdateData(BOOL save = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange *dx);
    /* Loads the controls from the members; TRUE lets the dialog manager
    ** put the focus on the first tab stop. */
    virtual BOOL OnInitDialog();
    /* IDOK: takes the controls' values and ends the dialog. */
    virtual void OnOK();
    /* IDCANCEL: ends the dialog. */
    virtual void OnCancel();

    /* WM_PAINT left to the dialog manager. */
    void OnPaint() { Default(); }
    /* Called from a handler: the dialog manager also gets the message. */
    void Default() { m_default = TRUE; }

    UINT m_nIDTemplate;
    CWnd *m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wp, LPARAM lp);
    INT_PTR OnMessage(UINT message, WPARAM wp, LPARAM lp);

    BOOL m_default;

    DECLARE_MESSAGE_MAP()
};

class CDataExchange {
public:
    CDataExchange(CDialog *dlg, BOOL save) : m_pDlgWnd(dlg), m_bSaveAndValidate(save) {}

    HWND Control(int id) const { return GetDlgItem(m_pDlgWnd->m_hWnd, id); }

    CDialog *m_pDlgWnd;
    BOOL m_bSaveAndValidate;    /* TRUE: controls to members */
};

/* Binds a member control object to the dialog's control id (once). */
void DDX_Control(CDataExchange *dx, int id, CWnd &control);
/* The control's text and a string member. */
void DDX_Text(CDataExchange *dx, int id, CString &value);
/* The index of the checked button in the radio group that starts at id;
** -1 when none is checked. */
void DDX_Radio(CDataExchange *dx, int id, int &value);

#endif
