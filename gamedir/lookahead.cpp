// Listings made ahead of the drive walk. Lister threads take the first waiting subdirectory of
// the deepest level, then of the level above, so they work where the walk goes next. The walk
// never waits for a lister: it lists a subdirectory itself when its listing is not ready, and a
// listing that comes too late is dropped, so a lister held up by a busy machine or a slow disk
// never holds up the walk. One lock guards the levels and slots; nothing is listed under it.
#include "lookahead.h"

#include "../common/path.h"
#include "../common/text.h"

#include <stdlib.h>
#include <string.h>

// Listings held ahead of the walk at most: enough to keep every lister busy between two
// directories the walk takes, few enough that a wide drive costs little memory.
static const int kMostAhead = 64;

enum SlotState { kWaiting, kTaken, kDone, kUsed };

// Exactly "." or "..".
static bool IsDotEntry(const char *name)
{
    return name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2]));
}

// The game test answered by a listing entry: its long or its short name is quake3.exe. Only
// ASCII letters fold, as no other character can stand for one of these.
static bool NamesGame(const WIN32_FIND_DATAA *entry)
{
    return EqualAsciiText(entry->cFileName, "quake3.exe") ||
           EqualAsciiText(entry->cAlternateFileName, "quake3.exe");
}

static bool Keep(Listing *listing, size_t *size, char mark, const char *name)
{
    size_t length = strlen(name) + 2;
    if (*size - listing->used < length) {
        size_t grown = *size * 2 + length + 256;
        char *text = (char *)realloc(listing->kept, grown);
        if (!text)
            return false;
        listing->kept = text;
        *size = grown;
    }
    listing->kept[listing->used] = mark;
    memcpy(listing->kept + listing->used + 1, name, length - 1);
    listing->used += length;
    return true;
}

bool ShouldWalk(DWORD attributes, DWORD reparseTag)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            (reparseTag != 0 && !IsReparseTagNameSurrogate(reparseTag)));
}

// The next entry of the listing. A reparse tag is read only from an entry marked as a reparse
// point; Wine leaves it unset even then, so a stale or random one must never be read.
static bool FindEntry(HANDLE found, WIN32_FIND_DATAA *entry)
{
    entry->dwReserved0 = 0;
    return FindNextFileA(found, entry);
}

void ListDirectory(const char *directory, Listing *listing)
{
    memset(listing, 0, sizeof *listing);
    char pattern[kWorkSize];
    if (!FormatText(pattern, sizeof pattern, "%s%s*.*", directory,
                    EndsWithSeparator(directory) ? "" : "\\"))
        return;
    // The longest text composed for a subdirectory is the listing pattern of its own walk:
    // this pattern less its "*.*", the name, "\*.*". A subdirectory for which that would not
    // fit is skipped outright, so nothing is ever cut short.
    size_t room = kWorkSize - (strlen(pattern) - strlen("*.*")) - strlen("\\*.*");
    size_t size = 0;
    WIN32_FIND_DATAA entry;
    entry.dwReserved0 = 0;
    HANDLE found = FindFirstFileA(pattern, &entry);
    if (found == INVALID_HANDLE_VALUE) {
        listing->error = GetLastError();
        return;
    }
    do {
        const char *name = entry.cFileName;
        listing->namesGame = listing->namesGame || NamesGame(&entry);
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(name) ||
            strlen(name) >= room)
            continue;
        char mark =
            ShouldWalk(entry.dwFileAttributes, entry.dwReserved0) ? kPlainEntry : kLinkEntry;
        // Out of memory is told like a directory that cannot be listed.
        if (!Keep(listing, &size, mark, name)) {
            listing->error = ERROR_NOT_ENOUGH_MEMORY;
            break;
        }
    } while (FindEntry(found, &entry));
    FindClose(found);
}

// Under the lock: the waiting slot nearest to the walk, and its level; null if none may be listed.
static AheadSlot *NextJob(Lookahead *ahead, AheadLevel **level)
{
    for (AheadLevel *at = ahead->held < kMostAhead ? ahead->deepest : NULL; at; at = at->parent) {
        while (at->next < at->count && at->slots[at->next].state != kWaiting)
            at->next++;
        // The walk reaches the deepest level's next subdirectory before a listing of it could
        // be ready, and lists it itself: the one after it is the nearest worth listing.
        for (size_t i = at->next + (at == ahead->deepest ? 1 : 0); i < at->count; i++)
            if (at->slots[i].state == kWaiting) {
                *level = at;
                return &at->slots[i];
            }
    }
    return NULL;
}

// Leaves the lock, waking one sleeping lister, when none is on its way yet, for work or the
// stop; that one passes the wake on. Under Wine each signal is a call to its server, as each
// listing is: only a sleeping lister is signalled, and only once half the listings held ahead
// are taken, so the walk pays nothing while the listers are busy and little while they wait.
static void Unlock(Lookahead *ahead)
{
    AheadLevel *level;
    bool wake = ahead->sleeping && !ahead->waking &&
                (ahead->stopping || (ahead->held <= kMostAhead / 2 && NextJob(ahead, &level)));
    ahead->sleeping -= wake;
    ahead->waking |= wake;
    LeaveCriticalSection(&ahead->lock);
    if (wake)
        SetEvent(ahead->wake);
}

