// Joining and classifying paths as text, free of any file system call.
#ifndef ZV_COMMON_PATH_H
#define ZV_COMMON_PATH_H

#include <stddef.h>

// A new heap string: dir, one backslash unless dir already ends with one, then name.
char *JoinPath(const char *dir, const char *name);
// True for "X:\..." and "\\server\...": paths that do not depend on a current directory.
bool IsAbsolutePath(const char *path);

#endif
