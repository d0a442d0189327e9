// The information page: a title, the header line and one message from the string table,
// with Continue to go on and Exit to leave after the exit question.
#include "info_page.h"

#include "../setup/page_common.h"
#include "../setup/startup_marks.h"
#include "../setup/table_string.h"
#include "../resources/resource.h"

static BOOL OnInfoInit(HWND page, UINT messageNumber)
{
    SetTitleFont(page, -16);
    SetHeaderLine(page);
    const char *message = GetTableString(messageNumber);
    SetDlgItemTextA(page, IDC_MESSAGE, message ? message : "");
    return TRUE; // focus to the first tab stop, Continue
}

static BOOL OnInfoCommand(HWND page, WPARAM command)
{
    if (command == IDCANCEL && !ConfirmExit(page))
        return TRUE;
    EndDialog(page, command == IDCANCEL ? 0 : 1);
    ReleaseTitleFont(page);
    return FALSE;
}

INT_PTR CALLBACK InfoPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: MarkStartup("page-init"); return OnInfoInit(page, (UINT)lParam);
    case WM_SHOWWINDOW: MarkStartup("page-shown"); break;
    case WM_PAINT: EndStartupMarks("page-paint"); break;
    case WM_COMMAND: return OnInfoCommand(page, wParam);
    }
    return FALSE;
}

bool RunInfoPages(HWND owner)
{
    static const UINT messages[] = {IDS_INTRO, IDS_TERMS};
    for (UINT message : messages) {
        // -1, a page that could not be made, goes on like Continue: only Exit stops.
        if (DialogBoxParamA(g_hInstance, MAKEINTRESOURCEA(IDD_INFO), owner, InfoPageProc,
                            message) == 0)
            return false;
    }
    return true;
}
