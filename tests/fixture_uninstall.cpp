// Registry and process helpers for the uninstaller's tests.
#include "fixture_uninstall.h"

#include "check.h"
#include "common/path.h"
#include "zv_version.h"

#include <stdio.h>

const std::string kUninstallKey = std::string(kUninstallParentKey) + "\\" + kUninstallSubkey;

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

void CheckUninstallValueAt(const char *file, int line, const char *name, const std::string &text)
{
    DWORD type = 0;
    std::string data;
    bool found = ReadUninstallValue(name, &type, &data);
    CHECK_AT(file, line, found && type == REG_SZ, "%s: found %d, type %lu", name, found, type);
    CHECK_TEXT_AT(file, line, data, text + std::string(1, '\0'));
}

DWORD UninstallNumber(const char *name)
{
    DWORD type = 0;
    std::string data;
    if (!ReadUninstallValue(name, &type, &data) || type != REG_DWORD || data.size() != 4)
        return ~0u;
    return *(const DWORD *)data.data();
}

void CheckUninstallDetailsAt(const char *file, int line, const std::string &path,
                             const std::string &gameDir, DWORD kb)
{
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    snprintf(date, sizeof date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    CheckUninstallValueAt(file, line, "DisplayIcon", path);
    CheckUninstallValueAt(file, line, "Publisher", "ZV Developments");
    CheckUninstallValueAt(file, line, "DisplayVersion", ZV_VERSION);
    CheckUninstallValueAt(file, line, "InstallLocation", gameDir);
    CheckUninstallValueAt(file, line, "InstallDate", date);
    CheckUninstallValueAt(file, line, "QuietUninstallString", "\"" + path + "\" /S");
    CHECK_AT(file, line, UninstallNumber("EstimatedSize") == kb, "EstimatedSize %lu, want %lu",
             UninstallNumber("EstimatedSize"), kb);
    CHECK_AT(file, line, UninstallNumber("NoModify") == 1 && UninstallNumber("NoRepair") == 1,
             "NoModify %lu, NoRepair %lu", UninstallNumber("NoModify"),
             UninstallNumber("NoRepair"));
}

DWORD SizeKB(const std::vector<std::string> &files)
{
    unsigned long long bytes = 0;
    for (const std::string &name : files) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data))
            bytes += ((unsigned long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    }
    return (DWORD)((bytes + 1023) / 1024);
}

bool RunUninstallerWith(const std::string &dir, const std::string &arguments, DWORD *exitCode)
{
    std::string command = "\"" + dir + "\\" + kUninstallerFile + "\" " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, dir.c_str(), &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    return FinishProgram(process.hProcess, exitCode, 60000);
}
