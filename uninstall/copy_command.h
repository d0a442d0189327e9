// The command line the uninstaller gives its temporary copy: a private switch, the handle of
// the process the copy waits for, and the game directory. Free of any window or file call.
#ifndef ZV_UNINSTALL_COPY_COMMAND_H
#define ZV_UNINSTALL_COPY_COMMAND_H

#include <stddef.h>

// The arguments after the program's own name, which may be quoted; blanks before them skipped.
const char *CommandArguments(const char *commandLine);

// True when the arguments start with the copy's private switch.
bool IsCopyCommand(const char *arguments);

// The copy's whole command line: "copy" /zvuninst-temporary-copy <handle in hex> "dir".
bool FormatCopyCommand(const char *copy, unsigned long handle, const char *dir, char *out,
                       size_t size);

// Reads the copy's arguments: exactly the switch, a handle in hex that is neither 0 nor one
// of the pseudo-handles, and a quoted full path, nothing after it. False for anything else.
bool ParseCopyCommand(const char *arguments, unsigned long *handle, char *dir, size_t size);

#endif
