// The removal itself: the package's files from the install log, its entries in the log, its
// uninstall entry in the registry and, last, the uninstaller's own file.
#ifndef ZV_UNINSTALL_UNINSTALL_H
#define ZV_UNINSTALL_UNINSTALL_H

#include "report.h"

// Removes the package from dir, the uninstaller's own directory, whose full path is self;
// every step's outcome goes to report. Where the log does not list the package, only the
// registry entry is removed; an entry that names another uninstaller is left alone.
void RemovePackage(const char *dir, const char *self, Report *report);

#endif
