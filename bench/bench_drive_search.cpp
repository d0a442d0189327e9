// Times one whole drive walk: bench_drive_search LETTER prints the milliseconds that
// SearchDriveForGame took over that drive and what it found; bench_drive_search LETTER walk N
// times the same walk with N lister threads. bench_drive_search LETTER listings
// times a bare walk instead, one FindFirstFileA listing of every directory and nothing else:
// the floor of any walk that looks into each directory once. "lean-listings" does the same with
// FindFirstFileExA asking for no short names and large fetches.
#include "gamedir/drive_search.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static bool g_lean;

// Lists path (ending in a backslash) and every directory below it; returns how many.
static long ListTree(char *path, size_t length)
{
    WIN32_FIND_DATAA entry;
    snprintf(path + length, MAX_PATH - length, "*.*");
    HANDLE listing = g_lean ? FindFirstFileExA(path, FindExInfoBasic, &entry, FindExSearchNameMatch,
                                               NULL, FIND_FIRST_EX_LARGE_FETCH)
                            : FindFirstFileA(path, &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return 0;
    // The subdirectories are walked once the listing is closed, as the search does.
    char names[64][MAX_PATH];
    int count = 0;
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && strcmp(entry.cFileName, ".") &&
            strcmp(entry.cFileName, "..") && count < 64)
            snprintf(names[count++], MAX_PATH, "%s", entry.cFileName);
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
    long listed = 1;
    for (int i = 0; i < count; i++) {
        int added = snprintf(path + length, MAX_PATH - length, "%s\\", names[i]);
        if (added > 0 && length + added < MAX_PATH - 4)
            listed += ListTree(path, length + added);
    }
    return listed;
}

static void CountError(void *errors, const char *, DWORD)
{
    ++*(long *)errors;
}

int main(int argc, char **argv)
{
    if (argc < 2 || !isalpha((unsigned char)argv[1][0])) {
        fprintf(stderr, "usage: bench_drive_search LETTER [listings]\n");
        return 2;
    }
    int drive = toupper((unsigned char)argv[1][0]) - 'A';
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    char *found = NULL;
    bool hit = false;
    long listed = 0;
    char path[MAX_PATH] = {(char)('A' + drive), ':', '\\'};
    QueryPerformanceCounter(&start);
    g_lean = argc > 2 && strcmp(argv[2], "lean-listings") == 0;
    bool walk = argc > 3 && strcmp(argv[2], "walk") == 0;
    long errors = 0;
    if (walk)
        hit = WalkDriveForGame(drive, "\\", atoi(argv[3]), CountError, &errors, NULL, &found);
    else if (argc > 2)
        listed = ListTree(path, 3);
    else
        hit = SearchDriveForGame(NULL, drive, "\\", &found);
    QueryPerformanceCounter(&end);
    double ms = (double)(end.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
    if (argc > 2 && !walk)
        printf("%.1f %ld\n", ms, listed);
    else
        printf("%.1f %s\n", ms, hit ? found : "-");
    free(found);
    return 0;
}
