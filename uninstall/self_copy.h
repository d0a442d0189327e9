// The uninstaller's temporary copy: the installed uninstaller cannot remove its own file while
// it runs, so it starts a copy of itself from a new private folder under %TEMP% and ends; the
// copy waits for it, removes the package and, last, the installed uninstaller.
#ifndef ZV_UNINSTALL_SELF_COPY_H
#define ZV_UNINSTALL_SELF_COPY_H

#include <windows.h>

// Copies the running program into a new folder under %TEMP% and starts the copy for dir with
// an inheritable handle to this process. False with the error when the copy could not be
// made or started; nothing is left behind then.
bool StartTemporaryCopy(const char *dir, DWORD *error);

// In the copy: true when handle is an inherited handle to another process, after waiting
// (bounded) for that process to end.
bool WaitForOriginal(unsigned long handle);

// In the copy: has Windows remove the copy's own file and folder at its next start. Only a
// program running from a folder of its own making under %TEMP% schedules anything.
void ScheduleOwnRemoval();

#endif
