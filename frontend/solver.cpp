/*
** The dialog's logic: the word file beside the program, the three
** commands, and the search run inside Start with the window kept alive by
** its pump.
*/
#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dictionary/dict.h"
#include "engine/fastsearch.h"
#include "engine/stack.h"
#include "frontend/bestfirst.h"
#include "frontend/solver.h"

const char solver_nofile[] = "Unable to open dictionary file (%s).\r\n"
                             "Ensure this file is where vexlore.exe is located.";
const char solver_noclip[] = "Unable to open animation resource";
const char solver_noread[] = "Unable to read dictionary file (%s).\r\n"
                             "The search was stopped; the lines found so far are kept.";
/* The limit counts the bytes the search sees: UTF-8 takes two to four for
** a letter beyond ASCII. */
const char solver_toolong[] = "The text holds more than %d letters; blanks do not count, and "
                              "an accented letter or a symbol may count as two to four.";
const char solver_changed[] = "The word file changed during the search; "
                              "the list may be incomplete.";
const char solver_toowide[] = "The text holds more than %d different letters and symbols, "
                              "more than Best first can rank.";
const char solver_toomany[] = "More than %d words of the word file fit the text, "
                              "more than Best first can rank.";
const char solver_nomemory[] = "Not enough memory to rank the anagrams.";

/* The search calls the pump once in this many words: a call for every
** word, even one that only counted, would cost a search that examines a
** word in 1 to 2 ns a fifth of its time; 4,096 words take some 10 us. */
#define PUMP_WORDS 4096

/* While a search runs, the list draws the lines found at most this often.
** A list that draws itself works out and draws its scroll bar again for
** every line added: some 7 ms a line for a list box under Wine, far more
** than the search spends finding one ('astronomer', 3,505 lines, took
** 25 s that way against 5 s for the search alone). */
#define SHOW_EVERY 200      /* ms */

Solver::Solver(SolverView *view, int *stop, SolverSearch run)
    : m_view(view), m_stop(stop), m_path(nullptr), m_run(run), m_busy(0), m_closing(0),
      m_full(0), m_unshown(0), m_peektick(0), m_showtick(0)
{
}

Solver::~Solver()
{
    free(m_path);
}

/* Shows format, a message that names the word file, with its path, and
** why, its cause, where there is one. */
void Solver::pathmessage(const char *format, const char *path, const char *why)
{
    size_t size = strlen(path) + strlen(format) + 1;
    char *msg = (char *)malloc(size);
    if (msg)
        snprintf(msg, size, format, path);
    if (why)
        m_view->causemessage(msg ? msg : format, why);
    else
        m_view->message(msg ? msg : format);
    free(msg);
}

bool Solver::open(const char *path)
{
    dictsource(DICT_FILE);
    if (!dictopen(path)) {
        free(m_path);
        m_path = strdup(path);
        return true;
    }
    char why[128];
    snprintf(why, sizeof why, "%s.", dictcause(errno));
    why[0] = (char)toupper((unsigned char)why[0]);
    pathmessage(solver_nofile, path, why);
    return false;
}

/* Start. While a search runs, clicks still reach the buttons through the
** search's pump, so a second Start arrives here nested inside the first:
** it is ignored, since the search's stacks and file position are global.
** So is a Start that comes after Close, before the window has gone: the
** word file is already closed. */
void Solver::start()
{
    char msg[192];

    if (m_busy || m_closing)
        return;
    m_busy = 1;
    m_full = 0;
    SolverSearch run = m_view->ranking();
    m_view->ranked(run != nullptr);
    int result = (run ? run : m_run)(this);
    if (result == FAST_FULL)
        result = search(this);     /* it cleared the list and stopped the clip */
    m_busy = 0;
    /* a search ended by a file error skips stopbusy: the clip would play on
    ** and its partial list pass for a whole one; the placeholder line
    ** comes after stopbusy */
    bool readerror = result == SEARCH_POSITION || result == SEARCH_READ;
    if (readerror)
        stopbusy();
    else if (m_unshown)
        show(m_view->clock());

    if (m_closing) {
        close();
        return;
    }
    if (readerror) {
        dictchanged();      /* the read error says it all */
        pathmessage(solver_noread, m_path ? m_path : "words", nullptr);
    } else if (result == SEARCH_TOOLONG) {
        snprintf(msg, sizeof msg, solver_toolong, TEXT_MAX);
        m_view->message(msg);
    } else if (result == BEST_TOOWIDE || result == BEST_TOOMANY) {
        snprintf(msg, sizeof msg, result == BEST_TOOWIDE ? solver_toowide : solver_toomany,
                 result == BEST_TOOWIDE ? BEST_SLOTS : BEST_WORDS);
        m_view->message(msg);
    } else if (result == BEST_NOMEMORY) {
        m_view->message(solver_nomemory);
    } else if (dictchanged()) {
        m_view->message(solver_changed);    /* the lines stay */
    }
    if (m_full) {
        snprintf(msg, sizeof msg, "The results list is full: it holds %d lines. "
                 "The search was stopped; the lines found so far are kept.", countlines());
        m_view->message(msg);
    }
}

void Solver::stop()
{
    *m_stop = 1;
}

/* During a search the word file is still being read, so the search is
** stopped and the closing is left to start() once the search has unwound. */
void Solver::close()
{
    m_closing = 1;
    if (m_busy) {
        *m_stop = 1;
        return;
    }
    dictclose();
    m_view->end();
}

void Solver::takeinput(const char **text, int *type)
{
    m_view->input(text, type);
}

void Solver::clearlist()
{
    m_view->clearlines();
}

/* The line goes in without its line feed; the trailing space stays. A list
** that cannot take a line (out of memory, or at its bound) stops the
** search as Stop does: the lines it holds stay, and start() says so once
** the search has unwound. */
void Solver::addline(const char *line)
{
    char buf[LINE_SIZE];
    size_t len = strlen(line);

    if (m_full)
        return;
    if (len > 0 && line[len - 1] == '\n')
        len--;
    if (len > sizeof buf - 1)
        len = sizeof buf - 1;
    memcpy(buf, line, len);
    buf[len] = '\0';
    if (!m_view->addline(buf)) {
        m_full = 1;
        *m_stop = 1;
        return;
    }
    m_unshown++;
}

int Solver::countlines()
{
    return m_view->countlines();
}

void Solver::startbusy()
{
    m_unshown = 0;
    m_showtick = m_view->clock();
    m_view->busy(true);
}

/* The lines are all shown before the clip stops: a search is over, for
** the user, when its list is whole. */
void Solver::stopbusy()
{
    show(m_view->clock());
    m_view->busy(false);
}

void Solver::show(unsigned now)
{
    m_view->showlines();
    m_unshown = 0;
    m_showtick = now;
}

/* Called once per PUMP_WORDS words the search examines. Looking at the
** queue costs far more than that, so the pump looks at most once a clock
** tick: often enough for clicks and painting, rarely enough to cost the
** search next to nothing. One event a look. New lines are shown every
** SHOW_EVERY ms. */
void Solver::pump()
{
    unsigned now = m_view->clock();
    if (now == m_peektick)
        return;
    m_peektick = now;
    m_view->takeevent();
    if (m_unshown && now - m_showtick >= SHOW_EVERY)
        show(now);
}

int Solver::pumpwords()
{
    return PUMP_WORDS;
}

int *Solver::stopflag()
{
    return m_stop;
}
