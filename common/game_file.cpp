// GetFinalPathNameByHandleA, SetFileInformationByHandle and GetFileInformationByHandleEx came
// with Windows Vista, so they are looked up at run time; where they are missing no game file
// is touched, since none can be checked. Under Wine a link to a directory shows
// FILE_ATTRIBUTE_REPARSE_POINT only by its name, and a link to a file not at all, so the
// name's attributes, the handle's and its final path are all asked.
#include "game_file.h"

#include "path.h"
#include "text.h"

#include <stdlib.h>
#include <string.h>

typedef DWORD(WINAPI *FinalPathFn)(HANDLE, LPSTR, DWORD, DWORD);
typedef BOOL(WINAPI *SetInformationFn)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
typedef BOOL(WINAPI *GetInformationFn)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);

static FinalPathFn s_finalPath;
static SetInformationFn s_setInformation;
static GetInformationFn s_getInformation;

// An antivirus or an indexer often opens a file just written: a step that meets it is tried
// again for up to two seconds.
static const int kSharingRetries = 40;
static const DWORD kSharingPause = 50;

static bool FindCalls()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel && !s_finalPath) {
        s_finalPath = (FinalPathFn)(void (*)())GetProcAddress(kernel, "GetFinalPathNameByHandleA");
        s_setInformation =
            (SetInformationFn)(void (*)())GetProcAddress(kernel, "SetFileInformationByHandle");
        s_getInformation =
            (GetInformationFn)(void (*)())GetProcAddress(kernel, "GetFileInformationByHandleEx");
    }
    return s_finalPath && s_setInformation && s_getInformation;
}

static bool IsSharingError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// The handle's final path in one form, without the "\\?\" the system puts before it; a
// network path comes back as "\\server\share\...".
static bool FinalPath(HANDLE file, DWORD form, char *out, size_t size)
{
    char path[MAX_PATH + 16];
    DWORD length = s_finalPath(file, path, sizeof path, FILE_NAME_NORMALIZED | form);
    if (length == 0 || length >= sizeof path)
        return false;
    if (strncmp(path, "\\\\?\\UNC\\", 8) == 0)
        return FormatText(out, size, "\\\\%s", path + 8);
    if (strncmp(path, "\\\\?\\", 4) == 0)
        return FormatText(out, size, "%s", path + 4);
    return FormatText(out, size, "%s", path);
}

// The first form the system can give for the directory: a volume without a drive letter has
// no DOS path, but still a GUID or a device path.
static bool DirectoryFinalPath(HANDLE handle, GameDir *dir)
{
    static const DWORD forms[] = {VOLUME_NAME_DOS, VOLUME_NAME_GUID, VOLUME_NAME_NT};
    for (DWORD form : forms) {
        if (FinalPath(handle, form, dir->final, sizeof dir->final)) {
            dir->finalForm = form;
            return true;
        }
    }
    return false;
}

