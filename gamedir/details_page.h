// TEMPORARY stand-in for the installation details page, so that the installer links and runs
// end to end on this branch; the real page replaces this folder.
#ifndef ZV_GAMEDIR_DETAILS_PAGE_H
#define ZV_GAMEDIR_DETAILS_PAGE_H

#include <windows.h>

// True when the user pressed Install; *gameDir then holds the typed directory (heap string).
bool RunDetailsPage(HWND owner, char **gameDir);

#endif
