/*
** The driver as a command server for tests/scenarios.py: one request a
** line on standard input, a JSON array whose first element is the verb,
** and one JSON object a line on standard output for each, nothing else.
** One window at a time; the verbs are listed in the usage text.
*/
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

#include "driver.h"
#include "vexwin.h"

/* One element of a request: a string, a number, true or false, or null. */
struct Value {
    char kind;      /* 's', 'n', 'b' or '0' */
    std::string s;
    double n = 0;
};

/* Appends the UTF-16 units of a row of \u escapes to out as UTF-8, and
** empties them; FALSE for a lone surrogate, which is no text. */
static bool flushunits(std::wstring *units, std::string *out)
{
    if (units->empty())
        return true;
    std::string utf8(3 * units->size(), '\0');
    int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, units->data(), (int)units->size(),
                                &utf8[0], (int)utf8.size(), NULL, NULL);
    units->clear();
    out->append(utf8, 0, n > 0 ? n : 0);
    return n > 0;
}

/* The string whose opening quote p is past, in UTF-8; p then past its
** closing quote. NULL for a bad escape or no closing quote. */
static const char *readstring(const char *p, std::string *out)
{
    std::wstring units;

    for (;;) {
        unsigned char c = (unsigned char)*p++;
        if (c == '\\' && *p == 'u') {
            char hex[5] = "";
            if (strspn(p + 1, "0123456789abcdefABCDEF") < 4)
                return NULL;
            memcpy(hex, p + 1, 4);
            units += (wchar_t)strtoul(hex, NULL, 16);
            p += 5;
            continue;
        }
        if (!flushunits(&units, out))
            return NULL;
        if (c == '"')
            return p;
        if (c < 0x20)
            return NULL;    /* the line's end among them */
        if (c == '\\') {
            const char *esc = *p ? strchr("\"\\/bfnrt", *p++) : NULL;
            if (!esc)
                return NULL;
            c = "\"\\/\b\f\n\r\t"[esc - "\"\\/bfnrt"];
        }
        *out += (char)c;
    }
}

/* A flat JSON array of strings, numbers, true, false and null; FALSE with
** *why said for anything else. */
static bool readrequest(const char *p, std::vector<Value> *out, std::string *why)
{
    out->clear();
    p += strspn(p, " \t\r\n");
    if (*p++ != '[') {
        *why = "a request is a JSON array";
        return false;
    }
    p += strspn(p, " \t\r\n");
    for (bool first = true; *p != ']'; first = false) {
        Value v;
        if (!first && *p++ != ',') {
            *why = "a ',' or ']' expected";
            return false;
        }
        p += strspn(p, " \t\r\n");
        if (*p == '"') {
            v.kind = 's';
            p = readstring(p + 1, &v.s);
        } else if (!strncmp(p, "true", 4) || !strncmp(p, "false", 5) || !strncmp(p, "null", 4)) {
            v.kind = *p == 'n' ? '0' : 'b';
            v.n = *p == 't';
            p += *p == 'f' ? 5 : 4;
        } else {
            char *end;
            v.kind = 'n';
            v.n = strtod(p, &end);
            p = end != p && strchr("-0123456789", *p) ? end : NULL;
        }
        if (!p) {
            *why = "a string, number, true, false or null expected";
            return false;
        }
        out->push_back(v);
        p += strspn(p, " \t\r\n");
    }
    p += 1 + strspn(p + 1, " \t\r\n");
    if (*p || out->empty() || (*out)[0].kind != 's') {
        *why = *p ? "text after the array" : "the array's first element is the verb";
        return false;
    }
    return true;
}

/* s as a JSON string: quoted, with quotes, backslashes and control
** characters escaped; the rest stays as it is (UTF-8). */
static std::string quoted(const std::string &s)
{
    std::string q = "\"";
    for (unsigned char c : s) {
        char esc[8];
        snprintf(esc, sizeof esc, c == '"' || c == '\\' ? "\\%c" : c < 0x20 ? "\\u%04x" : "%c", c);
        q += esc;
    }
    return q + "\"";
}

static void answer(const std::string &fields)
{
    printf("{%s}\n", fields.c_str());
    fflush(stdout);
}

static std::string field(const char *name, const std::string &json)
{
    return quoted(name) + ": " + json;
}

static const char *yes(bool b)
{
    return b ? "true" : "false";
}

/* The window under test and what the server has seen of it. */
struct Served {
    std::string tree, work;
    Vex v;
    bool open = false;
    POINT closept = { 0, 0 };   /* the caption's close box, found at the start */
    bool hasclose = false;
    HWND box = NULL;            /* the message box last found */
    double acted = 0;           /* the moment of the last click or key */
    double boxed = 0;           /* the moment of the last click on the close box */
    bool keyed = false;         /* Enter started a search, not our Start click */
};

