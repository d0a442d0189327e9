// Counting checks and the result file that the Wine test runner reads.
#include "check.h"

#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

static CRITICAL_SECTION s_lock;
static bool s_lockReady;
static long s_passed;
static long s_failed;
static long s_skipped;

static void WriteLine(const char *text)
{
    if (!s_lockReady) {
        InitializeCriticalSection(&s_lock);
        s_lockReady = true;
    }
    EnterCriticalSection(&s_lock);
    fputs(text, stdout);
    fputc('\n', stdout);
    fflush(stdout);
    const char *path = getenv("ZV_RESULT");
    if (path && *path) {
        FILE *f = fopen(path, "a");
        if (f) {
            fputs(text, f);
            fputc('\n', f);
            fclose(f);
        }
    }
    LeaveCriticalSection(&s_lock);
}

void TestLog(const char *fmt, ...)
{
    char line[2048];
    va_list args;
    va_start(args, fmt);
    vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    WriteLine(line);
}

bool CheckAt(const char *file, int line, bool ok, const char *expr, const char *fmt, ...)
{
    if (ok) {
        InterlockedIncrement(&s_passed);
        return true;
    }
    InterlockedIncrement(&s_failed);
    char detail[1024];
    va_list args;
    va_start(args, fmt);
    vsnprintf(detail, sizeof detail, fmt, args);
    va_end(args);
    TestLog("%s:%d: failed: %s: %s", file, line, expr, detail);
    return false;
}

bool CheckTextAt(const char *file, int line, const std::string &got, const std::string &want,
                 const char *expr)
{
    return CheckAt(file, line, got == want, expr, "got \"%s\", want \"%s\"", got.c_str(),
                   want.c_str());
}

void SkipAt(const char *file, int line, const char *fmt, ...)
{
    InterlockedIncrement(&s_skipped);
    char reason[1024];
    va_list args;
    va_start(args, fmt);
    vsnprintf(reason, sizeof reason, fmt, args);
    va_end(args);
    TestLog("%s:%d: skipped: %s", file, line, reason);
}

int CheckDone()
{
    char skipped[32] = "";
    if (s_skipped)
        snprintf(skipped, sizeof skipped, ", %ld skipped", s_skipped);
    TestLog("%ld passed, %ld failed%s", s_passed, s_failed, skipped);
    return s_failed == 0 && s_passed > 0 ? 0 : 1;
}
