// A recorded path is only trusted when it is, letter case aside, exactly one of the names the
// installer gives its files inside this directory: anything else may come from a changed log.
// Paths are walked character by character, so that double-byte code pages read right.
#include "package_path.h"

#include "../common/pack_slot.h"
#include "../common/path.h"
#include "../common/text.h"

#include <string.h>

// The system's path limit (MAX_PATH), which a game directory never exceeds.
static const size_t kSystemPathLimit = 260;

// The first separator at or after text, or its end.
static const char *NextSeparator(const char *text, unsigned codePage)
{
    while (*text && *text != '\\')
        text += CharLength(text, codePage);
    return text;
}

static bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Length of the root that ".." may not climb past, or 0 for a path that is not absolute.
static size_t RootLength(const char *path, unsigned codePage)
{
    if (IsLetter(path[0]) && path[1] == ':' && path[2] == '\\')
        return 3;
    if (path[0] != '\\' || path[1] != '\\')
        return 0;
    // \\server\share\: two names after the double backslash.
    const char *server = path + 2;
    const char *share = NextSeparator(server, codePage);
    if (!*share || share == server || share[1] == 0 || share[1] == '\\')
        return 0;
    const char *end = NextSeparator(share + 1, codePage);
    return *end ? (size_t)(end - path) + 1 : 0;
}

bool NormalisePath(char *path, unsigned codePage)
{
    for (char *c = path; *c; c += CharLength(c, codePage))
        if (*c == '/')
            *c = '\\';
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
            // Back to the separator that starts the last written part: the written parts are
            // whole characters, so the scan goes forward from the root.
            size_t start = root, at = root;
            while (at < out) {
                if (path[at] == '\\')
                    start = at;
                at += CharLength(path + at, codePage);
            }
            out = start;
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

// Compares length bytes of a and b: A to Z in either case match, the two bytes of a
// double-byte character only match exactly.
static bool SameName(const char *a, const char *b, size_t length, unsigned codePage)
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

static int FileOfName(const char *name)
{
    if (EqualAsciiText(name, kLicenceFile))
        return 0;
    int slot = PackSlotOf(name);
    return slot ? slot : -1;
}

int PackageFileOf(const char *dir, const char *path, unsigned codePage)
{
    // A recorded path may spell the directory the long way round (..\), past MAX_PATH.
    char base[kSystemPathLimit], full[1024];
    size_t dirLength = strlen(dir), pathLength = strlen(path);
    if (dirLength + 1 >= sizeof base || pathLength >= sizeof full)
        return -1;
    memcpy(base, dir, dirLength + 1);
    // "X:" alone is the drive's root, as a game directory found there is written.
    if (dirLength == 2 && IsLetter(dir[0]) && dir[1] == ':')
        memcpy(base + 2, "\\", 2);
    memcpy(full, path, pathLength + 1);
    if (!NormalisePath(base, codePage) || !NormalisePath(full, codePage))
        return -1;
    dirLength = strlen(base);
    // A root keeps its separator; any other directory gets one before the name. The last
    // byte alone cannot tell: it may end a double-byte character.
    bool separated = RootLength(base, codePage) == dirLength;
    if (strlen(full) <= dirLength || !SameName(full, base, dirLength, codePage) ||
        (!separated && full[dirLength] != '\\'))
        return -1;
    return FileOfName(full + dirLength + (separated ? 0 : 1));
}

bool SamePathText(const char *a, const char *b, unsigned codePage)
{
    size_t length = strlen(a);
    return length == strlen(b) && SameName(a, b, length, codePage);
}

bool PackageFileName(int file, char *buffer, size_t size)
{
    if (file == 0)
        return FormatText(buffer, size, "%s", kLicenceFile);
    return FormatPackSlot(file, buffer, size);
}
