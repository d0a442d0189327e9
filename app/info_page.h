// The information page, shown twice: the introduction, then the terms of use.
#ifndef ZV_APP_INFO_PAGE_H
#define ZV_APP_INFO_PAGE_H

#include <windows.h>

// True when the user continued through both pages, false when the user left on one.
bool RunInfoPages(HWND owner);
INT_PTR CALLBACK InfoPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

#endif
