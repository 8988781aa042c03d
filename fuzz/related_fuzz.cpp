/*
** Fuzz target: the relatedness file's reader fed arbitrary bytes as a
** file. Whatever it loads must hold together: every word found again by
** its text, every base form and every bag's id within the words, every bag
** rising, and the set of a text (the bytes' own start, then a few words of
** the file) holding only ids of the file, as many as it counts. A file it
** refuses must leave nothing loaded.
*/
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "fuzz/fuzzcheck.h"
#include "model/related.h"

/* Words looked at per file: enough for small files whole. */
#define FUZZ_WORDS 64

static int loadbytes(const uint8_t *data, size_t size)
{
    static std::string path;
    if (path.empty()) {
        const char *dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = std::string(dir) + "/vexlore-fuzz-" + std::to_string(getpid()) + ".related";
    }
    FILE *f = fopen(path.c_str(), "wb");
    FUZZ_CHECK(f != NULL, "cannot write %s", path.c_str());
    size_t n = fwrite(data, 1, size, f);
    FUZZ_CHECK(fclose(f) == 0 && n == size, "cannot write %s", path.c_str());
    int r = relload(path.c_str());
    unlink(path.c_str());
    return r;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int r = loadbytes(data, size);
    FUZZ_CHECK(r == REL_OK || r == REL_BAD, "relload gave %d", r);
    if (r != REL_OK) {
        FUZZ_CHECK(relcount() == 0, "a refused file left %d words", relcount());
        return 0;
    }
    int n = relcount();
    std::vector<int> bag(n + 1);
    std::string text(reinterpret_cast<const char *>(data), size < 80 ? size : 80);
    text = text.substr(0, strnlen(text.c_str(), text.size()));
    for (int id = 0; id < n && id < FUZZ_WORDS; id++) {
        FUZZ_CHECK(relword(reltext(id)) == id, "word %d not found by its text", id);
        int b = relbase(id);
        FUZZ_CHECK(b >= 0 && b < n, "word %d's base %d", id, b);
        int k = relbag(reltext(id), bag.data(), n + 1);
        FUZZ_CHECK(k >= 0 && k <= n, "word %d's bag of %d", id, k);
        for (int i = 0; i < k; i++)
            FUZZ_CHECK(bag[i] >= 0 && bag[i] < n && (i == 0 || bag[i] > bag[i - 1]),
                       "word %d's bag: id %d at %d", id, bag[i], i);
        if (id < 4)
            text += std::string(" ") + reltext(id);
    }
    RelSet set = {0, nullptr, 0};
    int count = relset(&set, text.c_str());
    FUZZ_CHECK(count >= 0 && count <= n && set.n == n, "a set of %d of %d", count, n);
    int seen = 0;
    for (int id = 0; id < n; id++) {
        int why = relrelated(&set, id);
        FUZZ_CHECK(why >= -1 && why < n, "word %d related to %d", id, why);
        seen += why >= 0;
    }
    FUZZ_CHECK(seen == count, "a set that says %d but holds %d", count, seen);
    relsetfree(&set);
    relfree();
    return 0;
}
