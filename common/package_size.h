// The size the list of programs shows for the package: its files in the game directory, as
// the installer writes it and as the uninstaller rewrites it when part of the package stays.
#ifndef ZV_COMMON_PACKAGE_SIZE_H
#define ZV_COMMON_PACKAGE_SIZE_H

#include "game_file.h"

#include <stddef.h>

// KB, rounded up, of dir's licence text, its uninstaller and every pack slot that the log
// (length bytes, or null) lists for the package in dir. Each file is opened through the
// checked layer: a link or a missing file counts nothing.
DWORD PackageSizeKB(const GameDir *dir, const char *log, size_t length);

// Rewrites the EstimatedSize of the existing uninstall entry; nothing is created.
LONG WriteEstimatedSize(DWORD kb);

#endif
