// The install log ZVFiles.log in the game directory: which packages were installed there and
// which files each one installed, kept as a private profile (INI) file that only grows.
#ifndef ZV_INSTALL_INSTALL_LOG_H
#define ZV_INSTALL_INSTALL_LOG_H

struct GameDir;

// Points every later log operation at ZVFiles.log in the opened game directory, or, for null
// (a directory that could not be opened), at none: every append then fails. Lets go of an
// earlier directory's lock.
void SetLogPath(const GameDir *dir);
// Takes the game directory's lock for the rest of the installation: an uninstaller or another
// installer takes the same one. Waits up to kLogLockWait; false when another one holds it.
// Appends are made only under it. A directory that cannot be opened has no lock: true, and
// every append fails.
bool LockLog();
void UnlockLog();
// True when the log's package list names the package (letter case aside).
bool IsPackageInstalled(const char *package);
// Appends the package to the package list. The installation lists it with its first file
// (RecordPackageWithFile); this stays as the list's own append, which the log tests build on.
void RecordPackage(const char *package);
// Appends the path to the package's own section; false when the log could not take it.
bool RecordInstalledFile(const char *package, const char *path);
// Appends the package to the package list and the path to its section in one replacement of
// the log, so that the list never names a package without an entry of its own.
bool RecordPackageWithFile(const char *package, const char *path);
// True when an append since SetLogPath could not be written; the log then holds what it held
// before that append.
bool LogAppendFailed();

#endif
