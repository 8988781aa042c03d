/*
** The main dialog as every front end shows it, written once: its caption,
** its size and each control's id, text and place in dialog units. The
** Windows resource script reads the macros (windres runs the C
** preprocessor); the front ends and the layout checks read the table.
*/
#ifndef VEXLORE_FRONTEND_DIALOG_H
#define VEXLORE_FRONTEND_DIALOG_H

#define DLG_CAPTION     "Vexlore"
#define DLG_WIDTH       320
#define DLG_HEIGHT      200

/* Control ids. Start, Stop and Close are the ids Windows gives OK,
** Cancel and Close (IDOK, IDCANCEL, IDCLOSE). */
#define IDC_START       1
#define IDC_STOP        2
#define IDC_CLOSE       8
#define IDC_TEXT        1000
#define IDC_RESULTS     1001
#define IDC_SINGLE      1006
#define IDC_MULTI       1007
#define IDC_BUSY        1008
#define IDC_BEST        1009

/* Texts, and x, y, width, height in dialog units. */
#define DLG_START_TEXT      "Start"
#define DLG_START_AT        263, 6, 50, 14
#define DLG_STOP_TEXT       "Stop"
#define DLG_STOP_AT         263, 31, 50, 14
#define DLG_TEXT_AT         34, 29, 185, 13
#define DLG_RESULTS_AT      34, 54, 185, 120
#define DLG_PROMPT_TEXT     "Enter anagram text:"
#define DLG_PROMPT_AT       35, 17, 62, 8
#define DLG_LISTED_TEXT     "Results:"
#define DLG_LISTED_AT       33, 45, 35, 8
#define DLG_CLOSE_TEXT      "Close"
#define DLG_CLOSE_AT        263, 179, 50, 14
#define DLG_TYPE_TEXT       "Type"
#define DLG_TYPE_AT         238, 54, 75, 61
#define DLG_SINGLE_TEXT     "Single word"
#define DLG_SINGLE_AT       249, 68, 53, 10
#define DLG_MULTI_TEXT      "Multi-word"
#define DLG_MULTI_AT        249, 83, 48, 10
#define DLG_BUSY_AT         255, 127, 33, 32
/* Not in the Windows template: see dlgbest. */
#define DLG_BEST_TEXT       "Best first"
#define DLG_BEST_AT         249, 98, 60, 10

#ifndef RC_INVOKED

enum DlgKind {
    DLG_DEFBUTTON,      /* the default push button: Enter presses it */
    DLG_BUTTON,
    DLG_EDIT,
    DLG_LIST,           /* sorted, no selection, vertical scroll bar, border */
    DLG_LABEL,          /* static text, left aligned */
    DLG_GROUP,          /* group box with its caption */
    DLG_RADIO,
    DLG_CLIP,           /* the busy clip, centred in a bordered frame */
    DLG_CHECK           /* check box */
};

struct DlgControl {
    int id;             /* -1 for the labels and the group box */
    DlgKind kind;
    const char *text;   /* "" where the control shows none */
    int x, y, w, h;     /* dialog units */
    int tabstop;        /* Tab stops here; the radio buttons are reached by clicks */
};

/* The controls in tab order (the order of the resource script). */
#define DLG_NCONTROLS 11
extern const DlgControl dlgcontrols[];
extern const int dlgncontrols;

/* Best first: the check box the GTK window and the page add inside the
** Type group, under Multi-word, with a tab stop of its own after the
** group's. The Windows template, and so the table above, is without it. */
extern const DlgControl dlgbest;

/* The control with this id, or NULL (IDC_BEST too). */
const DlgControl *dlgcontrol(int id);

/* Dialog base units of a font, worked out as Windows does: across, the
** average width of its 52 letters A-Z and a-z (letters52, their width
** together in pixels) halved with rounding as (letters52 / 26 + 1) / 2;
** down, the font's height in pixels. */
void dlgbaseunits(int letters52, int height, int *bx, int *by);

/* Dialog units to pixels: x and widths in quarters of bx, y and heights
** in eighths of by, rounded to the nearest pixel as MulDiv rounds. */
int dlgxpixels(int units, int bx);
int dlgypixels(int units, int by);

#endif
#endif
