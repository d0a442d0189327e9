// Which recorded paths name the package's files: the licence text and the pack slots, found
// from the text alone after normalising. No file system call.
#ifndef ZV_UNINSTALL_PACKAGE_PATH_H
#define ZV_UNINSTALL_PACKAGE_PATH_H

#include "../common/names.h"
#include "../common/path.h"

#include <stddef.h>

// The package's files by number: 0 is the licence text, 1 to 99 the pack slots.
const int kPackageFileCount = kLastPackSlot + 1;

// Normalises a recorded full path in place and splits it: the number of the package file its
// last components name ("ZV-001.txt", "baseq3\PakZV07.pk3", letter case aside), with *dirLength
// the length of the directory before them ("X:\" keeps its separator), or -1 for a path that
// is not absolute or names anything else.
int SplitPackagePath(char *path, size_t *dirLength, unsigned codePage);

// The package file's name relative to its directory ("ZV-001.txt", "baseq3\PakZV07.pk3");
// false for a number out of range or a buffer too small.
bool PackageFileName(int number, char *buffer, size_t size);

#endif
