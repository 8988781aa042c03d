/*
** The finder's platform calls on Linux and other POSIX systems.
*/
#include <errno.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "cli/platform.h"

std::string selfwords(const char *argv0)
{
    std::string self = argv0 ? argv0 : "";
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
        buf[n] = '\0';
        self = buf;
    }
    size_t cut = self.find_last_of('/');
    return cut == std::string::npos ? "words" : self.substr(0, cut + 1) + "words";
}

std::string widearg(int, char **, const char *arg)
{
    return arg;
}

/* The file's name goes the moment it is open: nothing is left behind,
** whether the finder ends normally, by Ctrl-C or by a kill. */
FILE *opentemp(std::string *dir)
{
    const char *tmp = getenv("TMPDIR");
    *dir = tmp && *tmp ? tmp : "/tmp";
    std::string name = *dir + "/vexlore-find.XXXXXX";
    int fd = mkstemp(&name[0]);
    if (fd < 0)
        return NULL;
    unlink(name.c_str());
    FILE *f = fdopen(fd, "w+b");
    if (!f) {
        int e = errno;
        close(fd);
        errno = e;
    }
    return f;
}

/* No SA_RESTART: a write blocked on the output returns EINTR, and the
** finder ends as a Ctrl-C asks, not killed by it. */
void catchinterrupt(void (*handler)(int))
{
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, NULL);
}

int outerrno(int err)
{
    return err;
}
