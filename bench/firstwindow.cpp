// Benchmark helper run under Wine: starts each installer in turn, the same way, and measures
// the time from CreateProcess to its first visible window and to its first visible dialog (a
// page), then its peak working set once the page has settled, and ends it.
// Usage: firstwindow.exe RUNS RESULT_FILE EXE...   (one result line per run and installer)
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct Search {
    DWORD process;
    bool anyWindow;
    bool page;
};

static BOOL CALLBACK Look(HWND window, LPARAM param)
{
    Search *search = (Search *)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window))
        return TRUE;
    RECT r;
    if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top)
        return TRUE;
    search->anyWindow = true;
    char cls[64];
    if (GetClassNameA(window, cls, sizeof cls) && strcmp(cls, "#32770") == 0)
        search->page = true;
    return TRUE;
}

static double Millis(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return (double)(to.QuadPart - from.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

// One launch: times in ms (negative when not seen within 20 s), peak working set in KB.
static bool Measure(const char *exe, double *window, double *page, unsigned long *peakKb)
{
    char dir[MAX_PATH];
    snprintf(dir, sizeof dir, "%s", exe);
    char *slash = strrchr(dir, '\\');
    if (slash)
        *slash = 0;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(exe, NULL, NULL, NULL, FALSE, 0, NULL, slash ? dir : NULL, &startup, &info))
        return false;
    *window = *page = -1;
    Search search = {info.dwProcessId, false, false};
    for (;;) {
        EnumWindows(Look, (LPARAM)&search);
        QueryPerformanceCounter(&now);
        if (search.anyWindow && *window < 0)
            *window = Millis(start, now, frequency);
        if (search.page) {
            *page = Millis(start, now, frequency);
            break;
        }
        if (Millis(start, now, frequency) > 20000 ||
            WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0)
            break;
        Sleep(1);
    }
    Sleep(500); // let the page finish painting before reading the peak
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    *peakKb = GetProcessMemoryInfo(info.hProcess, &memory, sizeof memory)
                  ? (unsigned long)(memory.PeakWorkingSetSize / 1024)
                  : 0;
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    Sleep(300); // let Wine tear the windows down before the next launch
    return true;
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: firstwindow RUNS RESULT_FILE EXE...\n");
        return 2;
    }
    int runs = atoi(argv[1]);
    FILE *out = fopen(argv[2], "w");
    if (!out)
        return 1;
    // Warm-up launch of each, not counted: the first start of a program loads its DLLs cold.
    for (int i = 3; i < argc; i++) {
        double w, p;
        unsigned long kb;
        Measure(argv[i], &w, &p, &kb);
    }
    // Interleaved, so a slow moment of the machine hits every installer alike.
    for (int run = 0; run < runs; run++)
        for (int i = 3; i < argc; i++) {
            double window = -1, page = -1;
            unsigned long peakKb = 0;
            if (!Measure(argv[i], &window, &page, &peakKb))
                fprintf(out, "%s failed %lu\n", argv[i], GetLastError());
            else
                fprintf(out, "%s %.1f %.1f %lu\n", argv[i], window, page, peakKb);
            fflush(out);
        }
    fclose(out);
    return 0;
}
