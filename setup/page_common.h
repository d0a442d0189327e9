// What the installer's pages share: the title font, the header line, and the exit question.
#ifndef ZV_SETUP_PAGE_COMMON_H
#define ZV_SETUP_PAGE_COMMON_H

#include <windows.h>

// Gives the title line (IDC_TITLE) a new semibold "MS Sans Serif" font of that height.
void SetTitleFont(HWND dialog, int height);
// Takes the title font back from its control and deletes it.
void ReleaseTitleFont(HWND dialog);
// Sets the header line (IDC_HEADER) to the string IDS_HEADER followed by a line feed.
void SetHeaderLine(HWND dialog);
// Asks "Really Quit?"; true unless the user answers No.
bool ConfirmExit(HWND page);

#endif
