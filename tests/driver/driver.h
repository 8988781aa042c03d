/*
** The window test driver: runs vexlore.exe as a user would and checks
** what it shows. Three modes, each one process for all its work: the
** checks of what Windows adds, a command server through which
** tests/scenarios.py plays the dialog's rules, and the checks of the
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

/* Makes the folders of dir (UTF-8) one by one, from base on (its parent
** exists), and puts in it the program of tree (or another of its programs,
** as vexlore.exe) and as its word file the nine words, the tree's list or
** none at all. */
enum Words { NOWORDS, NINEWORDS, TREEWORDS };
bool plant(const std::string &tree, const std::string &base, const std::string &dir, Words words,
           const char *program = "vexlore.exe");

/* The modes. tree is the build folder holding vexlore.exe, vexlore-find.exe
** and words; work a scratch folder of the driver's own. */
int runchecks(const std::string &tree, const std::string &work);
int runserve(const std::string &tree, const std::string &work);
/* The packaged program in folder dir: unpacked (no shortcut), or
** installed, with its Start-menu shortcut and uninstall key. */
int runpackage(const std::string &dir, const std::string &version, const std::string &shortcut);

#endif
