// The uninstaller's steps, each reported and none stopping the next: read the log, remove the
// files it records for the package (only the licence text and the pack slots of this
// directory, each through a checked handle), write the log back with only what stayed, and,
// when nothing stayed, remove the installed uninstaller and the registry entry.
#include "uninstall.h"

#include "package_path.h"
#include "../common/game_file.h"
#include "../common/log_edit.h"
#include "../common/log_file.h"
#include "../common/names.h"
#include "../common/package_size.h"
#include "../common/path.h"
#include "../common/system_error.h"
#include "../common/text.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

static const char kEntry[] = "the entry \"ZV Models for Quake3\" in the list of programs";

// The system's text for an error, without its closing line break and full stop: it stands
// after a colon in the report. A file in use gets words of its own, since that is the common
// case and the system's text does not say what to do.
static void ErrorText(DWORD code, char *buffer, size_t size)
{
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
        FormatText(buffer, size, "another program has it open (is the game running?)");
        return;
    }
    if (code == ERROR_FILE_TOO_LARGE) {
        FormatText(buffer, size, "it is larger than the installer ever writes it");
        return;
    }
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
    ReportNotRemoved(report, what, reason);
}

// Why a file was left alone, in plain words, for a check other than FILE_CHECKED and
// FILE_FAILED.
static const char *FileCheckReason(FileCheck check)
{
    switch (check) {
    case FILE_LINK: return "it or its folder is a link to another place, so it was left alone";
    case FILE_ELSEWHERE: return "it leads outside the game directory, so it was left alone";
    case FILE_FOLDER: return "a folder of that name stands there, so it was left alone";
    case FILE_UNCHECKED:
        return "this version of Windows cannot confirm where it lies, so it was left alone";
    default: return "it could not be removed";
    }
}

// Reports why a check or a removal left a file in place.
static void ReportCheck(Report *report, const char *what, FileCheck check, DWORD error)
{
    if (check == FILE_FAILED)
        ReportError(report, what, error);
    else
        ReportNotRemoved(report, what, FileCheckReason(check));
}

// The package's entries that stay in the log: files that could not be removed (full paths
// of our own making) and entries that could not be tied to this directory (as the log has
// them).
struct StillListed {
    Slice *entries;
    size_t count, capacity;
    char *unremoved[kPackageFileCount];
    size_t unremovedCount;
    bool failed;
};

static void AddStillListed(StillListed *listed, const char *text, size_t length)
{
    if (listed->count == listed->capacity) {
        size_t grown = listed->capacity ? listed->capacity * 2 : 16;
        Slice *more = (Slice *)realloc(listed->entries, grown * sizeof *more);
        if (!more) {
            listed->failed = true;
            return;
        }
        listed->entries = more;
        listed->capacity = grown;
    }
    listed->entries[listed->count].text = text;
    listed->entries[listed->count++].length = length;
}

static void FreeStillListed(StillListed *listed)
{
    for (size_t i = 0; i < listed->unremovedCount; i++)
        free(listed->unremoved[i]);
    free(listed->entries);
    memset(listed, 0, sizeof *listed);
}

// A hostile log may name thousands of directories; only this many are looked up, the rest
// stay listed as not tied to this one.
const int kDirectoryLookups = 16;

// Which recorded directories are this one: its own spelling, and the answers of the look-ups
// made so far.
struct Directories {
    const GameDir *own;
    char ownText[MAX_PATH];
    char texts[kDirectoryLookups][MAX_PATH];
    bool same[kDirectoryLookups];
    int count;
};

static void InitDirectories(Directories *dirs, const GameDir *own)
{
    dirs->own = own;
    dirs->count = 0;
    // With a separator after it, a share's root "\\\\server\\share" reads as one.
    char *spelt = JoinPath(own->path, "");
    if (!spelt || !FormatText(dirs->ownText, sizeof dirs->ownText, "%s", spelt) ||
        !NormalisePath(dirs->ownText, CP_ACP))
        dirs->ownText[0] = 0;
    free(spelt);
}

// The directory is this one: spelt the same, or the same directory by identity. A network
// path is never opened: an elevated program would hand its credentials to any server a log
// names.
static bool IsOwnDirectory(Directories *dirs, const char *dir)
{
    if (SamePathText(dir, dirs->ownText, CP_ACP))
        return true;
    for (int i = 0; i < dirs->count; i++)
        if (SamePathText(dir, dirs->texts[i], CP_ACP))
            return dirs->same[i];
    if (dirs->count == kDirectoryLookups)
        return false;
    bool same = IsSameDirectory(dirs->own, dir);
    if (FormatText(dirs->texts[dirs->count], MAX_PATH, "%s", dir))
        dirs->same[dirs->count++] = same;
    return same;
}

