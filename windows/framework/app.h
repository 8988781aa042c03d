/*
** The application object: the program has exactly one, constructed at
** static initialisation. The program entry hands control to its
** InitInstance.
*/
#ifndef VEXLORE_APP_H
#define VEXLORE_APP_H

#include <windows.h>

#include "windows/framework/cstring.h"
#include "windows/framework/msgmap.h"

class CWnd;

/* The help command's id. */
#define ID_HELP 0xE146

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const char *appname = NULL);
    virtual ~CWinApp();

    /* Sets the program up; FALSE ends it at once, TRUE runs the
    ** message loop until WM_QUIT. */
    virtual BOOL InitInstance();
    virtual int Run();

    /* Nothing to switch on: the system draws its controls in three
    ** dimensions by itself. */
    BOOL Enable3dControls() { return TRUE; }

    /* The program has no help file, so the help command does nothing. */
    void OnHelp() {}

    const char *m_pszAppName;
    HINSTANCE m_hInstance;
    CWnd *m_pMainWnd;
};

CWinApp *AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
/* The process's command line, whole, in UTF-8: the system's wide text,
** so a folder named in any script survives (the ANSI one turns what its
** code page lacks into '?'). Empty when memory runs out. */
CString AfxGetCommandLine();

/* Nothing to enable: the program hosts no embedded controls. */
inline void AfxEnableControlContainer() {}

#endif
