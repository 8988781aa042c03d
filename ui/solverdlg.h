/*
** The main dialog: the typed text, the search type, Start, Stop and Close,
** the sorted results list and the busy animation. It is also the window
** the anagram search runs in.
*/
#ifndef VEXLORE_SOLVERDLG_H
#define VEXLORE_SOLVERDLG_H

#include "engine/search.h"
#include "framework/dialog.h"
#include "resources/resource.h"

class CSolverDlg : public CDialog, public SearchWindow {
public:
    explicit CSolverDlg(CWnd *parent = NULL);

    enum { IDD = IDD_MAIN };

    CAnimateCtrl m_animate;     /* IDC_BUSY */
    CListBox m_results;         /* IDC_RESULTS */
    CString m_text;             /* IDC_TEXT */
    int m_stop;                 /* set by Stop; the search polls it */
    int m_type;                 /* IDC_SINGLE group: SINGLE_WORD or MULTI_WORD */

protected:
    HICON m_hIcon;

    virtual void DoDataExchange(CDataExchange *dx);
    virtual BOOL OnInitDialog();
    virtual void OnOK();        /* Start */
    virtual void OnCancel();    /* Stop */

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClickedClose();

public:
    /* The window side of the search. */
    void takeinput(const char **text, int *type) override;
    void clearlist() override;
    void addline(const char *line) override;
    int countlines() override;
    void startbusy() override;
    void stopbusy() override;
    void pump() override;
    int pumpwords() override;
    int *stopflag() override;

private:
    void showlines(BOOL hold);

    int m_busy;         /* a search is running, inside OnOK */
    int m_closing;      /* Close came: no more searches; during one, end once it unwinds */
    DWORD m_peektick;   /* GetTickCount at the pump's last look at the queue */
    DWORD m_showtick;   /* GetTickCount when the list last drew its lines */
    int m_unshown;      /* lines added since then */
    int m_full;         /* the list took no more lines: the search was stopped */

    DECLARE_MESSAGE_MAP()
};

#endif
