/*
** The main dialog on Windows: the typed text, the search type, Start, Stop
** and Close, the sorted results list and the busy animation, on our class
** layer. What the commands do is the portable Solver's; this is its view.
*/
#ifndef VEXLORE_SOLVERDLG_H
#define VEXLORE_SOLVERDLG_H

#include "frontend/solver.h"
#include "windows/framework/dialog.h"
#include "windows/resources/resource.h"

class CSolverDlg : public CDialog, public SolverView {
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
    /* The view the dialog's logic works through. */
    void input(const char **text, int *type) override;
    void clearlines() override;
    bool addline(const char *line) override;
    int countlines() override;
    void showlines() override;
    void busy(bool on) override;
    void takeevent() override;
    void message(const char *text) override;
    unsigned clock() override;
    void end() override;

private:
    void redraw();

    Solver m_solver;

    DECLARE_MESSAGE_MAP()
};

#endif
