// Times the backdrop's renderer for each gradient style at 1920 x 1080 (an image of
// 1921 x 1081), the rows also into a new image, one PatBlt of the whole image as the floor, and
// a repaint of the whole screen from the cached image beside one BitBlt of a screen-sized
// bitmap compatible with the window, the cost of any full-screen copy; beside them a repaint
// of one pixel and that BitBlt sent on to the display, what a repaint adds to its copy: means,
// and the fastest where a target applies.
// Usage: bench_backdrop.exe OUTPUT_FILE
#include "backdrop/backdrop.h"

#include <stdio.h>

static FILE *s_out;

static void Report(const char *format, double value, const char *what)
{
    char line[160];
    snprintf(line, sizeof line, format, value, what);
    fputs(line, s_out);
    fputs(line, stdout);
    fflush(s_out);
}

static double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * count.QuadPart / frequency.QuadPart;
}

// Milliseconds of one RenderBackdropImage of the style over rounds renders, each into a new
// image when fresh: the mean, and the fastest in *best.
static double TimeStyle(Backdrop *backdrop, HDC dc, UINT style, bool fresh, int rounds,
                        double *best)
{
    backdrop->SetGradient(0x00FF0000, 0x000000FF, 0, 0, style);
    double total = 0;
    *best = 1e9;
    for (int i = 0; i < rounds; i++) {
        if (fresh)
            ReleaseBackdropImage(backdrop);
        backdrop->imageValid = false;
        double start = Now();
        RenderBackdropImage(backdrop, dc);
        GdiFlush();
        double took = Now() - start;
        total += took;
        if (took < *best)
            *best = took;
    }
    return total / rounds;
}

// Milliseconds of one PatBlt of the whole image: the mean, and the fastest in *best.
static double TimePatBlt(HDC dc, int width, int height, int rounds, double *best)
{
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    HBITMAP previousBitmap = (HBITMAP)SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(0x00FF0000);
    HBRUSH previousBrush = (HBRUSH)SelectObject(memory, brush);
    double total = 0;
    *best = 1e9;
    for (int i = 0; i < rounds; i++) {
        double start = Now();
        PatBlt(memory, 0, 0, width, height, PATCOPY);
        GdiFlush();
        double took = Now() - start;
        total += took;
        if (took < *best)
            *best = took;
    }
    SelectObject(memory, previousBrush);
    DeleteObject(brush);
    SelectObject(memory, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return total / rounds;
}

// Has the backdrop thread finish whatever it is painting: it reads sent messages only
// between paints.
static void WaitForBackdropThread(HWND window)
{
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
}

// Milliseconds from invalidating the area (null: all) of the running full-screen backdrop
// until its thread has repainted it.
static double TimeRepaint(HWND window, const RECT *area)
{
    double start = Now();
    InvalidateRect(window, area, FALSE);
    UpdateWindow(window);
    WaitForBackdropThread(window);
    return Now() - start;
}

// Milliseconds of one BitBlt of the bitmap in memory onto the window through a DC of its own,
// as a repaint draws. When shown, the copy is also sent on to the display, as a thread's loop
// does when it goes idle after a paint (Wine keeps a window's pixels in memory of its own
// until then).
static double TimeCopy(HWND window, HDC memory, const RECT *client, bool shown)
{
    double start = Now();
    HDC dc = GetDC(window);
    BitBlt(dc, 0, 0, client->right, client->bottom, memory, 0, 0, SRCCOPY);
    GdiFlush();
    ReleaseDC(window, dc);
    MSG msg;
    if (shown)
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);
    return Now() - start;
}

enum { kRepaint, kRepaintPixel, kCopy, kCopyShown, kCopyFigures };

// Over rounds, in turn, so that a change in the machine's load falls on each alike: a repaint
// of the whole screen, a repaint of one pixel (what every repaint costs besides its copy), and
// one BitBlt of a bitmap of the window's size, compatible with it (the cost of any full-screen
// copy), not shown and shown. The mean and the fastest of each.
static void TimeCopies(HWND window, int rounds, double mean[], double best[])
{
    RECT client, pixel = {5, 5, 6, 6};
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HBITMAP previous = (HBITMAP)SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, client.right, client.bottom, WHITENESS);
    ReleaseDC(window, screen);
    for (int k = 0; k < kCopyFigures; k++) {
        mean[k] = 0;
        best[k] = 1e9;
    }
    for (int i = 0; i < rounds; i++) {
        double took[kCopyFigures] = {TimeRepaint(window, NULL), TimeRepaint(window, &pixel),
                                     TimeCopy(window, memory, &client, false),
                                     TimeCopy(window, memory, &client, true)};
        for (int k = 0; k < kCopyFigures; k++) {
            mean[k] += took[k] / rounds;
            if (took[k] < best[k])
                best[k] = took[k];
        }
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    // The backdrop paints itself again over the copies.
    TimeRepaint(window, NULL);
}