// The package file a recorded value names inside this directory, -1 when it names no file of
// the package (the entry goes), or -2 when it names one in a directory that could not be tied
// to this one (the entry stays).
static int FileOfValue(Directories *dirs, const Slice &value, char *text, size_t size)
{
    FormatText(text, size, "%.*s", (int)value.length, value.text);
    if (value.length >= size)
        return -1;
    char split[1024];
    size_t dirLength;
    FormatText(split, sizeof split, "%s", text);
    int number = SplitPackagePath(split, &dirLength, CP_ACP);
    if (number < 0)
        return -1;
    split[dirLength] = 0;
    return IsOwnDirectory(dirs, split) ? number : -2;
}

// The files the log records in this directory, once each, in the order first recorded; the
// entries it cannot tie to this directory stay listed. False when memory ran out.
static int GatherFiles(const GameDir *own, const PackageFiles *found, Report *report,
                       StillListed *listed, int *order)
{
    Directories *dirs = (Directories *)malloc(sizeof *dirs);
    if (!dirs)
        return -1;
    InitDirectories(dirs, own);
    bool seen[kPackageFileCount] = {};
    int count = 0;
    for (size_t i = 0; i < found->count; i++) {
        char text[1024];
        int number = FileOfValue(dirs, found->files[i], text, sizeof text);
        if (number == -1) {
            ReportNotRemoved(report, text, "not a file of this package, so it was left alone");
        } else if (number == -2) {
            ReportNotRemoved(report, text,
                             "not confirmed to be in this directory, so it stays listed");
            AddStillListed(listed, found->files[i].text, found->files[i].length);
        } else if (!seen[number]) {
            seen[number] = true;
            order[count++] = number;
        }
    }
    free(dirs);
    return listed->failed ? -1 : count;
}

// Removes each package file the log records in this directory. Only the recorded text's
// meaning is used: the path removed is the directory joined with the file's own name.
static bool RemoveFiles(const GameDir *own, const PackageFiles *found, Report *report,
                        StillListed *listed)
{
    int order[kPackageFileCount];
    int count = GatherFiles(own, found, report, listed, order);
    for (int i = 0; i < count; i++) {
        char name[32];
        PackageFileName(order[i], name, sizeof name);
        char *path = JoinPath(own->path, name);
        if (!path)
            return false;
        DWORD error = 0;
        FileCheck check = RemoveGameFile(own, name, &error);
        if (check == FILE_CHECKED) {
            ReportRemoved(report, path);
        } else if (check == FILE_MISSING) {
            ReportMissing(report, path);
        } else {
            ReportCheck(report, path, check, error);
            listed->unremoved[listed->unremovedCount++] = path;
            AddStillListed(listed, path, strlen(path));
            continue;
        }
        free(path);
    }
    return count >= 0 && !listed->failed;
}

// Writes the log back without the package, or with only the files that stayed; an emptied
// log goes. False when the log stays as it was.
static bool EditOwnLog(const GameDir *own, const char *log, size_t length,
                       const StillListed *listed, Report *report)
{
    static const char entries[] = "the package's entries in ZVFiles.log";
    TextBuffer text;
    InitTextBuffer(&text);
    bool ok = false;
    DWORD error = 0;
    if (!EditLog(log, length, kPackageName, listed->entries, listed->count, &text)) {
        ReportError(report, entries, ERROR_NOT_ENOUGH_MEMORY);
    } else if (IsBlankText(text.data, text.length)) {
        FileCheck check = RemoveGameLog(own, &error);
        ok = check == FILE_CHECKED || check == FILE_MISSING;
        if (ok)
            ReportRemoved(report, "ZVFiles.log, which listed nothing else");
        else
            ReportCheck(report, "ZVFiles.log", check, error);
    } else if (ReplaceGameLog(own, text.data, text.length, &error)) {
        ok = true;
        ReportRemoved(report,
                      listed->count ? "the entries in ZVFiles.log of the files removed" : entries);
    } else {
        ReportError(report, entries, error);
    }
    if (!ok)
        ReportNote(report, "ZVFiles.log could not be written, so it was left exactly as it was.");
    FreeTextBuffer(&text);
    return ok;
}

