// The program's own directory from the module path that GetModuleFileNameA gives back, and the
// DLL search limited to the system directory.
#include "check.h"
#include "common/dll_search.h"
#include "common/program_dir.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

static void TestSourceDirectories()
{
    static const struct {
        const char *path;
        size_t length; // as GetModuleFileNameA returns it; ~0 for strlen
        size_t bufferSize;
        const char *dir; // null: refused
    } cases[] = {
        {"C:\\ZV-001\\ZVSetup.exe", ~(size_t)0, 260, "C:\\ZV-001"},
        {"C:\\Program Files\\ZV 001\\ZVSetup.exe", ~(size_t)0, 260, "C:\\Program Files\\ZV 001"},
        {"C:\\ZVSetup.exe", ~(size_t)0, 260, "C:"},
        {"\\\\server\\share\\ZVSetup.exe", ~(size_t)0, 260, "\\\\server\\share"},
        {"", 0, 260, NULL},                     // GetModuleFileNameA failed
        {"ZVSetup.exe", ~(size_t)0, 260, NULL}, // no directory in it
        // A path that filled the buffer comes back cut (and returns the buffer size).
        {"C:\\ZV-001\\ZVSetup.e", 20, 20, NULL},
        {"C:\\ZV-001\\ZVSetup.e", 19, 20, "C:\\ZV-001"}, // one byte short of full: whole
    };
    for (const auto &c : cases) {
        size_t length = c.length == ~(size_t)0 ? strlen(c.path) : c.length;
        char *dir = SourceDirectory(c.path, length, c.bufferSize);
        if (c.dir)
            CHECK(dir && strcmp(dir, c.dir) == 0, "\"%s\" gave \"%s\", expected \"%s\"", c.path,
                  dir ? dir : "(null)", c.dir);
        else
            CHECK(dir == NULL, "\"%s\" (length %u) gave \"%s\"", c.path, (unsigned)length, dir);
        free(dir);
    }
}

// A DLL beside the program is found until the search is restricted, and never after.
static void TestDllSearch()
{
    HMODULE planted = LoadLibraryA("zvplanted.dll");
    CHECK(planted != NULL, "the planted DLL is not there to find: %lu", GetLastError());
    if (planted)
        FreeLibrary(planted);
    RestrictDllSearch();
    planted = LoadLibraryA("zvplanted.dll");
    CHECK(planted == NULL, "the planted DLL was loaded after the search was restricted");
    if (planted)
        FreeLibrary(planted);
    HMODULE system = LoadLibraryA("version.dll");
    CHECK(system != NULL, "a system DLL is no longer found: %lu", GetLastError());
    if (system)
        FreeLibrary(system);
}

int main()
{
    TestSourceDirectories();
    TestDllSearch();
    return CheckDone();
}
