// GetFinalPathNameByHandleA and SetFileInformationByHandle came with Windows Vista, so they are
// looked up at run time; where they are missing no file is removed, since none can be checked.
// Under Wine a link to a directory shows FILE_ATTRIBUTE_REPARSE_POINT only by its name, and a
// link to a file not at all, so the name's attributes, the handle's and its final path are
// all asked.
#include "own_file.h"

#include "package_path.h"
#include "../common/text.h"

#include <string.h>

typedef DWORD(WINAPI *FinalPathFn)(HANDLE, LPSTR, DWORD, DWORD);
typedef BOOL(WINAPI *SetInformationFn)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);

static FinalPathFn s_finalPath;
static SetInformationFn s_setInformation;

static bool FindCalls()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel && !s_finalPath) {
        s_finalPath = (FinalPathFn)(void (*)())GetProcAddress(kernel, "GetFinalPathNameByHandleA");
        s_setInformation =
            (SetInformationFn)(void (*)())GetProcAddress(kernel, "SetFileInformationByHandle");
    }
    return s_finalPath && s_setInformation;
}

// The handle's final path without the "\\?\" the system puts before it; a network path comes
// back as "\\server\share\...".
static bool FinalPath(HANDLE file, char *out, size_t size)
{
    char path[MAX_PATH + 16];
    DWORD length = s_finalPath(file, path, sizeof path, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof path)
        return false;
    if (strncmp(path, "\\\\?\\UNC\\", 8) == 0)
        return FormatText(out, size, "\\\\%s", path + 8);
    if (strncmp(path, "\\\\?\\", 4) == 0)
        return FormatText(out, size, "%s", path + 4);
    return FormatText(out, size, "%s", path);
}

bool OpenOwnDirectory(const char *path, OwnDirectory *dir, DWORD *error)
{
    dir->final[0] = 0;
    dir->checkable = false;
    if (!FormatText(dir->path, sizeof dir->path, "%s", path)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    HANDLE handle = CreateFileA(path, FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    dir->checkable = FindCalls() && FinalPath(handle, dir->final, sizeof dir->final);
    CloseHandle(handle);
    return true;
}

static bool IsLinkByName(const char *path, DWORD *attributes)
{
    *attributes = GetFileAttributesA(path);
    return *attributes != INVALID_FILE_ATTRIBUTES && (*attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The folders between the directory and the file ("baseq3" in "baseq3\PakZV01.pk3"): none
// may be a link, and each must be there.
static FileCheck CheckFolders(const OwnDirectory *dir, const char *name, DWORD *error)
{
    for (const char *at = strchr(name, '\\'); at; at = strchr(at + 1, '\\')) {
        char folder[MAX_PATH];
        if (!FormatText(folder, sizeof folder, "%s%s%.*s", dir->path,
                        dir->path[strlen(dir->path) - 1] == '\\' ? "" : "\\", (int)(at - name),
                        name)) {
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

// The checks made on an open handle: not a link, not a folder, and right where it should be.
static FileCheck CheckHandle(const OwnDirectory *dir, const char *name, HANDLE file,
                             DWORD nameAttributes, DWORD *error)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
        *error = GetLastError();
        return FILE_FAILED;
    }
    DWORD attributes = info.dwFileAttributes | nameAttributes;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return FILE_LINK;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return FILE_FOLDER;
    char expected[MAX_PATH + 16], final[MAX_PATH + 16];
    if (!FormatText(expected, sizeof expected, "%s%s%s", dir->final,
                    dir->final[strlen(dir->final) - 1] == '\\' ? "" : "\\", name) ||
        !FinalPath(file, final, sizeof final))
        return FILE_ELSEWHERE;
    return SamePathText(final, expected, CP_ACP) ? FILE_CHECKED : FILE_ELSEWHERE;
}

static FileCheck Open(const OwnDirectory *dir, const char *name, DWORD access, DWORD share,
                      DWORD disposition, HANDLE *file, DWORD *error)
{
    *file = INVALID_HANDLE_VALUE;
    *error = 0;
    if (!dir->checkable)
        return FILE_UNCHECKED;
    FileCheck check = CheckFolders(dir, name, error);
    if (check != FILE_CHECKED)
        return check;
    char path[MAX_PATH];
    if (!FormatText(path, sizeof path, "%s%s%s", dir->path,
                    dir->path[strlen(dir->path) - 1] == '\\' ? "" : "\\", name)) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return FILE_FAILED;
    }
    DWORD nameAttributes = 0;
    if (disposition == OPEN_EXISTING && IsLinkByName(path, &nameAttributes))
        return FILE_LINK;
    if (nameAttributes == INVALID_FILE_ATTRIBUTES)
        nameAttributes = 0;
    HANDLE handle = CreateFileA(
        path, access | FILE_READ_ATTRIBUTES, share, NULL, disposition,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return *error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND ? FILE_MISSING
                                                                                : FILE_FAILED;
    }
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

FileCheck OpenOwnFile(const OwnDirectory *dir, const char *name, DWORD access, DWORD share,
                      HANDLE *file, DWORD *error)
{
    return Open(dir, name, access, share, OPEN_EXISTING, file, error);
}

FileCheck CreateOwnFile(const OwnDirectory *dir, const char *name, DWORD access, HANDLE *file,
                        DWORD *error)
{
    // A name taken by a link makes CREATE_NEW fail, since the link itself is not followed.
    return Open(dir, name, access | DELETE, 0, CREATE_NEW, file, error);
}

bool RemoveOnClose(HANDLE file, DWORD *error)
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (s_setInformation(file, FileDispositionInfo, &disposition, sizeof disposition))
        return true;
    *error = GetLastError();
    return false;
}

// A read-only file (the package came from a CD) is still ours: its attribute goes, through the
// same handle, and comes back if the removal still fails.
static bool RemoveReadOnly(HANDLE file, DWORD *error)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (*error != ERROR_ACCESS_DENIED || !GetFileInformationByHandle(file, &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        return false;
    FILE_BASIC_INFO basic;
    memset(&basic, 0, sizeof basic); // times of 0 stay as they are
    basic.FileAttributes = info.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY;
    if (basic.FileAttributes == 0)
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!s_setInformation(file, FileBasicInfo, &basic, sizeof basic))
        return false;
    if (RemoveOnClose(file, error))
        return true;
    basic.FileAttributes = info.dwFileAttributes;
    s_setInformation(file, FileBasicInfo, &basic, sizeof basic);
    return false;
}

FileCheck RemoveOwnFile(const OwnDirectory *dir, const char *name, DWORD *error)
{
    HANDLE file;
    // No sharing: a file another program holds open stays, and is reported as such.
    FileCheck check =
        OpenOwnFile(dir, name, DELETE | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE, 0, &file, error);
    if (check != FILE_CHECKED)
        return check;
    bool removed = RemoveOnClose(file, error) || RemoveReadOnly(file, error);
    if (!CloseHandle(file) && removed) {
        removed = false;
        *error = GetLastError();
    }
    return removed ? FILE_CHECKED : FILE_FAILED;
}

const char *FileCheckReason(FileCheck check)
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
