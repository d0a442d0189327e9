// The installer's own directory from the module path that GetModuleFileNameA gives back.
#include "check.h"
#include "common/program_dir.h"

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

int main()
{
    TestSourceDirectories();
    return CheckDone();
}
