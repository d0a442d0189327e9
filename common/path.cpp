// Paths as text: every consumer joins a name to a directory with exactly one backslash, and
// no code but this steps through a path byte by byte.
#include "path.h"

#include "lead_byte.h"
#include "text.h"

#include <stdlib.h>
#include <string.h>

size_t CharLength(const char *text, unsigned codePage)
{
    return IsLeadByte(codePage, (unsigned char)text[0]) && text[1] ? 2 : 1;
}

const char *NextSeparator(const char *text, unsigned codePage)
{
    while (*text && *text != '\\')
        text += CharLength(text, codePage);
    return text;
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

static bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsAbsolutePath(const char *path)
{
    return (IsLetter(path[0]) && path[1] == ':' && path[2] == '\\') ||
           (path[0] == '\\' && path[1] == '\\');
}

bool IsDriveOnly(const char *path)
{
    return IsLetter(path[0]) && path[1] == ':' && path[2] == 0;
}

// "\\?\X:\..." and "\\?\UNC\server\share\..." only ask the system not to parse the path; they
// name what "X:\..." and "\\server\share\..." name, and an earlier installer recorded what it
// was given. The length of such a prefix ("\\?\", "\\?\UNC\"), or 0 for any other path.
static size_t LongPrefixLength(const char *path)
{
    if (path[0] != '\\' || path[1] != '\\' || path[2] != '?' || path[3] != '\\')
        return 0;
    if (IsLetter(path[4]) && path[5] == ':' && (path[6] == '\\' || path[6] == 0))
        return 4;
    return SameAsciiText(path + 4, "UNC\\", 4) ? 8 : 0;
}

// The plain form's text after its "\\" for a server, or from its start for a drive; *server
// says which.
static const char *PlainTail(const char *path, bool *server)
{
    size_t prefix = LongPrefixLength(path);
    *server = prefix == 8 || (prefix == 0 && path[0] == '\\' && path[1] == '\\');
    return path + (prefix ? prefix : *server ? 2 : 0);
}

// Until no prefix is left, so that a plain form is its own plain form ("\\?\UNC\?\C:\").
void PlainPath(char *path)
{
    for (size_t prefix = LongPrefixLength(path); prefix; prefix = LongPrefixLength(path)) {
        if (prefix == 8) {
            memmove(path + 2, path + 8, strlen(path + 8) + 1);
            continue;
        }
        memmove(path, path + 4, strlen(path + 4) + 1);
        if (path[2] == 0) {
            path[2] = '\\';
            path[3] = 0;
        }
    }
}

char *PlainPathCopy(const char *path)
{
    char *plain = DupString(path);
    if (plain)
        PlainPath(plain);
    return plain;
}

// "server\share\" at the start of text: two names and the separator after them, or 0.
static size_t ShareRootLength(const char *server, unsigned codePage)
{
    const char *share = NextSeparator(server, codePage);
    if (!*share || share == server || share[1] == 0 || share[1] == '\\')
        return 0;
    const char *end = NextSeparator(share + 1, codePage);
    return *end ? (size_t)(end - server) + 1 : 0;
}

size_t RootLength(const char *path, unsigned codePage)
{
    bool server;
    const char *tail = PlainTail(path, &server);
    size_t prefix = (size_t)(tail - path);
    if (server) {
        size_t share = ShareRootLength(tail, codePage);
        return share ? prefix + share : 0;
    }
    return IsLetter(tail[0]) && tail[1] == ':' && tail[2] == '\\' ? prefix + 3 : 0;
}

// Back to the separator that starts the last written part of path[root, out): the written
// parts are whole characters, so the scan goes forward from the root.
static size_t LastPartStart(const char *path, size_t root, size_t out, unsigned codePage)
{
    size_t start = root, at = root;
    while (at < out) {
        if (path[at] == '\\')
            start = at;
        at += CharLength(path + at, codePage);
    }
    return start;
}

bool NormalisePath(char *path, unsigned codePage)
{
    for (char *c = path; *c; c += CharLength(c, codePage))
        if (*c == '/')
            *c = '\\';
    PlainPath(path);
    size_t root = RootLength(path, codePage);
    if (root == 0)
        return false;
    // Copy part by part behind a read cursor. Each part is written with the separator before
    // it, so the write cursor stays behind the read cursor and never reaches the terminator.
    // Parts start after a separator, so a part's bytes are whole characters.
    size_t out = root;
    const char *read = path + root;
    while (*read) {
        if (*read == '\\') {
            read++;
            continue;
        }
        size_t length = (size_t)(NextSeparator(read, codePage) - read);
        if (length == 2 && read[0] == '.' && read[1] == '.') {
            if (out == root)
                return false;
            out = LastPartStart(path, root, out, codePage);
        } else if (length != 1 || read[0] != '.') {
            if (out > root)
                path[out++] = '\\';
            memmove(path + out, read, length);
            out += length;
        }
        read += length;
    }
    path[out] = 0;
    return true;
}

bool SamePathPrefix(const char *a, const char *b, size_t length, unsigned codePage)
{
    size_t i = 0;
    while (i < length) {
        size_t n = CharLength(a + i, codePage);
        if (n == 2) {
            if (i + 2 > length || a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (!SameAsciiText(a + i, b + i, 1)) {
            return false;
        }
        i += n;
    }
    return true;
}

bool SamePathText(const char *a, const char *b, unsigned codePage)
{
    bool serverA, serverB;
    a = PlainTail(a, &serverA);
    b = PlainTail(b, &serverB);
    size_t length = strlen(a);
    return serverA == serverB && length == strlen(b) && SamePathPrefix(a, b, length, codePage);
}
