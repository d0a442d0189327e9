// Drives real dialogs as a user would, from a thread or a process beside them: finds windows,
// reads controls, clicks, types, answers message boxes and takes screenshots. Every wait and
// every message to another thread is bounded, so a fault fails a test instead of hanging it.
#ifndef ZV_TESTS_DRIVER_H
#define ZV_TESTS_DRIVER_H

#include <windows.h>
#include <string>
#include <vector>

const DWORD kWaitMs = 10000;

// A visible top-level window of the class (null: any) whose caption is exactly caption
// (null: any) and, when controlId is not 0, that holds a control with that id.
HWND FindTopWindow(const char *cls, const char *caption, int controlId = 0);
HWND WaitForWindow(const char *cls, const char *caption, int controlId = 0,
                   DWORD timeoutMs = kWaitMs);
bool WaitForGone(HWND window, DWORD timeoutMs = kWaitMs);
// Waits until a window of the class and caption with the control no longer exists.
bool WaitForNoWindow(const char *cls, const char *caption, int controlId = 0,
                     DWORD timeoutMs = kWaitMs);

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
bool SetControlText(HWND dialog, int id, const char *text);
// Types text character by character into the control, as the keyboard would.
bool TypeText(HWND dialog, int id, const char *text);
bool Click(HWND dialog, int id);
// The font a control of the dialog draws with (WM_GETFONT), or null.
HFONT ControlFont(HWND dialog, int id);
// The control that has the keyboard focus in the dialog's thread, or null.
HWND FocusedControl(HWND dialog);
// Sends a key press to whichever control of the dialog has the focus.
bool PressKey(HWND dialog, UINT virtualKey);

struct MessageBoxInfo {
    HWND box = NULL;
    std::string caption;
    std::string text;
    // The standard icon shown, as its MB_ICON* value, or 0 for none.
    UINT icon = 0;
    // The buttons present, as their MB_* type value (MB_OK, MB_YESNO, ...), or ~0u if unusual.
    UINT buttons = ~0u;
};

// Waits for a message box (caption null: any caption) and reads what it shows.
bool WaitForMessageBox(MessageBoxInfo *info, const char *caption = NULL, DWORD timeoutMs = kWaitMs);
// Presses a button (IDOK, IDYES, IDNO, ...) of the box and waits for the box to go.
bool AnswerMessageBox(const MessageBoxInfo &info, int buttonId);

struct Image {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // top-down rows, 0x00BBGGRR
    COLORREF At(int x, int y) const
    {
        return pixels[(size_t)y * width + x];
    }
};

// A 32-bit top-down DIB section of the size, its pixels (0x00RRGGBB) at *bits.
HBITMAP CreatePixelBitmap(HDC dc, int width, int height, DWORD **bits);

// Copies a rectangle of the screen (the whole screen for a null rectangle).
bool CaptureScreen(Image *image, const RECT *area = NULL);
bool SavePng(const Image &image, const char *path);
// Saves the whole screen as a PNG file; the path's directory must exist.
bool SaveScreenshot(const char *path);

// Starts a program with the working directory given, returning its process handle.
HANDLE StartProgram(const char *exePath, const char *workDir);
// Waits for the process to end and gives its exit code; false on timeout.
bool WaitForExit(HANDLE process, DWORD *exitCode, DWORD timeoutMs = kWaitMs);

#endif
