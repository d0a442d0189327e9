// The installation details page: Install accepts only a directory that holds the game, Search
// walks the drives C: to Z: for one, Browse takes the directory of a chosen quake3.exe, and
// Exit leaves after the exit question.
#include "details_page.h"

#include "browse.h"
#include "game_dir.h"
#include "page_search.h"
#include "../setup/page_common.h"
#include "../setup/table_string.h"
#include "../common/text.h"
#include "../resources/resource.h"

#include <stdlib.h>

// The edit is read into 1024 bytes with a count of 1023: at most 1022 characters arrive.
static const size_t kEditBufferSize = 1024;
static const WPARAM kEditReadCount = 1023;
// The page's end code when memory ran out: the value DialogBoxParamA gives when it cannot make
// the page, so that RunDetailsPage tells the user about both in one place.
static const INT_PTR kPageFailed = -1;

// Main thread only: the accepted directory, from Install until RunDetailsPage hands it on.
static char *s_acceptedDirectory;
// Main thread only: a search runs. The page handles messages meanwhile and takes only Exit.
static bool s_searching;
// Set when the user leaves the page during a search; read by the walk's thread.
static volatile LONG s_stopSearch;
// The controls that take no input while a search runs: all but Exit.
static const int kSearchLocked[] = {IDC_GAMEDIR, IDC_SEARCH, IDC_BROWSE, IDOK};

static char *ReadDirectoryEdit(HWND page)
{
    char *text = (char *)malloc(kEditBufferSize);
    if (text) {
        text[0] = 0;
        SendDlgItemMessageA(page, IDC_GAMEDIR, WM_GETTEXT, kEditReadCount, (LPARAM)text);
    }
    return text;
}

static void EndPage(HWND page, INT_PTR code)
{
    EndDialog(page, code);
    ReleaseTitleFont(page);
}

static BOOL OnDetailsInit(HWND page)
{
    SetTitleFont(page, -15);
    SetHeaderLine(page);
    return TRUE; // focus to the first tab stop, the directory edit
}

static void OnInstall(HWND page)
{
    char *text = ReadDirectoryEdit(page);
    if (!text) {
        EndPage(page, kPageFailed);
        return;
    }
    if (IsGameDirectory(text)) {
        s_acceptedDirectory = DupString(text);
        free(text);
        EndPage(page, s_acceptedDirectory ? 1 : kPageFailed);
        return;
    }
    MessageBoxA(page,
                "You must specify your Quake3 directory before installation can commence. This "
                "is the directory containing \"quake3.exe\".",
                "Quake3 Directory not specified", MB_OK | MB_ICONEXCLAMATION);
    free(text);
}

// During a search as well: the page ends once the walk has stopped, as the search returns.
static void OnExit(HWND page)
{
    if (!ConfirmExit(page))
        return;
    InterlockedExchange(&s_stopSearch, 1);
    EndPage(page, 0);
}

// Only Exit, and Esc or closing the page as Exit, take input while the drives are walked. The
// focus waits on Exit meanwhile; returns where it was.
static HWND LockForSearch(HWND page, HWND focus, bool locked)
{
    HWND was = GetFocus();
    for (int id : kSearchLocked)
        EnableWindow(GetDlgItem(page, id), !locked);
    if (IsChild(page, focus))
        SendMessageA(page, WM_NEXTDLGCTL, (WPARAM)focus, TRUE);
    return was;
}

static void OnSearch(HWND page)
{
    char *text = ReadDirectoryEdit(page);
    if (!text) {
        EndPage(page, kPageFailed);
        return;
    }
    bool named = text[0] && IsGameDirectory(text);
    free(text);
    if (named)
        return;

    HWND focus = LockForSearch(page, GetDlgItem(page, IDCANCEL), true);
    s_searching = true;
    s_stopSearch = 0;
    HCURSOR cursor = SetCursor(LoadCursorA(NULL, IDC_WAIT));
    char *found = SearchDrivesFromPage(page, &s_stopSearch);
    // Left during the search: the page is ending, and a hit is of no use.
    if (found && !s_stopSearch)
        SetDlgItemTextA(page, IDC_GAMEDIR, found);
    free(found);
    s_searching = false;
    SetCursor(cursor);
    LockForSearch(page, focus, false);
}

// The wait cursor over the page and its controls while a search runs; Exit, which still
// takes a click, keeps the arrow.
static BOOL OnSetCursor(HWND page, HWND under)
{
    if (!s_searching || under == GetDlgItem(page, IDCANCEL))
        return FALSE;
    SetCursor(LoadCursorA(NULL, IDC_WAIT));
    SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

static void OnBrowse(HWND page)
{
    char *directory = ReadDirectoryEdit(page);
    if (directory)
        BrowseForGameDirectory(page, &directory);
    if (!directory) {
        EndPage(page, kPageFailed);
        return;
    }
    SetDlgItemTextA(page, IDC_GAMEDIR, directory);
    free(directory);
}

INT_PTR CALLBACK DetailsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: return OnDetailsInit(page);
    case WM_SETCURSOR: return OnSetCursor(page, (HWND)wParam);
    case WM_COMMAND:
        // No command but Exit starts while a search runs, whatever sends it.
        if (s_searching && wParam != IDCANCEL)
            return TRUE;
        switch (wParam) { // the whole wParam: the edit's notifications are not commands
        case IDOK: OnInstall(page); break;
        case IDCANCEL: OnExit(page); break;
        case IDC_SEARCH: OnSearch(page); break;
        case IDC_BROWSE: OnBrowse(page); break;
        }
        return TRUE;
    }
    return FALSE;
}

bool RunDetailsPage(HWND owner, char **directory)
{
    free(s_acceptedDirectory);
    s_acceptedDirectory = NULL;
    INT_PTR code =
        DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_DETAILS), owner, DetailsPageProc, 0);
    if (code == kPageFailed) {
        MessageBoxA(owner,
                    "The installation details could not be shown: the system is out of memory "
                    "or resources. Nothing has been installed.",
                    "Installation aborted", MB_OK | MB_ICONHAND);
        return false;
    }
    if (code != 1)
        return false;
    free(*directory);
    *directory = s_acceptedDirectory;
    s_acceptedDirectory = NULL;
    return true;
}
