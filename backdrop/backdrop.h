// The backdrop: a window covering the screen behind every page, run by a thread of its own,
// that shows a picture built once into a cached bitmap (a gradient, a copy of a bitmap, or
// whatever a paint callback draws).
#ifndef ZV_BACKDROP_BACKDROP_H
#define ZV_BACKDROP_BACKDROP_H

#include <windows.h>
#include <stdlib.h>

// Draws the whole picture in mode 3; its result is ignored.
typedef int (*BackdropPaintCallback)(HDC dc);

struct Backdrop;
typedef void (*BackdropChangeProc)(Backdrop *backdrop, const void *argument);

// Sent to the backdrop window by the thread that changes what is drawn: the backdrop thread
// runs ((BackdropChangeProc)wParam)(record, (const void *)lParam) between two paints and
// answers 1. Sent, never posted, since the argument lives on the sender's stack.
#define WM_BACKDROP_CHANGE (WM_APP + 1)

// Backdrop modes.
enum { kModeNoImage = 0, kModeBitmap = 1, kModeGradient = 2, kModeCallback = 3 };

// Owned by WinMain; shared with the backdrop thread, which reaches it through its window.
// Main thread only, except where a member says who writes it.
struct Backdrop {
    HBITMAP sourceBitmap; // the caller's; copied into the image in mode 1, never deleted here
    HBITMAP imageBitmap;  // made and deleted by the backdrop thread
    COLORREF firstColour;
    COLORREF secondColour;
    LONG offsetX;
    LONG offsetY;
    UINT style; // 0 rows, 1 circles, 2 rays, 3 squares; others white
    LONG mode;  // kModeNoImage ... kModeCallback; others behave as kModeNoImage
    bool imageOwned;
    volatile bool running; // written by the backdrop thread: true until its loop has ended
    bool fullScreen;
    bool imageValid;
    HWND volatile window; // written by the backdrop thread: null before and after its window
    HINSTANCE instance;
    HANDLE thread;
    // Set by the backdrop thread once its window is shown and painted, or once it gives up
    // without one; made by StartBackdrop, closed by CloseBackdrop.
    HANDLE readyEvent;
    DWORD threadId;
    BackdropPaintCallback paintCallback;
    char *caption; // heap string, released with free

    // From the C heap, so that an allocation that fails gives null instead of ending the
    // program.
    static void *operator new(size_t size) noexcept
    {
        return malloc(size);
    }
    static void operator delete(void *record)
    {
        free(record);
    }

    explicit Backdrop(HINSTANCE instance);

    // Mode 2 with these settings; repaints the whole window from a new image if it exists.
    void SetGradient(COLORREF first, COLORREF second, LONG offsetX, LONG offsetY, UINT style);
    void SelectNoImage();
    void SelectGradient();
    // Mode 1: the image becomes a copy of source, which the caller keeps and deletes after
    // CloseBackdrop.
    void SelectBitmap(HBITMAP source);
    // Mode 3: callback draws the whole window at every paint.
    void SelectPaintCallback(BackdropPaintCallback callback);
    // A copy of text (null: none) is drawn on the image; false when memory runs out.
    bool SetCaption(const char *text);

    // Starts the backdrop thread and returns once its window is shown and painted, so that
    // nothing shows before it: true then, and also when no thread could be made (after
    // telling the user); false when the thread ended without a window.
    bool StartBackdrop(bool fullScreen);
    HWND GetBackdropWindow();
    // Closes the window and returns once the backdrop thread has ended: true. False after some
    // 30 seconds of a thread that hangs; the record must then outlive it.
    bool CloseBackdrop();
};

// The backdrop thread and its window (backdrop_window.cpp); the record is the parameter.
DWORD WINAPI BackdropThreadMain(void *record);
LRESULT CALLBACK BackdropWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// WM_PAINT: draws the update region from the cached image; returns 0.
LRESULT PaintBackdrop(Backdrop *backdrop, HWND window);
// The paint step without BeginPaint: the picture for the rectangle paint on dc.
void DrawBackdrop(Backdrop *backdrop, HDC dc, const RECT *paint);

// Builds the image bitmap for the current settings unless it is valid (gradient_paint.cpp).
void RenderBackdropImage(Backdrop *backdrop, HDC dc);
// Releases the image bitmap the renderer made.
void ReleaseBackdropImage(Backdrop *backdrop);

#endif