int main(int argc, char **argv)
{
    s_out = fopen(argc > 1 ? argv[1] : "bench_backdrop.txt", "w");
    if (!s_out)
        return 1;
    // Not shown: a popup is not held to the screen's size, so any client area can be timed.
    HWND area =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1920, 1080, NULL, NULL, NULL, NULL);
    RECT client = {};
    GetClientRect(area, &client);
    Report("client area %.0f x %s\n", (double)client.right,
           client.bottom == 1080 ? "1080" : "(not 1080)");
    HDC dc = GetDC(area);
    Backdrop backdrop(GetModuleHandleA(NULL));
    backdrop.window = area;
    double floor, rows, best;
    Report("%8.2f ms  %s\n", TimePatBlt(dc, 1921, 1081, 50, &floor),
           "PatBlt of the whole image (floor), mean");
    Report("%8.2f ms  %s\n", floor, "PatBlt of the whole image (floor), fastest");
    Report("%8.2f ms  %s\n", TimeStyle(&backdrop, dc, 0, true, 10, &best),
           "rows (style 0) into a new image, mean");
    Report("%8.2f ms  %s\n", best, "rows (style 0) into a new image, fastest");
    Report("%8.2f ms  %s\n", TimeStyle(&backdrop, dc, 0, false, 50, &rows), "rows (style 0), mean");
    Report("%8.2f ms  %s\n", rows, "rows (style 0), fastest");
    Report("%8.2f ms  %s\n", TimeStyle(&backdrop, dc, 3, false, 10, &best),
           "squares (style 3), mean");
    Report("%8.2f ms  %s\n", TimeStyle(&backdrop, dc, 2, false, 5, &best), "rays (style 2), mean");

    Backdrop screen(GetModuleHandleA(NULL));
    screen.SetGradient(0x00FF0000, 0, 0, 0, 0);
    HWND window = screen.StartBackdrop(true) ? screen.GetBackdropWindow() : NULL;
    if (window) {
        // StartBackdrop returns once the window is painted; the thread reads this message only
        // once it is in its loop.
        WaitForBackdropThread(window);
        GetClientRect(window, &client);
        double mean[kCopyFigures], fastest[kCopyFigures];
        TimeCopies(window, 100, mean, fastest);
        char what[96];
        snprintf(what, sizeof what, "repaint of the whole %ld x %ld screen, mean", client.right,
                 client.bottom);
        Report("%8.2f ms  %s\n", mean[kRepaint], what);
        Report("%8.2f ms  %s\n", fastest[kRepaint], "repaint of the whole screen, fastest");
        Report("%8.2f ms  %s\n", mean[kCopy], "BitBlt of a compatible screen-sized bitmap, mean");
        Report("%8.2f ms  %s\n", fastest[kCopy],
               "BitBlt of a compatible screen-sized bitmap, fastest");
        Report("%8.2f ms  %s\n", mean[kRepaintPixel], "repaint of one pixel, mean");
        Report("%8.2f ms  %s\n", fastest[kRepaintPixel], "repaint of one pixel, fastest");
        Report("%8.2f ms  %s\n", mean[kCopyShown],
               "BitBlt of the bitmap, shown on the display, mean");
        Report("%8.2f ms  %s\n", fastest[kCopyShown],
               "BitBlt of the bitmap, shown on the display, fastest");
    }
    screen.CloseBackdrop();

    // Last: Wine spends up to tens of milliseconds on each large two-pixel-wide ellipse.
    Report("%8.2f ms  %s\n", TimeStyle(&backdrop, dc, 1, false, 1, &best), "circles (style 1)");
    ReleaseBackdropImage(&backdrop);
    ReleaseDC(area, dc);
    DestroyWindow(area);
    fclose(s_out);
    return 0;
}
