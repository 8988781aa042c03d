/*
** Resource ids shared by the resource script and the program.
*/
#ifndef VEXLORE_RESOURCE_H
#define VEXLORE_RESOURCE_H

/* dialogs */
#define IDD_MAIN        102

/* icons */
#define IDI_APP         128

/* animation clips, resource type "AVI" */
#define IDA_BUSY        130

/* the controls of IDD_MAIN: their ids, texts and places */
#include "frontend/dialog.h"

#endif
