// The new log is written under a name of its own in the game directory (the game loads
// nothing from there but its own files) and only then put in place, in one rename.
#include "log_file.h"

#include "../common/names.h"
#include "../common/path.h"
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

// The log's own name with '~' for its last letter, as the installer writes it: no longer
// than the log's name, so a log that fits the path limit can always be rewritten.
static const char kLogTemporary[] = "ZVFiles.lo~";

bool ReplaceOwnLog(const OwnDirectory *dir, const TextBuffer *text, DWORD *error)
{
    static_assert(sizeof kLogTemporary == sizeof kLogFile, "the same length as the log's name");
    char temporary[MAX_PATH], log[MAX_PATH];
    const char *separator = EndsWithSeparator(dir->path) ? "" : "\\";
    if (!FormatText(temporary, sizeof temporary, "%s%s%s", dir->path, separator, kLogTemporary) ||
        !FormatText(log, sizeof log, "%s%s%s", dir->path, separator, kLogFile)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    // A read-only log is left as it is, as the installer leaves it: its owner did not want it
    // changed, and Windows would refuse the rename over it in the end.
    DWORD attributes = GetFileAttributesA(log);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        *error = ERROR_ACCESS_DENIED;
        return false;
    }
    const char *name = kLogTemporary;
    // What a killed run left goes first, through its checked handle like any file of ours.
    DWORD ignored;
    RemoveOwnFile(dir, name, &ignored);
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
    RemoveOwnFile(dir, name, &ignored);
    return false;
}
