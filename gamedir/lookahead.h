// Directory listings for the drive walk, and lister threads that make them ahead of it: the
// subdirectories of the directories being walked, nearest to the walk first.
#ifndef ZV_GAMEDIR_LOOKAHEAD_H
#define ZV_GAMEDIR_LOOKAHEAD_H

#include <windows.h>

// The longest path the platform takes, and its terminator.
const size_t kWorkSize = MAX_PATH + 1;
// A subdirectory kept from a listing starts with its link mark.
const char kPlainEntry = 'd', kLinkEntry = 'l';

// One directory's listing: its subdirectories in listing order, each a mark, its name and a
// terminator, one after another (a heap buffer the taker frees); why it could not be listed;
// whether an entry is named quake3.exe.
struct Listing {
    char *kept;
    size_t used;
    DWORD error;
    bool namesGame;
};

// Whether the walk enters a listed directory: a plain one, or one whose reparse tag
// (dwReserved0) only says how its contents are kept (a cloud placeholder, a deduplicated
// folder). Links, junctions and mount points lead elsewhere and are never entered; an unset
// tag (Wine's links) counts as one. False for anything that is no directory.
bool ShouldWalk(DWORD attributes, DWORD reparseTag);

// Lists directory ("X:\path"). A subdirectory is kept only when its own listing pattern fits
// the platform's path limit; a directory whose pattern does not fit lists as empty.
void ListDirectory(const char *directory, Listing *listing);

// A subdirectory of a directory being walked, and its listing once made.
struct AheadSlot {
    const char *entry; // mark and name, in the parent's listing
    LONG state;
    Listing listing;
};

// The subdirectories of one directory being walked; the deepest level is the walk's own.
struct AheadLevel {
    AheadLevel *parent;
    size_t count;
    size_t next; // no slot before it is still waiting
    int busy;    // slots being listed
    bool closed; // the walk has left it
    AheadSlot *slots;
    char *prefix; // the directory and a separator, after the level in its block
};

const int kMostListers = 4;

struct Lookahead {
    CRITICAL_SECTION lock; // guards the rest, and the levels and their slots
    HANDLE wake;           // auto-reset: set for one sleeping lister at a time
    AheadLevel *deepest;
    int held;     // listings made or being made ahead, not yet taken by the walk
    int sleeping; // listers waiting for work and not yet woken
    bool waking;  // wake is set, or its lister not yet back under the lock
    bool stopping;
    int listers;
    HANDLE threads[kMostListers];
};

// Starts up to listers threads (at most kMostListers); with none the walk lists alone.
void StartLookahead(Lookahead *ahead, int listers);
// Ends the listers once their current listing is made and closes their handles.
void StopListers(Lookahead *ahead);

// Opens the level below directory with the subdirectories of its listing, the listers' nearest
// work from then on; null when memory runs out.
AheadLevel *OpenAheadLevel(Lookahead *ahead, const char *directory, const Listing *listing);
// The listing of the level's subdirectory at index, whose path is path: made ahead, or made
// now when none is ready. The taker frees its kept text.
void TakeListing(Lookahead *ahead, AheadLevel *level, size_t index, const char *path,
                 Listing *listing);
// Closes the deepest level. Listings made ahead and not taken are freed with it, now or when
// the last lister still listing one of its subdirectories is done.
void CloseAheadLevel(Lookahead *ahead, AheadLevel *level);

#endif
