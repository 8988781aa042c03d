/*
** The results list: a widget that draws the rows in sight of a LineIndex,
** in a window of its own the size of its place. The scroll bar's range is
** the rows shown times a row's height; the view's top is its value, so
** scrolling anywhere costs one screen of rows, whatever the list holds.
*/
#include <new>
#include <string>
#include <vector>

#include "gtk/lineindex.h"
#include "gtk/linelist.h"
#include "gtk/listtable.h"

#define ROW_PAD 1       /* pixels above and below a row's text */
#define TEXT_PAD 3      /* pixels left of a row's text */

struct LineList {
    GtkWidget parent;
    LineIndex *index;
    bool ranked;                        /* the lines are kept in order, not sorted */
    std::vector<std::string> *inorder;  /* a ranked list's */
    int max;
    int shown;              /* rows the scroll bar and the reader know of */
    int rowheight;          /* pixels */
    GtkAdjustment *hadj, *vadj;
    guint hpolicy, vpolicy;
};

struct LineListClass {
    GtkWidgetClass parent_class;
};

enum { PROP_0, PROP_HADJUSTMENT, PROP_VADJUSTMENT, PROP_HSCROLL_POLICY, PROP_VSCROLL_POLICY };

G_DEFINE_TYPE_WITH_CODE(LineList, line_list, GTK_TYPE_WIDGET,
                        G_IMPLEMENT_INTERFACE(GTK_TYPE_SCROLLABLE, NULL))

static void line_list_init(LineList *list)
{
    list->index = new LineIndex;
    list->ranked = false;
    list->inorder = new std::vector<std::string>;
    list->max = 0;
    list->shown = 0;
    list->rowheight = 1;
    list->hadj = list->vadj = NULL;
    list->hpolicy = list->vpolicy = GTK_SCROLL_MINIMUM;
    GtkWidget *w = GTK_WIDGET(list);
    gtk_widget_set_can_focus(w, TRUE);
    gtk_widget_set_has_window(w, TRUE);
    gtk_style_context_add_class(gtk_widget_get_style_context(w), GTK_STYLE_CLASS_VIEW);
}

static void line_list_finalize(GObject *object)
{
    LineList *list = (LineList *)object;
    delete list->index;
    delete list->inorder;
    G_OBJECT_CLASS(line_list_parent_class)->finalize(object);
}

/* The scroll bar's range: every row shown; a page, the rows in sight. The
** value stays, so the rows in sight keep their place in the list. */
static void configure(LineList *list)
{
    GtkAllocation a;
    gtk_widget_get_allocation(GTK_WIDGET(list), &a);
    if (list->vadj) {
        double upper = (double)list->shown * list->rowheight;
        double page = a.height > 0 ? a.height : 0;
        double value = gtk_adjustment_get_value(list->vadj);
        if (value > upper - page)
            value = upper - page > 0 ? upper - page : 0;
        gtk_adjustment_configure(list->vadj, value, 0, upper > page ? upper : page,
                                 list->rowheight, page > list->rowheight ? page - list->rowheight
                                                                          : list->rowheight,
                                 page);
    }
    if (list->hadj) {
        double page = a.width > 0 ? a.width : 0;
        gtk_adjustment_configure(list->hadj, 0, 0, page, 1, page, page);
    }
}

static void scrolled(GtkAdjustment *, gpointer list)
{
    gtk_widget_queue_draw(GTK_WIDGET(list));
}

static void setadjustment(LineList *list, GtkAdjustment **slot, GtkAdjustment *adj)
{
    if (*slot == adj && adj)
        return;
    if (*slot) {
        g_signal_handlers_disconnect_by_func(*slot, (gpointer)scrolled, list);
        g_object_unref(*slot);
    }
    if (!adj)
        adj = gtk_adjustment_new(0, 0, 0, 0, 0, 0);
    *slot = (GtkAdjustment *)g_object_ref_sink(adj);
    g_signal_connect(adj, "value-changed", G_CALLBACK(scrolled), list);
    configure(list);
}

static void set_property(GObject *object, guint id, const GValue *value, GParamSpec *pspec)
{
    LineList *list = (LineList *)object;
    switch (id) {
    case PROP_HADJUSTMENT:
        setadjustment(list, &list->hadj, (GtkAdjustment *)g_value_get_object(value));
        break;
    case PROP_VADJUSTMENT:
        setadjustment(list, &list->vadj, (GtkAdjustment *)g_value_get_object(value));
        break;
    case PROP_HSCROLL_POLICY:
        list->hpolicy = g_value_get_enum(value);
        break;
    case PROP_VSCROLL_POLICY:
        list->vpolicy = g_value_get_enum(value);
        break;
    default:
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
    }
}

