/*
** The results list's model: the lines' text in blocks that never move, one
** sorted array of pointers to them that the view reads, and the lines that
** came since the last show, waiting unsorted. A GtkListStore kept sorted
** does the work of a row insert, and a sort, for every line; this sorts a
** batch at a time and merges it in one pass.
*/
#include <string.h>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "gtk/linelist.h"

#define BLOCK_SIZE (1 << 20)    /* bytes of text in one block */

struct LineList {
    GObject parent;
    int stamp;                  /* iterators of another stamp are stale */
    int max;
    int visible;                /* rows the view has been told of */
    std::vector<const char *> *rows;    /* sorted; what the view reads */
    std::vector<const char *> *waiting; /* added since the last show */
    std::vector<std::unique_ptr<char[]>> *blocks;
    char *next;                 /* free room in the last block */
    size_t room;
};

struct LineListClass {
    GObjectClass parent_class;
};

static void linelist_model_init(GtkTreeModelIface *iface);

G_DEFINE_TYPE_WITH_CODE(LineList, line_list, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(GTK_TYPE_TREE_MODEL, linelist_model_init))

static bool before(const char *a, const char *b)
{
    return strcmp(a, b) < 0;
}

static void line_list_init(LineList *list)
{
    list->stamp = g_random_int();
    list->max = 0;
    list->visible = 0;
    list->rows = new std::vector<const char *>;
    list->waiting = new std::vector<const char *>;
    list->blocks = new std::vector<std::unique_ptr<char[]>>;
    list->next = NULL;
    list->room = 0;
}

static void line_list_finalize(GObject *object)
{
    LineList *list = (LineList *)object;
    delete list->rows;
    delete list->waiting;
    delete list->blocks;
    G_OBJECT_CLASS(line_list_parent_class)->finalize(object);
}

static void line_list_class_init(LineListClass *cls)
{
    G_OBJECT_CLASS(cls)->finalize = line_list_finalize;
}

/* The tree model: a flat list of one string column, of the rows the view
** has been told of. An iterator holds its row's index. */

static GtkTreeModelFlags model_flags(GtkTreeModel *)
{
    return GTK_TREE_MODEL_LIST_ONLY;
}

static gint model_columns(GtkTreeModel *)
{
    return 1;
}

static GType model_column_type(GtkTreeModel *, gint)
{
    return G_TYPE_STRING;
}

static gboolean model_row(LineList *list, GtkTreeIter *iter, int row)
{
    if (row < 0 || row >= list->visible) {
        iter->stamp = 0;
        return FALSE;
    }
    iter->stamp = list->stamp;
    iter->user_data = GINT_TO_POINTER(row);
    return TRUE;
}

static int iter_row(GtkTreeIter *iter)
{
    return GPOINTER_TO_INT(iter->user_data);
}

static gboolean model_get_iter(GtkTreeModel *model, GtkTreeIter *iter, GtkTreePath *path)
{
    if (gtk_tree_path_get_depth(path) != 1)
        return FALSE;
    return model_row((LineList *)model, iter, gtk_tree_path_get_indices(path)[0]);
}

static GtkTreePath *model_get_path(GtkTreeModel *, GtkTreeIter *iter)
{
    return gtk_tree_path_new_from_indices(iter_row(iter), -1);
}

/* The text stays where it is until the list is emptied: no copy. */
static void model_get_value(GtkTreeModel *model, GtkTreeIter *iter, gint, GValue *value)
{
    LineList *list = (LineList *)model;
    int row = iter_row(iter);
    g_value_init(value, G_TYPE_STRING);
    if (row >= 0 && row < (int)list->rows->size())
        g_value_set_static_string(value, (*list->rows)[row]);
}

static gboolean model_iter_next(GtkTreeModel *model, GtkTreeIter *iter)
{
    return model_row((LineList *)model, iter, iter_row(iter) + 1);
}

static gboolean model_iter_nth_child(GtkTreeModel *model, GtkTreeIter *iter,
                                     GtkTreeIter *parent, gint n)
{
    if (parent)
        return FALSE;
    return model_row((LineList *)model, iter, n);
}

