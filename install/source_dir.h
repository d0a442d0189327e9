// The installer's own directory, where the package files lie, from its module path.
#ifndef ZV_INSTALL_SOURCE_DIR_H
#define ZV_INSTALL_SOURCE_DIR_H

#include <stddef.h>

// The module path cut before its last backslash, as a new heap string; null when the path was
// not found (length 0), was cut by a full buffer (length == bufferSize), or has no backslash.
char *SourceDirectory(const char *modulePath, size_t length, size_t bufferSize);

#endif
