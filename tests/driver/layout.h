/*
** The main dialog's layout against the dialog template: the window's
** caption, styles and size, and each control's id, kind, style, text,
** place and size in dialog units, in tab order.
*/
#ifndef VEXLORE_DRIVER_LAYOUT_H
#define VEXLORE_DRIVER_LAYOUT_H

struct Vex;

/* Reports two checks, the dialog and its controls. */
void checklayout(Vex *v);

#endif
