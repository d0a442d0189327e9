// The backdrop paint wait and the gradient check for the backdrop tests.
#include "backdrop_picture.h"
#include "check.h"

void WaitForPaint(HWND window)
{
    UpdateWindow(window);
    // The thread reads sent messages only between paints.
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &ignored);
}

static int Level(COLORREF colour, int shift)
{
    return (int)((colour >> shift) & 0xFF);
}

void CheckFadeAt(const char *file, int line, const char *what, COLORREF first, COLORREF second,
                 int rows, const std::function<COLORREF(int)> &colourAt)
{
    COLORREF previous = colourAt(0);
    CHECK_AT(file, line, previous == first, "%s: the top row is %06lx, not %06lx", what, previous,
             first);
    long wrong = 0;
    int at = 0;
    for (int y = 1; y < rows; y++) {
        COLORREF colour = colourAt(y);
        for (int shift = 0; shift < 24; shift += 8) {
            int toward = Level(second, shift), was = Level(previous, shift);
            int is = Level(colour, shift), step = (toward > was) - (toward < was);
            if (is != was && (step == 0 || is != was + step) && wrong++ == 0)
                at = y;
        }
        previous = colour;
    }
    CHECK_AT(file, line, wrong == 0,
             "%s: %ld steps are not one level toward %06lx; row %d is %06lx", what, wrong, second,
             at, at ? colourAt(at) : 0);
}

void CheckInstallerFadeAt(const char *file, int line, const Image &image, int x, int rows)
{
    CheckFadeAt(file, line, "the installer's gradient", 0x00FF0000, 0, rows,
                [&](int y) { return image.At(x, y); });
    COLORREF middle = image.At(x, rows / 2), last = image.At(x, rows - 1);
    CHECK_AT(file, line, middle == 0x007F0000 || middle == 0x00800000, "the middle row is %06lx",
             middle);
    CHECK_AT(file, line, last == 0, "the bottom row is %06lx, not black", last);
}
