/*
** vexlore.exe seen from outside, as a user sees it: its process, its
** window and controls, what a user does to them (types, picks, clicks,
** presses keys) and what the user reads back (the list, message boxes,
** the animation). Everything goes through the window system; nothing
** looks inside the program.
*/
#ifndef VEXLORE_DRIVER_VEXWIN_H
#define VEXLORE_DRIVER_VEXWIN_H

#include <windows.h>

#include <string>
#include <vector>

#include "frontend/dialog.h"

/* Control ids of the main dialog, from its table. */
enum {
    ID_START = IDC_START, ID_STOP = IDC_STOP, ID_CLOSE = IDC_CLOSE,
    ID_TEXT = IDC_TEXT, ID_RESULTS = IDC_RESULTS, ID_SINGLE = IDC_SINGLE, ID_MULTI = IDC_MULTI,
    ID_BUSY = IDC_BUSY
};

/* Ids of a message box's parts (Wine and Windows alike). */
#define ID_BOXTEXT 0xFFFF

struct Vex {
    PROCESS_INFORMATION pi = {};
    std::string dir;        /* the folder vexlore.exe was started in */
    HWND dlg = NULL;
    HWND text = NULL, results = NULL, start = NULL, stop = NULL, close = NULL;
    HWND single = NULL, multi = NULL, busy = NULL;

    /* The Start command under way: its answer comes once the program's
    ** Start handler has returned, that is when the search is over. */
    bool searching = false;
    double started = 0, ended = 0;  /* seconds() at the click and at its return */
};

/* Seconds on a steady clock. */
double seconds();

/* UTF-8, the driver's text for paths and window texts, as the system's
** wide text. */
std::wstring widen(const std::string &utf8);

/* Starts dir\vexlore.exe (dir in UTF-8) with dir as its current folder (or
** cwd, when given). With a window wanted, waits (up to timeout seconds) for
** the main dialog and fills in the controls; FALSE if the program or its
** window did not come. */
bool vexstart(Vex *v, const std::string &dir, bool window = true, double timeout = 20,
              const char *cwd = NULL);
/* Waits for the process to end; FALSE on timeout. *code gets its exit code. */
bool vexwaitexit(Vex *v, double timeout, DWORD *code);
/* Ends the process if it still runs (after a failed check), and frees it. */
void vexend(Vex *v);
bool vexalive(Vex *v);
/* The window answers a message within ms milliseconds. */
bool vexanswers(Vex *v, UINT ms = 3000);

/* A message box ("#32770" without the main dialog's text field) of the
** process, or NULL after timeout seconds. */
HWND vexbox(Vex *v, double timeout);
/* Window texts in UTF-8. */
std::string vexboxtext(HWND box);
std::string windowtext(HWND h);

/* Typing and picking. The text (UTF-8) goes in as the edit control's
** text, as a paste would; the search type through the radio button's own
** click. */
void vextype(Vex *v, const char *text);
void vexpick(Vex *v, bool multi);

/* Start: begins the search and returns once the program has taken the
** click (the search has emptied the list, or is over); vexwait waits for
** the Start handler to return (FALSE after timeout seconds) and gives the
** time from the click to the end. Both from the thread that started. */
void vexbegin(Vex *v);
bool vexwait(Vex *v, double timeout, double *secs = NULL);
bool vexbusy(Vex *v);
/* Types, picks, starts and waits: one whole search. */
bool vexsearch(Vex *v, const char *text, bool multi, double timeout = 120, double *secs = NULL);

/* The list's lines in UTF-8, read with the list box's own messages; FALSE
** if the window did not answer. */
bool vexlines(Vex *v, std::vector<std::string> *lines);
int vexcount(Vex *v);

/* Real input, through the system's input queue: a left click at a
** screen point, or on the middle of a window; a key press and release. */
void mouseclick(int x, int y);
void clickon(HWND h);
void keypress(WORD vk);
/* Brings the dialog to the front so that keys reach it. */
void vexfront(Vex *v);
/* The middle of the caption's close box, found by hit testing. */
bool closebox(Vex *v, POINT *pt);

/* A hash of the pixels of the window's rectangle on the screen. */
unsigned long long screenhash(HWND h);
/* How often the window's picture on the screen changed over ms
** milliseconds (the animation playing, lines coming into the list), from
** the picture whose hash is from when given. */
int screenchanges(HWND h, int ms, unsigned long long from = 0);
/* Waits until the window's picture has stayed the same for still seconds:
** the moment it last changed (the call's, if it did not), or 0 if it was
** still changing after timeout seconds. */
double screenstill(HWND h, double still, double timeout);


/* Asks the script running the program for a picture of the window on the
** screen, saved as NAME.png in folder, and waits until it is there:
** prints "screenshot NAME X Y WIDTH HEIGHT". With also, the picture takes
** in that window too (a message box). Does nothing without a folder. */
void vexshot(const std::string &folder, const char *name, HWND window, HWND also = NULL);

/* A path from the command line as Windows names it: a Unix path becomes
** one on drive Z:, Wine's view of the whole file system. */
std::string winpath(const std::string &path);
/* The program's arguments in UTF-8, as every path and text here is: from
** the wide command line, since the ANSI one cannot carry every folder
** name. */
std::vector<std::string> vexargs();

/* Runs vexlore-find.exe of the tree in folder dir with the arguments
** args: the lines it prints (without line feeds), the seconds its search
** took as it measures them itself (--stats; -1 without that line), and
** the seconds from its start to its end. FALSE if it could not run. */
bool runfind(const std::string &dir, const std::string &args, std::vector<std::string> *lines,
             double *secs = NULL, double *wall = NULL);
/* The arguments for a search of text over the word file words. */
std::string findargs(const std::string &words, const std::string &text, bool multi);

#endif