static gboolean model_iter_children(GtkTreeModel *model, GtkTreeIter *iter, GtkTreeIter *parent)
{
    return model_iter_nth_child(model, iter, parent, 0);
}

static gboolean model_iter_has_child(GtkTreeModel *, GtkTreeIter *)
{
    return FALSE;
}

static gint model_iter_n_children(GtkTreeModel *model, GtkTreeIter *iter)
{
    return iter ? 0 : ((LineList *)model)->visible;
}

static gboolean model_iter_parent(GtkTreeModel *, GtkTreeIter *, GtkTreeIter *)
{
    return FALSE;
}

static void linelist_model_init(GtkTreeModelIface *iface)
{
    iface->get_flags = model_flags;
    iface->get_n_columns = model_columns;
    iface->get_column_type = model_column_type;
    iface->get_iter = model_get_iter;
    iface->get_path = model_get_path;
    iface->get_value = model_get_value;
    iface->iter_next = model_iter_next;
    iface->iter_children = model_iter_children;
    iface->iter_has_child = model_iter_has_child;
    iface->iter_n_children = model_iter_n_children;
    iface->iter_nth_child = model_iter_nth_child;
    iface->iter_parent = model_iter_parent;
}

LineList *linelist_new(int max)
{
    LineList *list = (LineList *)g_object_new(line_list_get_type(), NULL);
    list->max = max;
    return list;
}

GtkTreeModel *linelist_model(LineList *list)
{
    return GTK_TREE_MODEL(list);
}

/* The view is told of the rows going, last first, so that each path it
** is given is still a row it holds. */
void linelist_clear(LineList *list)
{
    while (list->visible > 0) {
        list->visible--;
        GtkTreePath *path = gtk_tree_path_new_from_indices(list->visible, -1);
        gtk_tree_model_row_deleted(GTK_TREE_MODEL(list), path);
        gtk_tree_path_free(path);
    }
    std::vector<const char *>().swap(*list->rows);
    std::vector<const char *>().swap(*list->waiting);
    list->blocks->clear();
    list->next = NULL;
    list->room = 0;
    list->stamp++;
}

bool linelist_add(LineList *list, const char *line)
{
    size_t n = strlen(line) + 1;

    if (linelist_count(list) >= list->max)
        return false;
    try {
        if (n > list->room) {
            size_t size = n > BLOCK_SIZE ? n : BLOCK_SIZE;
            list->blocks->emplace_back(new char[size]);
            list->next = list->blocks->back().get();
            list->room = size;
        }
        list->waiting->push_back(list->next);
    } catch (const std::bad_alloc &) {
        return false;
    }
    memcpy(list->next, line, n);
    list->next += n;
    list->room -= n;
    return true;
}

int linelist_count(LineList *list)
{
    return (int)(list->rows->size() + list->waiting->size());
}

/* The merged array replaces the old one whole; then the view hears of each
** new row in the order of the rows, so that when it hears of row i the
** rows before it are those it will show. A merge that finds no memory
** leaves the lines waiting for the next show. */
void linelist_show(LineList *list)
{
    std::vector<const char *> &waiting = *list->waiting;
    if (waiting.empty())
        return;
    std::sort(waiting.begin(), waiting.end(), before);

    std::vector<const char *> merged;
    try {
        merged.resize(list->rows->size() + waiting.size());
    } catch (const std::bad_alloc &) {
        return;
    }
    std::merge(list->rows->begin(), list->rows->end(), waiting.begin(), waiting.end(),
               merged.begin(), before);
    list->rows->swap(merged);
    std::vector<const char *>().swap(merged);

    /* new rows are told in order: a waiting line goes after the equal
    ** lines already shown, as std::merge put it */
    std::vector<const char *> &rows = *list->rows;
    size_t w = 0;
    GtkTreeIter iter;
    for (size_t i = 0; i < rows.size() && w < waiting.size(); i++) {
        if (rows[i] != waiting[w])
            continue;
        w++;
        list->visible++;
        model_row(list, &iter, (int)i);
        GtkTreePath *path = gtk_tree_path_new_from_indices((int)i, -1);
        gtk_tree_model_row_inserted(GTK_TREE_MODEL(list), path, &iter);
        gtk_tree_path_free(path);
    }
    waiting.clear();
}
