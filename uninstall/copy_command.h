// The command line the uninstaller gives its temporary copy: a private switch, the handle of
// the process the copy waits for, for a quiet run the pipe that takes the outcome, and the
// game directory. Free of any window or file call.
#ifndef ZV_UNINSTALL_COPY_COMMAND_H
#define ZV_UNINSTALL_COPY_COMMAND_H

#include <stddef.h>

// The arguments after the program's own name, which may be quoted; blanks before them skipped.
const char *CommandArguments(const char *commandLine);

// True when the arguments start with the copy's private switch.
bool IsCopyCommand(const char *arguments);

// True when the arguments are the quiet uninstall's switch, /S (or /s), alone.
bool IsQuietCommand(const char *arguments);

// The copy's arguments: /zvuninst-temporary-copy <handle in hex> "dir", with the outcome
// pipe's handle in hex after the first when it is not 0 (a quiet run).
bool FormatCopyArguments(unsigned long handle, unsigned long outcome, const char *dir, char *out,
                         size_t size);

// Reads the copy's arguments: exactly the switch, a handle in hex that is neither 0 nor one
// of the pseudo-handles, optionally a second such handle (*outcome, else 0), and a quoted full
// path, nothing after it. False for anything else.
bool ParseCopyCommand(const char *arguments, unsigned long *handle, unsigned long *outcome,
                      char *dir, size_t size);

#endif
