// Which recorded paths the uninstaller may remove: the licence text and the pack slots inside
// its own directory tree, compared as text after normalising. No file system call.
#ifndef ZV_UNINSTALL_PACKAGE_PATH_H
#define ZV_UNINSTALL_PACKAGE_PATH_H

#include <stddef.h>

// Normalises a full path in place: forward slashes become backslashes, repeated separators
// merge, "." parts go and ".." parts take the part before them away. The root is "X:\" or
// "\\server\share\". False for a relative path or one whose ".." climbs past the root.
bool NormalisePath(char *path);

// True when path, once normalised, is dir's "ZV-001.txt" or "baseq3\PakZV01.pk3" to
// "baseq3\PakZV99.pk3", ignoring the case of A to Z; the normalised path goes to out (size
// bytes) for the caller to remove. Paths that do not fit out are refused.
bool IsPackageFile(const char *dir, const char *path, char *out, size_t size);

#endif
