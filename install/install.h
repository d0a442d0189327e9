// The install sequence that runs once the user has chosen the game directory.
#ifndef ZV_INSTALL_INSTALL_H
#define ZV_INSTALL_INSTALL_H

#include <windows.h>

// Installs the package into the game directory, owner owning every box and the progress
// dialog. False when the user declined to install again or the installer's own directory was
// not found; true otherwise, also when the pack could not be placed (the user was told).
bool InstallPackage(HWND owner, const char *gameDir);

#endif
