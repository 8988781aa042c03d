/*
** vexlore-listfull: the Linux window with a results list that takes only
** a few lines, as a list at its bound would, so the window test sees the
** full-list message without filling millions of lines first.
*/
#include "gtk/solverdlg.h"

int main(int argc, char **argv)
{
    return vexlore_main(argc, argv, 100);
}
