// One helper around FormatMessageA, so every box and report words a system error alike.
#include "system_error.h"

#include "text.h"

void SystemErrorText(DWORD code, char *buffer, size_t size)
{
    if (size == 0)
        return;
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, (DWORD)size, NULL);
    if (length == 0 || length >= size)
        FormatText(buffer, size, "System error %lu.", code);
}

void ShowSystemError(HWND owner, DWORD code, const char *caption, UINT type)
{
    char text[512];
    SystemErrorText(code, text, sizeof text);
    MessageBoxA(owner, text, caption, type);
}
