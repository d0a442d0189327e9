// Directories as both programs record and open them: the running program's own (where the
// installer's package files lie, and where the installed uninstaller finds the files it
// removes), and a typed one made full.
#ifndef ZV_COMMON_PROGRAM_DIR_H
#define ZV_COMMON_PROGRAM_DIR_H

#include <stddef.h>

// A program's path, as GetModuleFileNameA gave it with its length, cut before its last
// backslash, as a new heap string; null when the path was not found (length 0), was cut by a
// full buffer (length == bufferSize), or has no backslash.
char *DirectoryOfPath(const char *modulePath, size_t length, size_t bufferSize);

// The running program's full path, a share's spelt "\\\\server\\share\\..."; false when it could
// not be had whole.
bool ProgramPath(char *path, size_t size);

// The directory of the running program as a new heap string, or null when its path could not
// be had whole.
char *ProgramDirectory();

// dir made full, as the log, the entry and every open take it: a relative one against the
// current directory, "\\?\" taken off, and a drive's root with its separator ("X:" alone
// would name drive X's current directory). A new heap string, or null when it cannot be made
// whole.
char *FullDirectory(const char *dir);

#endif
