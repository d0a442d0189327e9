// A recorded path is only trusted when it is, letter case aside, exactly one of the names the
// installer gives its files inside this directory: anything else may come from a changed log.
#include "package_path.h"

#include "../common/pack_slot.h"
#include "../common/text.h"

#include <string.h>

// Length of the root that ".." may not climb past, or 0 for a path that is not absolute.
static size_t RootLength(const char *path)
{
    bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    if (letter && path[1] == ':' && path[2] == '\\')
        return 3;
    if (path[0] != '\\' || path[1] != '\\')
        return 0;
    // \\server\share\: two names after the double backslash.
    const char *server = path + 2;
    const char *share = strchr(server, '\\');
    if (!share || share == server || share[1] == 0 || share[1] == '\\')
        return 0;
    const char *end = strchr(share + 1, '\\');
    return end ? (size_t)(end - path) + 1 : 0;
}

bool NormalisePath(char *path)
{
    for (char *c = path; *c; c++)
        if (*c == '/')
            *c = '\\';
    size_t root = RootLength(path);
    if (root == 0)
        return false;
    // Copy part by part behind a read cursor. Each part is written with the separator before
    // it, so the write cursor stays behind the read cursor and never reaches the terminator.
    size_t out = root;
    const char *read = path + root;
    while (*read) {
        if (*read == '\\') {
            read++;
            continue;
        }
        const char *stop = strchr(read, '\\');
        size_t length = stop ? (size_t)(stop - read) : strlen(read);
        if (length == 2 && read[0] == '.' && read[1] == '.') {
            if (out == root)
                return false;
            while (out > root && path[out - 1] != '\\')
                out--;
            if (out > root)
                out--;
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

bool IsPackageFile(const char *dir, const char *path, char *out, size_t size)
{
    char base[260];
    size_t dirLength = strlen(dir), pathLength = strlen(path);
    if (dirLength >= sizeof base || pathLength >= size)
        return false;
    memcpy(base, dir, dirLength + 1);
    memcpy(out, path, pathLength + 1);
    if (!NormalisePath(base) || !NormalisePath(out))
        return false;
    dirLength = strlen(base);
    // A root keeps its separator; any other directory gets one before the name.
    bool separated = base[dirLength - 1] == '\\';
    if (strlen(out) <= dirLength || !SameAsciiText(out, base, dirLength) ||
        (!separated && out[dirLength] != '\\'))
        return false;
    return IsPackageFileName(out + dirLength + (separated ? 0 : 1));
}
