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

/* controls of IDD_MAIN; Start, Stop and Close are IDOK, IDCANCEL, IDCLOSE */
#define IDC_TEXT        1000
#define IDC_RESULTS     1001
#define IDC_SINGLE      1006
#define IDC_MULTI       1007
#define IDC_BUSY        1008

#endif
