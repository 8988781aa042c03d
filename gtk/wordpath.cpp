/*
** The word file's path, from the kernel's link to the running program.
*/
#include <unistd.h>

#include <vector>

#include "gtk/wordpath.h"

std::string wordpath()
{
    std::vector<char> buf(256);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0)
            return "./words";
        if ((size_t)n < buf.size()) {
            std::string self(buf.data(), (size_t)n);
            return self.substr(0, self.find_last_of('/') + 1) + "words";
        }
        buf.resize(buf.size() * 2);     /* cut short: a longer path */
    }
}
