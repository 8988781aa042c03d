/*
** The application: it runs the main dialog and ends when the dialog does.
*/
#ifndef VEXLORE_SOLVERAPP_H
#define VEXLORE_SOLVERAPP_H

#include "windows/framework/app.h"

class CSolverApp : public CWinApp {
public:
    CSolverApp();

    virtual BOOL InitInstance();

    DECLARE_MESSAGE_MAP()
};

#endif
