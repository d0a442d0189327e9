// TEMPORARY stand-in for the installation details page: dialog 103, Install hands over the
// edit's text unchecked, Exit leaves without asking. The real page replaces this folder.
#include "details_page.h"

#include "../app/table_string.h"
#include "../app/text.h"
#include "../resources/resource.h"

#include <stdlib.h>

static INT_PTR CALLBACK StandInDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(page, DWLP_USER, lParam);
        return TRUE;
    }
    if (msg != WM_COMMAND)
        return FALSE;
    if (wParam == IDOK) {
        char typed[MAX_PATH];
        GetDlgItemTextA(page, IDC_GAMEDIR, typed, sizeof typed);
        char **gameDir = (char **)GetWindowLongPtrA(page, DWLP_USER);
        free(*gameDir);
        *gameDir = DupString(typed);
        EndDialog(page, 1);
        return TRUE;
    }
    if (wParam == IDCANCEL) {
        EndDialog(page, 0);
        return TRUE;
    }
    return FALSE;
}

bool RunDetailsPage(HWND owner, char **gameDir)
{
    INT_PTR result = DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_DETAILS), owner,
                                     StandInDlgProc, (LPARAM)gameDir);
    return result == 1 && *gameDir;
}
