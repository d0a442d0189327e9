// A growing heap text for the edited install log and the uninstaller's final message. Free of
// any window or file system call.
#ifndef ZV_COMMON_TEXT_BUFFER_H
#define ZV_COMMON_TEXT_BUFFER_H

#include <stddef.h>

struct TextBuffer {
    char *data;      // terminated once anything was appended; null before
    size_t length;   // characters held, without the terminator
    size_t capacity; // bytes allocated
    bool failed;     // memory ran out; later appends are refused
};

void InitTextBuffer(TextBuffer *buffer);
// Appends length characters of text (no terminator needed); false when memory ran out.
bool AppendText(TextBuffer *buffer, const char *text, size_t length);
// Appends a terminated text.
bool AppendString(TextBuffer *buffer, const char *text);
// Appends the decimal digits of a number.
bool AppendNumber(TextBuffer *buffer, unsigned long number);
void FreeTextBuffer(TextBuffer *buffer);

#endif
