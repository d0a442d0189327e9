// Joining and classifying paths as text, free of any file system call.
#ifndef ZV_COMMON_PATH_H
#define ZV_COMMON_PATH_H

#include <stddef.h>

// Bytes the character at text takes in the code page (0: the one the ANSI calls use): 2 for a
// lead byte followed by its trail byte, which can be 0x5C, the backslash's byte.
size_t CharLength(const char *text, unsigned codePage);
// The last backslash in path that is a character of its own, or null.
const char *LastSeparator(const char *path, unsigned codePage);
// True when the path's last character is a backslash, read in the ANSI code page.
bool EndsWithSeparator(const char *path);
// A new heap string: dir, one backslash unless dir already ends with one, then name.
char *JoinPath(const char *dir, const char *name);
// True for "X:\..." and "\\server\...": paths that do not depend on a current directory.
bool IsAbsolutePath(const char *path);

#endif
