// The system's own text for an error code, for boxes and reports of both programs.
#ifndef ZV_COMMON_SYSTEM_ERROR_H
#define ZV_COMMON_SYSTEM_ERROR_H

#include <windows.h>

// The system's text for code, or "System error N." when it has none; always terminated.
void SystemErrorText(DWORD code, char *buffer, size_t size);
// Shows that text in a message box.
void ShowSystemError(HWND owner, DWORD code, const char *caption, UINT type);

#endif
