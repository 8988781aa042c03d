/*
** The main dialog on GTK 3. The controls come from the dialog's table and
** sit where the table puts them, in pixels from the desktop font's dialog
** base units, so the dialog grows with the user's font and scale. The
** commands go to the dialog's logic; the search runs inside Start, on this
** thread, and the pump lets GTK handle one event at a time meanwhile.
*/
#include <string.h>

#include "engine/fastsearch.h"
#include "frontend/bestfirst.h"
#include "frontend/blanks.h"
#include "frontend/dialog.h"
#include "gtk/arguments.h"
#include "gtk/dlgscale.h"
#include "gtk/solverdlg.h"
#include "gtk/wintext.h"
#include "gtk/wordpath.h"

/* The icon and the clip's frames, built into the program (art.c). */
extern "C" GResource *vexart_get_resource(void);

/* The clip's name for a screen reader while idle and while searching. */
#define CLIP_IDLE   "Idle"
#define CLIP_BUSY   "Busy"

/* Adwaita gives buttons and entries minimum heights and paddings of its
** own, taller than a control of 13 or 14 dialog units: the table's sizes
** hold only without them. */
static const char css[] =
    "button, entry, radiobutton, checkbutton { min-height: 0; min-width: 0; padding-top: 0; "
    "padding-bottom: 0; }";

SolverWin::SolverWin(int maxlines)
    : m_win1252(false), m_stop(0), m_solver(this, &m_stop, fastsearch), m_bx(0), m_by(0),
      m_window(NULL), m_start(NULL),
      m_stopbutton(NULL), m_edit(NULL), m_list(NULL), m_close(NULL), m_single(NULL),
      m_multi(NULL), m_best(NULL), m_clip(NULL), m_modeltried(false), m_ranked(false),
      m_lines(linelist_new(maxlines)), m_busy(NULL)
{
}

/* Puts w at the table's place and gives it the table's size. */
GtkWidget *SolverWin::place(GtkWidget *w, int x, int y, int width, int height)
{
    GtkWidget *fixed = gtk_bin_get_child(GTK_BIN(m_window));
    gtk_widget_set_size_request(w, dlgxpixels(width, m_bx), dlgypixels(height, m_by));
    gtk_fixed_put(GTK_FIXED(fixed), w, dlgxpixels(x, m_bx), dlgypixels(y, m_by));
    return w;
}

/* The name a screen reader says for w, and the label it comes from. */
static void labelled(GtkWidget *w, GtkWidget *label)
{
    AtkObject *a = gtk_widget_get_accessible(w), *l = gtk_widget_get_accessible(label);
    atk_object_set_name(a, gtk_label_get_text(GTK_LABEL(label)));
    atk_object_add_relationship(a, ATK_RELATION_LABELLED_BY, l);
    atk_object_add_relationship(l, ATK_RELATION_LABEL_FOR, a);
}

/* A note on w, to the eye in its tooltip and to a screen reader as its
** description. */
static void tell(GtkWidget *w, const char *why)
{
    std::string said = utf8shown(why);
    gtk_widget_set_tooltip_text(w, said.c_str());
    atk_object_set_description(gtk_widget_get_accessible(w), said.c_str());
}

static GtkWidget *resultsview(LineList *lines, GtkWidget **view)
{
    GtkWidget *scroller = gtk_scrolled_window_new(NULL, NULL);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER,
                                   GTK_POLICY_AUTOMATIC);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    /* a scroll bar that shows whenever the lines overflow, as the list
    ** box's does, not one that shows only under the pointer */
    gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(scroller), FALSE);
    *view = linelist_widget(lines);
    gtk_container_add(GTK_CONTAINER(scroller), *view);
    return scroller;
}

