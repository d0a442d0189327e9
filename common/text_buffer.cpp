// A growing heap text (the edited install log, the uninstaller's final message): doubles its
// storage as it fills and never writes past it.
#include "text_buffer.h"

#include <stdlib.h>
#include <string.h>

void InitTextBuffer(TextBuffer *buffer)
{
    buffer->data = NULL;
    buffer->length = 0;
    buffer->capacity = 0;
    buffer->failed = false;
}

static bool Reserve(TextBuffer *buffer, size_t needed)
{
    if (needed <= buffer->capacity)
        return true;
    size_t capacity = buffer->capacity ? buffer->capacity : 256;
    while (capacity < needed) {
        if (capacity > ((size_t)-1) / 2)
            return false;
        capacity *= 2;
    }
    char *grown = (char *)realloc(buffer->data, capacity);
    if (!grown)
        return false;
    buffer->data = grown;
    buffer->capacity = capacity;
    return true;
}

bool AppendText(TextBuffer *buffer, const char *text, size_t length)
{
    if (buffer->failed)
        return false;
    // A failed text stays as it was, so a caller may still show what came before.
    if (length >= ((size_t)-1) - buffer->length || !Reserve(buffer, buffer->length + length + 1)) {
        buffer->failed = true;
        return false;
    }
    memcpy(buffer->data + buffer->length, text, length);
    buffer->length += length;
    buffer->data[buffer->length] = 0;
    return true;
}

bool AppendString(TextBuffer *buffer, const char *text)
{
    return AppendText(buffer, text, strlen(text));
}

bool AppendNumber(TextBuffer *buffer, unsigned long number)
{
    char digits[24];
    size_t n = sizeof digits;
    do {
        digits[--n] = (char)('0' + number % 10);
        number /= 10;
    } while (number);
    return AppendText(buffer, digits + n, sizeof digits - n);
}

void FreeTextBuffer(TextBuffer *buffer)
{
    free(buffer->data);
    InitTextBuffer(buffer);
}
