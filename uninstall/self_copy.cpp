// The copy lives in a folder made for it (CreateDirectory fails on a name someone took first)
// and is the only thing ever scheduled for removal at restart: the installed uninstaller's
// path never is, so a reinstall before the restart keeps its new uninstaller.
#include "self_copy.h"

#include "copy_command.h"
#include "../common/names.h"
#include "../common/program_dir.h"
#include "../common/text.h"

#include <stdlib.h>
#include <string.h>

static const char kFolderPrefix[] = "zvuninst-";

// How long the copy waits for the uninstaller that started it, which ends right after.
static const DWORD kOriginalWaitMs = 30000;

// %TEMP% with its closing backslash; false with the error when it could not be had whole.
static bool TempFolder(char *temp, DWORD size, DWORD *error)
{
    DWORD length = GetTempPathA(size, temp);
    if (length == 0 || length >= size) {
        *error = length ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
        return false;
    }
    return true;
}

// A new folder under %TEMP%, named with the process id and a counter.
static bool MakeFolder(char *folder, size_t size, DWORD *error)
{
    char temp[MAX_PATH];
    if (!TempFolder(temp, sizeof temp, error))
        return false;
    DWORD seed = GetTickCount();
    for (int attempt = 0; attempt < 100; attempt++) {
        if (!FormatText(folder, size, "%s%s%lx-%lx", temp, kFolderPrefix, GetCurrentProcessId(),
                        seed + (DWORD)attempt)) {
            *error = ERROR_FILENAME_EXCED_RANGE;
            return false;
        }
        if (CreateDirectoryA(folder, NULL))
            return true;
        *error = GetLastError();
        if (*error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool StartTemporaryCopy(const char *dir, DWORD *error)
{
    char self[MAX_PATH], folder[MAX_PATH], copy[MAX_PATH], command[3 * MAX_PATH];
    if (!ProgramPath(self, sizeof self)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    if (!MakeFolder(folder, sizeof folder, error))
        return false;
    HANDLE original = NULL;
    bool started = false;
    if (!FormatText(copy, sizeof copy, "%s\\%s", folder, kUninstallerFile)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        goto done;
    }
    if (!CopyFileA(self, copy, TRUE)) {
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
    if (!FormatCopyCommand(copy, (unsigned long)(ULONG_PTR)original, dir, command,
                           sizeof command)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        goto done;
    }
    {
        STARTUPINFOA startup;
        memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        // The copy works from its own folder, so the game directory is not its current one.
        started =
            CreateProcessA(copy, command, NULL, NULL, TRUE, 0, NULL, folder, &startup, &process);
        if (started) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        } else {
            *error = GetLastError();
        }
    }
done:
    if (original)
        CloseHandle(original);
    if (!started) {
        DeleteFileA(copy);
        RemoveDirectoryA(folder);
    }
    return started;
}

typedef DWORD(WINAPI *GetProcessIdFn)(HANDLE);

bool WaitForOriginal(unsigned long value)
{
    HANDLE original = (HANDLE)(ULONG_PTR)value;
    DWORD code;
    // Only a process handle answers this; a forged number names nothing or something else.
    if (!GetExitCodeProcess(original, &code))
        return false;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    GetProcessIdFn processId =
        kernel ? (GetProcessIdFn)(void (*)())GetProcAddress(kernel, "GetProcessId") : NULL;
    if (processId && processId(original) == GetCurrentProcessId()) {
        CloseHandle(original);
        return false;
    }
    // A time-out goes on: the installed uninstaller's file then stays, and the box says so.
    bool ok = WaitForSingleObject(original, kOriginalWaitMs) != WAIT_FAILED;
    CloseHandle(original);
    return ok;
}

void ScheduleOwnRemoval()
{
    char self[MAX_PATH], temp[MAX_PATH];
    DWORD error;
    char *folder =
        ProgramPath(self, sizeof self) ? DirectoryOfPath(self, strlen(self), sizeof self) : NULL;
    if (folder && TempFolder(temp, sizeof temp, &error)) {
        size_t prefix = strlen(temp), name = strlen(kFolderPrefix);
        const char *file = strrchr(self, '\\') + 1;
        if (strlen(folder) > prefix + name && SameAsciiText(folder, temp, prefix) &&
            SameAsciiText(folder + prefix, kFolderPrefix, name) && !strchr(folder + prefix, '\\') &&
            EqualAsciiText(file, kUninstallerFile)) {
            // The file first: a folder is only removed once it is empty.
            MoveFileExA(self, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
            MoveFileExA(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
        }
    }
    free(folder);
}
