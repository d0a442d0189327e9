// Fixture files for the game directory tests, made through the wide interface so that paths
// past the 260-character limit can be built and removed too.
#include "game_fixture.h"

#include "driver.h"

#include <ctype.h>
#include <stdlib.h>

static std::wstring LongPath(const std::string &path)
{
    std::wstring wide(L"\\\\?\\");
    for (char c : path)
        wide += (wchar_t)(unsigned char)c;
    return wide;
}

bool MakeDirectories(const std::string &path)
{
    for (size_t i = 3; i <= path.size(); i++) {
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryW(LongPath(path.substr(0, i)).c_str(), NULL);
    }
    DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PutFile(const std::string &path)
{
    HANDLE file =
        CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool PutGame(const std::string &dir)
{
    return MakeDirectories(dir) && PutFile(dir + "\\quake3.exe");
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
    std::wstring wide = LongPath(dir);
    if (!wide.empty() && wide.back() == L'\\')
        wide.pop_back();
    ClearWide(wide);
}

std::vector<std::string> ListedDirectories(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    std::string pattern = dir + (dir.back() == '\\' ? "*.*" : "\\*.*");
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

std::string SystemText(DWORD code)
{
    char *text = NULL;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, NULL, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPSTR)&text, 0, NULL);
    std::string result = text ? text : "";
    LocalFree(text);
    return result;
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
