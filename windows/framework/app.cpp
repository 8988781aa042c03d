/*
** The application object and the program entry that runs it.
*/
#include <windows.h>
#include <commctrl.h>

#include "windows/framework/app.h"

static CWinApp *theapp;     /* the one application object */

CWinApp::CWinApp(const char *appname)
    : m_pszAppName(appname), m_hInstance(NULL), m_pMainWnd(NULL)
{
    theapp = this;
}

CWinApp::~CWinApp()
{
    if (theapp == this)
        theapp = NULL;
}

BOOL CWinApp::InitInstance()
{
    return FALSE;
}

int CWinApp::Run()
{
    MSG msg;

    msg.wParam = 0;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

CWinApp *AfxGetApp()
{
    return theapp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return theapp ? theapp->m_hInstance : GetModuleHandleA(NULL);
}

CString AfxGetCommandLine()
{
    const WCHAR *wide = GetCommandLineW();
    CString text;
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, NULL, 0, NULL, NULL);
    char *buf = n > 0 ? text.GetBuffer(n - 1) : NULL;
    if (buf) {
        if (!WideCharToMultiByte(CP_UTF8, 0, wide, -1, buf, n, NULL, NULL))
            buf[0] = '\0';
        text.ReleaseBuffer();
    }
    return text;
}

/* WinMain lives here, beside the application class, so that linking any
** program built on CWinApp brings it in from the static library. */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX icc;

    /* The animation control's window class is registered only on request. */
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_ANIMATE_CLASS;
    InitCommonControlsEx(&icc);

    if (!theapp)
        return 1;
    theapp->m_hInstance = instance;
    if (!theapp->InitInstance())
        return 0;
    return theapp->Run();
}
