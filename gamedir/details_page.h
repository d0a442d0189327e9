// The installation details page, where the user names the game directory by typing it,
// searching the drives for it or browsing to quake3.exe.
#ifndef ZV_GAMEDIR_DETAILS_PAGE_H
#define ZV_GAMEDIR_DETAILS_PAGE_H

#include <windows.h>

// Runs the page modally. True when the user pressed Install on a directory that holds the
// game: *directory then holds it as typed, a new heap string that the caller frees. False
// when the user left, or when the page could not be shown (after one box saying so);
// *directory is then untouched.
bool RunDetailsPage(HWND owner, char **directory);
INT_PTR CALLBACK DetailsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
