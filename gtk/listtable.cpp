/*
** The results list's accessible: a table of one column over the rows the
** list has shown. Its cells are made when a reader asks for them and kept,
** the last CELLS_KEPT of them, so that a reader can ask a cell it was just
** given for its name; they go whenever the rows change under them. The
** row the keys are on is the table's active cell, focused while the list
** has the focus; the cells in sight are showing, each where it is drawn.
*/
#include <deque>
#include <unordered_map>

#include <gtk/gtk-a11y.h>

#include "gtk/linelist.h"
#include "gtk/listtable.h"

#define CELLS_KEPT 4096

/* One cell: its row's line as its name. */
struct LineCell {
    AtkObject parent;
    int row;
};

struct LineCellClass {
    AtkObjectClass parent_class;
};

static void cell_component_init(AtkComponentIface *iface);

G_DEFINE_TYPE_WITH_CODE(LineCell, line_cell, ATK_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT, cell_component_init))

static void line_cell_init(LineCell *cell)
{
    cell->row = 0;
}

static gint cell_index(AtkObject *cell)
{
    return ((LineCell *)cell)->row;
}

/* The list a cell is a row of, or NULL once the list has gone. */
static LineList *celllist(AtkObject *cell)
{
    AtkObject *table = atk_object_get_parent(cell);
    return table ? (LineList *)gtk_accessible_get_widget(GTK_ACCESSIBLE(table)) : NULL;
}

static AtkStateSet *cell_states(AtkObject *acc)
{
    AtkStateSet *set = ATK_OBJECT_CLASS(line_cell_parent_class)->ref_state_set(acc);
    LineList *list = celllist(acc);
    if (!list) {
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    GtkWidget *w = GTK_WIDGET(list);
    int row = ((LineCell *)acc)->row;
    atk_state_set_add_state(set, ATK_STATE_ENABLED);
    atk_state_set_add_state(set, ATK_STATE_SENSITIVE);
    atk_state_set_add_state(set, ATK_STATE_FOCUSABLE);
    atk_state_set_add_state(set, ATK_STATE_TRANSIENT);
    GdkRectangle r;
    linelist_rowarea(list, row, &r);
    if (gtk_widget_get_mapped(w) && r.y + r.height > 0 && r.y < gtk_widget_get_allocated_height(w)) {
        atk_state_set_add_state(set, ATK_STATE_VISIBLE);
        atk_state_set_add_state(set, ATK_STATE_SHOWING);
    }
    if (row == linelist_current(list) && gtk_widget_has_focus(w))
        atk_state_set_add_state(set, ATK_STATE_FOCUSED);
    return set;
}

/* Where the row is drawn, in sight or scrolled out of it. */
static void cell_extents(AtkComponent *component, gint *x, gint *y, gint *width, gint *height,
                         AtkCoordType type)
{
    AtkObject *acc = ATK_OBJECT(component);
    LineList *list = celllist(acc);
    *x = *y = *width = *height = -1;
    if (!list || !gtk_widget_get_realized(GTK_WIDGET(list)))
        return;
    GtkWidget *w = GTK_WIDGET(list);
    GdkRectangle r;
    linelist_rowarea(list, ((LineCell *)acc)->row, &r);
    int ox = 0, oy = 0;
    GdkWindow *window = gtk_widget_get_window(w);
    if (type == ATK_XY_SCREEN || type == ATK_XY_WINDOW)
        gdk_window_get_origin(window, &ox, &oy);
    if (type == ATK_XY_WINDOW) {
        int tx, ty;
        gdk_window_get_origin(gdk_window_get_toplevel(window), &tx, &ty);
        ox -= tx;
        oy -= ty;
    }
    *x = r.x + ox;
    *y = r.y + oy;
    *width = r.width;
    *height = r.height;
}

static void cell_component_init(AtkComponentIface *iface)
{
    iface->get_extents = cell_extents;
}

static void line_cell_class_init(LineCellClass *cls)
{
    ATK_OBJECT_CLASS(cls)->get_index_in_parent = cell_index;
    ATK_OBJECT_CLASS(cls)->ref_state_set = cell_states;
}

struct ListTable {
    GtkWidgetAccessible parent;
    std::unordered_map<int, AtkObject *> *cells;
    std::deque<int> *made;      /* their rows, the oldest first */
    int focused;                /* the row last said focused, or -1 */
};

struct ListTableClass {
    GtkWidgetAccessibleClass parent_class;
};

static void table_init(AtkTableIface *iface);

G_DEFINE_TYPE_WITH_CODE(ListTable, list_table, GTK_TYPE_WIDGET_ACCESSIBLE,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_TABLE, table_init))

static void list_table_init(ListTable *table)
{
    table->cells = new std::unordered_map<int, AtkObject *>;
    table->made = new std::deque<int>;
    table->focused = -1;
}

