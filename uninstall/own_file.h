// The files of the uninstaller's own directory, opened and removed without following a link:
// each is opened as itself (FILE_FLAG_OPEN_REPARSE_POINT), its final path checked, and removed
// through that same handle, so nothing can be swapped between the check and the removal.
#ifndef ZV_UNINSTALL_OWN_FILE_H
#define ZV_UNINSTALL_OWN_FILE_H

#include <windows.h>

// The directory the package was installed in: its path as the uninstaller knows it and its
// final path as the file system resolves it, the reference every file's final path must
// match.
struct OwnDirectory {
    char path[MAX_PATH];
    char final[MAX_PATH];
    // The system can tell final paths and remove through a handle; without that nothing is
    // removed.
    bool checkable;
};

enum FileCheck {
    FILE_CHECKED,   // open and verified
    FILE_MISSING,   // not there, or a folder on its way is not there
    FILE_LINK,      // it, or a folder on its way, is a link, junction or mount point
    FILE_ELSEWHERE, // its final path is not the expected one inside the directory
    FILE_FOLDER,    // a folder stands in its place
    FILE_UNCHECKED, // this system cannot tell where it lies
    FILE_FAILED     // the system refused; the error says why
};

// Fills dir from a directory's full path ("X:\" for a drive's root); false with the error
// when the directory cannot be opened. A system without the calls gives a directory that is
// not checkable, and true.
bool OpenOwnDirectory(const char *path, OwnDirectory *dir, DWORD *error);

// Opens dir's file name (a known relative name such as "baseq3\PakZV01.pk3") with access and
// share, when no part of it is a link and its final path is the one expected; *file is then
// the open handle, else INVALID_HANDLE_VALUE. error is set for FILE_FAILED.
FileCheck OpenOwnFile(const OwnDirectory *dir, const char *name, DWORD access, DWORD share,
                      HANDLE *file, DWORD *error);

// Creates dir's file name, which must not exist, and checks it as OpenOwnFile does; a file
// that fails the check is removed again through its handle.
FileCheck CreateOwnFile(const OwnDirectory *dir, const char *name, DWORD access, HANDLE *file,
                        DWORD *error);

// Removes dir's file name through its checked handle, taking off a read-only attribute first
// when that alone stops it. FILE_CHECKED means removed.
FileCheck RemoveOwnFile(const OwnDirectory *dir, const char *name, DWORD *error);

// Marks an open, checked file for removal when its handle closes.
bool RemoveOnClose(HANDLE file, DWORD *error);

// Why a file was left alone, in plain words, for a check other than FILE_CHECKED and
// FILE_FAILED.
const char *FileCheckReason(FileCheck check);

#endif
