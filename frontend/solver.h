/*
** The dialog's logic, the same on every platform: opening the word file,
** Start, Stop and Close and what each does during a search, the full
** list, and the pump that keeps the window alive while the search runs.
** A front end makes the controls and implements SolverView; it passes its
** commands to a Solver.
*/
#ifndef VEXLORE_FRONTEND_SOLVER_H
#define VEXLORE_FRONTEND_SOLVER_H

#include "engine/search.h"

/* A search Start can run: search(), or fastsearch() from engine/fastsearch.h,
** or bestsearch() from frontend/bestfirst.h. */
typedef int (*SolverSearch)(SearchWindow *win);

/* What the logic needs of a platform's dialog. */
class SolverView {
public:
    /* The controls' values: the typed text (valid until the next call)
    ** and the search type, SINGLE_WORD or MULTI_WORD. */
    virtual void input(const char **text, int *type) = 0;
    virtual void clearlines() = 0;
    /* Adds one line, without a line feed; the list keeps its lines
    ** sorted (in the order they come after ranked(true)). false when the
    ** list can take no more. While the clip is
    ** on, the list need not draw it before showlines. */
    virtual bool addline(const char *line) = 0;
    virtual int countlines() = 0;
    /* Draws the lines added since the last call. */
    virtual void showlines() = 0;
    /* The busy clip: plays from its first frame without end, or stops. */
    virtual void busy(bool on) = 0;
    /* Takes one pending event off the queue and dispatches it, if there
    ** is one; nothing else. */
    virtual void takeevent() = 0;
    /* A modal message box with the caption "Vexlore" and an OK button. */
    virtual void message(const char *text) = 0;
    /* The same box with why beneath the text, where the platform's boxes
    ** have room for a second text; by default the text alone. */
    virtual void causemessage(const char *text, const char *why) { (void)why; message(text); }
    /* Best first: the search Start runs instead of the dialog's own
    ** while the view's box is checked (bestsearch, frontend/bestfirst.h),
    ** or NULL, as a view without the box always says. Asked once at each
    ** Start. */
    virtual SolverSearch ranking() { return nullptr; }
    /* Before each search: true when its lines come in rank order, which
    ** the list then keeps, unsorted, until it is next cleared; false when
    ** they are to be sorted, as addline says. */
    virtual void ranked(bool on) { (void)on; }
    /* A clock in milliseconds; it may wrap. */
    virtual unsigned clock() = 0;
    /* Ends the dialog, and with it the program. */
    virtual void end() = 0;
protected:
    ~SolverView() {}
};

class Solver : public SearchWindow {
public:
    /* stop is the dialog's stop flag, which the search polls; run is the
    ** search Start runs. A run that answers FAST_FULL (its store is too
    ** small for the words that fit) is followed by search(). */
    Solver(SolverView *view, int *stop, SolverSearch run = search);
    ~Solver();
    Solver(const Solver &) = delete;
    Solver &operator=(const Solver &) = delete;

    /* Opens the word file at path (in UTF-8, as the user would name it).
    ** If it cannot, says so in a message box, with the cause beneath where
    ** the view can show one, and returns false: the front end then ends
    ** the dialog. */
    bool open(const char *path);
    /* Start: runs one search to its end. */
    void start();
    /* Stop, Esc and the close box: sets the stop flag; the window stays. */
    void stop();
    /* Close: closes the word file and ends the dialog; during a search,
    ** once the search has unwound. */
    void close();

    bool searching() const { return m_busy != 0; }

    /* The search's side. */
    void takeinput(const char **text, int *type) override;
    void clearlist() override;
    void addline(const char *line) override;
    int countlines() override;
    void startbusy() override;
    void stopbusy() override;
    void pump() override;
    int pumpwords() override;
    int *stopflag() override;

private:
    void show(unsigned now);
    void pathmessage(const char *format, const char *path, const char *why);

    SolverView *m_view;
    int *m_stop;
    char *m_path;       /* the word file's, for the messages */
    SolverSearch m_run;
    int m_busy;         /* a search is running, inside start() */
    int m_closing;      /* Close came: no more searches; during one, end once it unwinds */
    int m_full;         /* the list took no more lines: the search was stopped */
    int m_unshown;      /* lines added since the list last drew */
    unsigned m_peektick;    /* clock() at the pump's last look at the queue */
    unsigned m_showtick;    /* clock() when the list last drew its lines */
};

/* The texts of the dialog's messages, for the front ends' tests. */
extern const char solver_nofile[];      /* printf format: the path */
extern const char solver_noclip[];
extern const char solver_noread[];      /* printf format: the path */
extern const char solver_toolong[];     /* printf format: TEXT_MAX */
extern const char solver_changed[];
extern const char solver_toowide[];     /* printf format: BEST_SLOTS */
extern const char solver_toomany[];     /* printf format: BEST_WORDS */
extern const char solver_nomemory[];

#endif
