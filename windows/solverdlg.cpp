/*
** The main dialog on Windows: binds the controls, passes the commands to
** the dialog's logic, and gives it the list, the clip and the message
** queue.
*/
#include <windows.h>

#include "windows/framework/app.h"
#include "windows/solverdlg.h"
#include "windows/wordpath.h"

static_assert(IDC_START == IDOK && IDC_STOP == IDCANCEL && IDC_CLOSE == IDCLOSE,
              "the dialog's table names Start, Stop and Close by Windows' ids");

BEGIN_MESSAGE_MAP(CSolverDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDCLOSE, OnClickedClose)
END_MESSAGE_MAP()

CSolverDlg::CSolverDlg(CWnd *parent)
    : CDialog(CSolverDlg::IDD, parent), m_stop(0), m_type(SINGLE_WORD),
      m_solver(this, &m_stop)
{
    m_hIcon = LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_APP));
}

void CSolverDlg::DoDataExchange(CDataExchange *dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_BUSY, m_animate);
    DDX_Control(dx, IDC_RESULTS, m_results);
    DDX_Text(dx, IDC_TEXT, m_text);
    DDX_Radio(dx, IDC_SINGLE, m_type);
}

/* Opens the word file beside the program. Without it the dialog ends as
** soon as it has been set up, and so does the program. */
BOOL CSolverDlg::OnInitDialog()
{
    CString cmdline, path;

    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    /* the whole command line, in UTF-8: the dictionary takes UTF-8 paths,
    ** so a folder of any length (up to the system's limit) and of any
    ** script is found */
    cmdline = AfxGetCommandLine();
    int len = wordpath(cmdline, NULL, 0);
    char *p = path.GetBuffer(len);
    if (p) {
        wordpath(cmdline, p, len + 1);
        path.ReleaseBuffer();
    }
    if (!p) {
        message("Unable to open dictionary file");
        CDialog::OnCancel();
    } else if (!m_solver.open(path)) {
        CDialog::OnCancel();
    }
    if (!m_animate.Open(IDA_BUSY))
        message(solver_noclip);
    return TRUE;
}

void CSolverDlg::OnOK()
{
    m_solver.start();
}

/* Stop, and also Esc and the caption's close box: the dialog manager turns
** each into IDCANCEL. The window stays open; only Close ends it. */
void CSolverDlg::OnCancel()
{
    m_solver.stop();
}

void CSolverDlg::OnClickedClose()
{
    m_solver.close();
}

/* Minimised, the window shows its icon centred in the client area. */
void CSolverDlg::OnPaint()
{
    RECT rect;
    int x, y;

    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.m_hDC, 0);
    GetClientRect(&rect);
    x = (rect.right - rect.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    y = (rect.bottom - rect.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CSolverDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}

/* The text is valid until the next call; the data exchange cannot fail. */
void CSolverDlg::input(const char **text, int *type)
{
    UpdateData(TRUE);
    *text = m_text;
    *type = m_type;
}

void CSolverDlg::clearlines()
{
    m_results.ResetContent();
}

/* A list box out of memory (some 14 million lines in) takes no more. */
bool CSolverDlg::addline(const char *line)
{
    int at = m_results.AddString(line);
    return at != LB_ERR && at != LB_ERRSPACE;
}

int CSolverDlg::countlines()
{
    return m_results.GetCount();
}

/* While a search runs the list does not draw each line as it comes
** (WM_SETREDRAW off): it draws them, scroll bar and all, when told. */
void CSolverDlg::showlines()
{
    redraw();
}

void CSolverDlg::redraw()
{
    m_results.SendMessage(WM_SETREDRAW, TRUE);
    InvalidateRect(m_results.m_hWnd, NULL, FALSE);
    UpdateWindow(m_results.m_hWnd);
    if (m_solver.searching())
        m_results.SendMessage(WM_SETREDRAW, FALSE);
}

void CSolverDlg::busy(bool on)
{
    if (on) {
        m_results.SendMessage(WM_SETREDRAW, FALSE);
        m_animate.Play(0, 0xFFFF, (UINT)-1);
    } else {
        m_animate.Stop();
        m_results.SendMessage(WM_SETREDRAW, TRUE);
    }
}

/* One message for the dialog or its controls; no translation and no dialog
** keyboard handling, so typing and Tab wait for the end. A list that is
** not drawing would take its paint message and leave its area blank: it
** draws its lines instead. */
void CSolverDlg::takeevent()
{
    MSG msg;

    if (PeekMessageA(&msg, m_hWnd, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT && msg.hwnd == m_results.m_hWnd)
            redraw();
        else
            DispatchMessageA(&msg);
    }
}

void CSolverDlg::message(const char *text)
{
    MessageBox(text, DLG_CAPTION, MB_OK);
}

unsigned CSolverDlg::clock()
{
    return GetTickCount();
}

/* Close: the base class's Cancel ends the modal loop. */
void CSolverDlg::end()
{
    CDialog::OnCancel();
}
