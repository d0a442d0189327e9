// What the installer's pages share: the title font, the header line, the exit question and
// the box that shows a system error text.
#ifndef ZV_APP_PAGE_COMMON_H
#define ZV_APP_PAGE_COMMON_H

#include <windows.h>

// Gives the title line (control 1001) a new semibold "MS Sans Serif" font of that height.
void SetTitleFont(HWND dialog, int height);
// Takes the title font back from its control and deletes it.
void ReleaseTitleFont(HWND dialog);
// Sets the header line (control 1003) to string 50 followed by a line feed.
void SetHeaderLine(HWND dialog);
// Asks "Really Quit?"; true unless the user answers No.
bool ConfirmExit(HWND page);
// Shows the system's text for an error code (or one naming the code when the system has
// none) in a message box.
void ShowSystemError(HWND owner, DWORD code, const char *caption, UINT type);

#endif
