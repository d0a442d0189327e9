// The game directory test: one open of quake3.exe, shown to nobody and changing nothing.
#include "game_dir.h"

#include "../common/path.h"

#include <windows.h>
#include <stdlib.h>

bool IsGameDirectory(const char *path)
{
    if (!path[0])
        return false;
    char *candidate = JoinPath(path, "quake3.exe");
    if (!candidate)
        return false;
    // No sharing: a quake3.exe that another program holds open (the game running) does not
    // count, so the models are never put beside a game in use.
    HANDLE file = CreateFileA(candidate, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    free(candidate);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}
