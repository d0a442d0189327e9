// The removal itself: the package's files from the install log, its entries in the log, and,
// once nothing of it remains, the installed uninstaller and its entry in the registry.
#ifndef ZV_UNINSTALL_UNINSTALL_H
#define ZV_UNINSTALL_UNINSTALL_H

#include "report.h"

// Removes the package from dir, the directory the installed uninstaller runs from ("X:\" for
// a drive's root); every step's outcome goes to report. Where the log does not list the
// package, only the registry entry is removed; an entry that names another uninstaller is
// left alone. Where the log cannot be read or a file of the package stays, the log keeps
// what stays, and the registry entry and the uninstaller stay too.
void RemovePackage(const char *dir, Report *report);

#endif
