// Which recorded paths name the uninstaller's files: the licence text and the pack slots inside
// its own directory, found from the text alone after normalising. No file system call.
#ifndef ZV_UNINSTALL_PACKAGE_PATH_H
#define ZV_UNINSTALL_PACKAGE_PATH_H

#include "../common/names.h"

#include <stddef.h>

// The package's files by number: 0 is the licence text, 1 to 99 the pack slots.
const int kPackageFileCount = kLastPackSlot + 1;

// Normalises a full path in place: forward slashes become backslashes, repeated separators
// merge, "." parts go and ".." parts take the part before them away. The root is "X:\" or
// "\\server\share\". False for a relative path or one whose ".." climbs past the root. The
// text is read in codePage, so the second byte of a double-byte character is never taken for
// a separator.
bool NormalisePath(char *path, unsigned codePage);

// The number of the package file that path names inside dir (a directory's full path, or "X:"
// for a drive's root), or -1 for anything else. Letter case counts only for A to Z, and only
// outside double-byte characters of codePage.
int PackageFileOf(const char *dir, const char *path, unsigned codePage);

// True when a and b are the same path text: equal but for the case of A to Z outside
// double-byte characters of codePage.
bool SamePathText(const char *a, const char *b, unsigned codePage);

// The package file's name relative to its directory ("ZV-001.txt", "baseq3\PakZV07.pk3");
// false for a number out of range or a buffer too small.
bool PackageFileName(int file, char *buffer, size_t size);

#endif
