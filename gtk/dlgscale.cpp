/*
** The font capped to the work area, through a style sheet of the window's
** own; measured as the controls will be drawn.
*/
#include <stdio.h>

#include "frontend/dialog.h"
#include "gtk/dlgscale.h"

/* Room kept for the frame the window manager adds, in dialog base units:
** a caption is about one and a half lines of its font, a border a pixel
** or a few. */
#define CAPTION_BY 2
#define BORDER_BX 1

/* Base units of the font the window's style gives it now. */
static void measure(GtkWidget *window, int *bx, int *by)
{
    PangoFontDescription *font = NULL;
    gtk_style_context_get(gtk_widget_get_style_context(window), GTK_STATE_FLAG_NORMAL, "font",
                          &font, NULL);
    PangoLayout *layout = gtk_widget_create_pango_layout(
        window, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    if (font) {
        pango_layout_set_font_description(layout, font);
        pango_font_description_free(font);
    }
    int width, height;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    dlgbaseunits(width, height, bx, by);
}

/* How much smaller the dialog must be to fit area: 1 if it fits. */
static double overflow(const GdkRectangle *area, int bx, int by)
{
    double w = dlgxpixels(DLG_WIDTH, bx) + 2 * BORDER_BX * bx, h = dlgypixels(DLG_HEIGHT, by) + CAPTION_BY * by;
    double f = 1;
    if (w > area->width)
        f = area->width / w;
    if (h > area->height && area->height / h < f)
        f = area->height / h;
    return f;
}

void dlgfit(GtkWidget *window, int *bx, int *by)
{
    measure(window, bx, by);
    GdkDisplay *display = gtk_widget_get_display(window);
    GdkMonitor *monitor = gdk_display_get_primary_monitor(display);
    if (!monitor && gdk_display_get_n_monitors(display) > 0)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor)
        return;
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    double f = overflow(&area, *bx, *by);
    if (f >= 1)
        return;

    PangoFontDescription *font = NULL;
    GtkStyleContext *style = gtk_widget_get_style_context(window);
    gtk_style_context_get(style, GTK_STATE_FLAG_NORMAL, "font", &font, NULL);
    if (!font)
        return;
    double size = pango_font_description_get_size(font) / (double)PANGO_SCALE;
    const char *unit = pango_font_description_get_size_is_absolute(font) ? "px" : "pt";
    pango_font_description_free(font);

    /* the text's size does not follow the font's size exactly: smaller by
    ** the overflow, then a little more while it still does not fit */
    GtkCssProvider *capped = gtk_css_provider_new();
    gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(window),
                                              GTK_STYLE_PROVIDER(capped),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
    for (int tries = 0; tries < 10 && f < 1 && size > 1; tries++) {
        char css[64], num[G_ASCII_DTOSTR_BUF_SIZE];
        size *= f < 0.98 ? f : 0.98;
        /* a style sheet's numbers take a point whatever the locale */
        snprintf(css, sizeof css, "* { font-size: %s%s; }",
                 g_ascii_formatd(num, sizeof num, "%.2f", size), unit);
        gtk_css_provider_load_from_data(capped, css, -1, NULL);
        measure(window, bx, by);
        f = overflow(&area, *bx, *by);
    }
    g_object_unref(capped);
}
