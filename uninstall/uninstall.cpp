// The uninstaller's steps, each reported and none stopping the next: read the log, remove the
// files it records for the package (only the licence text and the pack slots of this
// directory), write the log back without the package, drop the registry entry, and schedule
// the uninstaller's own file for removal when Windows next starts.
#include "uninstall.h"

#include "log_edit.h"
#include "package_path.h"
#include "../common/names.h"
#include "../common/path.h"
#include "../common/system_error.h"
#include "../common/text.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

// A log larger than this was not written by the installer, which adds a few lines per run.
static const DWORD kMaxLogSize = 16 * 1024 * 1024;

// The system's text for an error, without its closing line break and full stop: it stands
// after a colon in the report.
static void ErrorText(DWORD code, char *buffer, size_t size)
{
    SystemErrorText(code, buffer, size);
    size_t length = strlen(buffer);
    while (length && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' ||
                      buffer[length - 1] == ' ' || buffer[length - 1] == '.'))
        buffer[--length] = 0;
}

static void ReportError(Report *report, const char *what, DWORD code)
{
    char reason[256];
    ErrorText(code, reason, sizeof reason);
    ReportKept(report, what, reason);
}

// The whole log as a heap buffer; false with the error code when it cannot be read.
static bool ReadLog(const char *path, char **text, DWORD *length, DWORD *error)
{
    *text = NULL;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    bool ok = false;
    DWORD size = GetFileSize(file, NULL), got = 0;
    *error = ERROR_FILE_TOO_LARGE;
    if (size != INVALID_FILE_SIZE && size <= kMaxLogSize) {
        *text = (char *)malloc(size ? size : 1);
        *error = ERROR_NOT_ENOUGH_MEMORY;
        if (*text) {
            ok = ReadFile(file, *text, size, &got, NULL) && got == size;
            *error = ok ? 0 : GetLastError();
        }
    }
    CloseHandle(file);
    if (!ok) {
        free(*text);
        *text = NULL;
    }
    *length = got;
    return ok;
}

static bool WriteLog(const char *path, const TextBuffer *text, DWORD *error)
{
    // The file exists (it was just read), so truncating keeps its attributes and security.
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, NULL, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    DWORD written = 0;
    bool ok =
        WriteFile(file, text->data, (DWORD)text->length, &written, NULL) && written == text->length;
    *error = ok ? 0 : GetLastError();
    if (!CloseHandle(file) && ok) {
        ok = false;
        *error = GetLastError();
    }
    return ok;
}

static bool DeleteAnyFile(const char *path, DWORD *error)
{
    if (DeleteFileA(path))
        return true;
    *error = GetLastError();
    // A read-only copy (the package came from a CD or a locked-down folder) is still ours.
    DWORD attributes = GetFileAttributesA(path);
    if (*error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_READONLY) || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY) && DeleteFileA(path))
        return true;
    *error = GetLastError();
    SetFileAttributesA(path, attributes);
    return false;
}

// The recorded path with short names spelled out, when the file is there to ask.
static void LongForm(const char *path, char *out, size_t size)
{
    DWORD length = GetLongPathNameA(path, out, (DWORD)size);
    if (length == 0 || length >= size)
        FormatText(out, size, "%s", path);
}

static bool SeenBefore(char **files, int index, const char *path)
{
    for (int i = 0; i < index; i++)
        if (files[i] && lstrcmpiA(files[i], path) == 0)
            return true;
    return false;
}

// Removes the files the log records, each once. files[i] is replaced by the path as it was
// checked, so that a second record of the same file is known as the same.
static void RemoveFiles(const char *dir, char **files, int count, Report *report)
{
    for (int i = 0; i < count; i++) {
        char longPath[MAX_PATH], checked[MAX_PATH];
        LongForm(files[i], longPath, sizeof longPath);
        bool ours = IsPackageFile(dir, longPath, checked, sizeof checked);
        char *key = DupString(ours ? checked : files[i]);
        if (!key)
            continue;
        bool seen = SeenBefore(files, i, key);
        free(files[i]);
        files[i] = key;
        if (seen)
            continue;
        if (!ours) {
            ReportKept(report, key, "not a file of this package, so it was left alone");
            continue;
        }
        DWORD error = 0;
        if (DeleteAnyFile(checked, &error))
            ReportRemoved(report, checked);
        else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            ReportMissing(report, checked);
        else
            ReportError(report, checked, error);
    }
}

