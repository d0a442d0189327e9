// Search from the details page: the drives are walked on a thread of their own while the
// page's thread keeps answering the window system and shows the walk's boxes.
#ifndef ZV_GAMEDIR_PAGE_SEARCH_H
#define ZV_GAMEDIR_PAGE_SEARCH_H

#include <windows.h>

// Walks drives C: to Z: in turn until one holds the game, showing a "Search Error" box owned
// by page, from this thread, for each directory that cannot be listed. Returns the first hit
// as a new heap string that the caller frees, or null. Messages for this thread's windows are
// handled meanwhile, the page's keys as a dialog's; the caller keeps the page from taking
// the commands it does not want. Once a command sets *stop, the walk ends soon after and no
// further box is shown; what it returns then is of no use.
char *SearchDrivesFromPage(HWND page, volatile LONG *stop);

#endif
