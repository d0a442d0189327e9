// The one vocabulary of paths for both programs: joining, separators, roots and one canonical
// spelling, read character by character so that double-byte code pages read right. Free of
// any file system call.
#ifndef ZV_COMMON_PATH_H
#define ZV_COMMON_PATH_H

#include <stddef.h>

// Bytes the character at text takes in the code page (0: the one the ANSI calls use): 2 for a
// lead byte followed by its trail byte, which can be 0x5C, the backslash's byte.
size_t CharLength(const char *text, unsigned codePage);
// The first backslash at or after text that is a character of its own, or text's end.
const char *NextSeparator(const char *text, unsigned codePage);
// The last backslash in path that is a character of its own, or null.
const char *LastSeparator(const char *path, unsigned codePage);
// True when the path's last character is a backslash, read in the ANSI code page.
bool EndsWithSeparator(const char *path);
// A new heap string: dir, one backslash unless dir already ends with one, then name.
char *JoinPath(const char *dir, const char *name);
// True for "X:\..." and "\\server\...": paths that do not depend on a current directory.
bool IsAbsolutePath(const char *path);
// True for "X:" alone, which names the current directory of drive X; a game directory found
// in a drive's root is written so, and means the root.
bool IsDriveOnly(const char *path);
// Length of the root that ".." may not climb past ("X:\", "\\server\share\", and so with a
// "\\?\" or "\\?\UNC\" before them), or 0 for a path that is not absolute.
size_t RootLength(const char *path, unsigned codePage);
// Rewrites "\\?\X:\..." as "X:\..." ("\\?\X:" as "X:\") and "\\?\UNC\server\..." as
// "\\server\..." in place, the forms that every other path of the programs has; any other
// path stays as it is.
void PlainPath(char *path);
// A new heap string: path in its plain form; null when memory ran out.
char *PlainPathCopy(const char *path);

// Normalises a full path in place: forward slashes become backslashes, the path takes its plain
// form (PlainPath), repeated separators merge, "." parts go and ".." parts take the part before
// them away. False for a relative path or one whose ".." climbs past the root.
bool NormalisePath(char *path, unsigned codePage);
// True when length bytes of a and b are equal but for the case of A to Z outside double-byte
// characters of codePage.
bool SamePathPrefix(const char *a, const char *b, size_t length, unsigned codePage);
// The same for two whole paths, each read in its plain form (PlainPath).
bool SamePathText(const char *a, const char *b, unsigned codePage);

#endif
