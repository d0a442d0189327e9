// The new log is written under a name of its own in the game directory (the game loads
// nothing from there but its own files) and only then put in place, in one rename.
#include "log_file.h"

#include "../common/names.h"
#include "../common/read_file.h"
#include "../common/text.h"

FileCheck ReadOwnLog(const OwnDirectory *dir, char **text, size_t *length, DWORD *error)
{
    *text = NULL;
    *length = 0;
    HANDLE file;
    FileCheck check = OpenOwnFile(dir, kLogFile, GENERIC_READ, FILE_SHARE_READ, &file, error);
    if (check != FILE_CHECKED)
        return check;
    if (!ReadWholeFile(file, kMaxLogSize, text, length, error))
        check = FILE_FAILED;
    CloseHandle(file);
    return check;
}

bool ReplaceOwnLog(const OwnDirectory *dir, const TextBuffer *text, DWORD *error)
{
    char name[64], temporary[MAX_PATH], log[MAX_PATH];
    const char *separator = dir->path[lstrlenA(dir->path) - 1] == '\\' ? "" : "\\";
    if (!FormatText(name, sizeof name, "ZVFiles.%lu.tmp", GetCurrentProcessId()) ||
        !FormatText(temporary, sizeof temporary, "%s%s%s", dir->path, separator, name) ||
        !FormatText(log, sizeof log, "%s%s%s", dir->path, separator, kLogFile)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    HANDLE file;
    FileCheck check = CreateOwnFile(dir, name, GENERIC_WRITE, &file, error);
    if (check != FILE_CHECKED) {
        if (check != FILE_FAILED)
            *error = ERROR_ACCESS_DENIED;
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, text->data, (DWORD)text->length, &written, NULL) != 0;
    // A write cut short without an error has met a full disk.
    if (ok && written != text->length) {
        ok = false;
        SetLastError(ERROR_DISK_FULL);
    }
    ok = ok && FlushFileBuffers(file);
    if (!ok) {
        *error = GetLastError();
        DWORD ignored;
        RemoveOnClose(file, &ignored);
    }
    if (!CloseHandle(file) && ok) {
        ok = false;
        *error = GetLastError();
    }
    if (!ok)
        return false;
    if (MoveFileExA(temporary, log, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    *error = GetLastError();
    DWORD ignored;
    RemoveOwnFile(dir, name, &ignored);
    return false;
}