// Everything that stays because something of the package stays, or cannot be known.
static void LeaveTheRest(const char *dir, Report *report, const char *reason)
{
    char *uninstaller = JoinPath(dir, kUninstallerFile);
    ReportNotRemoved(report, kEntry, reason);
    ReportNotRemoved(report, uninstaller ? uninstaller : kUninstallerFile, reason);
    free(uninstaller);
}

// The log could not be read: nothing is removed, and everything stays for a later run.
static void ReportUnread(const char *dir, Report *report)
{
    ReportStays(report, OUTCOME_LOG_KEPT);
    ReportNote(report, "The install log could not be read, so nothing was removed: the "
                       "package's files, the uninstaller and its entry in the list of "
                       "programs all stay.");
    LeaveTheRest(dir, report, "the install log could not be read");
}

// The uninstall entry's key below HKEY_LOCAL_MACHINE.
static void UninstallKey(char *key, size_t size)
{
    FormatText(key, size, "%s\\%s", kUninstallParentKey, kUninstallSubkey);
}

// The path the uninstall entry runs, without the quotes the installer puts around it:
// ERROR_SUCCESS; ERROR_MORE_DATA, with a placeholder for the report, when it is too long to be
// any path; otherwise the entry or a text value is missing.
static LONG ReadUninstallString(char *path, DWORD size)
{
    char keyPath[128];
    UninstallKey(keyPath, sizeof keyPath);
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD type = 0, bytes = size - 1;
    result = RegQueryValueExA(key, "UninstallString", NULL, &type, (BYTE *)path, &bytes);
    RegCloseKey(key);
    if (result == ERROR_MORE_DATA) {
        FormatText(path, size, "%s", "(a path too long to be this uninstaller's)");
        return result;
    }
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return ERROR_INVALID_DATA;
    path[bytes < size ? bytes : size - 1] = 0;
    if (path[0] == '"') {
        char *end = strchr(path + 1, '"');
        if (end)
            *end = 0;
        memmove(path, path + 1, strlen(path + 1) + 1);
    }
    return ERROR_SUCCESS;
}

// The path spelt one way only: plain, full, without "." or doubled separators, and with its
// directory's long names. Only a local directory is looked up: the entry may name any server.
// Falls back to the path as given.
static void CanonicalPath(const char *path, char *out, DWORD size)
{
    char plain[MAX_PATH], full[MAX_PATH], dir[MAX_PATH];
    char *name = NULL;
    FormatText(plain, sizeof plain, "%s", path);
    PlainPath(plain);
    DWORD n = GetFullPathNameA(plain, sizeof full, full, &name);
    if (n == 0 || n >= sizeof full || !name || name - full < 3) {
        FormatText(out, size, "%s", plain);
        return;
    }
    // "X:\" keeps its separator; any longer directory loses the one before the name.
    size_t dirLength = (size_t)(name - full) > 3 ? (size_t)(name - full) - 1 : 3;
    FormatText(dir, sizeof dir, "%.*s", (int)dirLength, full);
    char longDir[MAX_PATH];
    n = full[0] == '\\' ? 0 : GetLongPathNameA(dir, longDir, sizeof longDir);
    const char *base = n == 0 || n >= sizeof longDir ? dir : longDir;
    FormatText(out, size, "%s%s%s", base, dirLength == 3 ? "" : "\\", name);
}

// Whose the uninstall entry is. It is judged before anything is removed: the entry may name
// this same uninstaller by another spelling (another drive letter for the same folder), which
// only its file can tell.
struct EntryOwner {
    bool other;
    char path[MAX_PATH + 64]; // what the entry runs, for the report
};

// An uninstaller started from anywhere else, such as the unpacked release folder, must not
// take away the entry of the installed copy: the entry is left alone when it names another
// file than self, or a path too long to be ours. A relative path cannot be told apart, so it
// counts as ours; a network path is never opened, and counts by its spelling alone.
static void JudgeEntry(const char *self, EntryOwner *owner)
{
    owner->path[0] = 0;
    LONG read = ReadUninstallString(owner->path, sizeof owner->path);
    owner->other = read == ERROR_MORE_DATA;
    if (read != ERROR_SUCCESS || !IsAbsolutePath(owner->path) || IsSameFile(self, owner->path))
        return;
    char ownPath[MAX_PATH], otherPath[MAX_PATH];
    CanonicalPath(self, ownPath, sizeof ownPath);
    CanonicalPath(owner->path, otherPath, sizeof otherPath);
    owner->other = lstrcmpiA(ownPath, otherPath) != 0;
}