static void get_property(GObject *object, guint id, GValue *value, GParamSpec *pspec)
{
    LineList *list = (LineList *)object;
    switch (id) {
    case PROP_HADJUSTMENT: g_value_set_object(value, list->hadj); break;
    case PROP_VADJUSTMENT: g_value_set_object(value, list->vadj); break;
    case PROP_HSCROLL_POLICY: g_value_set_enum(value, list->hpolicy); break;
    case PROP_VSCROLL_POLICY: g_value_set_enum(value, list->vpolicy); break;
    default: G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
    }
}

static void line_list_dispose(GObject *object)
{
    LineList *list = (LineList *)object;
    for (GtkAdjustment **slot : { &list->hadj, &list->vadj })
        if (*slot) {
            g_signal_handlers_disconnect_by_func(*slot, (gpointer)scrolled, list);
            g_clear_object(slot);
        }
    G_OBJECT_CLASS(line_list_parent_class)->dispose(object);
}

/* A row is one line of the widget's font high, as a list box's item is. */
static void style_updated(GtkWidget *w)
{
    GTK_WIDGET_CLASS(line_list_parent_class)->style_updated(w);
    LineList *list = (LineList *)w;
    PangoLayout *layout = gtk_widget_create_pango_layout(w, "Ag");
    int width, height;
    pango_layout_get_pixel_size(layout, &width, &height);
    g_object_unref(layout);
    list->rowheight = height + 2 * ROW_PAD;
    configure(list);
}

static void realize(GtkWidget *w)
{
    GtkAllocation a;
    gtk_widget_get_allocation(w, &a);
    GdkWindowAttr attr = {};
    attr.window_type = GDK_WINDOW_CHILD;
    attr.x = a.x;
    attr.y = a.y;
    attr.width = a.width;
    attr.height = a.height;
    attr.wclass = GDK_INPUT_OUTPUT;
    attr.visual = gtk_widget_get_visual(w);
    attr.event_mask = gtk_widget_get_events(w) | GDK_EXPOSURE_MASK | GDK_BUTTON_PRESS_MASK |
                      GDK_KEY_PRESS_MASK | GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK;
    GdkWindow *window = gdk_window_new(gtk_widget_get_parent_window(w), &attr,
                                       GDK_WA_X | GDK_WA_Y | GDK_WA_VISUAL);
    gtk_widget_set_window(w, window);
    gtk_widget_register_window(w, window);
    gtk_widget_set_realized(w, TRUE);
}

static void size_allocate(GtkWidget *w, GtkAllocation *a)
{
    gtk_widget_set_allocation(w, a);
    if (gtk_widget_get_realized(w))
        gdk_window_move_resize(gtk_widget_get_window(w), a->x, a->y, a->width, a->height);
    configure((LineList *)w);
}

/* Its place gives it its size: it asks for a row. */
static void preferred_width(GtkWidget *, gint *least, gint *natural)
{
    *least = *natural = 1;
}

static void preferred_height(GtkWidget *w, gint *least, gint *natural)
{
    *least = *natural = ((LineList *)w)->rowheight;
}

static gboolean draw(GtkWidget *w, cairo_t *cr)
{
    LineList *list = (LineList *)w;
    GtkStyleContext *style = gtk_widget_get_style_context(w);
    int width = gtk_widget_get_allocated_width(w), height = gtk_widget_get_allocated_height(w);
    gtk_render_background(style, cr, 0, 0, width, height);

    double top = list->vadj ? gtk_adjustment_get_value(list->vadj) : 0;
    int row = (int)(top / list->rowheight);
    double y = row * (double)list->rowheight - top;
    PangoLayout *layout = gtk_widget_create_pango_layout(w, NULL);
    for (; row < list->shown && y < height; row++, y += list->rowheight) {
        char *text = linelist_text(list, row);
        pango_layout_set_text(layout, text ? text : "", -1);
        g_free(text);
        gtk_render_layout(style, cr, TEXT_PAD, y + ROW_PAD, layout);
    }
    g_object_unref(layout);
    if (gtk_widget_has_visible_focus(w))
        gtk_render_focus(style, cr, 0, 0, width, height);
    return FALSE;
}

