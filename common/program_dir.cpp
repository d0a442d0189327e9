// Takes the directory from the result of GetModuleFileNameA, refusing a cut path: a path that
// filled the buffer would name some other directory.
#include "program_dir.h"

#include "path.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

char *SourceDirectory(const char *modulePath, size_t length, size_t bufferSize)
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

char *ProgramDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    return SourceDirectory(path, length, sizeof path);
}