// Removes the entry when it is ours; true when no entry of ours stays.
static bool RemoveRegistryEntry(const EntryOwner *owner, Report *report)
{
    const char *what = kEntry;
    if (owner->other) {
        char reason[MAX_PATH + 96];
        FormatText(reason, sizeof reason, "it belongs to the uninstaller %s", owner->path);
        ReportNotRemoved(report, what, reason);
        ReportStays(report, OUTCOME_OTHER_ENTRY);
        return true;
    }
    char keyPath[128];
    UninstallKey(keyPath, sizeof keyPath);
    LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath);
    if (result == ERROR_SUCCESS)
        ReportRemoved(report, what);
    else if (result == ERROR_FILE_NOT_FOUND)
        ReportMissing(report, what);
    else {
        ReportError(report, what, (DWORD)result);
        ReportStays(report, OUTCOME_FILE_KEPT);
    }
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

// Removes what a killed installer, or a killed uninstaller's log rewrite, left at a temporary
// name. A name where nothing stands is not reported.
static void RemoveLeftover(const GameDir *own, const char *name, Report *report)
{
    char *path = JoinPath(own->path, name);
    if (!path)
        return;
    DWORD error = 0;
    FileCheck check = RemoveGameFile(own, name, &error);
    if (check == FILE_CHECKED)
        ReportRemoved(report, path);
    else if (check != FILE_MISSING && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        ReportCheck(report, path, check, error);
    free(path);
}

static void RemoveLeftovers(const GameDir *own, Report *report)
{
    static const char *const temporaries[] = {kLicenceTemporary, kUninstallerTemporary,
                                              kPackTemporary, kLogTemporary};
    for (const char *temporary : temporaries) {
        // The name itself, then with each digit for its last character, as the programs pick
        // them when something else stands at the name.
        char name[32];
        FormatText(name, sizeof name, "%s", temporary);
        size_t last = strlen(name) - 1;
        for (char digit = '0' - 1; digit <= '9'; digit++) {
            if (digit >= '0')
                name[last] = digit;
            RemoveLeftover(own, name, report);
        }
    }
}

static void RemoveUninstaller(const GameDir *own, Report *report)
{
    char *path = JoinPath(own->path, kUninstallerFile);
    const char *what = path ? path : kUninstallerFile;
    DWORD error = 0;
    FileCheck check = RemoveGameFile(own, kUninstallerFile, &error);
    if (check == FILE_CHECKED)
        ReportRemoved(report, what);
    else if (check == FILE_MISSING)
        ReportMissing(report, what);
    else {
        ReportCheck(report, what, check, error);
        ReportStays(report, OUTCOME_FILE_KEPT);
    }
    free(path);
}

// The entry that stays with what is left of the package shows that size; another
// uninstaller's entry is not ours to change.
static void RewriteEstimatedSize(const GameDir *own, const EntryOwner *owner)
{
    if (owner->other)
        return;
    char *log = NULL;
    size_t length = 0;
    DWORD error;
    ReadGameLog(own, &log, &length, &error);
    WriteEstimatedSize(PackageSizeKB(own, log, length));
    free(log);
}

// The step for a listed package: its files, then its entries in the log. True when the
// package is gone from disk and log; otherwise why the rest stays.
static bool RemoveListed(const GameDir *own, const char *log, size_t length,
                         const PackageFiles *found, Report *report, const char **why)
{
    StillListed listed;
    memset(&listed, 0, sizeof listed);
    bool removed = RemoveFiles(own, found, report, &listed);
    bool edited = removed && EditOwnLog(own, log, length, &listed, report);
    if (!removed)
        ReportError(report, "the package's files", ERROR_NOT_ENOUGH_MEMORY);
    bool gone = edited && listed.count == 0;
    *why = listed.count || !removed ? "files of the package remain"
                                    : "the install log could not be updated";
    if (!gone)
        ReportStays(report, listed.count || !removed ? OUTCOME_FILE_KEPT : OUTCOME_LOG_KEPT);
    if (listed.unremovedCount) {
        ReportNote(report, "Some files of the package could not be removed. ZVFiles.log still "
                           "lists them, and the uninstaller and its entry in the list of "
                           "programs stay, so that running it again removes them once the "
                           "reason given below is gone.");
    }
    if (listed.count > listed.unremovedCount) {
        ReportNote(report, "Files recorded in a directory not confirmed to be this one stay "
                           "listed, and so do the uninstaller and its entry in the list of "
                           "programs.");
    }
    FreeStillListed(&listed);
    return gone;
}

// A sentence of up to five pieces for the report; fallback when memory runs out.
static void ReportSentence(Report *report, const char *fallback, const char *a, const char *b,
                           const char *c, const char *d = "", const char *e = "")
{
    TextBuffer note;
    InitTextBuffer(&note);
    const char *pieces[] = {a, b, c, d, e};
    for (const char *piece : pieces)
        AppendString(&note, piece);
    ReportNote(report, note.failed ? fallback : note.data);
    FreeTextBuffer(&note);
}

// The step for a log that lists the package: its files and its entries in the log, then,
// once nothing of it remains, the uninstall entry and the installed uninstaller, in this
// order, so that an entry never stays naming an uninstaller that is gone.
static void RemoveWholePackage(const GameDir *own, const char *dir, const char *self,
                               const char *log, size_t length, const PackageFiles *found,
                               const EntryOwner *owner, Report *report)
{
    ReportSentence(report, "Removing the package.", "Removing ", kPackageName, " from ", dir, ".");
    if (!own->checkable)
        ReportNote(report, "This version of Windows cannot confirm where a file lies, so no "
                           "file was removed.");
    // Before the log is rewritten: the rewrite's own temporary then never meets the sweep.
    RemoveLeftovers(own, report);
    const char *why = NULL;
    if (!RemoveListed(own, log, length, found, report, &why)) {
        LeaveTheRest(dir, report, why);
        RewriteEstimatedSize(own, owner);
        return;
    }
    if (!RemoveRegistryEntry(owner, report)) {
        ReportNotRemoved(report, self, "its entry in the list of programs stays");
        return;
    }
    // A quiet run's starter runs from the installed uninstaller: it ends here, with the outcome
    // of everything else, so that its file can go.
    if (report->beforeUninstaller)
        report->beforeUninstaller(report);
    RemoveUninstaller(own, report);
}

// Everything from reading the log on, while this program holds the log's lock.
static void RemoveLocked(const GameDir *own, const char *dir, Report *report)
{
    char *self = JoinPath(dir, kUninstallerFile);
    char *logPath = JoinPath(dir, kLogFile);
    DWORD error = 0;
    char *log = NULL;
    size_t length = 0;
    PackageFiles found = {false, NULL, 0};
    EntryOwner owner;
    FileCheck check = FILE_FAILED;
    if (!self || !logPath) {
        ReportNote(report, "The uninstaller ran out of memory, so nothing was removed.");
        ReportStays(report, OUTCOME_FAILED);
        goto done;
    }
    JudgeEntry(self, &owner);
    check = ReadGameLog(own, &log, &length, &error);
    if (check == FILE_CHECKED && !FindPackageFiles(log, length, kPackageName, &found)) {
        ReportError(report, logPath, ERROR_NOT_ENOUGH_MEMORY);
        ReportUnread(dir, report);
    } else if (check == FILE_CHECKED && found.listed) {
        RemoveWholePackage(own, dir, self, log, length, &found, &owner, report);
    } else if (check == FILE_CHECKED || check == FILE_MISSING) {
        if (check == FILE_MISSING)
            ReportSentence(report, "There is no install log.",
                           "There is no install log (ZVFiles.log) in ", dir,
                           ", so no files were removed.");
        else
            ReportSentence(report, "The install log does not list the package.", logPath,
                           " does not list ", kPackageName,
                           ", so no files were removed and the log was left as it was.");
        RemoveLeftovers(own, report);
        RemoveRegistryEntry(&owner, report);
    } else {
        ReportCheck(report, logPath, check, error);
        ReportUnread(dir, report);
    }
done:
    FreePackageFiles(&found);
    free(log);
    free(logPath);
    free(self);
}

void RemovePackage(const char *dir, Report *report)
{
    GameDir own;
    DWORD error = 0;
    if (!OpenGameDir(dir, &own, &error)) {
        ReportError(report, dir, error);
        ReportNote(report, "The game directory could not be opened, so nothing was removed.");
        ReportStays(report, OUTCOME_FAILED);
        return;
    }
    // Held from reading the log to writing it back: an installer appending in between would
    // otherwise lose its entries.
    HANDLE lock = LockGameLog(&own, kLogLockWait);
    if (!lock) {
        // Another installation or uninstall is at work here: nothing is touched, and the box
        // says only that.
        char busy[MAX_PATH + sizeof kBusyText];
        FormatText(busy, sizeof busy, kBusyText, dir);
        ReportOnly(report, busy);
        ReportStays(report, OUTCOME_BUSY);
        return;
    }
    RemoveLocked(&own, dir, report);
    UnlockGameLog(lock);
}
