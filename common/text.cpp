// String helpers shared by both programs.
#include "text.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

char *DupString(const char *text)
{
    size_t size = strlen(text) + 1;
    char *copy = (char *)malloc(size);
    if (copy)
        memcpy(copy, text, size);
    return copy;
}

bool FormatText(char *buffer, size_t size, const char *format, ...)
{
    if (size == 0)
        return false;
    va_list args;
    va_start(args, format);
    // The C runtime's _vsnprintf leaves the buffer unterminated when it cuts.
    int n = _vsnprintf(buffer, size, format, args);
    va_end(args);
    buffer[size - 1] = 0;
    return n >= 0 && (size_t)n < size;
}

static char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

bool SameAsciiText(const char *a, const char *b, size_t length)
{
    for (size_t i = 0; i < length; i++)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

bool EqualAsciiText(const char *a, const char *b)
{
    size_t length = strlen(a);
    return length == strlen(b) && SameAsciiText(a, b, length);
}
