/*
** What a screen reader sees of the results list: a table of one column,
** a row for each line shown, each cell named by its line.
*/
#ifndef VEXLORE_GTK_LISTTABLE_H
#define VEXLORE_GTK_LISTTABLE_H

#include <gtk/gtk.h>

/* The accessible type of the list's widget (gtk/linelist.cpp). */
GType listtable_get_type(void);
/* The rows changed: the cells handed out so far go, and the reader hears
** that the table's data changed. */
void listtable_changed(AtkObject *table);
/* The keys moved to row, or the list took the focus on it: the reader
** hears its cell become the table's active one, and focused. */
void listtable_moved(AtkObject *table, int row);
/* Other rows came into sight. */
void listtable_scrolled(AtkObject *table);

#endif
