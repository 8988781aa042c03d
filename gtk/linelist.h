/*
** The results list's lines for a GtkTreeView: a list model of our own over
** one sorted array of lines. Lines come in unsorted and wait; show() sorts
** them, merges them in and tells the view of each new row. A line costs
** its text, a pointer and the view's own row.
*/
#ifndef VEXLORE_GTK_LINELIST_H
#define VEXLORE_GTK_LINELIST_H

#include <gtk/gtk.h>

struct LineList;

/* A new, empty list that takes at most max lines; the model holds one
** reference, which the caller owns. */
LineList *linelist_new(int max);
GtkTreeModel *linelist_model(LineList *list);

/* Empties the list and tells the view. */
void linelist_clear(LineList *list);
/* Keeps a copy of line, to be shown at the next linelist_show; false when
** the list holds max lines or no memory is left for one more. */
bool linelist_add(LineList *list, const char *line);
/* Lines held, shown or waiting. */
int linelist_count(LineList *list);
/* Merges the waiting lines into the sorted ones and tells the view. */
void linelist_show(LineList *list);

#endif
