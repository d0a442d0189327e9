// Drives real dialogs as a user would, from a thread or a process beside them: finds windows,
// reads controls, clicks, types, answers message boxes and takes screenshots. Every wait and
// every message to another thread is bounded, so a fault fails a test instead of hanging it.
#ifndef ZV_TESTS_DRIVER_H
#define ZV_TESTS_DRIVER_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

const DWORD kWaitMs = 10000;
// The caption of every installer page and of its progress dialog.
const char kInstallerCaption[] = "ZV Developments Model Installation";

// Polls condition until it holds or ms have passed; whether it held. The one polling wait of
// the suite: a condition should also hold once what it waits for can no longer come (the
// process or thread that would bring it has ended), so that a fault ends the wait early.
// everyMs is the pause between looks: short only where the state looked for is brief.
bool WaitUntil(const std::function<bool()> &condition, DWORD ms = kWaitMs, DWORD everyMs = 20);

// A visible top-level window of the class (null: any) whose caption is exactly caption
// (null: any) and, when controlId is not 0, that holds a control with that id.
HWND FindTopWindow(const char *cls, const char *caption, int controlId = 0);
HWND WaitForWindow(const char *cls, const char *caption, int controlId = 0,
                   DWORD timeoutMs = kWaitMs);
bool WaitForGone(HWND window, DWORD timeoutMs = kWaitMs);

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
// The colour of a 32-bit DIB pixel, and an image of width x height such pixels.
COLORREF PixelColour(DWORD pixel);
void ImageFromPixels(const DWORD *bits, int width, int height, Image *image);
// The bitmap's pixels through a 32-bit top-down DIB; false when it is not a bitmap.
bool ImageFromBitmap(HBITMAP bitmap, Image *image);

// Copies a rectangle of the screen (the whole screen for a null rectangle).
bool CaptureScreen(Image *image, const RECT *area = NULL);
bool SavePng(const Image &image, const char *path);
// Saves the whole screen as a PNG file; the path's directory must exist.
bool SaveScreenshot(const char *path);

// Starts a program with the working directory given, returning its process handle.
HANDLE StartProgram(const char *exePath, const char *workDir);
// Waits for the process to end and gives its exit code; false on timeout.
bool WaitForExit(HANDLE process, DWORD *exitCode, DWORD timeoutMs = kWaitMs);
// Waits for the process to end, ends it if it does not, and closes the handle; whether it
// ended on its own.
bool FinishProgram(HANDLE process, DWORD *exitCode, DWORD timeoutMs = kWaitMs);

// Called with each information page (1, 2) of the installer before Continue is pressed on
// it; returning false leaves the run on that page.
typedef std::function<bool(HWND page, int number)> PageVisitor;
struct SetupRun {
    HANDLE process = NULL;
    HWND page = NULL;    // where the run stands: the details page, or the page the visitor kept
    std::string failure; // what went wrong on the way, or empty
};
// Starts the installer from its own directory and continues through the information pages to
// the details page, as a user does. The caller finishes the process.
SetupRun RunSetupToDetails(const char *exePath = "ZVSetup.exe", const PageVisitor &visit = nullptr);

// Runs drive on a thread of its own while run works on this one, as a user answers what a page
// or an installation shows; whether the driver then finished within waitMs.
bool DriveWhile(const std::function<void()> &drive, const std::function<void()> &run,
                DWORD waitMs = 60000);

#endif
