// The uninstaller's temporary copy: the installed uninstaller cannot remove its own file while
// it runs, so it starts a copy of itself from a new private folder under %TEMP%; the copy
// waits for it, removes the package and, last, the installed uninstaller. The folder and the
// copy are reached through the wide calls: a profile whose name is outside the ANSI code page
// (a Cyrillic user name on a Western Windows) must work too.
#ifndef ZV_UNINSTALL_SELF_COPY_H
#define ZV_UNINSTALL_SELF_COPY_H

#include <windows.h>

// Copies the running program into a new folder under %TEMP% and starts the copy for dir with
// an inheritable handle to this process, and for a quiet run (outcome not null) the write end
// of a pipe whose read end *outcome becomes. False with the error when the copy could not be
// made or started; nothing is left behind then.
bool StartTemporaryCopy(const char *dir, HANDLE *outcome, DWORD *error);

// In a quiet run's starter: *code is the outcome its copy tells through the pipe once
// everything but this program's file is done; false when the copy ended without telling.
// Closes the pipe.
bool WaitForCopy(HANDLE outcome, DWORD *code);

// In the copy: the process that handle names when it is an inherited handle to another
// process, or null.
HANDLE OriginalProcess(unsigned long handle);

// In the copy: waits (bounded) for the original to end, and releases its handle.
void WaitForOriginal(HANDLE original);

// In the copy: has Windows remove the copy's own file and folder at its next start. Only a
// program running from a folder of its own making under %TEMP% schedules anything.
void ScheduleOwnRemoval();

#endif