// The log's part: false when the log does not list the package, which then stays untouched.
static bool RemoveFromLog(const char *dir, Report *report)
{
    char *logPath = JoinPath(dir, kLogFile);
    if (!logPath) {
        ReportError(report, kLogFile, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    char *log = NULL;
    DWORD length = 0, error = 0;
    bool listed = false;
    TextBuffer note;
    InitTextBuffer(&note);
    if (!ReadLog(logPath, &log, &length, &error)) {
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            AppendString(&note, "There is no install log (ZVFiles.log) in ");
            AppendString(&note, dir);
            AppendString(&note, ", so no files were removed.");
        } else {
            ReportError(report, logPath, error);
            AppendString(&note, "The install log could not be read, so no files were removed.");
        }
    } else {
        LogEdit edit;
        if (!EditLog(log, length, kPackageName, &edit)) {
            ReportError(report, logPath, ERROR_NOT_ENOUGH_MEMORY);
            AppendString(&note, "The install log could not be read, so no files were removed.");
        } else if (!edit.listed) {
            AppendString(&note, logPath);
            AppendString(&note, " does not list ");
            AppendString(&note, kPackageName);
            AppendString(&note, ", so no files were removed and the log was left as it was.");
        } else {
            listed = true;
            AppendString(&note, "Removing ");
            AppendString(&note, kPackageName);
            AppendString(&note, " from ");
            AppendString(&note, dir);
            AppendString(&note, ".");
            RemoveFiles(dir, edit.files, edit.fileCount, report);
            if (edit.empty) {
                if (DeleteFileA(logPath))
                    ReportRemoved(report, "ZVFiles.log, which listed nothing else");
                else
                    ReportError(report, logPath, GetLastError());
            } else if (WriteLog(logPath, &edit.text, &error)) {
                ReportRemoved(report, "the package's entries in ZVFiles.log");
            } else {
                ReportError(report, "the package's entries in ZVFiles.log", error);
            }
        }
        FreeLogEdit(&edit);
        free(log);
    }
    if (note.data)
        ReportNote(report, note.data);
    FreeTextBuffer(&note);
    free(logPath);
    return listed;
}

// The uninstall entry's key below HKEY_LOCAL_MACHINE.
static void UninstallKey(char *key, size_t size)
{
    FormatText(key, size, "%s\\%s", kUninstallParentKey, kUninstallSubkey);
}

// The path the uninstall entry runs, without the quotes the installer puts around it; false
// when there is no entry or no such value.
static bool ReadUninstallString(char *path, DWORD size)
{
    char keyPath[128];
    UninstallKey(keyPath, sizeof keyPath);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != 0)
        return false;
    DWORD type = 0, bytes = size - 1;
    LONG result = RegQueryValueExA(key, "UninstallString", NULL, &type, (BYTE *)path, &bytes);
    RegCloseKey(key);
    if (result == ERROR_MORE_DATA) {
        FormatText(path, size, "%s", "(a path too long to be this uninstaller's)");
        return true;
    }
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    path[bytes < size ? bytes : size - 1] = 0;
    if (path[0] == '"') {
        char *end = strchr(path + 1, '"');
        if (end)
            *end = 0;
        memmove(path, path + 1, strlen(path + 1) + 1);
    }
    return true;
}

// An uninstaller started from anywhere else, such as the unpacked release folder, must not
// take away the entry of the installed copy: the entry is left alone when it names another
// uninstaller by its full path. A relative path cannot be told apart, so it counts as ours.
static bool EntryNamesOtherUninstaller(const char *self, char *other, DWORD otherSize)
{
    if (!ReadUninstallString(other, otherSize))
        return false;
    if (!IsAbsolutePath(other))
        return false;
    char ownLong[MAX_PATH], otherLong[MAX_PATH];
    DWORD n = GetLongPathNameA(self, ownLong, sizeof ownLong);
    if (n == 0 || n >= sizeof ownLong)
        FormatText(ownLong, sizeof ownLong, "%s", self);
    n = GetLongPathNameA(other, otherLong, sizeof otherLong);
    if (n == 0 || n >= sizeof otherLong)
        FormatText(otherLong, sizeof otherLong, "%s", other);
    return lstrcmpiA(ownLong, otherLong) != 0;
}

static void RemoveRegistryEntry(const char *self, Report *report)
{
    static const char what[] = "the entry \"ZV Models for Quake3\" in the list of programs";
    char other[MAX_PATH + 64];
    if (EntryNamesOtherUninstaller(self, other, sizeof other)) {
        char reason[MAX_PATH + 96];
        FormatText(reason, sizeof reason, "it belongs to the uninstaller %s", other);
        ReportKept(report, what, reason);
        return;
    }
    char keyPath[128];
    UninstallKey(keyPath, sizeof keyPath);
    LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath);
    if (result == ERROR_SUCCESS)
        ReportRemoved(report, what);
    else if (result == ERROR_FILE_NOT_FOUND)
        ReportMissing(report, what);
    else
        ReportError(report, what, (DWORD)result);
}

void RemovePackage(const char *dir, const char *self, Report *report)
{
    bool listed = RemoveFromLog(dir, report);
    RemoveRegistryEntry(self, report);
    if (!listed)
        return;
    // A running program cannot delete its own file; Windows does it at its next start.
    if (MoveFileExA(self, NULL, MOVEFILE_DELAY_UNTIL_REBOOT))
        ReportRemoved(report, "zvuninst.exe, when Windows next starts");
    else
        ReportError(report, self, GetLastError());
}
