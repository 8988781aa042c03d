/*
** The dialog's size follows the desktop's font and scale, up to the
** screen: a font so large that the dialog would not fit the monitor's work
** area is made smaller for this window, so that Start, Stop and Close stay
** on the screen.
*/
#ifndef VEXLORE_GTK_DLGSCALE_H
#define VEXLORE_GTK_DLGSCALE_H

#include <gtk/gtk.h>

/* The dialog base units of window's font (frontend/dialog.h), once the
** font is capped so that the dialog and a caption fit the work area of the
** monitor the window will open on. window is not yet shown. */
void dlgfit(GtkWidget *window, int *bx, int *by);

#endif
