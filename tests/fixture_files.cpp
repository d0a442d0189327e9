// File helpers through the wide interface, so that a long path is no fault of the test.
#include "fixture_files.h"

#include <stdio.h>
#include <string.h>
#include <algorithm>

#include "common/path.h"
#include "common/system_error.h"

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

static HANDLE OpenWide(const std::string &path, bool write)
{
    // The sharing fopen asks for, so that a file another program holds open reads the same.
    return CreateFileW(WidePath(path).c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       write ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, 0, NULL);
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

// Writes data again and again, the last time cut, to total bytes in all.
static bool WriteRepeated(const std::string &path, const std::string &data, size_t total)
{
    HANDLE file = OpenWide(path, true);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (size_t done = 0; done < total && ok; done += data.size()) {
        DWORD n = (DWORD)std::min(data.size(), total - done), written = 0;
        ok = WriteFile(file, data.data(), n, &written, NULL) && written == n;
    }
    return CloseHandle(file) && ok;
}

bool WriteBytes(const std::string &path, const std::string &data)
{
    return WriteRepeated(path, data, data.size());
}

bool WriteTestFile(const std::string &path, size_t size, int seed)
{
    std::string block(65536, '\0');
    for (size_t i = 0; i < block.size(); i++)
        block[i] = (char)(i * 7 + seed * 31 + i / 251);
    return WriteRepeated(path, block, size);
}

bool ReadWhole(const std::string &path, std::string *bytes)
{
    HANDLE file = OpenWide(path, false);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    static char buffer[65536];
    DWORD n;
    while (ReadFile(file, buffer, sizeof buffer, &n, NULL) && n > 0)
        bytes->append(buffer, n);
    CloseHandle(file);
    return true;
}

std::string ReadBytes(const std::string &path)
{
    std::string bytes;
    return ReadWhole(path, &bytes) ? bytes : "<missing>";
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SameFile(const std::string &a, const std::string &b)
{
    HANDLE f = OpenWide(a, false), g = OpenWide(b, false);
    bool same = f != INVALID_HANDLE_VALUE && g != INVALID_HANDLE_VALUE;
    static char x[65536], y[65536];
    for (DWORD n = 1, m = 0; same && n > 0;)
        same = ReadFile(f, x, sizeof x, &n, NULL) && ReadFile(g, y, sizeof y, &m, NULL) && n == m &&
               memcmp(x, y, n) == 0;
    if (f != INVALID_HANDLE_VALUE)
        CloseHandle(f);
    if (g != INVALID_HANDLE_VALUE)
        CloseHandle(g);
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
