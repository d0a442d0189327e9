// The drive walk: pre-order and depth first, in the order each listing delivers its entries.
// A directory is listed once: the listing tells whether it holds quake3.exe, which is then
// opened to confirm, and names the subdirectories to walk next. Each level reads its listing
// whole and closes it before going down, and frees its list of subdirectories on every way out.
#include "drive_search.h"

#include "game_dir.h"
#include "../common/path.h"
#include "../common/system_error.h"
#include "../common/text.h"

#include <stdlib.h>
#include <string.h>

// The longest path the platform takes, and its terminator.
static const size_t kWorkSize = MAX_PATH + 1;

// A subdirectory kept from a listing: its link mark, then its name and terminator.
static const char kPlainEntry = 'd';
static const char kLinkEntry = 'l';

static const char *SeparatorAfter(const char *path)
{
    return EndsWithSeparator(path) ? "" : "\\";
}

static void ReportSearchError(HWND owner, DWORD error)
{
    ShowSystemError(owner, error, "Search Error", MB_OK | MB_ICONHAND);
}

static bool IsDotEntry(const char *name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// The game test answered by a listing entry: its long or its short name is quake3.exe. Only
// ASCII letters fold, as no other character can stand for one of these.
static bool NamesGame(const WIN32_FIND_DATAA *entry)
{
    return EqualAsciiText(entry->cFileName, "quake3.exe") ||
           EqualAsciiText(entry->cAlternateFileName, "quake3.exe");
}

// The subdirectories of one listing, in listing order, one after another.
struct Subdirectories {
    char *text;
    size_t used;
    size_t size;
};

static bool KeepSubdirectory(Subdirectories *kept, char mark, const char *name)
{
    size_t length = strlen(name) + 2;
    if (kept->size - kept->used < length) {
        size_t size = kept->size * 2 + length + 256;
        char *grown = (char *)realloc(kept->text, size);
        if (!grown)
            return false;
        kept->text = grown;
        kept->size = size;
    }
    kept->text[kept->used] = mark;
    memcpy(kept->text + kept->used + 1, name, length - 1);
    kept->used += length;
    return true;
}

// A hit at directory: the result is a copy of it; false, after a box, when memory runs out.
static bool TakeResult(HWND owner, const char *directory, char **result)
{
    *result = DupString(directory);
    if (!*result)
        ReportSearchError(owner, ERROR_NOT_ENOUGH_MEMORY);
    return *result != NULL;
}

// Walks the directory at path (drive-relative, "\" for the root). A candidate is first tested
// itself: by its listing, or when it cannot be listed, by the open test before its listing
// error is reported. Links (junctions, symbolic links, mount points) are tested but never
// entered: they loop back into their parents on every system drive, behind entries that
// deny listing.
static bool SearchLevel(HWND owner, char letter, const char *path, bool candidate, char **result)
{
    const char *separator = SeparatorAfter(path);
    // On the stack: a path's 260 characters allow some 130 levels, well within it.
    char work[kWorkSize];
    // A path handed in too long to list is passed over silently, like a subdirectory that
    // does not fit.
    if (!FormatText(work, kWorkSize, "%c:%s%s*.*", letter, path, separator))
        return false;
    // The longest text composed for a subdirectory is the listing pattern of its own walk:
    // this pattern less its "*.*", the name, "\*.*". A subdirectory for which that would not
    // fit is skipped outright, so nothing is ever cut short.
    size_t room = kWorkSize - (strlen(work) - strlen("*.*")) - strlen("\\*.*");
    Subdirectories kept = {NULL, 0, 0};
    bool found = false, listsGame = false;
    DWORD error = ERROR_SUCCESS;
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(work, &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        error = GetLastError();
    } else {
        do {
            const char *name = entry.cFileName;
            listsGame = listsGame || NamesGame(&entry);
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(name) ||
                strlen(name) >= room)
                continue;
            bool link = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            // Out of memory is told like a directory that cannot be listed.
            if (!KeepSubdirectory(&kept, link ? kLinkEntry : kPlainEntry, name)) {
                error = ERROR_NOT_ENOUGH_MEMORY;
                break;
            }
        } while (FindNextFileA(listing, &entry));
        FindClose(listing);
    }

    // The directory itself, as the drive's letter, path and no trailing backslash.
    FormatText(work, kWorkSize, "%c:%s", letter, path);
    if (candidate && (listsGame || error != ERROR_SUCCESS) && IsGameDirectory(work))
        found = TakeResult(owner, work, result);
    else if (error != ERROR_SUCCESS)
        ReportSearchError(owner, error);
    else
        for (size_t at = 0; !found && at < kept.used; at += strlen(kept.text + at) + 1) {
            FormatText(work, kWorkSize, "%c:%s%s%s", letter, path, separator, kept.text + at + 1);
            if (kept.text[at] == kLinkEntry)
                found = IsGameDirectory(work) && TakeResult(owner, work, result);
            else // the path on the drive follows the letter and colon
                found = SearchLevel(owner, letter, work + 2, true, result);
        }
    free(kept.text);
    return found;
}

bool SearchDriveForGame(HWND owner, int drive, const char *path, char **result)
{
    free(*result);
    *result = NULL;
    return SearchLevel(owner, (char)('A' + drive), path, false, result);
}
