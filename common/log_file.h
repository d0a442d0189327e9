// The install log on disk, for both programs: read whole through a checked handle, replaced
// as a whole through a temporary file so that a reader never finds it half written, and
// edited under a lock, so that two programs editing it one after the other both keep their
// entries.
#ifndef ZV_COMMON_LOG_FILE_H
#define ZV_COMMON_LOG_FILE_H

#include "game_file.h"

#include <stddef.h>

// A log larger than this was not written by installers, which add a few lines per run.
const unsigned long long kMaxLogSize = 16 * 1024 * 1024;

// How long an editor waits for another one to finish with the log.
const DWORD kLogLockWait = 5000;

// Reads dir's ZVFiles.log into a new heap buffer (*text, *length bytes, terminated). Anything
// but FILE_CHECKED leaves *text null; FILE_FAILED gives the error, ERROR_FILE_TOO_LARGE for a
// log over kMaxLogSize.
FileCheck ReadGameLog(const GameDir *dir, char **text, size_t *length, DWORD *error);

// Writes text to a new file beside the log, flushes it and renames it over ZVFiles.log. A log
// that is read-only, a link or anything but a plain file of dir is left exactly as it is. False
// with the error when any step fails: the old log then stays as it was.
bool ReplaceGameLog(const GameDir *dir, const char *text, size_t length, DWORD *error);

// Removes ZVFiles.log through its checked handle; a read-only log is kept (ERROR_ACCESS_DENIED).
FileCheck RemoveGameLog(const GameDir *dir, DWORD *error);

// Takes the lock on dir's log, waiting up to wait ms for another editor; null when it could not
// be had. A lock left by a killed program is free at once.
HANDLE LockGameLog(const GameDir *dir, DWORD wait);
void UnlockGameLog(HANDLE lock);

#endif
