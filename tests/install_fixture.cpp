// Disk and registry fixtures for the installation tests.
#include "install_fixture.h"

#include <algorithm>
#include <stdio.h>
#include <string.h>

#include "check.h"
#include "driver.h"
#include "resources/resource.h"

const char kPackageName[] = "ZV-001 Strider for Quake3";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZVQ3Models";

bool WriteTestFile(const std::string &path, size_t size, int seed)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::vector<char> block(65536);
    for (size_t i = 0; i < block.size(); i++)
        block[i] = (char)(i * 7 + seed * 31 + i / 251);
    bool ok = true;
    for (size_t done = 0; done < size && ok; done += block.size())
        ok = fwrite(block.data(), 1, std::min(block.size(), size - done), f) > 0;
    return fclose(f) == 0 && ok;
}

bool WriteText(const std::string &path, const std::string &text)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    return fclose(f) == 0 && ok;
}

bool ReadWhole(const std::string &path, std::string *bytes)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes->clear();
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes->append(buffer, n);
    fclose(f);
    return true;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameFile(const std::string &a, const std::string &b)
{
    FILE *f = fopen(a.c_str(), "rb");
    FILE *g = fopen(b.c_str(), "rb");
    bool same = f && g;
    static char x[65536], y[65536];
    while (same) {
        size_t n = fread(x, 1, sizeof x, f);
        same = fread(y, 1, sizeof y, g) == n && memcmp(x, y, n) == 0;
        if (n == 0)
            break;
    }
    if (f)
        fclose(f);
    if (g)
        fclose(g);
    return same;
}

std::string CurrentDir()
{
    char dir[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof dir, dir);
    std::string result(dir, n < sizeof dir ? n : 0);
    if (!result.empty() && result.back() == '\\')
        result.pop_back();
    return result;
}

static void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = dir + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

bool MakeGameDir(const std::string &dir, bool withBaseq3)
{
    RemoveTree(dir);
    if (!CreateDirectoryA(dir.c_str(), NULL))
        return false;
    if (withBaseq3 && !CreateDirectoryA((dir + "\\baseq3").c_str(), NULL))
        return false;
    return WriteText(dir + "\\quake3.exe", "MZ stand-in game executable\n");
}

std::vector<std::string> MakePackageFiles(size_t licenceSize, size_t uninstallerSize,
                                          size_t packSize)
{
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof module);
    std::string dir(module, n < sizeof module ? n : 0);
    dir = dir.substr(0, dir.rfind('\\'));
    std::vector<std::string> files = {dir + "\\ZV-001.txt", dir + "\\zvuninst.exe",
                                      dir + "\\PakZV01.pk3"};
    size_t sizes[] = {licenceSize, uninstallerSize, packSize};
    for (size_t i = 0; i < files.size(); i++)
        if (!WriteTestFile(files[i], sizes[i], (int)i + 1))
            files[i].clear();
    return files;
}

std::vector<std::string> NonBlankLines(const std::string &path)
{
    std::string text;
    std::vector<std::string> lines;
    if (!ReadWhole(path, &text))
        return lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") != std::string::npos)
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool DeleteUninstallKey()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    return !UninstallKeyExists();
}

bool UninstallKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ReadUninstallValue(const char *name, DWORD *type, std::string *data)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    BYTE buffer[1024];
    DWORD size = sizeof buffer;
    LONG result = RegQueryValueExA(key, name, NULL, type, buffer, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return false;
    data->assign((const char *)buffer, size);
    return true;
}

static HANDLE s_ownerThread;
static DWORD s_ownerThreadId;
static HWND volatile s_owner;

static DWORD WINAPI OwnerThreadMain(void *)
{
    HWND window = CreateWindowA("STATIC", "owner", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE); // the queue exists before the window is known
    s_owner = window;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DestroyWindow(window);
    return 0;
}

