/*
** The dialog's logic in the page's worker. The worker runs the search
** inside Start as the window does; this view collects the lines found,
** hands them to the worker's script a batch at a time, and yields
** to the worker's event loop from the pump, so that the page's Stop and
** Close are taken between words. The script (worker.js) posts everything
** on to the page.
*/
#include <emscripten.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "engine/fastsearch.h"
#include "frontend/bestfirst.h"
#include "frontend/blanks.h"
#include "frontend/solver.h"

/* Lines the results list takes before it is full, as on Linux. */
#define LIST_MAX 20000000

/* A yield costs some 0.1 to 0.3 ms: a round trip through the worker's
** event loop, and Asyncify's unwind and rewind of the stack from the pump
** to Start. The pump asks for one each clock tick; taking one in this many
** ms keeps them near 1% of a search, and Stop still comes within a few. */
#define YIELD_EVERY 5

/* The worker script's side (library.js). vexyield returns once the
** worker's event loop has run the messages waiting for it. */
extern "C" {
void vexlines(const char *text, int len);
void vexclear(void);
void vexbusy(int on);
void vexmessage(const char *text, const char *why);   /* why may be NULL */
void vexend(void);
void vexyield(void);
void vexranked(int on);
}

class WebView : public SolverView {
public:
    WebView() : m_type(SINGLE_WORD), m_best(false), m_count(0), m_yielded(0) {}

    void settext(const char *text, int type, bool best)
    {
        m_text = text;
        plainblanks(&m_text[0]);    /* a pasted line end or no-break space */
        m_text.resize(strlen(m_text.c_str()));
        m_type = type;
        m_best = best && bestready();
    }

    void input(const char **text, int *type) override
    {
        *text = m_text.c_str();
        *type = m_type;
    }
    void clearlines() override
    {
        m_starts.clear();
        m_found.clear();
        m_count = 0;
        vexclear();
    }
    bool addline(const char *line) override
    {
        if (m_count >= LIST_MAX)
            return false;
        m_starts.push_back((int)m_found.size());
        m_found.append(line, strlen(line) + 1);
        m_count++;
        return true;
    }
    int countlines() override { return m_count; }
    /* The page's list puts each line of a batch in its place. */
    void showlines() override
    {
        if (m_starts.empty())
            return;
        const char *text = m_found.data();
        m_joined.clear();
        for (int at : m_starts) {
            m_joined += text + at;
            m_joined += '\n';
        }
        m_starts.clear();
        m_found.clear();
        vexlines(m_joined.data(), (int)m_joined.size());
    }
    void busy(bool on) override { vexbusy(on); }
    SolverSearch ranking() override { return m_best ? bestsearch : nullptr; }
    /* the page's list keeps a ranking's order */
    void ranked(bool on) override { vexranked(on); }
    void takeevent() override
    {
        if (emscripten_get_now() - m_yielded < YIELD_EVERY)
            return;
        vexyield();
        m_yielded = emscripten_get_now();
    }
    void message(const char *text) override { vexmessage(text, NULL); }
    void causemessage(const char *text, const char *why) override { vexmessage(text, why); }
    unsigned clock() override { return (unsigned)(long long)emscripten_get_now(); }
    void end() override { vexend(); }

private:
    std::string m_text;
    int m_type;
    bool m_best;        /* Best first was checked at Start */
    int m_count;
    /* the lines found since the last show, each with its NUL, one after
    ** another, and where each starts */
    std::string m_found;
    std::vector<int> m_starts;
    std::string m_joined;       /* the batch sorted, a line feed after each */
    double m_yielded;   /* when the last yield ended */
};

static int stopflag;
static WebView view;
static Solver solver(&view, &stopflag, fastsearch);

extern "C" {

EMSCRIPTEN_KEEPALIVE int vex_open(const char *path)
{
    return solver.open(path);
}

/* Loads the model of English that Best first ranks by, from the module's
** file system; "" once it is loaded, else why not, for the check box's
** tooltip. */
EMSCRIPTEN_KEEPALIVE const char *vex_model(const char *path)
{
    static char why[512];
    why[0] = '\0';
    bestload(path, why, sizeof why);
    return why;
}

/* Loads the relatedness file the ranking adds to the model, from the
** module's file system; "" once it is loaded, else the note for the check
** box's tooltip that it ranks by fluency alone, and why. */
EMSCRIPTEN_KEEPALIVE const char *vex_related(const char *path)
{
    static char why[512];
    why[0] = '\0';
    bestrelated(path, why, sizeof why);
    return why;
}

/* Start with the controls' values as the page holds them. */
EMSCRIPTEN_KEEPALIVE void vex_start(const char *text, int multi, int best)
{
    view.settext(text, multi ? MULTI_WORD : SINGLE_WORD, best != 0);
    solver.start();
}

EMSCRIPTEN_KEEPALIVE void vex_stop(void)
{
    solver.stop();
}

EMSCRIPTEN_KEEPALIVE void vex_close(void)
{
    solver.close();
}

EMSCRIPTEN_KEEPALIVE int vex_searching(void)
{
    return solver.searching();
}

/* For the benchmarks: the words the last search examined, and the line
** scan in use. */
EMSCRIPTEN_KEEPALIVE double vex_examined(void)
{
    return (double)examined;
}

EMSCRIPTEN_KEEPALIVE const char *vex_scan(void)
{
    return searchscan();
}

}
