// The drive walk: pre-order and depth first, in the order each listing delivers its entries.
// A directory is listed once: the listing tells whether it holds quake3.exe, which is then
// opened to confirm, and names the subdirectories to walk next. Lister threads make the
// listings ahead of the walk; every decision, the boxes and the hit are made here, on the
// walk's own thread, in the same order as without them.
#include "drive_search.h"

#include "game_dir.h"
#include "lookahead.h"
#include "../common/path.h"
#include "../common/system_error.h"
#include "../common/text.h"

#include <stdlib.h>
#include <string.h>

struct Walk {
    Lookahead ahead;
    SearchErrorProc report;
    void *context;
    const volatile LONG *stop;
    char **result;
    char root[sizeof "X:\\"];
    bool driveGone;
};

// The walk goes no further: stopped from outside, or its drive has gone.
static bool Ended(const Walk *walk)
{
    return walk->driveGone || (walk->stop && *walk->stop);
}

// Whether the drive's root can no longer be listed, and why; a pulled-out disk fails every
// listing still to come.
static bool DriveGone(const Walk *walk, DWORD *error)
{
    char pattern[sizeof walk->root + 3];
    FormatText(pattern, sizeof pattern, "%s*.*", walk->root);
    WIN32_FIND_DATAA entry;
    HANDLE found = FindFirstFileA(pattern, &entry);
    if (found != INVALID_HANDLE_VALUE) {
        FindClose(found);
        return false;
    }
    *error = GetLastError();
    return true;
}

// A hit at directory: the result is a copy of it; false, after a report, when memory runs out.
static bool TakeResult(Walk *walk, const char *directory)
{
    *walk->result = DupString(directory);
    if (!*walk->result)
        walk->report(walk->context, directory, ERROR_NOT_ENOUGH_MEMORY);
    return *walk->result != NULL;
}

static bool SearchLevel(Walk *walk, const char *directory, bool candidate, const Listing *listing);

// The subdirectories of directory, each with its whole subtree before the next. Links
// (junctions, symbolic links, mount points) are tested but never entered: they loop back into
// their parents on every system drive, behind entries that deny listing.
static bool WalkSubdirectories(Walk *walk, const char *directory, const Listing *listing)
{
    AheadLevel *level = OpenAheadLevel(&walk->ahead, directory, listing);
    if (!level) {
        walk->report(walk->context, directory, ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    // On the stack: a path's 260 characters allow some 130 levels, well within it.
    char work[kWorkSize];
    bool found = false;
    for (size_t i = 0; !found && !Ended(walk) && i < level->count; i++) {
        const char *entry = level->slots[i].entry;
        // Fits: the listing kept only names whose own listing pattern fits.
        FormatText(work, sizeof work, "%s%s", level->prefix, entry + 1);
        if (*entry == kLinkEntry) {
            found = IsGameDirectory(work) && TakeResult(walk, work);
        } else {
            Listing below;
            TakeListing(&walk->ahead, level, i, work, &below);
            found = SearchLevel(walk, work, true, &below);
            free(below.kept);
        }
    }
    CloseAheadLevel(&walk->ahead, level);
    return found;
}

// A candidate is first tested itself: by its listing, or when it cannot be listed, by the
// open test before its listing error is reported.
static bool SearchLevel(Walk *walk, const char *directory, bool candidate, const Listing *listing)
{
    if (candidate && (listing->namesGame || listing->error != ERROR_SUCCESS) &&
        IsGameDirectory(directory))
        return TakeResult(walk, directory);
    if (listing->error != ERROR_SUCCESS) {
        // A directory below a drive that has gone is told as the drive, once, not as itself
        // and every directory after it.
        DWORD error = listing->error;
        walk->driveGone = candidate && DriveGone(walk, &error);
        walk->report(walk->context, walk->driveGone ? walk->root : directory, error);
        return false;
    }
    return listing->used && WalkSubdirectories(walk, directory, listing);
}

bool WalkDriveForGame(int drive, const char *path, int listers, SearchErrorProc report,
                      void *context, const volatile LONG *stop, char **result)
{
    free(*result);
    *result = NULL;
    // The directory as the drive's letter and the path; one too long to list is passed over
    // silently, like a subdirectory that does not fit.
    char directory[kWorkSize];
    if (!FormatText(directory, sizeof directory, "%c:%s", 'A' + drive, path))
        return false;
    Listing top;
    ListDirectory(directory, &top);
    Walk walk;
    walk.report = report;
    walk.context = context;
    walk.stop = stop;
    walk.result = result;
    FormatText(walk.root, sizeof walk.root, "%c:\\", 'A' + drive);
    walk.driveGone = false;
    StartLookahead(&walk.ahead, top.used ? listers : 0);
    bool found = SearchLevel(&walk, directory, false, &top);
    StopListers(&walk.ahead);
    free(top.kept);
    return found;
}

static void ShowSearchError(void *owner, const char *, DWORD error)
{
    ShowSystemError((HWND)owner, error, "Search Error", MB_OK | MB_ICONHAND);
}

bool SearchDriveForGame(HWND owner, int drive, const char *path, char **result)
{
    return WalkDriveForGame(drive, path, kSearchListers, ShowSearchError, owner, NULL, result);
}
