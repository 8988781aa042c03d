/*
** The busy clip, drawn frame by frame from the strip of its frames. The
** frame shown follows the clock, not the count of timer calls, so a
** search that lets the main loop run late still plays at 7 a second.
*/
#include <gtk/gtk-a11y.h>

#include "gtk/busyclip.h"

#define FRAMES 23
#define FRAME_US 142857     /* 7 frames a second */

struct BusyClip {
    GtkWidget *area;            /* a ClipArea */
    GdkPixbuf *strip;       /* FRAMES frames side by side */
    int width, height;      /* of one frame */
    int frame;
    gint64 started;         /* g_get_monotonic_time() at play */
    guint timer;            /* 0 when stopped */
};

/* The clip's widget: a drawing area whose accessible says "animated"
** while the clip plays, so a screen reader, and the window test, can tell
** a search from a window at rest. */
struct ClipArea {
    GtkDrawingArea parent;
    gboolean playing;
};
struct ClipAreaClass {
    GtkDrawingAreaClass parent_class;
};
struct ClipAccessible {
    GtkWidgetAccessible parent;
};
struct ClipAccessibleClass {
    GtkWidgetAccessibleClass parent_class;
};

G_DEFINE_TYPE(ClipAccessible, clip_accessible, GTK_TYPE_WIDGET_ACCESSIBLE)
G_DEFINE_TYPE(ClipArea, clip_area, GTK_TYPE_DRAWING_AREA)

static AtkStateSet *clip_accessible_ref_state_set(AtkObject *object)
{
    AtkStateSet *set = ATK_OBJECT_CLASS(clip_accessible_parent_class)->ref_state_set(object);
    GtkWidget *w = gtk_accessible_get_widget(GTK_ACCESSIBLE(object));
    if (w && ((ClipArea *)w)->playing)
        atk_state_set_add_state(set, ATK_STATE_ANIMATED);
    return set;
}

static void clip_accessible_init(ClipAccessible *)
{
}

static void clip_accessible_class_init(ClipAccessibleClass *cls)
{
    ATK_OBJECT_CLASS(cls)->ref_state_set = clip_accessible_ref_state_set;
}

static void clip_area_init(ClipArea *area)
{
    area->playing = FALSE;
}

static void clip_area_class_init(ClipAreaClass *cls)
{
    gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(cls), clip_accessible_get_type());
    gtk_widget_class_set_accessible_role(GTK_WIDGET_CLASS(cls), ATK_ROLE_ANIMATION);
}

static void setplaying(BusyClip *clip, gboolean on)
{
    ((ClipArea *)clip->area)->playing = on;
    atk_object_notify_state_change(gtk_widget_get_accessible(clip->area), ATK_STATE_ANIMATED, on);
}

static gboolean draw(GtkWidget *area, cairo_t *cr, gpointer data)
{
    BusyClip *clip = (BusyClip *)data;
    int x = (gtk_widget_get_allocated_width(area) - clip->width) / 2;
    int y = (gtk_widget_get_allocated_height(area) - clip->height) / 2;

    /* just this frame's part of the strip, at (x, y) */
    cairo_rectangle(cr, x, y, clip->width, clip->height);
    cairo_clip(cr);
    gdk_cairo_set_source_pixbuf(cr, clip->strip, x - clip->frame * clip->width, y);
    cairo_paint(cr);
    return FALSE;
}

static gboolean tick(gpointer data)
{
    BusyClip *clip = (BusyClip *)data;
    int frame = (int)((g_get_monotonic_time() - clip->started) / FRAME_US % FRAMES);
    if (frame != clip->frame) {
        clip->frame = frame;
        gtk_widget_queue_draw(clip->area);
    }
    return G_SOURCE_CONTINUE;
}

GtkWidget *busyclip_new(BusyClip **out)
{
    GtkWidget *area = (GtkWidget *)g_object_new(clip_area_get_type(), NULL);
    GdkPixbuf *strip = gdk_pixbuf_new_from_resource("/vexlore/busy-frames.png", NULL);

    *out = NULL;
    if (!strip)
        return area;
    BusyClip *clip = g_new0(BusyClip, 1);
    clip->area = area;
    clip->strip = strip;
    clip->width = gdk_pixbuf_get_width(strip) / FRAMES;
    clip->height = gdk_pixbuf_get_height(strip);
    g_signal_connect(area, "draw", G_CALLBACK(draw), clip);
    *out = clip;
    return area;
}

void busyclip_play(BusyClip *clip)
{
    if (!clip)
        return;
    clip->frame = 0;
    clip->started = g_get_monotonic_time();
    setplaying(clip, TRUE);
    gtk_widget_queue_draw(clip->area);
    if (!clip->timer)
        clip->timer = g_timeout_add(FRAME_US / 4000, tick, clip);
}

void busyclip_stop(BusyClip *clip)
{
    if (!clip || !clip->timer)
        return;
    setplaying(clip, FALSE);
    g_source_remove(clip->timer);
    clip->timer = 0;
}
