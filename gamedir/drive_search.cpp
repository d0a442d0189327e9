// The drive walk: pre-order and depth first, in the order each listing delivers its entries.
// Every level owns one listing handle and one working buffer and releases both on every way
// out, so a walk holds as many of each as the depth it has reached.
#include "drive_search.h"

#include "game_dir.h"
#include "../common/system_error.h"
#include "../common/text.h"

#include <stdlib.h>
#include <string.h>

// The longest path the platform takes, and its terminator.
static const size_t kWorkSize = MAX_PATH + 1;

static const char *SeparatorAfter(const char *path)
{
    size_t length = strlen(path);
    return length > 0 && path[length - 1] == '\\' ? "" : "\\";
}

// The longest text composed for a subdirectory is the listing pattern of its own walk (drive,
// path, separator, name, "\*.*"). A subdirectory for which that would not fit is skipped
// outright, so nothing is ever cut short, and directory links that lead back into their
// parents end at the path limit.
static bool FitsWorkBuffer(const char *path, const char *name)
{
    size_t patternLength =
        strlen("C:") + strlen(path) + strlen(SeparatorAfter(path)) + strlen(name) + strlen("\\*.*");
    return patternLength < kWorkSize;
}

static void ReportSearchError(HWND owner, DWORD error)
{
    ShowSystemError(owner, error, "Search Error", MB_OK | MB_ICONHAND);
}

static bool IsDotEntry(const char *name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

bool SearchDriveForGame(HWND owner, int drive, const char *path, char **result)
{
    free(*result);
    *result = NULL;
    char letter = (char)('A' + drive);
    const char *separator = SeparatorAfter(path);

    // Out of memory is told like a directory that cannot be listed: this level is given up.
    char *work = (char *)calloc(kWorkSize, 1);
    if (!work) {
        ReportSearchError(owner, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    // A path handed in too long to list is passed over silently, like a subdirectory that
    // does not fit.
    if (!FormatText(work, kWorkSize, "%c:%s%s*.*", letter, path, separator)) {
        free(work);
        return false;
    }
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(work, &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        free(work);
        ReportSearchError(owner, error);
        return false;
    }

    bool found = false;
    do {
        const char *name = entry.cFileName;
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(name) ||
            !FitsWorkBuffer(path, name))
            continue;
        FormatText(work, kWorkSize, "%c:%s%s%s", letter, path, separator, name);
        if (IsGameDirectory(work)) {
            *result = DupString(work);
            found = *result != NULL;
            if (!found)
                ReportSearchError(owner, ERROR_NOT_ENOUGH_MEMORY);
            break;
        }
        FormatText(work, kWorkSize, "%s%s%s", path, separator, name);
        found = SearchDriveForGame(owner, drive, work, result);
    } while (!found && FindNextFileA(listing, &entry));

    FindClose(listing);
    free(work);
    return found;
}
