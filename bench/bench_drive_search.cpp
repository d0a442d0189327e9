// Times one whole drive walk: bench_drive_search LETTER prints the milliseconds that
// SearchDriveForGame took over that drive and what it found.
#include "gamedir/drive_search.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    if (argc != 2 || !isalpha((unsigned char)argv[1][0])) {
        fprintf(stderr, "usage: bench_drive_search LETTER\n");
        return 2;
    }
    int drive = toupper((unsigned char)argv[1][0]) - 'A';
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    char *found = NULL;
    QueryPerformanceCounter(&start);
    bool hit = SearchDriveForGame(NULL, drive, "\\", &found);
    QueryPerformanceCounter(&end);
    double ms = (double)(end.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
    printf("%.1f %s\n", ms, hit ? found : "-");
    free(found);
    return 0;
}
