// A recorded path is only trusted when it is, letter case aside, exactly one of the names the
// installer gives its files inside this directory: anything else may come from a changed log.
#include "package_path.h"

#include <string.h>

static const char kLicence[] = "ZV-001.txt";
static const char kPackPrefix[] = "baseq3\\PakZV";
static const char kPackSuffix[] = ".pk3";

static char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

static bool SameText(const char *a, const char *b, size_t length)
{
    for (size_t i = 0; i < length; i++)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

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

static bool IsPackageName(const char *name)
{
    size_t length = strlen(name);
    if (length == sizeof kLicence - 1 && SameText(name, kLicence, length))
        return true;
    size_t prefix = sizeof kPackPrefix - 1, suffix = sizeof kPackSuffix - 1;
    if (length != prefix + 2 + suffix || !SameText(name, kPackPrefix, prefix) ||
        !SameText(name + prefix + 2, kPackSuffix, suffix))
        return false;
    char tens = name[prefix], ones = name[prefix + 1];
    return tens >= '0' && tens <= '9' && ones >= '0' && ones <= '9' &&
           !(tens == '0' && ones == '0');
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
    if (strlen(out) <= dirLength || !SameText(out, base, dirLength) ||
        (!separated && out[dirLength] != '\\'))
        return false;
    return IsPackageName(out + dirLength + (separated ? 0 : 1));
}
