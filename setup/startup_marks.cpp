// Start-up marks (see startup_marks.h): kept in memory while the program starts, since
// writing each one out would slow the steps it measures, then appended to a file as one line.
#include "startup_marks.h"

#include <windows.h>
#include <string.h>

#include "../common/text.h"

struct StartupMark {
    const char *step;
    double ms;
};

static const LONG kMostMarks = 16;
static StartupMark s_marks[kMostMarks];
static volatile LONG s_markCount;
static volatile LONG s_ended;

// Milliseconds since the process was created, by the clock the creation time was read with.
static double SinceProcessStart()
{
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return -1;
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER from = {{created.dwLowDateTime, created.dwHighDateTime}};
    ULARGE_INTEGER to = {{now.dwLowDateTime, now.dwHighDateTime}};
    return (double)(LONGLONG)(to.QuadPart - from.QuadPart) / 10000.0;
}

static bool Marked(const char *step, LONG count)
{
    for (LONG i = 0; i < count && i < kMostMarks; i++)
        if (s_marks[i].step && strcmp(s_marks[i].step, step) == 0)
            return true;
    return false;
}

void MarkStartup(const char *step)
{
    double ms = SinceProcessStart();
    if (s_ended || Marked(step, s_markCount))
        return;
    LONG slot = InterlockedIncrement(&s_markCount) - 1;
    if (slot < kMostMarks) {
        s_marks[slot].ms = ms;
        s_marks[slot].step = step;
    }
}

void EndStartupMarks(const char *step)
{
    MarkStartup(step);
    if (InterlockedExchange(&s_ended, 1))
        return;
    char line[kMostMarks * 40];
    size_t length = 0;
    LONG count = s_markCount < kMostMarks ? s_markCount : kMostMarks;
    for (LONG i = 0; i < count; i++) {
        // Hundredths of a millisecond as whole numbers: the C runtime is not asked for floats.
        long hundredths = (long)(s_marks[i].ms * 100);
        if (s_marks[i].step && FormatText(line + length, sizeof line - length, "%s=%ld.%02ld ",
                                          s_marks[i].step, hundredths / 100, hundredths % 100))
            length += strlen(line + length);
    }
    if (length < sizeof line - 1) {
        line[length++] = '\n';
        line[length] = 0;
    }
    HANDLE file = CreateFileA("startup_marks.txt", FILE_APPEND_DATA, FILE_SHARE_READ, NULL,
                              OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, (DWORD)length, &written, NULL);
    CloseHandle(file);
}
