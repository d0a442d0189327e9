// The one guarded way both programs reach the files of the game directory: each file is
// opened as itself (FILE_FLAG_OPEN_REPARSE_POINT), checked to be no link and to lie exactly
// where its name says, and then read, written, renamed or removed through that same handle,
// so that nothing planted in the directory is ever followed.
#ifndef ZV_COMMON_GAME_FILE_H
#define ZV_COMMON_GAME_FILE_H

#include <windows.h>

// The game directory: its path as the program knows it, and its identity as the file system
// resolves it, the reference every file's final path must match.
struct GameDir {
    char path[MAX_PATH];
    char final[MAX_PATH + 16];
    DWORD finalForm; // the VOLUME_NAME_ form that gave final
    DWORD volume, indexHigh, indexLow;
    // The system can tell final paths and act through a handle; without that nothing is
    // touched.
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

// Fills dir from a directory's full path ("X:\" for a drive's root), kept in its plain form
// (PlainPath); false with the error when the directory cannot be opened. A system without the
// calls gives a directory that is not checkable, and true.
bool OpenGameDir(const char *path, GameDir *dir, DWORD *error);

// Opens dir's file name (a known relative name such as "baseq3\PakZV01.pk3") with access and
// share, when no part of it is a link and its final path is the one expected; *file is then
// the open handle, else INVALID_HANDLE_VALUE. error is set for FILE_FAILED.
FileCheck OpenGameFile(const GameDir *dir, const char *name, DWORD access, DWORD share,
                       HANDLE *file, DWORD *error);

// Removes dir's file name through its checked handle, taking off a read-only attribute first
// when that alone stops it. FILE_CHECKED means removed.
FileCheck RemoveGameFile(const GameDir *dir, const char *name, DWORD *error);

// Marks an open, checked file for removal when its handle closes.
bool RemoveOnClose(HANDLE file, DWORD *error);

// Creates a new, empty file for writing beside a file of dir: at temp (a name the game never
// loads, no longer than the name it stands for), or, where something that is not a plain file
// of ours stands there, at the same name with its last character a digit. A leftover of ours
// goes first, read-only or not; a link is never followed or removed. The handle has DELETE
// access, for RenameGameFile or RemoveOnClose.
FileCheck CreateTemporary(const GameDir *dir, const char *temp, HANDLE *file, DWORD *error);

// Gives the open file the name dir\name. With replace, an older file of that name is replaced
// (a read-only one of ours too); without, a taken name fails with ERROR_ALREADY_EXISTS. A file
// another program holds open for a moment is waited for, up to two seconds.
bool RenameGameFile(HANDLE file, const GameDir *dir, const char *name, bool replace, DWORD *error);

// True when path, a directory on a local drive, is dir itself, by identity: the same volume
// and file index, or the same final path. Paths on the network are never opened.
bool IsSameDirectory(const GameDir *dir, const char *path);

// True when path, a file on a local drive, is the file own, by the same identity. Only own
// may be on the network; path is never opened there.
bool IsSameFile(const char *own, const char *path);

#endif