/* The controls in the table's order, which is also the tab order. Unlike
** Windows, the "Type" group is one stop of it, at its checked button, with
** the arrows moving within the group (as GTK's radio buttons do), so that
** a keyboard reaches Multi-word; the Best first box, which this window
** adds under Multi-word, is the next stop; the clip takes no focus. */
void SolverWin::makecontrols(GtkWidget *fixed)
{
    GtkWidget *prompt = NULL, *listed = NULL, *group = NULL;
    GList *chain = NULL;

    for (int i = 0; i < dlgncontrols; i++) {
        const DlgControl *c = &dlgcontrols[i];
        GtkWidget *w = NULL;
        switch (c->kind) {
        case DLG_DEFBUTTON:
        case DLG_BUTTON:
            w = gtk_button_new_with_label(c->text);
            break;
        case DLG_EDIT:
            w = m_edit = gtk_entry_new();
            gtk_entry_set_activates_default(GTK_ENTRY(w), TRUE);
            break;
        case DLG_LIST:
            w = resultsview(m_lines, &m_list);
            break;
        case DLG_LABEL:
            w = gtk_label_new(c->text);
            gtk_label_set_xalign(GTK_LABEL(w), 0);
            gtk_label_set_yalign(GTK_LABEL(w), 0);
            if (!prompt)
                prompt = w;
            else
                listed = w;
            break;
        case DLG_GROUP:
            w = group = gtk_frame_new(c->text);
            atk_object_set_role(gtk_widget_get_accessible(w), ATK_ROLE_GROUPING);
            break;
        case DLG_RADIO:
            w = gtk_radio_button_new_with_label_from_widget(
                m_single ? GTK_RADIO_BUTTON(m_single) : NULL, c->text);
            gtk_widget_set_focus_on_click(w, FALSE);
            break;
        case DLG_CLIP:
            w = gtk_frame_new(NULL);
            gtk_frame_set_shadow_type(GTK_FRAME(w), GTK_SHADOW_IN);
            m_clip = busyclip_new(&m_busy);
            gtk_container_add(GTK_CONTAINER(w), m_clip);
            atk_object_set_name(gtk_widget_get_accessible(m_clip), CLIP_IDLE);
            break;
        case DLG_CHECK:     /* Best first is not in the table: see below */
            break;
        }
        place(w, c->x, c->y, c->w, c->h);
        switch (c->id) {
        case IDC_START: m_start = w; break;
        case IDC_STOP: m_stopbutton = w; break;
        case IDC_CLOSE: m_close = w; break;
        case IDC_SINGLE: m_single = w; break;
        case IDC_MULTI: m_multi = w; break;
        }
        if ((c->tabstop && c->kind != DLG_CLIP) || c->kind == DLG_RADIO)
            chain = g_list_append(chain, w);
        if (c->id == IDC_MULTI) {
            m_best = gtk_check_button_new_with_label(dlgbest.text);
            gtk_widget_set_focus_on_click(m_best, FALSE);
            place(m_best, dlgbest.x, dlgbest.y, dlgbest.w, dlgbest.h);
            chain = g_list_append(chain, m_best);
        }
    }
    labelled(m_edit, prompt);
    labelled(m_list, listed);
    for (GtkWidget *radio : { m_single, m_multi, m_best })
        atk_object_add_relationship(gtk_widget_get_accessible(radio), ATK_RELATION_MEMBER_OF,
                                    gtk_widget_get_accessible(group));

    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_set_focus_chain(GTK_CONTAINER(fixed), chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(chain);

    gtk_widget_set_can_default(m_start, TRUE);
    g_signal_connect(m_start, "clicked", G_CALLBACK(onstart), this);
    g_signal_connect(m_stopbutton, "clicked", G_CALLBACK(onstop), this);
    g_signal_connect(m_close, "clicked", G_CALLBACK(onclose), this);
}

bool SolverWin::create(const char *path)
{
    g_resources_register(vexart_get_resource());
    GtkCssProvider *provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css, -1, NULL);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);

    m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow *window = GTK_WINDOW(m_window);
    gtk_window_set_title(window, DLG_CAPTION);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    GdkPixbuf *icon = gdk_pixbuf_new_from_resource("/vexlore/vexlore.ico", NULL);
    if (icon) {
        gtk_window_set_icon(window, icon);
        g_object_unref(icon);
    }

    /* the base units of the font the controls will use */
    dlgfit(m_window, &m_bx, &m_by);

    GtkWidget *fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, dlgxpixels(DLG_WIDTH, m_bx), dlgypixels(DLG_HEIGHT, m_by));
    gtk_container_add(GTK_CONTAINER(m_window), fixed);
    makecontrols(fixed);
    g_signal_connect(m_window, "key-press-event", G_CALLBACK(onkey), this);
    g_signal_connect(m_window, "delete-event", G_CALLBACK(ondelete), this);
    g_signal_connect_after(m_window, "draw", G_CALLBACK(ondrawn), this);

    if (!m_solver.open(path))
        return false;
    std::string folder = std::string(path).substr(0, strlen(path) - strlen("words"));
    m_model = folder + "english.model";
    m_related = folder + "english.related";
    /* read only once known to be a regular file: a pipe would wait */
    m_win1252 = filewin1252(path);
    return true;
}

