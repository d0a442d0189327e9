// The backdrop paint wait and the gradient formulas for the backdrop tests.
#include "backdrop_picture.h"

#include <math.h>

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
