// Heap strings and bounded formatting, free of any window or file system call.
#ifndef ZV_APP_TEXT_H
#define ZV_APP_TEXT_H

#include <stddef.h>

// A new heap copy of text (free with free), or null when memory runs out.
char *DupString(const char *text);
// A new heap string: dir, one backslash unless dir already ends with one, then name.
char *JoinPath(const char *dir, const char *name);
// Formats into buffer, always terminated; false when the text had to be cut.
bool FormatText(char *buffer, size_t size, const char *format, ...)
    __attribute__((format(printf, 3, 4)));

#endif
