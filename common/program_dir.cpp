// Takes the directory from the result of GetModuleFileNameA, refusing a cut path: a path that
// filled the buffer would name some other directory.
#include "program_dir.h"

#include "path.h"
#include "text.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

char *DirectoryOfPath(const char *modulePath, size_t length, size_t bufferSize)
{
    if (length == 0 || length >= bufferSize)
        return NULL;
    const char *lastSeparator = LastSeparator(modulePath, CP_ACP);
    if (!lastSeparator)
        return NULL;
    size_t dirLength = (size_t)(lastSeparator - modulePath);
    char *dir = (char *)malloc(dirLength + 1);
    if (!dir)
        return NULL;
    memcpy(dir, modulePath, dirLength);
    dir[dirLength] = 0;
    return dir;
}

bool ProgramPath(char *path, size_t size)
{
    DWORD length = GetModuleFileNameA(NULL, path, (DWORD)size);
    if (length == 0 || length >= size)
        return false;
    // A program started from a share may be told its path in the device spelling: with
    // "\\\\?\\UNC\\" before it, or under Wine as "UNC\\server\\share\\..." alone. Either is
    // "\\\\server\\share\\..." in the spelling every other call takes.
    const char *unc = strncmp(path, "\\\\?\\UNC\\", 8) == 0 ? path + 8
                      : strncmp(path, "UNC\\", 4) == 0      ? path + 4
                                                            : NULL;
    if (!unc)
        return true;
    char share[MAX_PATH];
    return FormatText(share, sizeof share, "\\\\%s", unc) && FormatText(path, size, "%s", share);
}

char *ProgramDirectory()
{
    char path[MAX_PATH];
    if (!ProgramPath(path, sizeof path))
        return NULL;
    return DirectoryOfPath(path, strlen(path), sizeof path);
}

char *FullDirectory(const char *dir)
{
    if (IsDriveOnly(dir))
        return JoinPath(dir, "");
    if (IsAbsolutePath(dir))
        return PlainPathCopy(dir);
    char full[MAX_PATH];
    DWORD length = dir[0] ? GetFullPathNameA(dir, sizeof full, full, NULL) : 0;
    return length > 0 && length < sizeof full ? DupString(full) : NULL;
}