bool OpenGameDir(const char *path, GameDir *dir, DWORD *error)
{
    memset(dir, 0, sizeof *dir);
    if (!FormatText(dir->path, sizeof dir->path, "%s", path)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    // Every file's path is joined to this one, and compared with the paths that the log and
    // the entry hold in their plain form.
    PlainPath(dir->path);
    HANDLE handle = CreateFileA(dir->path, FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(handle, &info)) {
        dir->volume = info.dwVolumeSerialNumber;
        dir->indexHigh = info.nFileIndexHigh;
        dir->indexLow = info.nFileIndexLow;
    }
    dir->checkable = FindCalls() && DirectoryFinalPath(handle, dir);
    CloseHandle(handle);
    return true;
}

// Only name surrogates (symbolic links, junctions, mount points) lead elsewhere; a
// compressed, cloud or deduplicated file is a reparse point too, and an ordinary file. An
// unknown tag counts as a link.
static bool IsNameSurrogate(DWORD tag)
{
    return tag == 0 || IsReparseTagNameSurrogate(tag);
}

static bool IsLinkByName(const char *path, DWORD *attributes)
{
    *attributes = GetFileAttributesA(path);
    if (*attributes == INVALID_FILE_ATTRIBUTES || !(*attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    // A system that leaves the tag unset (Wine) must not be read as giving one.
    WIN32_FIND_DATAA found;
    memset(&found, 0, sizeof found);
    HANDLE find = FindFirstFileA(path, &found);
    if (find == INVALID_HANDLE_VALUE)
        return true;
    FindClose(find);
    if (IsNameSurrogate(found.dwReserved0))
        return true;
    *attributes &= ~FILE_ATTRIBUTE_REPARSE_POINT;
    return false;
}

// The folders between the directory and the file ("baseq3" in "baseq3\PakZV01.pk3"): none
// may be a link, and each must be there.
static FileCheck CheckFolders(const GameDir *dir, const char *name, DWORD *error)
{
    for (const char *at = NextSeparator(name, CP_ACP); *at; at = NextSeparator(at + 1, CP_ACP)) {
        char part[MAX_PATH], folder[MAX_PATH];
        if (!FormatText(part, sizeof part, "%.*s", (int)(at - name), name))
            return FILE_FAILED;
        char *joined = JoinPath(dir->path, part);
        bool fits = joined && FormatText(folder, sizeof folder, "%s", joined);
        free(joined);
        if (!fits) {
            *error = ERROR_FILENAME_EXCED_RANGE;
            return FILE_FAILED;
        }
        DWORD attributes;
        if (IsLinkByName(folder, &attributes))
            return FILE_LINK;
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            *error = GetLastError();
            return *error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND ? FILE_MISSING
                                                                                    : FILE_FAILED;
        }
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
            return FILE_MISSING;
    }
    return FILE_CHECKED;
}

static bool IsLinkHandle(HANDLE file, DWORD attributes)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    FILE_ATTRIBUTE_TAG_INFO tag;
    return !s_getInformation(file, FileAttributeTagInfo, &tag, sizeof tag) ||
           IsNameSurrogate(tag.ReparseTag);
}

// The checks made on an open handle: not a link nor a second name of another file, not a
// folder, and right where it should be.
static FileCheck CheckHandle(const GameDir *dir, const char *name, HANDLE file,
                             DWORD nameAttributes, DWORD *error)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        *error = GetLastError();
        return FILE_FAILED;
    }
    DWORD attributes = info.dwFileAttributes | nameAttributes;
    if (IsLinkHandle(file, attributes))
        return FILE_LINK;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return FILE_FOLDER;
    if (info.nNumberOfLinks > 1)
        return FILE_LINK;
    char final[MAX_PATH + 16];
    char *expected = JoinPath(dir->final, name);
    bool same = expected && FinalPath(file, dir->finalForm, final, sizeof final) &&
                SamePathText(final, expected, CP_ACP);
    free(expected);
    return same ? FILE_CHECKED : FILE_ELSEWHERE;
}

static HANDLE CreateRetried(const char *path, DWORD access, DWORD share, DWORD disposition)
{
    DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
    HANDLE handle = CreateFileA(path, access, share, NULL, disposition, flags, NULL);
    for (int i = 0;
         handle == INVALID_HANDLE_VALUE && IsSharingError(GetLastError()) && i < kSharingRetries;
         i++) {
        Sleep(kSharingPause);
        handle = CreateFileA(path, access, share, NULL, disposition, flags, NULL);
    }
    return handle;
}

static FileCheck OpenInGameDir(const GameDir *dir, const char *name, DWORD access, DWORD share,
                               DWORD disposition, HANDLE *file, DWORD *error)
{
    *file = INVALID_HANDLE_VALUE;
    *error = 0;
    if (!dir->checkable)
        return FILE_UNCHECKED;
    FileCheck check = CheckFolders(dir, name, error);
    if (check != FILE_CHECKED)
        return check;
    char *path = JoinPath(dir->path, name);
    if (!path) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return FILE_FAILED;
    }
    DWORD nameAttributes = 0;
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (disposition == OPEN_EXISTING && IsLinkByName(path, &nameAttributes))
        check = FILE_LINK;
    else
        handle = CreateRetried(path, access | FILE_READ_ATTRIBUTES, share, disposition);
    free(path);
    if (check == FILE_LINK)
        return check;
    if (handle == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return *error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND ? FILE_MISSING
                                                                                : FILE_FAILED;
    }
    if (nameAttributes == INVALID_FILE_ATTRIBUTES)
        nameAttributes = 0;
    check = CheckHandle(dir, name, handle, nameAttributes, error);
    if (check != FILE_CHECKED) {
        // A file made here and found in the wrong place goes again: nothing else was in it.
        if (disposition == CREATE_NEW) {
            DWORD ignored;
            RemoveOnClose(handle, &ignored);
        }
        CloseHandle(handle);
        return check;
    }
    *file = handle;
    return FILE_CHECKED;
}