/* The search Enter started runs while the clip plays (some 7 pictures a
** second): no Start click of ours waits for its end, and Wine's clip does
** not answer ACM_ISPLAYING. */
#define CLIP_STILL 0.4

static bool running(Served *sv)
{
    if (vexbusy(&sv->v))
        return true;
    return sv->keyed && vexalive(&sv->v) && screenchanges(sv->v.busy, CLIP_STILL * 1000) > 0;
}

/* Starts the program over the word file words (see the usage text); the
** path of the word file it looks for in *path. */
static bool openwindow(Served *sv, const std::string &words, std::string *path)
{
    static const struct { const char *words, *folder, *program; Words file; } kinds[] = {
        {"nine", "nine", "vexlore.exe", NINEWORDS}, {"none", "nowords", "vexlore.exe", NOWORDS},
        {"listfull", "listfull", "vexlore-listfull.exe", TREEWORDS}};
    std::string tree = sv->tree, work = sv->work, dir = words == "full" ? tree : "";

    vexend(&sv->v);
    *sv = Served();
    sv->tree = tree;
    sv->work = work;
    for (const auto &k : kinds)
        if (words == k.words && plant(tree, work, work + "\\" + k.folder, k.file, k.program))
            dir = work + "\\" + k.folder;
    if (dir.empty())
        return false;
    *path = dir + "\\words";
    sv->open = vexstart(&sv->v, dir, words != "none");
    if (sv->open && words != "none")
        sv->hasclose = closebox(&sv->v, &sv->closept);
    return sv->open;
}

/* Waits (TAKEN_SECS at most) until the program has taken a click on the
** button h (NULL: the caption's close box): the button has the focus and
** has let go of the mouse, the search has ended, or the program has. A
** click that comes before that may go to the button still holding the
** mouse, and be lost: seen with Stop just after Start. The program's
** answers are taken meanwhile, so that a search's end has its moment. */
#define TAKEN_SECS 5

static void taken(Vex *v, HWND h)
{
    GUITHREADINFO gi;
    bool searching = vexbusy(v);

    for (double end = seconds() + TAKEN_SECS; seconds() < end; Sleep(2)) {
        gi.cbSize = sizeof gi;
        if (!GetGUIThreadInfo(v->pi.dwThreadId, &gi) || (searching && !vexbusy(v)) ||
            (h && gi.hwndFocus == h && !gi.hwndCapture) || (!h && !searching && !gi.hwndCapture))
            return;
    }
}

/* A real click or key of the user's; each notes its moment. */
static bool act(Served *sv, const std::string &verb, const std::vector<Value> &req)
{
    Vex *v = &sv->v;

    if (!sv->open || !v->dlg)
        return false;
    if (verb == "type") {
        vextype(v, req[1].s.c_str());
        return true;
    }
    if (verb == "pick") {
        vexpick(v, req[1].n != 0);
        return true;
    }
    if (verb == "start" && vexbusy(v)) {
        /* a second Start during a search: the user's click, which the
        ** program takes through the search's pump and ignores */
        sv->acted = seconds();
        clickon(v->start);
        taken(v, v->start);
        return true;
    }
    if (verb == "start") {
        sv->keyed = false;
        vexbegin(v);
        sv->acted = v->started;
        return true;
    }
    if (verb == "esc" || verb == "enter") {
        vexfront(v);
        clickon(v->text);
        Sleep(100);
        sv->acted = seconds();
        keypress(verb == "esc" ? VK_ESCAPE : VK_RETURN);
        if (verb == "enter" && !vexbusy(v))
            sv->keyed = true;
        return true;
    }
    sv->acted = seconds();
    if (verb == "stop")
        clickon(v->stop);
    else if (verb == "close")
        clickon(v->close);
    else if (verb == "closebox" && sv->hasclose) {
        /* a second click within the double-click time would be a double
        ** click, which the close box does not take */
        double since = seconds() - sv->boxed;
        if (since * 1000 < GetDoubleClickTime())
            Sleep((DWORD)(GetDoubleClickTime() - since * 1000) + 10);
        sv->acted = sv->boxed = seconds();
        mouseclick(sv->closept.x, sv->closept.y);
    } else
        return false;
    taken(v, verb == "stop" ? v->stop : verb == "close" ? v->close : NULL);
    return true;
}

/* The ms from the last act to the end of the search under way (or the
** last one), by the driver's clock; "null" if it did not end within secs.
** A search Enter started ended when the clip last moved, once it has been
** still for CLIP_STILL seconds: a search too short to show the clip, at
** once. */
static std::string waitend(Served *sv, double secs)
{
    Vex *v = &sv->v;
    char ms[32];

    if (sv->keyed) {
        double ended = screenstill(v->busy, CLIP_STILL, secs);
        if (!ended)
            return "null";
        sv->keyed = false;
        v->ended = ended;
    } else if (!vexwait(v, secs)) {
        return "null";
    }
    snprintf(ms, sizeof ms, "%.1f", v->ended ? (v->ended - sv->acted) * 1000 : 0.0);
    return ms;
}

