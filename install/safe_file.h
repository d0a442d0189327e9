// Files that are either complete or not there: written or copied under a temporary name in
// the target's directory, flushed, then renamed into place.
#ifndef ZV_INSTALL_SAFE_FILE_H
#define ZV_INSTALL_SAFE_FILE_H

#include <stddef.h>

// Copies source to temp (replacing a temp left by an earlier run) and flushes it to disk. On
// failure no temp is left; the error stays in GetLastError.
bool CopyToTemporary(const char *source, const char *temp);
// Renames temp onto target, replacing an older target when replace is true and failing when
// target exists otherwise. Temp is left for the caller on failure.
bool MoveTemporary(const char *temp, const char *target, bool replace);
// Replaces target with a complete copy of source, made first under a temporary name of the
// same length beside it ("ZV-001.tx~"), so that a failed copy keeps the older target whole.
bool CopyOver(const char *source, const char *target);
// Replaces the file's contents with data, written under the same temporary name first. A
// read-only file is left as it is: its owner did not want it changed.
bool ReplaceFileContents(const char *path, const char *data, size_t length);

#endif
