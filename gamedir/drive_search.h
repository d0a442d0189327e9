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

// The lister threads of a search. The walk's own thread lists too, whenever it reaches a
// directory no lister has taken, so one lister keeps a second core listing; more only add
// threads that wait for the disk and the lock.
const int kSearchListers = 1;

// Told of a directory that cannot be listed, on the walk's thread, in walk order; the walk
// goes on when it returns. A drive that has gone during its walk (its root no longer lists) is
// told once, as its root, and its walk ends there.
typedef void (*SearchErrorProc)(void *context, const char *directory, DWORD error);
// The same walk with up to four lister threads listing ahead of it (0: none), telling each
// directory that cannot be listed to report instead of showing a box. The hit and the reports
// are the same with any number of listers. Once *stop (null: never) is not 0, the walk ends
// before its next directory.
bool WalkDriveForGame(int drive, const char *path, int listers, SearchErrorProc report,
                      void *context, const volatile LONG *stop, char **result);

#endif
