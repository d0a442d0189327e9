// Bitmap read-back and the gradient formulas for the backdrop tests.
#include "backdrop_picture.h"

#include <math.h>

bool ReadBitmap(HBITMAP bitmap, Image *image)
{
    BITMAP info;
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info)
        return false;
    BITMAPINFO dib = {};
    dib.bmiHeader.biSize = sizeof dib.bmiHeader;
    dib.bmiHeader.biWidth = info.bmWidth;
    dib.bmiHeader.biHeight = -info.bmHeight;
    dib.bmiHeader.biPlanes = 1;
    dib.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bits((size_t)info.bmWidth * info.bmHeight);
    HDC screen = GetDC(NULL);
    int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, bits.data(), &dib, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    if (rows != info.bmHeight)
        return false;
    image->width = info.bmWidth;
    image->height = info.bmHeight;
    image->pixels.resize(bits.size());
    for (size_t i = 0; i < bits.size(); i++) // a DIB holds 0x00RRGGBB
        image->pixels[i] = RGB((bits[i] >> 16) & 0xFF, (bits[i] >> 8) & 0xFF, bits[i] & 0xFF);
    return true;
}

void WaitForPaint(HWND window)
{
    UpdateWindow(window);
    // The thread reads sent messages only between paints.
    DWORD_PTR ignored;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &ignored);
}

COLORREF StepColour(COLORREF first, COLORREF second, long k, long steps)
{
    long channels[3];
    for (int c = 0; c < 3; c++) {
        long f = (first >> (8 * c)) & 0xFF, s = (second >> (8 * c)) & 0xFF;
        long sum = s * k + f * (steps - k);
        // C++ division truncates toward zero; the low byte of a negative value is its
        // two's complement byte.
        channels[c] = (sum / steps) & 0xFF;
    }
    return RGB(channels[0], channels[1], channels[2]);
}

COLORREF AngleColour(COLORREF atZero, COLORREF atFullTurn, double a)
{
    const double turn = 2 * 3.14159265358979;
    long channels[3];
    for (int c = 0; c < 3; c++) {
        double z = (atZero >> (8 * c)) & 0xFF, t = (atFullTurn >> (8 * c)) & 0xFF;
        channels[c] = (long)trunc((t * a + z * (turn - a)) / turn) & 0xFF;
    }
    return RGB(channels[0], channels[1], channels[2]);
}