static std::string boxfound(Served *sv, double secs)
{
    sv->box = vexbox(&sv->v, secs);
    if (!sv->box)
        return "null";
    bool okonly = GetDlgItem(sv->box, IDOK) && !GetDlgItem(sv->box, IDCANCEL) &&
                  !GetDlgItem(sv->box, IDNO);
    return "[" + quoted(windowtext(sv->box)) + ", " + quoted(vexboxtext(sv->box)) + ", " +
           yes(okonly) + "]";
}

/* Clicks the box's OK; a box clicked while Wine still places it may not
** see the click, so while it stays it is clicked again. */
static bool boxok(Served *sv)
{
    for (int tries = 0; sv->box && tries < 3; tries++) {
        if (!IsWindow(sv->box) || !IsWindowVisible(sv->box))
            return true;
        clickon(GetDlgItem(sv->box, IDOK));
        for (double end = seconds() + 1.5; seconds() < end; Sleep(20))
            if (!IsWindow(sv->box) || !IsWindowVisible(sv->box))
                return true;
    }
    return false;
}

static std::string lines(Served *sv)
{
    std::vector<std::string> got;
    if (!sv->open || !vexlines(&sv->v, &got))
        return "null";
    std::string json = "[";
    for (size_t i = 0; i < got.size(); i++)
        json += (i ? ", " : "") + quoted(got[i]);
    return json + "]";
}

/* One request; FALSE when it was the last. */
static bool serveone(Served *sv, const std::vector<Value> &req)
{
    const std::string &verb = req[0].s;
    Vex *v = &sv->v;
    size_t n = req.size();
    bool text = n == 2 && req[1].kind == 's', flag = n == 2 && req[1].kind == 'b';
    bool secs = n == 2 && req[1].kind == 'n' && req[1].n >= 0 && req[1].n <= 3600;
    char num[32];

    if (verb == "open" && text) {
        std::string path;
        bool ok = openwindow(sv, req[1].s, &path);
        answer(field("ok", yes(ok)) + ", " + field("path", quoted(path)));
    } else if ((verb == "type" && text) || (verb == "pick" && flag) ||
               (n == 1 && (verb == "start" || verb == "stop" || verb == "esc" ||
                           verb == "enter" || verb == "closebox" || verb == "close"))) {
        answer(field("ok", yes(act(sv, verb, req))));
    } else if (verb == "wait" && secs) {
        answer(field("ms", waitend(sv, req[1].n)));
    } else if (verb == "busy" && n == 1) {
        answer(field("busy", yes(running(sv))));
    } else if (verb == "lines" && n == 1) {
        answer(field("lines", lines(sv)));
    } else if (verb == "count" && n == 1) {
        snprintf(num, sizeof num, "%d", sv->open ? vexcount(v) : -1);
        answer(field("count", num));
    } else if (verb == "alive" && n == 1) {
        answer(field("alive", yes(sv->open && vexalive(v) && IsWindowVisible(v->dlg) &&
                                  vexanswers(v))));
    } else if (verb == "box" && secs) {
        answer(field("box", boxfound(sv, req[1].n)));
    } else if (verb == "boxok" && n == 1) {
        answer(field("ok", yes(boxok(sv))));
    } else if (verb == "exit" && secs) {
        DWORD code = 0;
        bool gone = vexwaitexit(v, req[1].n, &code);
        snprintf(num, sizeof num, "%lu", code);
        answer(field("code", gone ? num : "null"));
    } else if ((verb == "end" || verb == "quit") && n == 1) {
        vexend(v);
        sv->open = false;
        answer(field("ok", "true"));
        return verb == "end";
    } else {
        answer(field("error", quoted("no request \"" + verb + "\" with these arguments")));
    }
    return true;
}

int runserve(const std::string &tree, const std::string &work)
{
    Served sv;
    std::string line, why;
    std::vector<Value> req;
    char buf[4096];

    sv.tree = tree;
    sv.work = work;
    CreateDirectoryW(widen(work).c_str(), NULL);
    while (fgets(buf, sizeof buf, stdin)) {
        line += buf;
        if (line.back() != '\n' && !feof(stdin))
            continue;
        if (line.size() > 65536)
            answer(field("error", quoted("a request of more than 64 KB")));
        else if (!readrequest(line.c_str(), &req, &why))
            answer(field("error", quoted(why)));
        else if (!serveone(&sv, req))
            break;
        line.clear();
    }
    vexend(&sv.v);
    return 0;
}
