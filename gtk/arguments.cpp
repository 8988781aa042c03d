/*
** vexlore --help and --version; any other argument is a mistake.
*/
#include <stdio.h>
#include <string.h>

#include "gtk/arguments.h"

static const char usage[] =
    "usage: vexlore [--help | --version]\n"
    "Opens the anagram finder's window over the word file \"words\" beside the\n"
    "program. It takes no options; vexlore-find(1) searches from the command line.\n";

int arguments(int argc, char **argv)
{
    if (argc < 2)
        return -1;
    if (argc == 2 && strcmp(argv[1], "--help") == 0) {
        fputs(usage, stdout);
        return fflush(stdout) == 0 ? 0 : 1;
    }
    if (argc == 2 && strcmp(argv[1], "--version") == 0) {
        printf("vexlore %s\n", VEXLORE_VERSION);
        return fflush(stdout) == 0 ? 0 : 1;
    }
    fprintf(stderr, "vexlore: unknown argument '%s'\n%s", argv[1], usage);
    return 2;
}
