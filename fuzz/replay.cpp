/*
** Runs a fuzz target over saved inputs, without libFuzzer: every file of
** each folder named (or each file named) goes through the target once.
** This is how the test suite replays the corpus with any compiler.
*/
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzzcheck.h"

namespace fs = std::filesystem;

static char current[4096];

/* A failed check aborts: name the input it failed on. */
static void onabort(int)
{
    const char msg[] = "replay: failed on input ";
    if (write(2, msg, sizeof msg - 1) < 0 || write(2, current, strlen(current)) < 0 ||
        write(2, "\n", 1) < 0)
        _exit(134);
    signal(SIGABRT, SIG_DFL);
    raise(SIGABRT);
}

int main(int argc, char **argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; i++) {
        std::error_code ec;
        if (fs::is_directory(argv[i], ec)) {
            for (const fs::directory_entry &e : fs::directory_iterator(argv[i]))
                if (e.is_regular_file())
                    inputs.push_back(e.path());
        } else {
            inputs.push_back(argv[i]);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    if (inputs.empty()) {
        fprintf(stderr, "usage: %s CORPUS-FOLDER|FILE...: no inputs found\n", argv[0]);
        return 2;
    }
    signal(SIGABRT, onabort);
    for (const fs::path &p : inputs) {
        snprintf(current, sizeof current, "%s", p.c_str());
        std::ifstream f(p, std::ios::binary);
        if (!f) {
            fprintf(stderr, "replay: cannot read %s\n", p.c_str());
            return 2;
        }
        /* a heap block of the input's exact size, so that a read past
        ** its end is seen by the address sanitizer */
        std::vector<uint8_t> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    printf("replay: %zu inputs passed\n", inputs.size());
    return 0;
}
