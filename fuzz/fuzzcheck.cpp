/*
** Shared pieces of the fuzz targets: failure report and scratch file.
*/
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "dictionary/dict.h"
#include "fuzz/fuzzcheck.h"

void fuzzfail(const char *file, int line, const char *cond, const char *fmt, ...)
{
    va_list ap;
    fprintf(stderr, "%s:%d: check failed: %s\n  ", file, line, cond);
    va_start(ap, fmt);
    vfprintf(stderr, fmt, ap);
    va_end(ap);
    fputc('\n', stderr);
    abort();
}

int dictopenbytes(const std::string &bytes)
{
    static std::string path;
    if (path.empty()) {
        /* memory-backed where there is one: it is rewritten for every input */
        const char *dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = std::string(dir) + "/vexlore-fuzz-" + std::to_string(getpid()) + ".words";
    }
    FILE *f = fopen(path.c_str(), "wb");
    if (!f) {
        perror(path.c_str());
        abort();
    }
    size_t n = fwrite(bytes.data(), 1, bytes.size(), f);
    if (fclose(f) != 0 || n != bytes.size()) {
        perror(path.c_str());
        abort();
    }
    dictsource(DICT_FILE);
    int r = dictopen(path.c_str());
    unlink(path.c_str());
    return r;
}

std::string quoted(const std::string &bytes, size_t max)
{
    std::string out = "\"";
    for (size_t i = 0; i < bytes.size() && i < max; i++) {
        unsigned char c = (unsigned char)bytes[i];
        if (c == '\\' || c == '"') {
            out += '\\';
            out += (char)c;
        } else if (c >= 0x20 && c < 0x7f) {
            out += (char)c;
        } else {
            char esc[8];
            snprintf(esc, sizeof esc, "\\x%02x", c);
            out += esc;
        }
    }
    if (bytes.size() > max)
        out += "...(" + std::to_string(bytes.size()) + " bytes)";
    return out + "\"";
}

void readerwords(const std::string &bytes, std::vector<Word> *out)
{
    out->clear();
    size_t at = 0;
    while (at < bytes.size()) {
        size_t lf = bytes.find('\n', at);
        size_t end = lf == std::string::npos ? bytes.size() : lf;
        std::string line = bytes.substr(at, end - at);
        if (lf != std::string::npos && !line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() <= WORD_MAX && line.find('\0') == std::string::npos) {
            for (char &c : line)
                if (c >= 'A' && c <= 'Z')
                    c |= 0x20;
            out->push_back({line, (int)at});
        }
        if (lf == std::string::npos)
            break;
        at = lf + 1;
    }
}
