// The backdrop record's operations on the main thread: what the picture shows, and starting
// and closing the backdrop thread. Every change to what is drawn is made on the thread that
// draws while it runs, so that no picture is built from half-changed settings.
#include "backdrop.h"

#include "../setup/startup_marks.h"
#include "../common/system_error.h"
#include "../common/text.h"

// CloseBackdrop looks whether the thread has ended every 10 ms; it and StartBackdrop wait some
// 30 seconds at most.
static const DWORD kPollMs = 10;
static const DWORD kStartWaitMs = 30000;

// What SetGradient hands to the backdrop thread, in its argument order.
struct GradientSettings {
    COLORREF first;
    COLORREF second;
    LONG offsetX;
    LONG offsetY;
    UINT style;
};

Backdrop::Backdrop(HINSTANCE instance)
    : sourceBitmap(NULL), imageBitmap(NULL), firstColour(0), secondColour(0), offsetX(0),
      offsetY(0), style(0), mode(kModeNoImage), imageOwned(false), running(false),
      fullScreen(false), imageValid(false), window(NULL), instance(instance), thread(NULL),
      readyEvent(NULL), threadId(0), paintCallback(NULL), caption(NULL)
{
}

// Runs change between two paints: on the backdrop thread while its window exists, here when
// there is no window or its thread no longer reads its messages (and so paints no more).
static void ChangeBackdrop(Backdrop *backdrop, BackdropChangeProc change, const void *argument)
{
    HWND window = backdrop->window;
    if (window && GetWindowThreadProcessId(window, NULL) != GetCurrentThreadId() &&
        SendMessageA(window, WM_BACKDROP_CHANGE, (WPARAM)change, (LPARAM)argument))
        return;
    change(backdrop, argument);
}

// The picture no longer matches: the next paint builds it again.
static void InvalidateImage(Backdrop *backdrop)
{
    backdrop->imageValid = false;
    if (backdrop->window)
        RedrawWindow(backdrop->window, NULL, NULL, RDW_INVALIDATE);
}

static void SelectNoImageNow(Backdrop *backdrop, const void *)
{
    backdrop->mode = kModeNoImage;
    InvalidateImage(backdrop);
}

static void SelectGradientNow(Backdrop *backdrop, const void *)
{
    backdrop->mode = kModeGradient;
    InvalidateImage(backdrop);
}

static void SetGradientNow(Backdrop *backdrop, const void *argument)
{
    const GradientSettings *settings = (const GradientSettings *)argument;
    backdrop->SelectNoImage();
    backdrop->secondColour = settings->second;
    backdrop->firstColour = settings->first;
    backdrop->style = settings->style;
    backdrop->offsetX = settings->offsetX;
    backdrop->offsetY = settings->offsetY;
    backdrop->SelectGradient();
}

static void SelectBitmapNow(Backdrop *backdrop, const void *source)
{
    backdrop->sourceBitmap = (HBITMAP)source;
    backdrop->mode = kModeBitmap;
    InvalidateImage(backdrop);
}

static void SelectPaintCallbackNow(Backdrop *backdrop, const void *callback)
{
    backdrop->paintCallback = *(const BackdropPaintCallback *)callback;
    backdrop->mode = kModeCallback;
    InvalidateImage(backdrop);
}

// The caption lies on the image, so a new one needs a new image.
static void SetCaptionNow(Backdrop *backdrop, const void *caption)
{
    free(backdrop->caption);
    backdrop->caption = (char *)caption;
    InvalidateImage(backdrop);
}

static void ReleaseCaptionNow(Backdrop *backdrop, const void *)
{
    free(backdrop->caption);
    backdrop->caption = NULL;
}

void Backdrop::SetGradient(COLORREF first, COLORREF second, LONG offsetX, LONG offsetY, UINT style)
{
    GradientSettings settings = {first, second, offsetX, offsetY, style};
    ChangeBackdrop(this, SetGradientNow, &settings);
}

void Backdrop::SelectNoImage()
{
    ChangeBackdrop(this, SelectNoImageNow, NULL);
}

void Backdrop::SelectGradient()
{
    ChangeBackdrop(this, SelectGradientNow, NULL);
}

void Backdrop::SelectBitmap(HBITMAP source)
{
    ChangeBackdrop(this, SelectBitmapNow, source);
}

void Backdrop::SelectPaintCallback(BackdropPaintCallback callback)
{
    ChangeBackdrop(this, SelectPaintCallbackNow, &callback);
}

bool Backdrop::SetCaption(const char *text)
{
    char *copy = NULL;
    if (text) {
        copy = DupString(text);
        if (!copy)
            return false;
    }
    ChangeBackdrop(this, SetCaptionNow, copy);
    return true;
}

bool Backdrop::StartBackdrop(bool fullScreen)
{
    this->fullScreen = fullScreen;
    threadId = 0;
    // Without the event the thread is not started: told as a thread that could not be made.
    // CloseBackdrop closes whichever of the two handles exists.
    readyEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
    thread = readyEvent ? CreateThread(NULL, 0, BackdropThreadMain, this, 0, &threadId) : NULL;
    if (!thread) {
        // Not fatal: the pages then simply have no owner.
        ShowSystemError(NULL, GetLastError(), "Non-critical threading Error", MB_OK | MB_ICONERROR);
        return true;
    }
    // Ready means shown and painted, so the first page never stands on an empty screen. The event
    // also comes when the thread ends without a window (no class, no window), and the wait ends
    // after some 30 seconds at most: a backdrop that takes longer is simply late. The page
    // follows the moment the backdrop is painted.
    HANDLE waits[2] = {readyEvent, thread};
    WaitForMultipleObjects(2, waits, FALSE, kStartWaitMs);
    MarkStartup("waited-for-backdrop");
    return window != NULL;
}

HWND Backdrop::GetBackdropWindow()
{
    return window;
}

bool Backdrop::CloseBackdrop()
{
    HWND current = window;
    if (current)
        SendMessageA(current, WM_CLOSE, 0, 0);
    if (caption)
        ChangeBackdrop(this, ReleaseCaptionNow, NULL);
    // The flag is the thread's last touch of the record; the wait also ends if the thread has
    // ended some other way, and after some 30 seconds of a thread that hangs.
    for (DWORD waited = 0;
         running && waited < kStartWaitMs && WaitForSingleObject(thread, kPollMs) == WAIT_TIMEOUT;
         waited += kPollMs) {
    }
    // A thread still running may yet touch the record and its event: both stay for it.
    if (running)
        return false;
    if (thread) {
        CloseHandle(thread);
        thread = NULL;
    }
    if (readyEvent) {
        CloseHandle(readyEvent);
        readyEvent = NULL;
    }
    return true;
}
