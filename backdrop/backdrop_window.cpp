// The backdrop thread: its window class, window and message loop, and the paint handler that
// builds the cached image when it is out of date and otherwise only copies it to the screen.
#include "backdrop.h"

#include "../setup/startup_marks.h"

#include <imm.h>

static const char kClassName[] = "Q3IBackWnd";

DWORD WINAPI BackdropThreadMain(void *record)
{
    Backdrop *backdrop = (Backdrop *)record;
    MarkStartup("backdrop-thread");
    backdrop->running = true;
    // The backdrop takes no text, so its thread needs no input method; under Wine, opening one
    // is most of what a GUI thread spends before its first window. Before any window exists.
    ImmDisableIME(0);
    MarkStartup("backdrop-ime-off");
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_NOCLOSE;
    windowClass.lpfnWndProc = BackdropWndProc;
    windowClass.hInstance = backdrop->instance;
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    // No background brush: nothing erases, and the paint handler covers the whole area.
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass)) {
        bool fullScreen = backdrop->fullScreen;
        HWND window = CreateWindowExA(
            fullScreen ? WS_EX_TOPMOST : 0, kClassName, "Title",
            fullScreen ? WS_POPUP | WS_VISIBLE | WS_MAXIMIZE : WS_POPUP | WS_VISIBLE, CW_USEDEFAULT,
            CW_USEDEFAULT, 300, 300, NULL, NULL, backdrop->instance, backdrop);
        backdrop->window = window;
        if (window) {
            ShowWindow(window, fullScreen ? SW_SHOWMAXIMIZED : SW_SHOWDEFAULT);
            UpdateWindow(window);
            SetEvent(backdrop->readyEvent);
            MSG msg;
            // Also ends on -1, which a window that has gone would give for ever.
            while (GetMessageA(&msg, backdrop->window, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            // Destroyed here rather than when the thread ends, so that no message reaches the
            // record after the running flag has told its owner that it may delete it.
            DestroyWindow(window);
            ReleaseBackdropImage(backdrop);
        }
        // So that a backdrop can be started again in this process.
        UnregisterClassA(kClassName, backdrop->instance);
    }
    backdrop->window = NULL;
    SetEvent(backdrop->readyEvent);
    backdrop->running = false;
    return 0;
}

LRESULT CALLBACK BackdropWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Backdrop *backdrop = (Backdrop *)GetWindowLongPtrA(window, GWLP_USERDATA);
    switch (msg) {
    case WM_NCCREATE:
        backdrop = (Backdrop *)((CREATESTRUCTA *)lParam)->lpCreateParams;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)backdrop);
        // Publishes the window: StartBackdrop is waiting for it.
        backdrop->window = window;
        MarkStartup("backdrop-window");
        break;
    case WM_CLOSE:
        // Only ends the message loop; the thread then takes the window down.
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        if (backdrop)
            return PaintBackdrop(backdrop, window);
        break;
    case WM_BACKDROP_CHANGE:
        if (backdrop) {
            ((BackdropChangeProc)wParam)(backdrop, (const void *)lParam);
            return 1;
        }
        break;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

LRESULT PaintBackdrop(Backdrop *backdrop, HWND window)
{
    if (!GetUpdateRect(window, NULL, FALSE))
        return 0;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc)
        return 0;
    DrawBackdrop(backdrop, dc, &paint.rcPaint);
    EndPaint(window, &paint);
    MarkStartup("backdrop-painted");
    return 0;
}

// Where a stretch from size to size + 1 lines doubles one: the lines before `split` come from
// the same place, the rest from one line earlier. This is where the system's stretch puts it,
// so plain copies give its pixels at a fraction of its cost.
struct CopySpan {
    int split;
    bool doubled;
};

static CopySpan SpanOf(int size, int stretched)
{
    CopySpan span = {stretched, false};
    if (stretched == size + 1) {
        span.split = (size + 1) / 2;
        span.doubled = true;
    }
    return span;
}

// The image is one pixel wider and taller than the client area: the paint rectangle, widened
// by one pixel to the right and below, is copied from the same place at very nearly 1:1.
static void CopyImage(const Backdrop *backdrop, HDC dc, const RECT *paint)
{
    BITMAP image;
    RECT client;
    if (!GetObjectA(backdrop->imageBitmap, sizeof image, &image) ||
        !GetClientRect(backdrop->window, &client))
        return;
    int cw = client.right, ch = client.bottom;
    // An empty client area shows nothing (and its scale would divide by 0).
    if (cw <= 0 || ch <= 0)
        return;
    int x = paint->left, y = paint->top;
    int uw = paint->right - x + 1, uh = paint->bottom - y + 1;
    int dw = uw * image.bmWidth / cw, dh = uh * image.bmHeight / ch;
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP previous = (HBITMAP)SelectObject(memory, backdrop->imageBitmap);
    CopySpan across = SpanOf(uw, dw), down = SpanOf(uh, dh);
    if ((dw == uw || across.doubled) && (dh == uh || down.doubled)) {
        // Up to four pieces: before and after the doubled column, above and below the row.
        for (int row = 0; row <= (int)down.doubled; row++)
            for (int column = 0; column <= (int)across.doubled; column++) {
                int dx = column ? across.split : 0, dy = row ? down.split : 0;
                BitBlt(dc, x + dx, y + dy, column ? dw - dx : across.split,
                       row ? dh - dy : down.split, memory, x + dx - column, y + dy - row, SRCCOPY);
            }
    } else {
        StretchBlt(dc, x, y, dw, dh, memory, x, y, uw, uh, SRCCOPY);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
}

void DrawBackdrop(Backdrop *backdrop, HDC dc, const RECT *paint)
{
    if (backdrop->mode == kModeCallback) {
        if (backdrop->paintCallback)
            backdrop->paintCallback(dc);
        return;
    }
    if (!backdrop->imageValid)
        RenderBackdropImage(backdrop, dc);
    // With no image selected the renderer has filled the area white; an image kept from an
    // earlier picture is not shown.
    if (backdrop->imageValid && backdrop->imageBitmap)
        CopyImage(backdrop, dc, paint);
}
