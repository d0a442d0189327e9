// The suite's one fixture: disk, log and registry helpers made the way the installer and the
// uninstaller make them, with the names taken from the programs' shared header.
#include "fixture.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>

#include "check.h"
#include "common/names.h"
#include "common/path.h"
#include "common/system_error.h"
#include "resources/resource.h"

const std::string kUninstallKey = std::string(kUninstallParentKey) + "\\" + kUninstallSubkey;

// An absolute path through the \\?\ interface, which knows no length limit; a relative one as
// it is.
static std::wstring WidePath(const std::string &path)
{
    bool absolute = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
    std::wstring wide(absolute ? L"\\\\?\\" : L"");
    int length = MultiByteToWideChar(CP_ACP, 0, path.data(), (int)path.size(), NULL, 0);
    std::wstring converted(length, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), (int)path.size(), &converted[0], length);
    return wide + converted;
}

bool MakeDirectories(const std::string &path)
{
    // By character: in code page 932 a character's second byte may be the backslash's.
    for (size_t i = 3; i <= path.size(); i += i < path.size() ? CharLength(&path[i], CP_ACP) : 1) {
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryW(WidePath(path.substr(0, i)).c_str(), NULL);
    }
    DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteBytes(const std::string &path, const std::string &data)
{
    HANDLE file =
        CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = data.empty() || (WriteFile(file, data.data(), (DWORD)data.size(), &written, NULL) &&
                               written == data.size());
    return CloseHandle(file) && ok;
}

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

std::string ReadBytes(const std::string &path)
{
    std::string bytes;
    return ReadWhole(path, &bytes) ? bytes : "<missing>";
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

static void ClearWide(const std::wstring &dir)
{
    WIN32_FIND_DATAW entry;
    HANDLE listing = FindFirstFileW((dir + L"\\*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = dir + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ClearWide(path);
            RemoveDirectoryW(path.c_str());
        } else {
            DeleteFileW(path.c_str());
        }
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
}

void ClearDirectory(const std::string &dir)
{
    std::wstring wide = WidePath(dir);
    if (!wide.empty() && wide.back() == L'\\')
        wide.pop_back();
    ClearWide(wide);
}

std::vector<std::string> ListedDirectories(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    std::string pattern = dir + (EndsWithSeparator(dir.c_str()) ? "*.*" : "\\*.*");
    HANDLE listing = FindFirstFileA(pattern.c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
    return names;
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

std::string SystemText(DWORD code)
{
    char text[512];
    SystemErrorText(code, text, sizeof text);
    return text;
}

static void Walk(const std::string &dir, const std::string &relative, Tree *tree)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string path = relative.empty() ? name : relative + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*tree)[path + "\\"] = "<dir>";
            Walk(dir + "\\" + name, path, tree);
        } else {
            (*tree)[path] = ReadBytes(dir + "\\" + name);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

Tree SnapshotTree(const std::string &dir)
{
    Tree tree;
    Walk(dir, "", &tree);
    return tree;
}

std::string TreeDifference(const Tree &want, const Tree &got)
{
    std::string text;
    for (const auto &file : want) {
        auto other = got.find(file.first);
        if (other == got.end())
            text += " missing " + file.first + ";";
        else if (other->second != file.second)
            text += " changed " + file.first + ";";
    }
    for (const auto &file : got)
        if (!want.count(file.first))
            text += " added " + file.first + ";";
    return text;
}

static std::wstring Lower(std::wstring text)
{
    for (wchar_t &c : text)
        c = (wchar_t)towlower(c);
    return text;
}

// The pending renames as pairs of source and target; an empty target means delete.
static std::vector<std::pair<std::wstring, std::wstring>> PendingRenames()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    DWORD size = 0, type = 0;
    std::vector<wchar_t> data;
    if (RegQueryValueExW(key, L"PendingFileRenameOperations", NULL, &type, NULL, &size) ==
        ERROR_SUCCESS) {
        data.resize(size / sizeof(wchar_t) + 2, 0);
        RegQueryValueExW(key, L"PendingFileRenameOperations", NULL, &type, (BYTE *)data.data(),
                         &size);
    }
    RegCloseKey(key);
    std::vector<std::pair<std::wstring, std::wstring>> renames;
    for (size_t at = 0; at < data.size() && data[at];) {
        std::wstring source = &data[at];
        at += source.size() + 1;
        std::wstring target = at < data.size() ? &data[at] : L"";
        at += target.size() + 1;
        renames.push_back({Lower(source), target});
    }
    return renames;
}

static std::wstring PendingName(const std::string &path)
{
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    return Lower(std::wstring(L"\\??\\") + wide);
}

bool IsPendingDelete(const std::string &path)
{
    std::wstring want = PendingName(path);
    for (const auto &rename : PendingRenames())
        if (rename.first == want && rename.second.empty())
            return true;
    return false;
}

std::vector<std::string> PendingDeletesUnder(const std::string &dir)
{
    std::wstring prefix = PendingName(dir);
    std::vector<std::string> found;
    for (const auto &rename : PendingRenames()) {
        if (rename.first.compare(0, prefix.size(), prefix) != 0)
            continue;
        char narrow[MAX_PATH * 2];
        WideCharToMultiByte(CP_ACP, 0, rename.first.c_str(), -1, narrow, sizeof narrow, NULL, NULL);
        found.push_back(narrow + 4);
    }
    return found;
}

bool MakeGameDir(const std::string &dir, GameDirParts parts)
{
    bool ok = MakeDirectories(dir) &&
              WriteBytes(dir + "\\quake3.exe", std::string("MZ game\0\x01\x02", 10));
    if (parts & kWithBaseq3)
        ok = ok && MakeDirectories(dir + "\\baseq3");
    if (parts == kWithUserFiles)
        ok = ok && WriteBytes(dir + "\\baseq3\\pak0.pk3", "PK\x03\x04 the game's own pack") &&
             WriteBytes(dir + "\\baseq3\\q3config.cfg", "seta name \"Player\"\r\n") &&
             WriteBytes(dir + "\\readme.txt", "the user's notes");
    return ok;
}

std::vector<std::string> MakePackageFiles(size_t licenceSize, size_t uninstallerSize,
                                          size_t packSize)
{
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof module);
    std::string dir(module, n < sizeof module ? n : 0);
    dir = dir.substr(0, dir.rfind('\\'));
    std::vector<std::string> files = {dir + "\\" + kLicenceFile, dir + "\\" + kUninstallerFile,
                                      dir + "\\" + kPackFile};
    size_t sizes[] = {licenceSize, uninstallerSize, packSize};
    for (size_t i = 0; i < files.size(); i++)
        if (!WriteTestFile(files[i], sizes[i], (int)i + 1))
            files[i].clear();
    return files;
}

std::string LogPath(const std::string &gameDir)
{
    return gameDir + "\\" + kLogFile;
}

std::vector<std::string> OneInstallationLog(const std::string &game,
                                            const std::vector<std::string> &files)
{
    std::vector<std::string> lines = {"[ZV Packages]", "NumberInstalled=1",
                                      "1=ZV-001 Strider for Quake3", "[ZV-001 Strider for Quake3]",
                                      "Files=" + std::to_string(files.size())};
    for (size_t i = 0; i < files.size(); i++)
        lines.push_back(std::to_string(i + 1) + "=" + game + "\\" + files[i]);
    return lines;
}

void LogPackage(const std::string &log, const char *package)
{
    int k = (int)GetPrivateProfileIntA(kPackageListSection, kPackageCountKey, 0, log.c_str()) + 1;
    std::string key = std::to_string(k);
    WritePrivateProfileStringA(kPackageListSection, kPackageCountKey, key.c_str(), log.c_str());
    WritePrivateProfileStringA(kPackageListSection, key.c_str(), package, log.c_str());
}

void LogFile(const std::string &log, const char *package, const std::string &path)
{
    int k = (int)GetPrivateProfileIntA(package, kFileCountKey, 0, log.c_str()) + 1;
    std::string key = std::to_string(k);
    WritePrivateProfileStringA(package, kFileCountKey, key.c_str(), log.c_str());
    WritePrivateProfileStringA(package, key.c_str(), path.c_str(), log.c_str());
}

static bool SetString(HKEY key, const char *name, const std::string &text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text.c_str(),
                          (DWORD)text.size() + 1) == ERROR_SUCCESS;
}

bool WriteUninstallEntry(const std::string &uninstallString)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), &key) != ERROR_SUCCESS)
        return false;
    bool ok = SetString(key, "DisplayName", kUninstallDisplayName) &&
              SetString(key, "UninstallString", uninstallString);
    RegCloseKey(key);
    return ok;
}

