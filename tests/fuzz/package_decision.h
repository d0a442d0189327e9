// How the uninstaller ties a recorded value to its own directory by text, before any look-up:
// the value split into a directory and a package file (SplitPackagePath), then that directory
// compared with its own, normalised (SamePathText). Shared by the table test and the fuzz target.
#ifndef ZV_TESTS_PACKAGE_DECISION_H
#define ZV_TESTS_PACKAGE_DECISION_H

#include "common/path.h"
#include "common/text.h"
#include "uninstall/package_path.h"

// The limits the uninstaller reads within: the system's path limit for its directory, 1024
// bytes for a recorded value.
const size_t kDirLimit = 260, kValueLimit = 1024;

// The package file value names inside dir (a full path, or "X:" for a drive's root), or -1.
inline int PackageFileIn(const char *dir, const char *value, unsigned codePage)
{
    char own[kDirLimit], split[kValueLimit];
    size_t dirLength;
    if (!FormatText(own, sizeof own, "%s%s", dir, IsDriveOnly(dir) ? "\\" : "") ||
        !NormalisePath(own, codePage) || !FormatText(split, sizeof split, "%s", value))
        return -1;
    int number = SplitPackagePath(split, &dirLength, codePage);
    if (number < 0)
        return -1;
    split[dirLength] = 0;
    return SamePathText(split, own, codePage) ? number : -1;
}

#endif
