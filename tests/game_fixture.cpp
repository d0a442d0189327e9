// The package tests' game directories, install logs and uninstall entries, and the run of the
// uninstaller from another process with its two boxes answered.
#include "game_fixture.h"
#include "check.h"

#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <vector>

const char *const kPackageName = "ZV-001 Strider for Quake3";
static const char *kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZVQ3Models";
static const char *kCaption = "ZV-001 Uninstall";

bool WriteBytes(const std::string &path, const std::string &data)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

std::string ReadBytes(const std::string &path)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    std::string data;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        data.append(chunk, n);
    fclose(f);
    return data;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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

bool MakeGameDir(const std::string &dir)
{
    // Parents first: CreateDirectoryA makes one level.
    for (size_t at = dir.find('\\', 3); at != std::string::npos; at = dir.find('\\', at + 1))
        CreateDirectoryA(dir.substr(0, at).c_str(), NULL);
    CreateDirectoryA(dir.c_str(), NULL);
    CreateDirectoryA((dir + "\\baseq3").c_str(), NULL);
    return WriteBytes(dir + "\\quake3.exe", std::string("MZ game\0\x01\x02", 10)) &&
           WriteBytes(dir + "\\baseq3\\pak0.pk3", "PK\x03\x04 the game's own pack") &&
           WriteBytes(dir + "\\baseq3\\q3config.cfg", "seta name \"Player\"\r\n") &&
           WriteBytes(dir + "\\readme.txt", "the user's notes");
}

void LogPackage(const std::string &log, const char *package)
{
    int k = (int)GetPrivateProfileIntA("ZV Packages", "NumberInstalled", 0, log.c_str()) + 1;
    std::string key = std::to_string(k);
    WritePrivateProfileStringA("ZV Packages", "NumberInstalled", key.c_str(), log.c_str());
    WritePrivateProfileStringA("ZV Packages", key.c_str(), package, log.c_str());
}

void LogFile(const std::string &log, const char *package, const std::string &path)
{
    int k = (int)GetPrivateProfileIntA(package, "Files", 0, log.c_str()) + 1;
    std::string key = std::to_string(k);
    WritePrivateProfileStringA(package, "Files", key.c_str(), log.c_str());
    WritePrivateProfileStringA(package, key.c_str(), path.c_str(), log.c_str());
}

bool RegisterUninstaller(const std::string &uninstallString)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallKey, &key) != ERROR_SUCCESS)
        return false;
    static const char name[] = "ZV Models for Quake3";
    bool ok =
        RegSetValueExA(key, "DisplayName", 0, REG_SZ, (const BYTE *)name, sizeof name) ==
            ERROR_SUCCESS &&
        RegSetValueExA(key, "UninstallString", 0, REG_SZ, (const BYTE *)uninstallString.c_str(),
                       (DWORD)uninstallString.size() + 1) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool UninstallEntryExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void DeleteUninstallEntry()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
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

UninstallRun RunUninstaller(const std::string &dir, int answer)
{
    UninstallRun run;
    std::string exe = dir + (dir.back() == '\\' ? "" : "\\") + "zvuninst.exe";
    HANDLE process = StartProgram(exe.c_str(), dir.c_str());
    if (!CHECK(process != NULL, "cannot start %s: %lu", exe.c_str(), GetLastError()))
        return run;
    run.asked = WaitForMessageBox(&run.question, kCaption);
    if (run.asked) {
        // Whoever asks is the copy: the window goes with the answer, the process stays.
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
    run.ended = WaitForExit(process, &run.exitCode);
    if (!run.ended)
        TerminateProcess(process, 1);
    CloseHandle(process);
    return run;
}