void SolverWin::run()
{
    gtk_widget_show_all(m_window);
    gtk_widget_grab_default(m_start);
    gtk_widget_grab_focus(m_start);
    gtk_main();
}

void SolverWin::onstart(GtkButton *, gpointer self)
{
    ((SolverWin *)self)->m_solver.start();
}

void SolverWin::onstop(GtkButton *, gpointer self)
{
    ((SolverWin *)self)->m_solver.stop();
}

void SolverWin::onclose(GtkButton *, gpointer self)
{
    ((SolverWin *)self)->m_solver.close();
}

/* Esc is Stop, as the dialog manager makes it on Windows. */
gboolean SolverWin::onkey(GtkWidget *, GdkEventKey *event, gpointer self)
{
    if (event->keyval != GDK_KEY_Escape)
        return FALSE;
    ((SolverWin *)self)->m_solver.stop();
    return TRUE;
}

/* The close box is Stop too: only Close ends the program. */
gboolean SolverWin::ondelete(GtkWidget *, GdkEvent *, gpointer self)
{
    ((SolverWin *)self)->m_solver.stop();
    return TRUE;
}

/* The model and the relatedness file, 16 and 7.5 MB checked as they are
** read, take some 40 and 25 ms to load: they are loaded once the window
** has been drawn, so that the window comes up as fast as without them, or
** at the first Start best first, if sooner. */
gboolean SolverWin::ondrawn(GtkWidget *w, cairo_t *, gpointer self)
{
    g_signal_handlers_disconnect_by_func(w, (gpointer)ondrawn, self);
    g_idle_add_full(G_PRIORITY_LOW, onidle, self, NULL);
    return FALSE;
}

gboolean SolverWin::onidle(gpointer self)
{
    ((SolverWin *)self)->loadmodel();
    return G_SOURCE_REMOVE;
}

/* Without a model the box cannot be checked: its tooltip, which a screen
** reader gives as its description, says why; the rest works on. Without
** the relatedness file the box ranks by fluency alone, and says so there. */
void SolverWin::loadmodel()
{
    if (m_modeltried)
        return;
    m_modeltried = true;
    char why[512];
    if (!bestload(m_model.c_str(), why, sizeof why)) {
        if (bestrelated(m_related.c_str(), why, sizeof why))
            tell(m_best, why);
        return;
    }
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(m_best), FALSE);
    gtk_widget_set_sensitive(m_best, FALSE);
    tell(m_best, why);
}

SolverSearch SolverWin::ranking()
{
    if (!gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(m_best)))
        return nullptr;
    loadmodel();
    return bestready() ? bestsearch : nullptr;
}

