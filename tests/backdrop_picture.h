// What the backdrop tests share: reading a bitmap back pixel by pixel, and the gradient
// formulas worked out independently of the renderer, to compare its pictures with.
#ifndef ZV_TESTS_BACKDROP_PICTURE_H
#define ZV_TESTS_BACKDROP_PICTURE_H

#include "driver.h"

#include <windows.h>

// The bitmap's pixels through a 32-bit top-down DIB; false when it is not a bitmap.
bool ReadBitmap(HBITMAP bitmap, Image *image);

// Has the backdrop window, invalidated by the caller, paint now or finish the paint it has
// begun on its own thread.
void WaitForPaint(HWND window);

// Step k of reach steps from first to second: (second * k + first * (steps - k)) / steps for
// each channel, truncated toward zero, low 8 bits kept.
COLORREF StepColour(COLORREF first, COLORREF second, long k, long steps);
// The colour of a ray at angle a (0 <= a < 2 pi) going from atZero to atFullTurn.
COLORREF AngleColour(COLORREF atZero, COLORREF atFullTurn, double a);

#endif
