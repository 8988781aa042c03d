/*
** Windows-1252 and UTF-8, both ways, for the window's text.
*/
#include <stdio.h>
#include <string.h>

#include <glib.h>

#include "gtk/wintext.h"

/* Code points of the bytes 0x80 to 0x9F; 0 where Windows-1252 has none.
** The bytes from 0xA0 up are the code points of the same value. */
static const unsigned short high[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

static void putchar8(std::string &out, unsigned char b)
{
    gunichar c = b < 0x80 ? b : b >= 0xA0 ? b : high[b - 0x80] ? high[b - 0x80] : 0xFFFD;
    char buf[6];
    out.append(buf, (size_t)g_unichar_to_utf8(c, buf));
}

bool filewin1252(const char *path)
{
    FILE *f = fopen(path, "rb");
    if (!f)
        return false;
    static char buf[65536 + 4];
    size_t kept = 0, n;
    bool bad = false;
    while (!bad && (n = fread(buf + kept, 1, sizeof buf - 4 - kept, f)) > 0) {
        const char *p = buf, *end = buf + kept + n;
        while (p < end) {
            if ((unsigned char)*p < 0x80) {
                p++;
                continue;
            }
            gunichar c = g_utf8_get_char_validated(p, end - p);
            if (c == (gunichar)-2 && end - p < 4)
                break;      /* cut by the block's end: read on */
            if (c == (gunichar)-1 || c == (gunichar)-2) {
                bad = true;
                break;
            }
            p = g_utf8_next_char(p);
        }
        kept = bad ? 0 : (size_t)(end - p);
        memmove(buf, p, kept);
    }
    fclose(f);
    return bad || kept > 0;
}

std::string fromwin1252(const char *text)
{
    std::string out;
    for (const unsigned char *s = (const unsigned char *)text; *s; s++)
        putchar8(out, *s);
    return out;
}

std::string towin1252(const char *text)
{
    std::string out;
    for (const char *p = text; *p; p = g_utf8_next_char(p)) {
        gunichar c = g_utf8_get_char(p);
        int b = c < 0x80 || (c >= 0xA0 && c <= 0xFF) ? (int)c : '?';
        for (int i = 0; i < 32 && b == '?' && c != '?'; i++)
            if (high[i] == c)
                b = 0x80 + i;
        out += (char)b;
    }
    return out;
}

std::string utf8shown(const char *text)
{
    std::string out;
    const char *p = text, *end = text + strlen(text), *good;
    while (!g_utf8_validate(p, end - p, &good)) {
        out.append(p, (size_t)(good - p));
        putchar8(out, (unsigned char)*good);
        p = good + 1;
    }
    out.append(p, (size_t)(end - p));
    return out;
}