void SolverWin::ranked(bool on)
{
    m_ranked = on;
}

void SolverWin::input(const char **text, int *type)
{
    m_text = gtk_entry_get_text(GTK_ENTRY(m_edit));
    plainblanks(&m_text[0]);    /* a pasted line end or no-break space */
    m_text.resize(strlen(m_text.c_str()));
    if (m_win1252)
        m_text = towin1252(m_text.c_str());
    *text = m_text.c_str();
    *type = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(m_multi)) ? MULTI_WORD : SINGLE_WORD;
}

void SolverWin::clearlines()
{
    linelist_clear(m_lines, m_ranked);
}

/* The list shows UTF-8 only: a Windows-1252 list's lines are converted,
** and so is any line that is not UTF-8 (a file changed since it was
** opened). */
bool SolverWin::addline(const char *line)
{
    if (!m_win1252 && g_utf8_validate(line, -1, NULL))
        return linelist_add(m_lines, line);
    std::string shown = m_win1252 ? fromwin1252(line) : utf8shown(line);
    return linelist_add(m_lines, shown.c_str());
}

int SolverWin::countlines()
{
    return linelist_count(m_lines);
}

void SolverWin::showlines()
{
    linelist_show(m_lines);
}

/* A screen reader hears the clip's name: busy, idle, or how the last
** search ended, which is also announced where the toolkit can. */
void SolverWin::busy(bool on)
{
    AtkObject *clip = gtk_widget_get_accessible(m_clip);
    if (on) {
        busyclip_play(m_busy);
        atk_object_set_name(clip, CLIP_BUSY);
        return;
    }
    busyclip_stop(m_busy);
    char said[96];
    int n = countlines();
    if (n == 0)
        snprintf(said, sizeof said, "Search ended: no anagrams found");
    else
        snprintf(said, sizeof said, "Search ended: %d line%s", n, n == 1 ? "" : "s");
    atk_object_set_name(clip, said);
    if (g_signal_lookup("announcement", ATK_TYPE_OBJECT))
        g_signal_emit_by_name(clip, "announcement", said);
}

/* One event, if one is waiting: a click on Stop, a frame of the clip, a
** part of the window to draw. */
void SolverWin::takeevent()
{
    if (gtk_events_pending())
        gtk_main_iteration_do(FALSE);
}

void SolverWin::message(const char *text)
{
    causemessage(text, NULL);
}

/* The texts break their lines as Windows does, with "\r\n"; a path in
** them may not be UTF-8 (a folder's name from an old disk). */
void SolverWin::causemessage(const char *text, const char *why)
{
    std::string shown = utf8shown(text);
    for (size_t at; (at = shown.find("\r\n")) != std::string::npos;)
        shown.erase(at, 1);
    GtkWidget *box = gtk_message_dialog_new(GTK_WINDOW(m_window), GTK_DIALOG_MODAL,
                                            GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s",
                                            shown.c_str());
    if (why)
        gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(box), "%s",
                                                 utf8shown(why).c_str());
    gtk_window_set_title(GTK_WINDOW(box), DLG_CAPTION);
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

unsigned SolverWin::clock()
{
    return (unsigned)(g_get_monotonic_time() / 1000);
}

void SolverWin::end()
{
    gtk_widget_hide(m_window);
    gtk_main_quit();
}

int vexlore_main(int argc, char **argv, int maxlines)
{
    g_set_prgname("vexlore");
    gtk_parse_args(&argc, &argv);
    int status = arguments(argc, argv);
    if (status >= 0)
        return status;
    gtk_init(&argc, &argv);
    /* one direction, as the dialog's table: a right-to-left locale would
    ** mirror some controls and not others */
    gtk_widget_set_default_direction(GTK_TEXT_DIR_LTR);
    std::string path = wordpath();

    SolverWin win(maxlines);
    if (win.create(path.c_str()))
        win.run();
    return 0;
}
