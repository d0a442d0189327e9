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
// Main thread only: a search runs. The page handles messages meanwhile but takes no command.
static bool s_searching;

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

static void OnExit(HWND page)
{
    if (ConfirmExit(page))
        EndPage(page, 0);
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

    EnableWindow(page, FALSE);
    s_searching = true;
    HCURSOR cursor = SetCursor(LoadCursorA(NULL, IDC_WAIT));
    // An empty floppy or card reader gets the walk's own box, not the system's "no disk" box.
    UINT errorMode = SetErrorMode(0);
    SetErrorMode(errorMode | SEM_FAILCRITICALERRORS);
    char *found = SearchDrivesFromPage(page);
    SetErrorMode(errorMode);
    if (found) {
        SetDlgItemTextA(page, IDC_GAMEDIR, found);
        free(found);
    }
    s_searching = false;
    SetCursor(cursor);
    EnableWindow(page, TRUE);
}

// The wait cursor over the page and its controls while a search runs.
static BOOL OnSetCursor(HWND page)
{
    if (!s_searching)
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
    case WM_SETCURSOR: return OnSetCursor(page);
    case WM_COMMAND:
        // No command starts while a search runs, whatever sends it.
        if (s_searching)
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
