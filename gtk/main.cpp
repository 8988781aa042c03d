/*
** vexlore: the anagram finder's window on Linux, on GTK 3.
*/
#include "gtk/solverdlg.h"

int main(int argc, char **argv)
{
    return vexlore_main(argc, argv, LIST_MAX);
}
