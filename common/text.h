// Heap strings, bounded formatting and case-blind comparison, free of any window or file
// system call.
#ifndef ZV_COMMON_TEXT_H
#define ZV_COMMON_TEXT_H

#include <stddef.h>

// A new heap copy of text (free with free), or null when memory runs out.
char *DupString(const char *text);
// Formats into buffer, always terminated; false when the text had to be cut.
bool FormatText(char *buffer, size_t size, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
// The first length characters of a and b are equal, the case of A to Z aside. Only ASCII
// letters fold, so no byte of a double-byte character ever matches another.
bool SameAsciiText(const char *a, const char *b, size_t length);
// Both terminated texts are equal, the case of A to Z aside.
bool EqualAsciiText(const char *a, const char *b);

#endif
