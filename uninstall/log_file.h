// The install log on disk: read whole through a checked handle, and replaced as a whole so
// that a reader never finds it half written.
#ifndef ZV_UNINSTALL_LOG_FILE_H
#define ZV_UNINSTALL_LOG_FILE_H

#include "own_file.h"
#include "../common/text_buffer.h"

#include <stddef.h>

// A log larger than this was not written by the installer, which adds a few lines per run.
const unsigned long long kMaxLogSize = 16 * 1024 * 1024;

// Reads dir's ZVFiles.log into a new heap buffer (*text, *length bytes). Anything but
// FILE_CHECKED leaves *text null; FILE_FAILED gives the error, ERROR_FILE_TOO_LARGE for a log
// over kMaxLogSize.
FileCheck ReadOwnLog(const OwnDirectory *dir, char **text, size_t *length, DWORD *error);

// Writes text to a new file beside the log, flushes it and moves it over ZVFiles.log. False
// with the error when any step fails: the old log then stays as it was and the new file goes.
bool ReplaceOwnLog(const OwnDirectory *dir, const TextBuffer *text, DWORD *error);

#endif