/* The list box takes no selection: its keys scroll it. */
static gboolean key_press(GtkWidget *w, GdkEventKey *event)
{
    LineList *list = (LineList *)w;
    if (!list->vadj)
        return FALSE;
    double value = gtk_adjustment_get_value(list->vadj);
    double page = gtk_adjustment_get_page_increment(list->vadj);
    switch (event->keyval) {
    case GDK_KEY_Up: case GDK_KEY_KP_Up: value -= list->rowheight; break;
    case GDK_KEY_Down: case GDK_KEY_KP_Down: value += list->rowheight; break;
    case GDK_KEY_Page_Up: case GDK_KEY_KP_Page_Up: value -= page; break;
    case GDK_KEY_Page_Down: case GDK_KEY_KP_Page_Down: value += page; break;
    case GDK_KEY_Home: case GDK_KEY_KP_Home: value = 0; break;
    case GDK_KEY_End: case GDK_KEY_KP_End: value = gtk_adjustment_get_upper(list->vadj); break;
    default: return FALSE;
    }
    gtk_adjustment_set_value(list->vadj, value);    /* it keeps the value in range */
    return TRUE;
}

static gboolean button_press(GtkWidget *w, GdkEventButton *)
{
    gtk_widget_grab_focus(w);
    return FALSE;
}

static void line_list_class_init(LineListClass *cls)
{
    GObjectClass *object = G_OBJECT_CLASS(cls);
    object->finalize = line_list_finalize;
    object->dispose = line_list_dispose;
    object->set_property = set_property;
    object->get_property = get_property;
    g_object_class_override_property(object, PROP_HADJUSTMENT, "hadjustment");
    g_object_class_override_property(object, PROP_VADJUSTMENT, "vadjustment");
    g_object_class_override_property(object, PROP_HSCROLL_POLICY, "hscroll-policy");
    g_object_class_override_property(object, PROP_VSCROLL_POLICY, "vscroll-policy");

    GtkWidgetClass *widget = GTK_WIDGET_CLASS(cls);
    widget->style_updated = style_updated;
    widget->realize = realize;
    widget->size_allocate = size_allocate;
    widget->get_preferred_width = preferred_width;
    widget->get_preferred_height = preferred_height;
    widget->draw = draw;
    widget->key_press_event = key_press;
    widget->button_press_event = button_press;
    gtk_widget_class_set_accessible_type(widget, listtable_get_type());
}

LineList *linelist_new(int max)
{
    LineList *list = (LineList *)g_object_ref_sink(g_object_new(line_list_get_type(), NULL));
    list->max = max;
    return list;
}

GtkWidget *linelist_widget(LineList *list)
{
    return GTK_WIDGET(list);
}

/* What the reader was told of goes too. */
void linelist_clear(LineList *list, bool ranked)
{
    list->index->clear();
    list->inorder->clear();
    list->ranked = ranked;
    list->shown = 0;
    listtable_changed(gtk_widget_get_accessible(GTK_WIDGET(list)));
    if (list->vadj)
        gtk_adjustment_set_value(list->vadj, 0);
    configure(list);
    gtk_widget_queue_draw(GTK_WIDGET(list));
}

bool linelist_add(LineList *list, const char *line)
{
    if (linelist_count(list) >= list->max)
        return false;
    if (!list->ranked)
        return list->index->add(line);
    try {
        list->inorder->push_back(line);
    } catch (const std::bad_alloc &) {
        return false;
    }
    return true;
}

int linelist_count(LineList *list)
{
    return list->ranked ? (int)list->inorder->size() : list->index->count();
}

void linelist_show(LineList *list)
{
    if (list->shown == linelist_count(list))
        return;
    list->shown = linelist_count(list);
    configure(list);
    gtk_widget_queue_draw(GTK_WIDGET(list));
    listtable_changed(gtk_widget_get_accessible(GTK_WIDGET(list)));
}

int linelist_shown(LineList *list)
{
    return list->shown;
}

/* A word file need not be UTF-8; what is drawn and read out must be. */
char *linelist_text(LineList *list, int row)
{
    if (row < 0 || row >= list->shown)
        return NULL;
    const char *text = list->ranked ? (*list->inorder)[row].c_str() : list->index->at(row);
    if (!text)
        return NULL;
    return g_utf8_validate(text, -1, NULL) ? g_strdup(text) : g_utf8_make_valid(text, -1);
}

size_t linelist_overhead(LineList *list)
{
    return list->index->overhead() + sizeof *list;
}
