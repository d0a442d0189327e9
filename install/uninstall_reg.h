// The package's entry in the system's list of removable programs.
#ifndef ZV_INSTALL_UNINSTALL_REG_H
#define ZV_INSTALL_UNINSTALL_REG_H

#include <windows.h>

// Creates or opens HKEY_LOCAL_MACHINE\...\Uninstall\<subkey> and writes DisplayName and
// UninstallString (the uninstaller's path in double quotes), then the entry's other values:
// its icon, publisher, version, location (the uninstaller's directory), today's date, sizeKB,
// no Modify or Repair, and the quiet command. ERROR_SUCCESS, or the error code of the key
// creation or of the first value write that failed.
LONG RegisterUninstaller(const char *subkey, const char *displayName, const char *uninstallPath,
                         DWORD sizeKB);

#endif
