// The copy lives in a folder made for it (CreateDirectory fails on a name someone took first)
// and is the only thing ever scheduled for removal at restart: the installed uninstaller's
// path never is, so a reinstall before the restart keeps its new uninstaller. Only the game
// directory travels as ANSI text, as the installer recorded it; %TEMP% and the copy's path do
// not, since the ANSI calls give question marks for a name outside the code page.
#include "self_copy.h"

#include "copy_command.h"
#include "../common/names.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static const WCHAR kFolderPrefix[] = L"zvuninst-";

// How long the copy waits for the uninstaller that started it, which ends right after.
static const DWORD kOriginalWaitMs = 30000;

static bool FormatWide(WCHAR *out, size_t count, const WCHAR *format, ...)
{
    va_list args;
    va_start(args, format);
    int written = _vsnwprintf(out, count, format, args);
    va_end(args);
    if (written >= 0 && (size_t)written < count)
        return true;
    out[0] = 0;
    return false;
}

// %TEMP% with its closing backslash; false with the error when it could not be had whole.
static bool TempFolder(WCHAR *temp, DWORD count, DWORD *error)
{
    DWORD length = GetTempPathW(count, temp);
    if (length == 0 || length >= count) {
        *error = length ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
        return false;
    }
    return true;
}

// The running program's full path; false with the error when it could not be had whole. As
// ProgramPath (common/program_dir.h) does, a share's device spelling ("\\\\?\\UNC\\..." or
// Wine's "UNC\\...") becomes "\\\\server\\share\\...", the spelling every other call takes.
static bool OwnPath(WCHAR *path, DWORD count, DWORD *error)
{
    DWORD length = GetModuleFileNameW(NULL, path, count);
    if (length == 0 || length >= count) {
        *error = length ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
        return false;
    }
    size_t device = wcsncmp(path, L"\\\\?\\UNC\\", 8) == 0 ? 8
                    : wcsncmp(path, L"UNC\\", 4) == 0      ? 4
                                                           : 0;
    if (!device)
        return true;
    WCHAR share[MAX_PATH];
    if (!FormatWide(share, MAX_PATH, L"\\\\%s", path + device) ||
        !FormatWide(path, count, L"%s", share)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    return true;
}

// A new folder under %TEMP%, named with the process id and a counter.
static bool MakeFolder(WCHAR *folder, size_t count, DWORD *error)
{
    WCHAR temp[MAX_PATH];
    if (!TempFolder(temp, MAX_PATH, error))
        return false;
    DWORD seed = GetTickCount();
    for (int attempt = 0; attempt < 100; attempt++) {
        if (!FormatWide(folder, count, L"%s%s%lx-%lx", temp, kFolderPrefix, GetCurrentProcessId(),
                        seed + (DWORD)attempt)) {
            *error = ERROR_FILENAME_EXCED_RANGE;
            return false;
        }
        if (CreateDirectoryW(folder, NULL))
            return true;
        *error = GetLastError();
        if (*error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

// The copy's path in folder, under the uninstaller's own name.
static bool CopyPath(const WCHAR *folder, WCHAR *copy, size_t count)
{
    WCHAR name[32];
    return MultiByteToWideChar(CP_ACP, 0, kUninstallerFile, -1, name, 32) > 0 &&
           FormatWide(copy, count, L"%s\\%s", folder, name);
}

// Starts the copy from its own folder, so the game directory is not its current one.
static bool Launch(const WCHAR *copy, const WCHAR *folder, HANDLE original, HANDLE outcome,
                   const char *dir, DWORD *error)
{
    char arguments[MAX_PATH + 64];
    WCHAR wideArguments[MAX_PATH + 64], command[2 * MAX_PATH + 72];
    if (!FormatCopyArguments((unsigned long)(ULONG_PTR)original, (unsigned long)(ULONG_PTR)outcome,
                             dir, arguments, sizeof arguments) ||
        !MultiByteToWideChar(CP_ACP, 0, arguments, -1, wideArguments, MAX_PATH + 64) ||
        !FormatWide(command, 2 * MAX_PATH + 72, L"\"%s\" %s", copy, wideArguments)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started;
    if (!CreateProcessW(copy, command, NULL, NULL, TRUE, 0, NULL, folder, &startup, &started)) {
        *error = GetLastError();
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

// The pipe a quiet copy tells its outcome through: only the write end is inherited.
static bool OpenOutcomePipe(HANDLE *read, HANDLE *write, DWORD *error)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    if (!CreatePipe(read, write, &inherit, 0)) {
        *error = GetLastError();
        *read = *write = NULL;
        return false;
    }
    SetHandleInformation(*read, HANDLE_FLAG_INHERIT, 0);
    return true;
}

bool StartTemporaryCopy(const char *dir, HANDLE *outcome, DWORD *error)
{
    WCHAR self[MAX_PATH], folder[MAX_PATH], copy[MAX_PATH] = L"";
    if (!OwnPath(self, MAX_PATH, error) || !MakeFolder(folder, MAX_PATH, error))
        return false;
    HANDLE original = NULL, read = NULL, write = NULL;
    bool started = false;
    if (!CopyPath(folder, copy, MAX_PATH)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        goto done;
    }
    if (!CopyFileW(self, copy, TRUE)) {
        *error = GetLastError();
        goto done;
    }
    // The handle is the copy's proof that this uninstaller started it, and what it waits on.
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &original,
                         SYNCHRONIZE | PROCESS_QUERY_INFORMATION, TRUE, 0)) {
        *error = GetLastError();
        original = NULL;
        goto done;
    }
    if (outcome && !OpenOutcomePipe(&read, &write, error))
        goto done;
    started = Launch(copy, folder, original, write, dir, error);
done:
    if (original)
        CloseHandle(original);
    if (write)
        CloseHandle(write);
    if (started && outcome)
        *outcome = read;
    else if (read)
        CloseHandle(read);
    if (!started) {
        DeleteFileW(copy);
        RemoveDirectoryW(folder);
    }
    return started;
}

bool WaitForCopy(HANDLE outcome, DWORD *code)
{
    DWORD read = 0;
    // The read ends when the copy writes, or when it ends and its end of the pipe closes.
    bool told = ReadFile(outcome, code, sizeof *code, &read, NULL) && read == sizeof *code;
    CloseHandle(outcome);
    return told;
}

typedef DWORD(WINAPI *GetProcessIdFn)(HANDLE);

HANDLE OriginalProcess(unsigned long value)
{
    HANDLE original = (HANDLE)(ULONG_PTR)value;
    DWORD code;
    // Only a process handle answers this; a forged number names nothing or something else.
    if (!GetExitCodeProcess(original, &code))
        return NULL;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    GetProcessIdFn processId =
        kernel ? (GetProcessIdFn)(void (*)())GetProcAddress(kernel, "GetProcessId") : NULL;
    if (processId && processId(original) == GetCurrentProcessId()) {
        CloseHandle(original);
        return NULL;
    }
    return original;
}

void WaitForOriginal(HANDLE original)
{
    // A time-out goes on: the installed uninstaller's file then stays, and the box says so.
    WaitForSingleObject(original, kOriginalWaitMs);
    CloseHandle(original);
}

// The program at path is a copy of ours: the uninstaller's name, in a folder of our own
// making right under temp.
static bool IsOwnTemporaryCopy(const WCHAR *path, const WCHAR *temp)
{
    size_t prefix = wcslen(temp), name = wcslen(kFolderPrefix);
    const WCHAR *file = wcsrchr(path, L'\\');
    WCHAR uninstaller[32];
    return file && (size_t)(file - path) > prefix + name &&
           MultiByteToWideChar(CP_ACP, 0, kUninstallerFile, -1, uninstaller, 32) &&
           _wcsnicmp(path, temp, prefix) == 0 &&
           _wcsnicmp(path + prefix, kFolderPrefix, name) == 0 &&
           wcschr(path + prefix, L'\\') == file && _wcsicmp(file + 1, uninstaller) == 0;
}

void ScheduleOwnRemoval()
{
    WCHAR self[MAX_PATH], temp[MAX_PATH], folder[MAX_PATH];
    DWORD error;
    if (!OwnPath(self, MAX_PATH, &error) || !TempFolder(temp, MAX_PATH, &error) ||
        !IsOwnTemporaryCopy(self, temp))
        return;
    FormatWide(folder, MAX_PATH, L"%.*s", (int)(wcsrchr(self, L'\\') - self), self);
    // The file first: a folder is only removed once it is empty.
    MoveFileExW(self, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}
