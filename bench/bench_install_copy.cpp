// Times the installation of a large pack against one CopyFileA of the same file followed by
// FlushFileBuffers of the copy (the installation writes its pack durably, so its peer does), in
// turns, and an installation of an empty pack for what every installation costs besides the
// copy: bench_install_copy MEGABYTES ROUNDS prints each round's three times in milliseconds.
// The package files are made beside this program, where InstallPackage looks for them.
#include "common/program_dir.h"
#include "setup/table_string.h"
#include "install/install.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static bool WriteFileOfSize(const char *path, unsigned megabytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    static char block[1024 * 1024];
    bool ok = true;
    for (unsigned i = 0; ok && i < megabytes; i++) {
        memset(block, (int)(i * 7 + 1), sizeof block);
        DWORD written = 0;
        ok = WriteFile(file, block, sizeof block, &written, NULL) && written == sizeof block;
    }
    // On disk before the timing starts: the system writing it back meanwhile would slow
    // whichever of the two copies runs then.
    ok = ok && FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
}

// CopyFileA, then the copy flushed to disk; false when either fails.
static bool CopyDurably(const char *from, const char *to)
{
    if (!CopyFileA(from, to, FALSE))
        return false;
    HANDLE file = CreateFileA(to, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool flushed = FlushFileBuffers(file) != 0;
    CloseHandle(file);
    return flushed;
}

static double Now()
{
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return (double)count.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

// The disk here goes on working for a while after a flush of a large file has returned, and
// deleting one costs the next flush (the file system releases the blocks, discarding them, when
// a flush commits): whichever copy ran second was twice as slow. So before each timed copy the
// old copies go, a small flushed file commits their removal, and the disk is given time.
static void Quieten(const char *plain, const char *slot, const char *log, const char *marker)
{
    DeleteFileA(plain);
    DeleteFileA(slot);
    DeleteFileA(log);
    WriteFileOfSize(marker, 0);
    Sleep(2000);
}

// One installation into a game directory that holds no pack and no log; its milliseconds, or a
// negative number when it did not place the pack.
static double TimeInstall(const char *game, const char *slot, const char *log)
{
    DeleteFileA(slot);
    DeleteFileA(log);
    double start = Now();
    bool installed =
        InstallPackage(NULL, game) && GetFileAttributesA(slot) != INVALID_FILE_ATTRIBUTES;
    double took = Now() - start;
    return installed ? took : -1;
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: bench_install_copy MEGABYTES ROUNDS\n");
        return 2;
    }
    g_hInstance = GetModuleHandleA(NULL);
    char *dir = ProgramDirectory();
    char licence[MAX_PATH], uninstaller[MAX_PATH], pack[MAX_PATH], plain[MAX_PATH];
    char game[MAX_PATH], baseq3[MAX_PATH], exe[MAX_PATH], slot[MAX_PATH], log[MAX_PATH];
    char marker[MAX_PATH];
    snprintf(licence, sizeof licence, "%s\\ZV-001.txt", dir);
    snprintf(uninstaller, sizeof uninstaller, "%s\\zvuninst.exe", dir);
    snprintf(pack, sizeof pack, "%s\\PakZV01.pk3", dir);
    snprintf(plain, sizeof plain, "%s\\plain.pk3", dir);
    snprintf(marker, sizeof marker, "%s\\marker", dir);
    snprintf(game, sizeof game, "%s\\Game", dir);
    snprintf(baseq3, sizeof baseq3, "%s\\baseq3", game);
    snprintf(exe, sizeof exe, "%s\\quake3.exe", game);
    snprintf(slot, sizeof slot, "%s\\PakZV01.pk3", baseq3);
    snprintf(log, sizeof log, "%s\\ZVFiles.log", game);
    free(dir);
    CreateDirectoryA(game, NULL);
    CreateDirectoryA(baseq3, NULL);
    if (!WriteFileOfSize(exe, 0) || !WriteFileOfSize(licence, 0) ||
        !WriteFileOfSize(uninstaller, 0)) {
        fprintf(stderr, "cannot make the package files\n");
        return 1;
    }
    unsigned megabytes = (unsigned)atoi(argv[1]);
    for (int round = 0; round < atoi(argv[2]); round++) {
        WriteFileOfSize(pack, 0);
        Quieten(plain, slot, log, marker);
        double empty = TimeInstall(game, slot, log);
        WriteFileOfSize(pack, megabytes);
        Quieten(plain, slot, log, marker);
        double install = TimeInstall(game, slot, log);
        Quieten(plain, slot, log, marker);
        double start = Now();
        bool copied = CopyDurably(pack, plain);
        double copy = Now() - start;
        printf("%.1f %.1f %.1f%s\n", copy, install, empty,
               copied && install >= 0 && empty >= 0 ? "" : " failed");
        fflush(stdout);
    }
    DeleteFileA(plain);
    DeleteFileA(slot);
    DeleteFileA(pack);
    DeleteFileA(marker);
    return 0;
}
