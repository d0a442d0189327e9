// The drive search: the first directory below a drive's root that holds the game.
#ifndef ZV_GAMEDIR_DRIVE_SEARCH_H
#define ZV_GAMEDIR_DRIVE_SEARCH_H

#include <windows.h>

// Walks drive (0 is A:, 2 is C:) from path, which begins with a backslash ("\" for the whole
// drive), depth first in listing order; the directory given is never tested itself. Frees
// *result on entry and leaves it null; on a hit sets it to a new string such as
// "D:\Games\Quake3" (capital letter, no trailing backslash) that the caller frees. Each
// directory that cannot be listed gets one "Search Error" box owned by owner.
bool SearchDriveForGame(HWND owner, int drive, const char *path, char **result);

#endif
