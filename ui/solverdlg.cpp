/*
** The main dialog: opens the word file, binds the controls, and runs the
** anagram search inside the Start command.
*/
#include <stdio.h>
#include <string.h>

#include <windows.h>

#include "dictionary/dict.h"
#include "engine/stack.h"
#include "framework/app.h"
#include "ui/solverdlg.h"
#include "ui/wordpath.h"

static const char caption[] = "Vexlore";

/* The search calls the pump once in this many words: a call for every
** word, even one that only counted, would cost a search that examines a
** word in 1 to 2 ns a fifth of its time; 4,096 words take some 10 us. */
#define PUMP_WORDS 4096

/* While a search runs, the list draws the lines found at most this often.
** A list box that draws itself works out and draws its scroll bar again
** for every line added: some 7 ms a line under Wine, far more than the
** search spends finding one ('astronomer', 3,505 lines, took 25 s that
** way against 5 s for the search alone). */
#define SHOW_EVERY 200      /* ms */

BEGIN_MESSAGE_MAP(CSolverDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDCLOSE, OnClickedClose)
END_MESSAGE_MAP()

CSolverDlg::CSolverDlg(CWnd *parent)
    : CDialog(CSolverDlg::IDD, parent), m_stop(0), m_type(SINGLE_WORD),
      m_busy(0), m_closing(0), m_peektick(0), m_showtick(0), m_unshown(0), m_full(0)
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
    static const char nofile[] = "Unable to open dictionary file (%s).\r\n"
                                 "Ensure this file is where vexlore.exe is located.";
    CString cmdline, path, msg;

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
    dictsource(DICT_FILE);
    if (!p || dictopen(path)) {
        int size = path.GetLength() + (int)sizeof nofile;
        char *m = msg.GetBuffer(size);
        if (m) {
            snprintf(m, (size_t)size + 1, nofile, (const char *)path);
            msg.ReleaseBuffer();
        }
        MessageBox(m ? (const char *)msg : "Unable to open dictionary file", caption, MB_OK);
        CDialog::OnCancel();
    }
    if (!m_animate.Open(IDA_BUSY))
        MessageBox("Unable to open animation resource", caption, MB_OK);
    return TRUE;
}

/* Start. While a search runs, clicks still reach the buttons through the
** search's pump, so a second Start arrives here nested inside the first:
** it is ignored, since the search's stacks and file position are global.
** So is a Start that comes after Close, before the window has gone: the
** word file is already closed. */
void CSolverDlg::OnOK()
{
    char msg[192];
    int result;

    if (m_busy || m_closing)
        return;
    m_busy = 1;
    m_full = 0;
    result = search(this);
    m_busy = 0;
    if (result == SEARCH_POSITION || result == SEARCH_READ)
        showlines(FALSE);   /* a search ended by a file error skips stopbusy */

    if (m_closing) {
        OnClickedClose();
        return;
    }
    if (result == SEARCH_TOOLONG) {
        snprintf(msg, sizeof msg, "The text holds more than %d letters; "
                 "blanks do not count.", TEXT_MAX);
        MessageBox(msg, caption, MB_OK);
    }
    if (m_full) {
        snprintf(msg, sizeof msg, "The results list is full: it holds %d lines. "
                 "The search was stopped; the lines found so far are kept.", countlines());
        MessageBox(msg, caption, MB_OK);
    }
}

/* Stop, and also Esc and the caption's close box: the dialog manager turns
** each into IDCANCEL. The window stays open; only Close ends it. */
void CSolverDlg::OnCancel()
{
    m_stop = 1;
}

/* Close. During a search the word file is still being read, so the search
** is stopped and the closing is left to OnOK once the search has unwound. */
void CSolverDlg::OnClickedClose()
{
    m_closing = 1;
    if (m_busy) {
        m_stop = 1;
        return;
    }
    dictclose();
    CDialog::OnCancel();
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
void CSolverDlg::takeinput(const char **text, int *type)
{
    UpdateData(TRUE);
    *text = m_text;
    *type = m_type;
}

void CSolverDlg::clearlist()
{
    m_results.ResetContent();
}

/* A list box draws a line feed as a box, so the line goes in without its
** last one; the trailing space stays. A list that cannot take a line (out
** of memory, some 14 million lines in) stops the search as Stop does: the
** lines it holds stay, and Start says so once the search has unwound. */
void CSolverDlg::addline(const char *line)
{
    char buf[LINE_SIZE];
    size_t len = strlen(line);

    if (m_full)
        return;

    if (len > 0 && line[len - 1] == '\n')
        len--;
    if (len > sizeof buf - 1)
        len = sizeof buf - 1;
    memcpy(buf, line, len);
    buf[len] = '\0';
    int at = m_results.AddString(buf);
    if (at == LB_ERR || at == LB_ERRSPACE) {
        m_full = 1;
        m_stop = 1;
        return;
    }
    m_unshown++;
}

int CSolverDlg::countlines()
{
    return m_results.GetCount();
}

/* The search starts: the list, just emptied, stops drawing each line as
** it comes; the pump shows them (showlines). */
void CSolverDlg::startbusy()
{
    m_results.SendMessage(WM_SETREDRAW, FALSE);
    m_unshown = 0;
    m_showtick = GetTickCount();
    m_animate.Play(0, 0xFFFF, (UINT)-1);
}

void CSolverDlg::stopbusy()
{
    m_animate.Stop();
    showlines(FALSE);
}

/* Lets the list draw its lines now, scroll bar and all; with hold, it
** goes back to not drawing for the lines still to come. */
void CSolverDlg::showlines(BOOL hold)
{
    m_results.SendMessage(WM_SETREDRAW, TRUE);
    InvalidateRect(m_results.m_hWnd, NULL, FALSE);
    UpdateWindow(m_results.m_hWnd);
    if (hold)
        m_results.SendMessage(WM_SETREDRAW, FALSE);
    m_unshown = 0;
    m_showtick = GetTickCount();
}

/* Called once per PUMP_WORDS words the search examines. Looking at the
** queue costs far more than that, so the pump looks at most once per tick
** of GetTickCount: often enough for clicks and painting, rarely enough to
** cost the search next to nothing. One message per look; no translation
** and no dialog keyboard handling, so typing and Tab wait for the end.
** New lines are shown every SHOW_EVERY ms, and whenever the list is to be
** painted: a list that is not drawing would take its paint message and
** leave its area blank. */
void CSolverDlg::pump()
{
    DWORD now;
    MSG msg;

    now = GetTickCount();
    if (now == m_peektick)
        return;
    m_peektick = now;
    if (PeekMessageA(&msg, m_hWnd, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT && msg.hwnd == m_results.m_hWnd)
            showlines(TRUE);
        else
            DispatchMessageA(&msg);
    }
    if (m_unshown && now - m_showtick >= SHOW_EVERY)
        showlines(TRUE);
}

int CSolverDlg::pumpwords()
{
    return PUMP_WORDS;
}

int *CSolverDlg::stopflag()
{
    return &m_stop;
}
