/*
** The main dialog's controls in tab order, and dialog units to pixels.
*/
#include <stddef.h>

#include "frontend/dialog.h"

const DlgControl dlgcontrols[] = {
    { IDC_START, DLG_DEFBUTTON, DLG_START_TEXT, DLG_START_AT, 1 },
    { IDC_STOP, DLG_BUTTON, DLG_STOP_TEXT, DLG_STOP_AT, 1 },
    { IDC_TEXT, DLG_EDIT, "", DLG_TEXT_AT, 1 },
    { IDC_RESULTS, DLG_LIST, "", DLG_RESULTS_AT, 1 },
    { -1, DLG_LABEL, DLG_PROMPT_TEXT, DLG_PROMPT_AT, 0 },
    { -1, DLG_LABEL, DLG_LISTED_TEXT, DLG_LISTED_AT, 0 },
    { IDC_CLOSE, DLG_BUTTON, DLG_CLOSE_TEXT, DLG_CLOSE_AT, 1 },
    { -1, DLG_GROUP, DLG_TYPE_TEXT, DLG_TYPE_AT, 0 },
    { IDC_SINGLE, DLG_RADIO, DLG_SINGLE_TEXT, DLG_SINGLE_AT, 0 },
    { IDC_MULTI, DLG_RADIO, DLG_MULTI_TEXT, DLG_MULTI_AT, 0 },
    { IDC_BUSY, DLG_CLIP, "", DLG_BUSY_AT, 1 },
};

const DlgControl dlgbest = { IDC_BEST, DLG_CHECK, DLG_BEST_TEXT, DLG_BEST_AT, 1 };

const int dlgncontrols = (int)(sizeof dlgcontrols / sizeof dlgcontrols[0]);
static_assert(sizeof dlgcontrols / sizeof dlgcontrols[0] == DLG_NCONTROLS,
              "DLG_NCONTROLS counts the table");

const DlgControl *dlgcontrol(int id)
{
    for (int i = 0; i < dlgncontrols; i++)
        if (dlgcontrols[i].id == id)
            return &dlgcontrols[i];
    return id == IDC_BEST ? &dlgbest : NULL;
}

void dlgbaseunits(int letters52, int height, int *bx, int *by)
{
    *bx = (letters52 / 26 + 1) / 2;
    *by = height;
}

/* MulDiv(units, base, div) for the small positive values of a dialog */
static int muldiv(int units, int base, int div)
{
    long long p = (long long)units * base;
    return (int)((p + (p >= 0 ? div / 2 : -(div / 2))) / div);
}

int dlgxpixels(int units, int bx)
{
    return muldiv(units, bx, 4);
}

int dlgypixels(int units, int by)
{
    return muldiv(units, by, 8);
}