// Frees the level with the listings made ahead that the walk did not take.
static void FreeLevel(AheadLevel *level)
{
    for (size_t i = 0; i < level->count; i++)
        if (level->slots[i].state == kDone)
            free(level->slots[i].listing.kept);
    free(level->slots);
}

static DWORD WINAPI ListerMain(void *param)
{
    Lookahead *ahead = (Lookahead *)param;
    char path[kWorkSize];
    EnterCriticalSection(&ahead->lock);
    while (!ahead->stopping) {
        AheadLevel *level;
        AheadSlot *slot = NextJob(ahead, &level);
        if (!slot) { // woken when there is work for it, or the listers stop
            ahead->sleeping++;
            LeaveCriticalSection(&ahead->lock);
            WaitForSingleObject(ahead->wake, INFINITE);
            EnterCriticalSection(&ahead->lock);
            ahead->waking = false;
            continue;
        }
        slot->state = kTaken;
        ahead->held++;
        // The level stays while one of its slots is being listed, even once the walk has left
        // it; the entry is read now, as it lies in a listing the walk frees when it leaves.
        level->busy++;
        FormatText(path, sizeof path, "%s%s", level->prefix, slot->entry + 1);
        Unlock(ahead);
        ListDirectory(path, &slot->listing); // the walk reads it only once it is done
        EnterCriticalSection(&ahead->lock);
        if (slot->state == kTaken) {
            slot->state = kDone;
        } else { // the walk has listed it itself
            free(slot->listing.kept);
            ahead->held--;
        }
        if (--level->busy == 0 && level->closed)
            FreeLevel(level);
    }
    Unlock(ahead); // the next to see the stop
    return 0;
}

void StartLookahead(Lookahead *ahead, int listers)
{
    memset(ahead, 0, sizeof *ahead);
    InitializeCriticalSection(&ahead->lock);
    // Without threads the walk lists every directory itself.
    ahead->wake = CreateEventA(NULL, FALSE, FALSE, NULL);
    while (ahead->wake && ahead->listers < listers && ahead->listers < kMostListers) {
        HANDLE thread = CreateThread(NULL, 0, ListerMain, ahead, 0, NULL);
        if (!thread)
            break;
        ahead->threads[ahead->listers++] = thread;
    }
}

void StopListers(Lookahead *ahead)
{
    EnterCriticalSection(&ahead->lock);
    ahead->stopping = true;
    Unlock(ahead);
    // Each lister ends once its current listing is made: a system call that returns.
    WaitForMultipleObjects(ahead->listers, ahead->threads, TRUE, INFINITE);
    for (int i = 0; i < ahead->listers; i++)
        CloseHandle(ahead->threads[i]);
    if (ahead->wake)
        CloseHandle(ahead->wake);
    DeleteCriticalSection(&ahead->lock);
}

AheadLevel *OpenAheadLevel(Lookahead *ahead, const char *directory, const Listing *listing)
{
    size_t count = 0;
    for (size_t at = 0; at < listing->used; at += strlen(listing->kept + at) + 1)
        count++;
    // One block: the slots, the level, then its prefix.
    size_t length = strlen(directory) + 2;
    AheadSlot *slots =
        (AheadSlot *)calloc(1, count * sizeof(AheadSlot) + sizeof(AheadLevel) + length);
    if (!slots)
        return NULL;
    AheadLevel *level = (AheadLevel *)(slots + count);
    level->prefix = (char *)(level + 1);
    FormatText(level->prefix, length, "%s%s", directory, EndsWithSeparator(directory) ? "" : "\\");
    level->count = count;
    level->slots = slots;
    const char *entry = listing->kept;
    for (size_t i = 0; i < count; i++, entry += strlen(entry) + 1) {
        slots[i].entry = entry;
        // Links are tested, never entered, so never listed.
        slots[i].state = *entry == kLinkEntry ? kUsed : kWaiting;
    }
    EnterCriticalSection(&ahead->lock);
    level->parent = ahead->deepest;
    ahead->deepest = level;
    Unlock(ahead);
    return level;
}

void TakeListing(Lookahead *ahead, AheadLevel *level, size_t index, const char *path,
                 Listing *listing)
{
    AheadSlot *slot = &level->slots[index];
    EnterCriticalSection(&ahead->lock);
    LONG state = slot->state;
    slot->state = kUsed;
    if (state == kDone) {
        *listing = slot->listing;
        ahead->held--;
    }
    Unlock(ahead);
    if (state != kDone)
        ListDirectory(path, listing);
}

void CloseAheadLevel(Lookahead *ahead, AheadLevel *level)
{
    EnterCriticalSection(&ahead->lock);
    ahead->deepest = level->parent;
    level->closed = true;
    bool idle = level->busy == 0;
    Unlock(ahead);
    // Otherwise the last lister still listing one of its subdirectories frees it.
    if (idle)
        FreeLevel(level);
}
