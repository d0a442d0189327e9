// Paths as text: every consumer joins a name to a directory with exactly one backslash.
#include "path.h"

#include "lead_byte.h"

#include <stdlib.h>
#include <string.h>

size_t CharLength(const char *text, unsigned codePage)
{
    return IsLeadByte(codePage, (unsigned char)text[0]) && text[1] ? 2 : 1;
}

// Walked from the start: in a double-byte code page only the start tells a trail byte from a
// character.
const char *LastSeparator(const char *path, unsigned codePage)
{
    const char *last = NULL;
    for (; *path; path += CharLength(path, codePage))
        if (*path == '\\')
            last = path;
    return last;
}

bool EndsWithSeparator(const char *path)
{
    size_t length = strlen(path);
    return length > 0 && LastSeparator(path, kAnsiCodePage) == path + length - 1;
}

char *JoinPath(const char *dir, const char *name)
{
    size_t dirLength = strlen(dir);
    bool needSeparator = !EndsWithSeparator(dir);
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

bool IsAbsolutePath(const char *path)
{
    bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    return (letter && path[1] == ':' && path[2] == '\\') || (path[0] == '\\' && path[1] == '\\');
}
