// The install sequence that runs once the user has chosen the game directory.
#ifndef ZV_INSTALL_INSTALL_H
#define ZV_INSTALL_INSTALL_H

#include <windows.h>

// Installs the package into the game directory, owner owning every box and the progress
// dialog. True when the pack is in its slot; false when it is not (the user was told), when
// the user declined to install again, when an uninstall or another installation holds the
// directory, or when the installer's own directory was not found.
bool InstallPackage(HWND owner, const char *gameDir);

#endif
