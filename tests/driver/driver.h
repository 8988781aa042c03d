/*
** The window test driver: runs vexlore.exe as a user would and checks
** what it shows. Five modes, each one process for all its work: the
** checks of what Windows adds, a command server through which
** tests/scenarios.py plays the dialog's rules, a timing of the window
** against vexlore-find, one search to look at, and the checks of the
** packaged program.
*/
#ifndef VEXLORE_DRIVER_DRIVER_H
#define VEXLORE_DRIVER_DRIVER_H

#include <windows.h>

#include <string>
#include <vector>

/* Lines the results list of vexlore-listfull.exe takes before it is full. */
#define LISTFULL_LINES 100

/* Prints one line for a check, "ok   name: detail" or "FAIL name: detail",
** and counts it. */
void report(bool ok, const char *name, const char *fmt, ...)
    __attribute__((format(printf, 3, 4)));
/* Prints the closing line, "N passed, N failed"; returns the exit status. */
int summary();

/* Asks the script running the driver for a picture of the window on the
** screen, saved as NAME.png in the pictures folder, and waits until it is
** there: prints "screenshot NAME X Y WIDTH HEIGHT". With also, the picture
** takes in that window too (a message box). Does nothing when no folder
** was given. */
void screenshot(const char *name, HWND window, HWND also = NULL);

/* A path from the command line as Windows names it: a Unix path becomes
** one on drive Z:, Wine's view of the whole file system. */
std::string winpath(const std::string &path);

/* Makes the folders of dir (UTF-8) one by one, from base on (its parent
** exists), and puts the program of tree in it, and with words the
** nine-word file (without, no word file at all). */
bool plant(const std::string &tree, const std::string &base, const std::string &dir, bool words);

/* Result lines sorted in byte order, as vexlore-find prints them. */
bool sortedlines(const std::vector<std::string> &lines);
/* The line's letters are exactly those of text, blanks aside. */
bool anagramof(const std::string &line, const std::string &text);

/* Runs vexlore-find.exe of the tree in folder dir with the arguments
** args: the lines it prints (without line feeds), the seconds its search
** took as it measures them itself (--stats; -1 without that line), and
** the seconds from its start to its end. FALSE if it could not run. */
bool runfind(const std::string &dir, const std::string &args, std::vector<std::string> *lines,
             double *secs = NULL, double *wall = NULL);
/* The arguments for a search of text over the word file words. */
std::string findargs(const std::string &words, const std::string &text, bool multi);

/* The modes. tree is the build folder holding vexlore.exe, vexlore-find.exe
** and words; work a scratch folder of the driver's own. */
int runchecks(const std::string &tree, const std::string &work);
int runbench(const std::string &tree, int runs, const std::vector<std::string> &texts);
int runserve(const std::string &tree, const std::string &work);
int runshow(const std::string &tree, const std::string &text);
/* The packaged program in folder dir: unpacked (no shortcut), or
** installed, with its Start-menu shortcut and uninstall key. */
int runpackage(const std::string &dir, const std::string &version, const std::string &shortcut);

#endif
