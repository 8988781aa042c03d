/*
** Writes the dialog's table as a script for the page (dialog.js), at build
** time: the page lays its controls out from it, so the table stays the one
** place the dialog's geometry is written.
** usage: node dialogtable.js > dialog.js
*/
#include <stdio.h>

#include "frontend/dialog.h"

static const char *const kinds[] = { "defbutton", "button", "edit", "list", "label", "group",
                                     "radio", "clip", "check" };

static void control(const DlgControl *c)
{
    printf("    { id: %d, kind: \"%s\", text: \"%s\", x: %d, y: %d, w: %d, h: %d, tabstop: %d },\n",
           c->id, kinds[c->kind], c->text, c->x, c->y, c->w, c->h, c->tabstop);
}

/* text holds only the dialog's own texts: no quote or backslash to escape */
int main()
{
    printf("// Made at build time from the dialog's table (web/dialogtable.cpp).\n");
    printf("self.DIALOG = {\n  caption: \"%s\", width: %d, height: %d,\n  controls: [\n",
           DLG_CAPTION, DLG_WIDTH, DLG_HEIGHT);
    for (int i = 0; i < dlgncontrols; i++)
        control(&dlgcontrols[i]);
    control(&dlgbest);      /* the page has the Best first box, after the group */
    printf("  ],\n  ids: { start: %d, stop: %d, close: %d, text: %d, results: %d, single: %d, "
           "multi: %d, busy: %d, best: %d },\n};\n", IDC_START, IDC_STOP, IDC_CLOSE, IDC_TEXT,
           IDC_RESULTS, IDC_SINGLE, IDC_MULTI, IDC_BUSY, IDC_BEST);
    return 0;
}
