/*
** The main dialog on GTK 3: the controls made from the dialog's table, in
** pixels from the desktop font's dialog base units, and the view the
** dialog's logic works through.
*/
#ifndef VEXLORE_GTK_SOLVERDLG_H
#define VEXLORE_GTK_SOLVERDLG_H

#include <string>

#include <gtk/gtk.h>

#include "frontend/solver.h"
#include "gtk/busyclip.h"
#include "gtk/linelist.h"

/* Lines the results list takes before it is full. */
#define LIST_MAX 20000000

class SolverWin : public SolverView {
public:
    explicit SolverWin(int maxlines);

    /* Makes the window and opens the word file at path; false when there
    ** is none, after its message: the program then ends. */
    bool create(const char *path);
    /* Shows the window and runs until Close. */
    void run();

    void input(const char **text, int *type) override;
    void clearlines() override;
    bool addline(const char *line) override;
    int countlines() override;
    void showlines() override;
    void busy(bool on) override;
    void takeevent() override;
    void message(const char *text) override;
    void causemessage(const char *text, const char *why) override;
    unsigned clock() override;
    void end() override;
    SolverSearch ranking() override;
    void ranked(bool on) override;

private:
    GtkWidget *place(GtkWidget *w, int x, int y, int width, int height);
    void makecontrols(GtkWidget *fixed);

    static void onstart(GtkButton *, gpointer self);
    static void onstop(GtkButton *, gpointer self);
    static void onclose(GtkButton *, gpointer self);
    static gboolean onkey(GtkWidget *, GdkEventKey *event, gpointer self);
    static gboolean ondelete(GtkWidget *, GdkEvent *, gpointer self);
    static gboolean ondrawn(GtkWidget *, cairo_t *, gpointer self);
    static gboolean onidle(gpointer self);
    void loadmodel();

    bool m_win1252;             /* the word file is not UTF-8: taken as Windows-1252 */
    int m_stop;
    Solver m_solver;
    std::string m_text;         /* the typed text, for the search */
    int m_bx, m_by;             /* dialog base units of the window's font */
    GtkWidget *m_window, *m_start, *m_stopbutton, *m_edit, *m_list, *m_close;
    GtkWidget *m_single, *m_multi, *m_best, *m_clip;
    std::string m_model;        /* the model file's path: "english.model" beside "words" */
    std::string m_related;      /* the relatedness file's: "english.related" beside it */
    bool m_modeltried;          /* loaded, or found missing or damaged */
    bool m_ranked;              /* the search Start runs lists its lines in rank order */
    LineList *m_lines;
    BusyClip *m_busy;
};

/* The program: the window over "words" beside it, with a list of maxlines. */
int vexlore_main(int argc, char **argv, int maxlines);

#endif
