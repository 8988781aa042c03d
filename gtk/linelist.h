/*
** The results list on GTK 3: a widget of our own that draws, one line
** high each, just the rows it can see of a LineIndex. It scrolls inside a
** GtkScrolledWindow (it is GtkScrollable) and by the arrow, page, Home and
** End keys; a screen reader reads it as a table of one column. Lines come
** in unsorted; each costs what it adds, however long the list. A ranked
** list (Best first, a hundred lines or so) keeps them in the order they
** come instead.
*/
#ifndef VEXLORE_GTK_LINELIST_H
#define VEXLORE_GTK_LINELIST_H

#include <gtk/gtk.h>

struct LineList;

/* A new, empty list that takes at most max lines. The caller holds one
** reference to it. */
LineList *linelist_new(int max);
GtkWidget *linelist_widget(LineList *list);

/* Empties the list; the lines added after it are shown in byte order, or
** with ranked in the order they come. */
void linelist_clear(LineList *list, bool ranked = false);
/* Keeps a copy of line, to be shown at the next linelist_show; false when
** the list holds max lines or no memory is left for one more. */
bool linelist_add(LineList *list, const char *line);
/* Lines held, shown or waiting. */
int linelist_count(LineList *list);
/* Shows the lines added since the last show: the scroll bar and the rows
** in sight are drawn again, nothing else. */
void linelist_show(LineList *list);

/* For the list's accessible: the rows shown, and the text of one as valid
** UTF-8 (a copy the caller frees), or NULL. */
int linelist_shown(LineList *list);
char *linelist_text(LineList *list, int row);
/* Bytes the list holds beyond its lines' text, for the benchmark. */
size_t linelist_overhead(LineList *list);

#endif
