// SetDefaultDllDirectories came with Windows 8 (and an update for Vista and 7), so it is looked
// up at run time: the programs still start where it is missing.
#include "dll_search.h"

#include <windows.h>

typedef BOOL(WINAPI *SetDefaultDllDirectoriesFn)(DWORD);

void RestrictDllSearch()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    SetDefaultDllDirectoriesFn restrict =
        kernel ? (SetDefaultDllDirectoriesFn)(void (*)())GetProcAddress(kernel,
                                                                        "SetDefaultDllDirectories")
               : NULL;
    if (restrict)
        restrict(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
