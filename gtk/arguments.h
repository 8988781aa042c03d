/*
** The window's command line: it takes no options, but says so, and what
** it is, when asked.
*/
#ifndef VEXLORE_GTK_ARGUMENTS_H
#define VEXLORE_GTK_ARGUMENTS_H

/* Looks at the arguments left once GTK has taken its own (--display and
** the like). None: returns -1, and the window opens. --help or --version
** alone: prints the usage or the version on standard output and returns
** 0. Anything else: the usage on standard error, and 2. */
int arguments(int argc, char **argv);

#endif
