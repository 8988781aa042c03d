/*
** The packaged program as a user meets it: the copy unpacked from the zip,
** or the one the installer put in Program Files and started through its
** Start-menu shortcut, searching the words shipped beside it.
*/
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "driver.h"
#include "vexwin.h"

static const char uninstallkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vexlore";

static bool samepath(const std::string &a, const std::string &b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

/* The target and the working folder of the shortcut file lnk; FALSE if
** it cannot be read. */
static bool readshortcut(const std::string &lnk, std::string *target, std::string *folder)
{
    IShellLinkA *link = NULL;
    IPersistFile *file = NULL;
    WCHAR wide[MAX_PATH];
    char path[MAX_PATH] = "", work[MAX_PATH] = "";
    bool ok = false;

    if (FAILED(CoInitialize(NULL)))
        return false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   (void **)&link)) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file)) &&
        MultiByteToWideChar(CP_ACP, 0, lnk.c_str(), -1, wide, MAX_PATH) &&
        SUCCEEDED(file->Load(wide, STGM_READ)) &&
        SUCCEEDED(link->GetPath(path, MAX_PATH, NULL, SLGP_RAWPATH)) &&
        SUCCEEDED(link->GetWorkingDirectory(work, MAX_PATH))) {
        *target = path;
        *folder = work;
        ok = true;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    return ok;
}

/* A value of the uninstall key, as text ("" if it is missing). The key is
** in the registry's 32-bit view, where a 32-bit installer writes. */
static std::string keyvalue(HKEY key, const char *name)
{
    char buf[1024];
    DWORD type, size = sizeof buf - 1;

    if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)buf, &size) != ERROR_SUCCESS)
        return "";
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD n;
        memcpy(&n, buf, sizeof n);
        snprintf(buf, sizeof buf, "%lu", (unsigned long)n);
        return buf;
    }
    buf[size] = '\0';
    return type == REG_SZ ? buf : "";
}

static void uninstallcheck(const std::string &dir, const std::string &version)
{
    HKEY key;

    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, uninstallkey, 0, KEY_READ | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS) {
        report(false, "uninstall key", "no HKLM\\%s", uninstallkey);
        return;
    }
    std::string name = keyvalue(key, "DisplayName"), shown = keyvalue(key, "DisplayVersion");
    std::string publisher = keyvalue(key, "Publisher"), size = keyvalue(key, "EstimatedSize");
    std::string uninstall = keyvalue(key, "UninstallString");
    RegCloseKey(key);
    report(name == "Vexlore" && shown == version && !publisher.empty() && atol(size.c_str()) > 0 &&
           samepath(uninstall, "\"" + dir + "\\uninstall.exe\""),
           "uninstall key", "\"%s\" %s by \"%s\", %s KiB, uninstalled by %s", name.c_str(),
           shown.c_str(), publisher.c_str(), size.c_str(), uninstall.c_str());
}

/* Starts dir\vexlore.exe from the folder cwd and checks that a multi-word
** search for 'dirty room' shows what dir\vexlore-find.exe prints over
** dir\words; the window's picture is saved as NAME.png. */
static void searchcheck(const std::string &dir, const std::string &cwd, const char *name)
{
    Vex v;
    std::vector<std::string> want, got;
    DWORD code = 0;

    if (!vexstart(&v, dir, true, 20, cwd.c_str())) {
        report(false, "window", "no window from %s\\vexlore.exe", dir.c_str());
        vexend(&v);
        return;
    }
    bool found = runfind(dir, findargs(dir + "\\words", "dirty room", true), &want);
    bool ran = vexsearch(&v, "dirty room", true, 120);
    vexlines(&v, &got);
    report(found && ran && got == want && !want.empty(), "window",
           "started from %s in %s: 'dirty room', multi-word: %d lines, %s vexlore-find's %d",
           dir.c_str(), cwd.c_str(), (int)got.size(),
           got == want ? "the same as" : "NOT the same as", (int)want.size());
    screenshot(name, v.dlg);
    clickon(v.close);
    bool gone = vexwaitexit(&v, 5, &code);
    report(gone && code == 0, "Close", gone ? "exit code %lu" : "still running", code);
    vexend(&v);
}

int runpackage(const std::string &dir, const std::string &version, const std::string &shortcut)
{
    /* the folders' names hold letters of the ANSI code page beyond ASCII */
    printf("ANSI code page %u\n", GetACP());
    if (shortcut.empty()) {
        /* started from elsewhere: the program finds its words through its
        ** command line alone */
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        searchcheck(dir, windows, "unpacked");
        return summary();
    }

    std::string target, folder;
    bool read = readshortcut(shortcut, &target, &folder);
    report(read && samepath(target, dir + "\\vexlore.exe") && samepath(folder, dir), "shortcut",
           "%s: %s, started in %s", shortcut.c_str(), read ? target.c_str() : "unreadable",
           folder.c_str());
    uninstallcheck(dir, version);
    if (read) {
        size_t cut = target.rfind('\\');
        searchcheck(target.substr(0, cut == std::string::npos ? 0 : cut), folder, "installed");
    }
    return summary();
}
