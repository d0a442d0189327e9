// The new log is written under a name of its own in the game directory (the game loads
// nothing from there but its own files) and only then put in place, in one rename through
// the handle that wrote it. The lock is a named mutex for the directory's identity, so any
// spelling of the directory finds the same lock, and the system frees it when its owner dies.
#include "log_file.h"

#include "names.h"
#include "read_file.h"
#include "text.h"

// The log's temporary is no longer than the log's name, so a log that fits the path limit can
// always be rewritten.
static_assert(sizeof kLogTemporary == sizeof kLogFile, "the same length as the log's name");

FileCheck ReadGameLog(const GameDir *dir, char **text, size_t *length, DWORD *error)
{
    *text = NULL;
    *length = 0;
    HANDLE file;
    FileCheck check = OpenGameFile(dir, kLogFile, GENERIC_READ, FILE_SHARE_READ, &file, error);
    if (check != FILE_CHECKED)
        return check;
    if (!ReadWholeFile(file, kMaxLogSize, text, length, error))
        check = FILE_FAILED;
    CloseHandle(file);
    return check;
}

// The log as it stands may be replaced: missing, or a plain file of ours that is not
// read-only (its owner did not want it changed, and Windows would refuse the rename).
static bool MayReplace(const GameDir *dir, DWORD *error)
{
    HANDLE file;
    FileCheck check = OpenGameFile(dir, kLogFile, FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, &file, error);
    if (check == FILE_MISSING)
        return true;
    if (check != FILE_CHECKED) {
        if (check != FILE_FAILED)
            *error = ERROR_ACCESS_DENIED;
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    bool writable = GetFileInformationByHandle(file, &info) &&
                    !(info.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
    CloseHandle(file);
    if (!writable)
        *error = ERROR_ACCESS_DENIED;
    return writable;
}

bool ReplaceGameLog(const GameDir *dir, const char *text, size_t length, DWORD *error)
{
    if (!MayReplace(dir, error))
        return false;
    HANDLE file;
    FileCheck check = CreateTemporary(dir, kLogTemporary, &file, error);
    if (check != FILE_CHECKED) {
        if (check != FILE_FAILED)
            *error = ERROR_ACCESS_DENIED;
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(file, text, (DWORD)length, &written, NULL) != 0;
    // A write cut short without an error has met a full disk.
    if (ok && written != length) {
        ok = false;
        SetLastError(ERROR_DISK_FULL);
    }
    ok = ok && FlushFileBuffers(file);
    if (!ok)
        *error = GetLastError();
    ok = ok && RenameGameFile(file, dir, kLogFile, true, error);
    DWORD ignored;
    if (!ok)
        RemoveOnClose(file, &ignored);
    if (!CloseHandle(file) && ok) {
        ok = false;
        *error = GetLastError();
    }
    return ok;
}

FileCheck RemoveGameLog(const GameDir *dir, DWORD *error)
{
    if (!MayReplace(dir, error))
        return FILE_FAILED;
    return RemoveGameFile(dir, kLogFile, error);
}

HANDLE LockGameLog(const GameDir *dir, DWORD wait)
{
    char name[64];
    FormatText(name, sizeof name, "Global\\ZVFilesLog-%08lX-%08lX%08lX", dir->volume,
               dir->indexHigh, dir->indexLow);
    HANDLE lock = CreateMutexA(NULL, FALSE, name);
    // Without the right to make global names, the session's own namespace still keeps two
    // programs of this session apart.
    if (!lock)
        lock = CreateMutexA(NULL, FALSE, name + 7);
    if (!lock)
        return NULL;
    DWORD waited = WaitForSingleObject(lock, wait);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        return lock;
    CloseHandle(lock);
    return NULL;
}

void UnlockGameLog(HANDLE lock)
{
    if (!lock)
        return;
    ReleaseMutex(lock);
    CloseHandle(lock);
}
