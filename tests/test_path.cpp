// The program's own directory from the module path that GetModuleFileNameA gives back, paths
// read by character in double-byte code pages, and the DLL search limited to the system
// directory.
#include "check.h"
#include "common/dll_search.h"
#include "common/path.h"
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
        char *dir = DirectoryOfPath(c.path, length, c.bufferSize);
        if (c.dir)
            CHECK(dir && strcmp(dir, c.dir) == 0, "\"%s\" gave \"%s\", expected \"%s\"", c.path,
                  dir ? dir : "(null)", c.dir);
        else
            CHECK(dir == NULL, "\"%s\" (length %u) gave \"%s\"", c.path, (unsigned)length, dir);
        free(dir);
    }
}

// 0x83 0x5C is one Japanese character whose second byte is the backslash's: it neither ends a
// directory nor separates one from a name. Joining goes by the same rule in the ANSI code
// page, which here is a Western one.
static void TestSeparators()
{
    static const unsigned kWestern = 1252, kJapanese = 932;
    static const struct {
        const char *path;
        unsigned codePage;
        int last; // offset of the last separator, -1 for none
    } cases[] = {
        {"C:\\Games\\Quake3", kWestern, 8},
        {"C:\\Games\\", kWestern, 8},
        {"Quake3", kWestern, -1},
        {"", kWestern, -1},
        {"C:\\\x83\\", kWestern, 4},
        {"C:\\\x83\\", kJapanese, 2},
        {"C:\\\x83\\ZVSetup.exe", kJapanese, 2},
        {"C:\\\x83\\\\ZVSetup.exe", kJapanese, 5},
        {"\x83", kJapanese, -1}, // a lead byte cut off at the end
    };
    for (const auto &c : cases) {
        const char *last = LastSeparator(c.path, c.codePage);
        int at = last ? (int)(last - c.path) : -1;
        CHECK(at == c.last, "\"%s\" in %u: last separator at %d, expected %d", c.path, c.codePage,
              at, c.last);
    }
    // "\\?\" spellings read as their plain forms.
    static const struct {
        const char *path;
        size_t root;
        const char *plain;
    } roots[] = {
        {"C:\\x", 3, "C:\\x"},
        {"\\\\?\\C:\\x", 7, "C:\\x"},
        {"\\\\?\\c:", 0, "c:\\"},
        {"\\\\srv\\sh\\x", 9, "\\\\srv\\sh\\x"},
        {"\\\\?\\UNC\\srv\\sh\\x", 15, "\\\\srv\\sh\\x"},
        {"\\\\?\\unc\\srv\\sh", 0, "\\\\srv\\sh"},
        {"\\\\.\\C:\\x", 7, "\\\\.\\C:\\x"},
        {"\\\\?\\UNC\\?\\C:\\x", 13, "C:\\x"},
        {"C:x", 0, "C:x"},
    };
    for (const auto &r : roots) {
        char plain[32];
        snprintf(plain, sizeof plain, "%s", r.path);
        PlainPath(plain);
        CHECK(RootLength(r.path, kWestern) == r.root && strcmp(plain, r.plain) == 0,
              "\"%s\": root %u, plain \"%s\"", r.path, (unsigned)RootLength(r.path, kWestern),
              plain);
    }
    // A path that ends in a lone lead byte, with a backslash past its terminator: a step over
    // the terminator would find that backslash.
    static const char cutOff[] = "C:\\Games\\\x83\0\\\\";
    const char *next = NextSeparator(cutOff + 9, kJapanese);
    CHECK(next == cutOff + 10, "NextSeparator after a lone lead byte stopped at %d, not at the end",
          (int)(next - cutOff));
    const char *last = LastSeparator(cutOff, kJapanese);
    CHECK(last == cutOff + 8, "LastSeparator after a lone lead byte gave offset %d, expected 8",
          last ? (int)(last - cutOff) : -1);
    CHECK(CharLength(cutOff + 9, kJapanese) == 1, "a lone lead byte took its terminator along");
    static const char *const joins[][3] = {
        {"C:\\Games", "quake3.exe", "C:\\Games\\quake3.exe"},
        {"C:\\", "quake3.exe", "C:\\quake3.exe"},
        {"", "quake3.exe", "\\quake3.exe"},
    };
    for (const auto &j : joins) {
        char *joined = JoinPath(j[0], j[1]);
        CHECK(joined && strcmp(joined, j[2]) == 0, "\"%s\" + \"%s\" gave \"%s\"", j[0], j[1],
              joined ? joined : "(null)");
        free(joined);
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
    TestSeparators();
    TestDllSearch();
    return CheckDone();
}