static void dropcells(ListTable *table)
{
    for (auto &cell : *table->cells)
        g_object_unref(cell.second);
    table->cells->clear();
    table->made->clear();
}

static void list_table_finalize(GObject *object)
{
    ListTable *table = (ListTable *)object;
    dropcells(table);
    delete table->cells;
    delete table->made;
    G_OBJECT_CLASS(list_table_parent_class)->finalize(object);
}

static LineList *listof(gpointer table)
{
    return (LineList *)gtk_accessible_get_widget(GTK_ACCESSIBLE(table));
}

static gint rows(AtkTable *table)
{
    LineList *list = listof(table);
    return list ? linelist_shown(list) : 0;
}

static AtkObject *cellat(AtkTable *t, gint row, gint column)
{
    ListTable *table = (ListTable *)t;
    LineList *list = listof(t);
    if (!list || column != 0 || row < 0 || row >= linelist_shown(list))
        return NULL;
    auto found = table->cells->find(row);
    if (found != table->cells->end())
        return (AtkObject *)g_object_ref(found->second);

    LineCell *cell = (LineCell *)g_object_new(line_cell_get_type(), NULL);
    AtkObject *acc = (AtkObject *)cell;
    cell->row = row;
    char *text = linelist_text(list, row);
    atk_object_set_name(acc, text ? text : "");
    g_free(text);
    atk_object_set_role(acc, ATK_ROLE_TABLE_CELL);
    atk_object_set_parent(acc, ATK_OBJECT(table));
    (*table->cells)[row] = acc;
    table->made->push_back(row);
    if (table->made->size() > CELLS_KEPT) {
        int old = table->made->front();
        table->made->pop_front();
        g_object_unref((*table->cells)[old]);
        table->cells->erase(old);
    }
    return (AtkObject *)g_object_ref(acc);
}

static gint columns(AtkTable *)
{
    return 1;
}

static gint indexat(AtkTable *, gint row, gint)
{
    return row;
}

static gint rowat(AtkTable *, gint index)
{
    return index;
}

static gint columnat(AtkTable *, gint)
{
    return 0;
}

static void table_init(AtkTableIface *iface)
{
    iface->ref_at = cellat;
    iface->get_index_at = indexat;
    iface->get_row_at_index = rowat;
    iface->get_column_at_index = columnat;
    iface->get_n_rows = rows;
    iface->get_n_columns = columns;
}

/* The cells are its children, as a tree view's are. */
static gint children(AtkObject *table)
{
    return rows(ATK_TABLE(table));
}

static AtkObject *child(AtkObject *table, gint i)
{
    return cellat(ATK_TABLE(table), i, 0);
}

/* A reader must not walk millions of rows to learn the window's tree: the
** table hands its cells out one at a time. */
static AtkStateSet *states(AtkObject *table)
{
    AtkStateSet *set = ATK_OBJECT_CLASS(list_table_parent_class)->ref_state_set(table);
    atk_state_set_add_state(set, ATK_STATE_MANAGES_DESCENDANTS);
    return set;
}

static void initialize(AtkObject *table, gpointer data)
{
    ATK_OBJECT_CLASS(list_table_parent_class)->initialize(table, data);
    atk_object_set_role(table, ATK_ROLE_TABLE);
}

static void list_table_class_init(ListTableClass *cls)
{
    G_OBJECT_CLASS(cls)->finalize = list_table_finalize;
    AtkObjectClass *atk = ATK_OBJECT_CLASS(cls);
    atk->initialize = initialize;
    atk->get_n_children = children;
    atk->ref_child = child;
    atk->ref_state_set = states;
}

GType listtable_get_type(void)
{
    return list_table_get_type();
}

void listtable_changed(AtkObject *table)
{
    dropcells((ListTable *)table);
    ((ListTable *)table)->focused = -1;
    g_signal_emit_by_name(table, "visible-data-changed");
}

void listtable_moved(AtkObject *acc, int row)
{
    ListTable *table = (ListTable *)acc;
    LineList *list = listof(acc);
    if (!list)
        return;
    if (table->focused >= 0 && table->focused != row) {
        auto old = table->cells->find(table->focused);
        if (old != table->cells->end())
            atk_object_notify_state_change(old->second, ATK_STATE_FOCUSED, FALSE);
    }
    AtkObject *cell = cellat(ATK_TABLE(acc), row, 0);
    if (!cell)
        return;
    g_signal_emit_by_name(acc, "active-descendant-changed", cell);
    if (gtk_widget_has_focus(GTK_WIDGET(list))) {
        atk_object_notify_state_change(cell, ATK_STATE_FOCUSED, TRUE);
        table->focused = row;
    }
    g_object_unref(cell);
}

void listtable_scrolled(AtkObject *table)
{
    g_signal_emit_by_name(table, "visible-data-changed");
}