FileCheck OpenGameFile(const GameDir *dir, const char *name, DWORD access, DWORD share,
                       HANDLE *file, DWORD *error)
{
    return OpenInGameDir(dir, name, access, share, OPEN_EXISTING, file, error);
}

bool RemoveOnClose(HANDLE file, DWORD *error)
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (s_setInformation(file, FileDispositionInfo, &disposition, sizeof disposition))
        return true;
    *error = GetLastError();
    return false;
}

// Sets the attributes of an open file; times of 0 stay as they are.
static bool SetAttributes(HANDLE file, DWORD attributes)
{
    FILE_BASIC_INFO basic;
    memset(&basic, 0, sizeof basic);
    basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return s_setInformation(file, FileBasicInfo, &basic, sizeof basic) != 0;
}

// A read-only file (the package came from a CD) is still ours: its attribute goes, through the
// same handle, and comes back if the removal still fails.
static bool RemoveReadOnly(HANDLE file, DWORD *error)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (*error != ERROR_ACCESS_DENIED || !GetFileInformationByHandle(file, &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        return false;
    if (!SetAttributes(file, info.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY))
        return false;
    if (RemoveOnClose(file, error))
        return true;
    SetAttributes(file, info.dwFileAttributes);
    return false;
}

// Removes a file opened with DELETE and FILE_WRITE_ATTRIBUTES, and closes its handle.
static bool RemoveAndClose(HANDLE file, DWORD *error)
{
    bool removed = RemoveOnClose(file, error) || RemoveReadOnly(file, error);
    if (!CloseHandle(file) && removed) {
        removed = false;
        *error = GetLastError();
    }
    return removed;
}

static const DWORD kRemoveAccess = DELETE | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;

FileCheck RemoveGameFile(const GameDir *dir, const char *name, DWORD *error)
{
    HANDLE file;
    // No sharing: a file another program holds open stays, and is reported as such.
    FileCheck check = OpenGameFile(dir, name, kRemoveAccess, 0, &file, error);
    if (check != FILE_CHECKED)
        return check;
    return RemoveAndClose(file, error) ? FILE_CHECKED : FILE_FAILED;
}

// Makes the file name new: a plain file of ours left there goes first.
static FileCheck CreateAt(const GameDir *dir, const char *name, HANDLE *file, DWORD *error)
{
    FileCheck check = RemoveGameFile(dir, name, error);
    if (check != FILE_CHECKED && check != FILE_MISSING)
        return check;
    // A name taken since makes CREATE_NEW fail, since a link itself is never followed.
    return OpenInGameDir(dir, name, GENERIC_WRITE | DELETE, 0, CREATE_NEW, file, error);
}

FileCheck CreateTemporary(const GameDir *dir, const char *temp, HANDLE *file, DWORD *error)
{
    char name[MAX_PATH];
    size_t length = strlen(temp);
    if (length == 0 || !FormatText(name, sizeof name, "%s", temp)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return FILE_FAILED;
    }
    FileCheck check = FILE_FAILED;
    for (char last = '0' - 1; last <= '9'; last++) {
        if (last >= '0')
            name[length - 1] = last;
        check = CreateAt(dir, name, file, error);
        bool taken = check == FILE_LINK || check == FILE_ELSEWHERE || check == FILE_FOLDER ||
                     (check == FILE_FAILED &&
                      (*error == ERROR_FILE_EXISTS || *error == ERROR_ALREADY_EXISTS ||
                       *error == ERROR_ACCESS_DENIED || IsSharingError(*error)));
        if (!taken)
            break;
    }
    return check;
}

// An older file of ours at the name may be read-only, which a rename would not replace: its
// attribute goes. True when a plain file of ours stands there.
static bool PrepareReplace(const GameDir *dir, const char *name)
{
    HANDLE old;
    DWORD error;
    if (OpenGameFile(dir, name, FILE_WRITE_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &old,
                     &error) != FILE_CHECKED)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(old, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        SetAttributes(old, info.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
    CloseHandle(old);
    return true;
}

// Windows refuses to replace a file that is open (ERROR_ACCESS_DENIED), as it is for a moment
// when an antivirus or the indexer looks at a file of ours just written: that passes too.
static bool MayPass(DWORD error, bool replacingOurs)
{
    return IsSharingError(error) || (replacingOurs && error == ERROR_ACCESS_DENIED);
}

bool RenameGameFile(HANDLE file, const GameDir *dir, const char *name, bool replace, DWORD *error)
{
    char *path = JoinPath(dir->path, name);
    int wide = path ? MultiByteToWideChar(CP_ACP, 0, path, -1, NULL, 0) : 0;
    DWORD size = (DWORD)(sizeof(FILE_RENAME_INFO) + wide * sizeof(WCHAR));
    FILE_RENAME_INFO *rename = wide > 0 ? (FILE_RENAME_INFO *)calloc(1, size) : NULL;
    bool renamed = false;
    *error = ERROR_NOT_ENOUGH_MEMORY;
    if (rename) {
        rename->ReplaceIfExists = replace;
        rename->FileNameLength = (DWORD)(wide - 1) * sizeof(WCHAR);
        MultiByteToWideChar(CP_ACP, 0, path, -1, rename->FileName, wide);
        bool ours = replace && PrepareReplace(dir, name);
        renamed = s_setInformation(file, FileRenameInfo, rename, size) != 0;
        for (int i = 0; !renamed && MayPass(GetLastError(), ours) && i < kSharingRetries; i++) {
            Sleep(kSharingPause);
            renamed = s_setInformation(file, FileRenameInfo, rename, size) != 0;
        }
        if (!renamed)
            *error = GetLastError();
    }
    free(rename);
    free(path);
    return renamed;
}

// A path read in its plain form ("\\?\" taken off), when it names a place on a local drive.
static bool LocalDrivePath(const char *path, char *plain, size_t size)
{
    if (!FormatText(plain, size, "%s", path))
        return false;
    PlainPath(plain);
    if (!IsAbsolutePath(plain) || plain[0] == '\\')
        return false;
    char root[4] = {plain[0], ':', '\\', 0};
    UINT type = GetDriveTypeA(root);
    return type == DRIVE_FIXED || type == DRIVE_REMOVABLE || type == DRIVE_CDROM ||
           type == DRIVE_RAMDISK;
}

static HANDLE OpenToCompare(const char *path)
{
    return CreateFileA(path, FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, NULL);
}

bool IsSameDirectory(const GameDir *dir, const char *path)
{
    char plain[MAX_PATH];
    if (!LocalDrivePath(path, plain, sizeof plain))
        return false;
    HANDLE handle = OpenToCompare(plain);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    bool same = GetFileInformationByHandle(handle, &info) &&
                (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                info.dwVolumeSerialNumber == dir->volume && info.nFileIndexHigh == dir->indexHigh &&
                info.nFileIndexLow == dir->indexLow;
    char final[MAX_PATH + 16];
    if (!same && dir->checkable && FinalPath(handle, dir->finalForm, final, sizeof final))
        same = SamePathText(final, dir->final, CP_ACP);
    CloseHandle(handle);
    return same;
}

// The identity of an open file, and its final path when the system can tell it.
struct FileIdentity {
    BY_HANDLE_FILE_INFORMATION info;
    char final[MAX_PATH + 16];
};

static bool IdentifyFile(const char *path, FileIdentity *identity)
{
    HANDLE handle = OpenToCompare(path);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool known = GetFileInformationByHandle(handle, &identity->info) != 0;
    if (!FindCalls() ||
        !FinalPath(handle, VOLUME_NAME_DOS, identity->final, sizeof identity->final))
        identity->final[0] = 0;
    CloseHandle(handle);
    return known;
}

bool IsSameFile(const char *own, const char *path)
{
    char plain[MAX_PATH];
    FileIdentity a, b;
    if (!LocalDrivePath(path, plain, sizeof plain) || !IdentifyFile(own, &a) ||
        !IdentifyFile(plain, &b))
        return false;
    // A file system without file indexes gives 0 for every file.
    bool indexed = a.info.nFileIndexHigh || a.info.nFileIndexLow;
    if (indexed && a.info.dwVolumeSerialNumber == b.info.dwVolumeSerialNumber &&
        a.info.nFileIndexHigh == b.info.nFileIndexHigh &&
        a.info.nFileIndexLow == b.info.nFileIndexLow)
        return true;
    return a.final[0] && SamePathText(a.final, b.final, CP_ACP);
}
