// The open-file dialog in which the user points at quake3.exe to name the game directory.
#ifndef ZV_GAMEDIR_BROWSE_H
#define ZV_GAMEDIR_BROWSE_H

#include <windows.h>

// Shows the dialog, starting in *directory. When the user picks a file, frees *directory
// and puts the file's directory there, without a trailing backslash ("C:" for a file in the
// root of C:), and returns true. Cancel or a failed dialog leave it as it was and return
// false. When memory runs out, *directory is freed and set to null.
bool BrowseForGameDirectory(HWND owner, char **directory);

#endif