HWND StartOwnerWindow()
{
    s_owner = NULL;
    s_ownerThread = CreateThread(NULL, 0, OwnerThreadMain, NULL, 0, &s_ownerThreadId);
    for (int i = 0; i < 500 && !s_owner; i++)
        Sleep(10);
    return s_owner;
}

void StopOwnerWindow()
{
    PostThreadMessageA(s_ownerThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(s_ownerThread, 10000);
    CloseHandle(s_ownerThread);
}

const ExpectedBox kReinstallQuestion = {
    "Really Re-Install?",
    "You appear to have already installed this package here. Do you wish to install it again?",
    MB_ICONQUESTION,
    MB_YESNO,
    IDYES,
    false,
    "",
    ""};
const ExpectedBox kCompleteBox = {
    "Happy Fragging", "Installation is complete", 0, MB_OK, IDOK, false, "", ""};
const ExpectedBox kAbortedBox = {
    "Installation aborted", "Installation aborted", 0, MB_OK, IDOK, false, "", ""};
const ExpectedBox kCopyErrorsBox = {
    "File Copy Errors",
    "There were one or more errors whilst installing the files. The most common cause of this "
    "is that you do not have the full retail version of Quake3: Arena installed. This add-on "
    "does not function with the test or demo releases of Quake3: Arena.",
    MB_ICONWARNING,
    MB_OK,
    IDOK,
    false,
    "",
    ""};

ExpectedBox PackNotInstalledBox(const std::string &packSource, const std::string &lastTarget,
                                const std::string &packSize, const std::string &percent)
{
    return {"File could not be installed.",
            packSource,
            MB_ICONWARNING,
            MB_OK,
            IDOK,
            true,
            "Currently Installing File: " + packSource + "\nTo Location: " + lastTarget +
                "\nFile Size: " + packSize,
            percent};
}

HWND FindProgressDialog()
{
    return FindTopWindow("#32770", "ZV Developments Model Installation", IDC_PROGRESS_MESSAGE);
}

void AnswerBoxes(int line, const std::vector<ExpectedBox> &expected, HWND owner,
                 const std::function<bool()> &finished)
{
    size_t next = 0;
    DWORD start = GetTickCount();
    while (!finished() && GetTickCount() - start < 120000) {
        MessageBoxInfo box;
        if (!WaitForMessageBox(&box, NULL, 50))
            continue;
        if (next >= expected.size()) {
            CheckAt(__FILE__, line, false, "box", "unexpected box \"%s\": %s", box.caption.c_str(),
                    box.text.c_str());
            AnswerMessageBox(box, box.buttons == MB_YESNO ? IDNO : IDOK);
            continue;
        }
        const ExpectedBox &want = expected[next++];
        CheckTextAt(__FILE__, line, box.caption, want.caption, "caption");
        CheckTextAt(__FILE__, line, box.text, want.text, "text");
        CheckAt(__FILE__, line, box.icon == want.icon && box.buttons == want.buttons, "box",
                "\"%s\": icon %x buttons %x", box.caption.c_str(), box.icon, box.buttons);
        CheckAt(__FILE__, line, GetWindow(box.box, GW_OWNER) == owner, "box",
                "\"%s\" is not owned by the owner window", box.caption.c_str());
        HWND progress = FindProgressDialog();
        CheckAt(__FILE__, line, (progress != NULL) == want.progressShown, "box",
                "\"%s\": progress dialog shown is %d", box.caption.c_str(), !want.progressShown);
        if (progress && want.progressShown) {
            CheckTextAt(__FILE__, line, ControlText(progress, IDC_PROGRESS_MESSAGE),
                        want.progressMessage, "progress message");
            CheckTextAt(__FILE__, line, ControlText(progress, IDC_PERCENT), want.progressPercent,
                        "percent");
        }
        AnswerMessageBox(box, want.answer);
    }
    CheckAt(__FILE__, line, next == expected.size(), "boxes", "%u of %u expected boxes seen",
            (unsigned)next, (unsigned)expected.size());
}
