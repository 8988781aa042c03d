/*
** The application object and its start-up: one modal dialog, no message
** loop of its own.
*/
#include "windows/framework/app.h"
#include "windows/solverapp.h"
#include "windows/solverdlg.h"

BEGIN_MESSAGE_MAP(CSolverApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CSolverApp::CSolverApp()
{
}

CSolverApp theApp;

/* Returns FALSE so the program ends once the dialog has: Close is the
** only way out, and DoModal's result tells nothing more. */
BOOL CSolverApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();

    CSolverDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = NULL;
    return FALSE;
}
