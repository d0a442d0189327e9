// What the backdrop tests share: waiting for the backdrop window's paint, and the gradient
// formulas worked out independently of the renderer, to compare its pictures with.
#ifndef ZV_TESTS_BACKDROP_PICTURE_H
#define ZV_TESTS_BACKDROP_PICTURE_H

#include "driver.h"

#include <windows.h>

// Has the backdrop window, invalidated by the caller, paint now or finish the paint it has
// begun on its own thread.
void WaitForPaint(HWND window);

// Step k of reach steps from first to second: (second * k + first * (steps - k)) / steps for
// each channel, truncated toward zero, low 8 bits kept.
COLORREF StepColour(COLORREF first, COLORREF second, long k, long steps);
// The colour of a ray at angle a (0 <= a < 2 pi) going from atZero to atFullTurn.
COLORREF AngleColour(COLORREF atZero, COLORREF atFullTurn, double a);

#endif
