// The details page's search. The walk runs on a search thread; the page's thread waits for it
// in MsgWaitForMultipleObjects, so the page repaints and answers at once, and shows each box
// the walk asks for, modal over the page, while the walk waits for the box to be answered.
#include "page_search.h"

#include "drive_search.h"
#include "../common/system_error.h"

struct PageSearch {
    HANDLE boxWanted; // set by the search thread once boxError is written
    HANDLE boxShown;  // set by the page's thread once the box has been answered
    DWORD boxError;
    volatile LONG *stop; // set by the page's thread when the user leaves during the search
    char *found;         // written by the search thread, read once it has ended
};

// On the search thread: the page's thread shows the box; the walk goes on once it is answered.
static void HandBoxToPage(void *context, const char *, DWORD error)
{
    PageSearch *search = (PageSearch *)context;
    search->boxError = error;
    // The page's thread answers this at once, whatever it is doing: it waits for this thread.
    SignalObjectAndWait(search->boxWanted, search->boxShown, INFINITE, FALSE);
}

static void ShowBox(void *page, const char *, DWORD error)
{
    ShowSystemError((HWND)page, error, "Search Error", MB_OK | MB_ICONHAND);
}

// Drives C: to Z: in turn until one holds the game; the first hit, or null.
static char *WalkDrives(SearchErrorProc report, void *context, volatile LONG *stop)
{
    DWORD drives = GetLogicalDrives();
    char *found = NULL;
    for (int drive = 2; drive < 32 && !*stop; drive++)
        if ((drives & (1u << drive)) &&
            WalkDriveForGame(drive, "\\", kSearchListers, report, context, stop, &found))
            break;
    return found;
}

static DWORD WINAPI SearchThreadMain(void *param)
{
    PageSearch *search = (PageSearch *)param;
    search->found = WalkDrives(HandBoxToPage, search, search->stop);
    return 0;
}

// Handles what has come for this thread's windows. A quit message is kept for the caller's
// loop, as a modal loop does. The page's keys go through the dialog manager, so Esc is Exit
// as at any other time.
static void PumpMessages(HWND page, int *quit)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            *quit = (int)msg.wParam;
            continue;
        }
        if (!IsDialogMessageA(page, &msg))
            DispatchMessageA(&msg);
    }
}

// Waits for the search thread; the wait ends when the thread does.
static void WaitAnswering(HWND page, HANDLE thread, PageSearch *search)
{
    int quit = -1;
    HANDLE waits[2] = {thread, search->boxWanted};
    for (;;) {
        DWORD woke =
            MsgWaitForMultipleObjectsEx(2, waits, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0 + 1) {
            // The user has left the page: the walk is told its box was answered.
            if (!*search->stop)
                ShowBox(page, NULL, search->boxError);
            SetEvent(search->boxShown);
        } else if (woke == WAIT_OBJECT_0 + 2) {
            PumpMessages(page, &quit);
        } else {
            // The thread has ended, or the wait failed: then only the thread is waited for.
            if (woke != WAIT_OBJECT_0)
                WaitForSingleObject(thread, INFINITE);
            break;
        }
    }
    if (quit >= 0)
        PostQuitMessage(quit);
}

char *SearchDrivesFromPage(HWND page, volatile LONG *stop)
{
    PageSearch search = {CreateEventA(NULL, FALSE, FALSE, NULL),
                         CreateEventA(NULL, FALSE, FALSE, NULL), 0, stop, NULL};
    HANDLE thread = search.boxWanted && search.boxShown
                        ? CreateThread(NULL, 0, SearchThreadMain, &search, 0, NULL)
                        : NULL;
    if (thread) {
        WaitAnswering(page, thread, &search);
        CloseHandle(thread);
    } else {
        // No thread: the page's own thread walks, and the page waits for it as it did before.
        search.found = WalkDrives(ShowBox, page, stop);
    }
    // Either may be null, which CloseHandle refuses harmlessly.
    CloseHandle(search.boxWanted);
    CloseHandle(search.boxShown);
    return search.found;
}
