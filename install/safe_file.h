// Files that are either complete or not there: copied under a temporary name in the target's
// directory through a checked handle, flushed, then renamed into place through that handle.
#ifndef ZV_INSTALL_SAFE_FILE_H
#define ZV_INSTALL_SAFE_FILE_H

#include "../common/game_file.h"

// Copies source into a new temporary file of dir (at temp, or a name beside it when something
// else stands there) and flushes it to disk; *file is then its open handle, for
// RenameGameFile. On failure no temporary file is left and the error says why.
bool CopyToTemporary(const GameDir *dir, const char *source, const char *temp, HANDLE *file,
                     DWORD *error);
// Removes the temporary file and closes its handle, keeping the caller's error.
void DiscardTemporary(HANDLE file);
// Replaces dir's file name with a complete copy of source, made first under a temporary name
// of the same length beside it ("ZV-001.tx~"), so that a failed copy keeps the older file
// whole.
bool CopyOver(const GameDir *dir, const char *source, const char *name, DWORD *error);

#endif