bool UninstallEntryExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool DeleteUninstallEntry()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
    return !UninstallEntryExists();
}

bool ReadUninstallValue(const char *name, DWORD *type, std::string *data)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
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
static HWND volatile s_owner; // written by the owner thread once its queue exists

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
    // A thread that ended without its window will not make one later.
    WaitUntil([] { return s_owner || WaitForSingleObject(s_ownerThread, 0) != WAIT_TIMEOUT; },
              kWaitMs);
    return s_owner;
}

void StopOwnerWindow()
{
    PostThreadMessageA(s_ownerThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(s_ownerThread, kWaitMs);
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
ExpectedBox WarningBox(const std::string &caption, const std::string &text)
{
    return {caption, text, MB_ICONWARNING, MB_OK, IDOK, false, "", ""};
}

const ExpectedBox kCopyErrorsBox = WarningBox(
    "File Copy Errors",
    "There were one or more errors whilst installing the files. The most common cause of this "
    "is that you do not have the full retail version of Quake3: Arena installed. This add-on "
    "does not function with the test or demo releases of Quake3: Arena.");

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
    return FindTopWindow("#32770", kInstallerCaption, IDC_PROGRESS_MESSAGE);
}

void AnswerBoxesAt(const char *file, int line, const std::vector<ExpectedBox> &expected, HWND owner,
                   const std::function<bool()> &finished)
{
    size_t next = 0;
    // Each look at the screen waits a little for a box; the loop also ends when the run that
    // shows them has finished.
    WaitUntil(
        [&] {
            if (finished())
                return true;
            MessageBoxInfo box;
            if (!WaitForMessageBox(&box, NULL, 50))
                return false;
            if (next >= expected.size()) {
                CHECK_AT(file, line, false, "unexpected box \"%s\": %s", box.caption.c_str(),
                         box.text.c_str());
                AnswerMessageBox(box, box.buttons == MB_YESNO ? IDNO : IDOK);
                return false;
            }
            const ExpectedBox &want = expected[next++];
            CHECK_TEXT_AT(file, line, box.caption, want.caption);
            CHECK_TEXT_AT(file, line, box.text, want.text);
            CHECK_AT(file, line, box.icon == want.icon && box.buttons == want.buttons,
                     "\"%s\": icon %x buttons %x", box.caption.c_str(), box.icon, box.buttons);
            CHECK_AT(file, line, GetWindow(box.box, GW_OWNER) == owner,
                     "\"%s\" is not owned by the owner window", box.caption.c_str());
            HWND progress = FindProgressDialog();
            CHECK_AT(file, line, (progress != NULL) == want.progressShown,
                     "\"%s\": progress dialog shown is %d", box.caption.c_str(),
                     !want.progressShown);
            if (progress && want.progressShown) {
                CHECK_TEXT_AT(file, line, ControlText(progress, IDC_PROGRESS_MESSAGE),
                              want.progressMessage);
                CHECK_TEXT_AT(file, line, ControlText(progress, IDC_PERCENT), want.progressPercent);
            }
            AnswerMessageBox(box, want.answer);
            return false;
        },
        120000);
    CHECK_AT(file, line, next == expected.size(), "%u of %u expected boxes seen", (unsigned)next,
             (unsigned)expected.size());
}

UninstallRun RunUninstallerAt(const char *file, int line, const std::string &dir, int answer)
{
    static const char *kCaption = "ZV-001 Uninstall";
    UninstallRun run;
    std::string exe = dir + (EndsWithSeparator(dir.c_str()) ? "" : "\\") + kUninstallerFile;
    HANDLE process = StartProgram(exe.c_str(), dir.c_str());
    if (!CHECK_AT(file, line, process != NULL, "cannot start %s: %lu", exe.c_str(), GetLastError()))
        return run;
    run.asked = WaitForMessageBox(&run.question, kCaption);
    if (run.asked) {
        // Whoever asks is the temporary copy: the box goes with the answer, the process stays.
        DWORD id = 0;
        GetWindowThreadProcessId(run.question.box, &id);
        HANDLE copy = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
        AnswerMessageBox(run.question, answer);
        if (answer == IDYES) {
            run.reported = WaitForMessageBox(&run.report, kCaption, 60000);
            if (run.reported)
                AnswerMessageBox(run.report, IDOK);
        }
        if (copy) {
            char name[MAX_PATH];
            DWORD size = sizeof name;
            if (QueryFullProcessImageNameA(copy, 0, name, &size))
                run.copy = name;
            run.copyEnded = WaitForSingleObject(copy, kWaitMs) == WAIT_OBJECT_0;
            CloseHandle(copy);
        }
    }
    run.ended = FinishProgram(process, &run.exitCode);
    return run;
}

// Only the name in the object namespace is added: files on the drive are still found
// through its link in the prefix.
static std::string DriveTarget(char letter)
{
    return std::string("\\Device\\ZvFixture") + letter;
}

FixtureDrivesListed::FixtureDrivesListed()
{
    const char *drives = getenv("ZV_TEST_DRIVES");
    DWORD listed = GetLogicalDrives();
    for (const char *p = drives ? drives : ""; *p; p++) {
        bool tokenStart = p == drives || p[-1] == ' ';
        char letter = (char)toupper((unsigned char)*p);
        if (!tokenStart || letter < 'A' || letter > 'Z' || (listed & (1u << (letter - 'A'))))
            continue;
        char name[] = "?:";
        name[0] = letter;
        if (DefineDosDeviceA(DDD_RAW_TARGET_PATH, name, DriveTarget(letter).c_str()))
            defined_ += letter;
    }
}

FixtureDrivesListed::~FixtureDrivesListed()
{
    for (char letter : defined_) {
        char name[] = "?:";
        name[0] = letter;
        DefineDosDeviceA(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                         name, DriveTarget(letter).c_str());
    }
}

SearchErrorWatcher::SearchErrorWatcher() : stop_(0)
{
    thread_ = CreateThread(NULL, 0, Run, this, 0, NULL);
}

SearchErrorWatcher::~SearchErrorWatcher()
{
    Stop();
}

std::vector<SeenBox> SearchErrorWatcher::Stop()
{
    if (thread_) {
        InterlockedExchange(&stop_, 1);
        WaitForSingleObject(thread_, 2 * kWaitMs);
        CloseHandle(thread_);
        thread_ = NULL;
    }
    return seen_;
}

DWORD WINAPI SearchErrorWatcher::Run(void *param)
{
    SearchErrorWatcher *self = (SearchErrorWatcher *)param;
    while (!self->stop_) {
        MessageBoxInfo box;
        if (!WaitForMessageBox(&box, "Search Error", 100))
            continue;
        self->seen_.push_back({box.text, GetWindow(box.box, GW_OWNER), box.icon, box.buttons});
        AnswerMessageBox(box, IDOK);
    }
    return 0;
}

// The Linux path of a Windows path, through Wine's own conversion.
std::string UnixPath(const std::string &path)
{
    typedef char *(CDECL * UnixNameFn)(const wchar_t *);
    UnixNameFn unixName = (UnixNameFn)(void (*)())GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                                                 "wine_get_unix_file_name");
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char *name = unixName ? unixName(wide) : NULL;
    std::string result = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// A symbolic link made from the Linux side with ln -s, since Wine's own calls would move or
// copy the target instead. ln runs as a Linux process, so its end is seen by the link.
bool MakeUnixLink(const std::string &target, const std::string &link)
{
    std::string command =
        "\\\\?\\unix\\bin\\ln -s \"" + UnixPath(target) + "\" \"" + UnixPath(link) + "\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 200 && !FileExists(link); i++)
        Sleep(50);
    return FileExists(link);
}
