// String helpers shared by the pages and the install sequence.
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

char *JoinPath(const char *dir, const char *name)
{
    size_t dirLength = strlen(dir);
    bool needSeparator = dirLength == 0 || dir[dirLength - 1] != '\\';
    size_t nameLength = strlen(name);
    char *path = (char *)malloc(dirLength + (needSeparator ? 1 : 0) + nameLength + 1);
    if (!path)
        return NULL;
    memcpy(path, dir, dirLength);
    if (needSeparator)
        path[dirLength++] = '\\';
    memcpy(path + dirLength, name, nameLength + 1);
    return path;
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
