/*
** The busy clip: the 23 frames of resources/busy-frames.png at 7 a second,
** centred in a bordered frame, magenta background and all, as Windows'
** animation control plays busy.avi.
*/
#ifndef VEXLORE_GTK_BUSYCLIP_H
#define VEXLORE_GTK_BUSYCLIP_H

#include <gtk/gtk.h>

struct BusyClip;

/* The clip's widget, showing its first frame; NULL in *clip when the
** frames cannot be loaded (the widget then stays empty). */
GtkWidget *busyclip_new(BusyClip **clip);
/* Plays from the first frame, without end; stops on the frame it shows. */
void busyclip_play(BusyClip *clip);
void busyclip_stop(BusyClip *clip);

#endif
