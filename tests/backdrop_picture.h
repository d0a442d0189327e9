// What the backdrop tests share: waiting for the backdrop window's paint, and the check of a
// straight gradient by what its rule fixes, without a copy of its arithmetic.
#ifndef ZV_TESTS_BACKDROP_PICTURE_H
#define ZV_TESTS_BACKDROP_PICTURE_H

#include "driver.h"

#include <windows.h>
#include <functional>

// Has the backdrop window, invalidated by the caller, paint now or finish the paint it has
// begun on its own thread.
void WaitForPaint(HWND window);

// rows rows of a gradient from first at the top toward second, row y's colour colourAt(y):
// the top row is first exactly, and from each row to the next every channel stays or moves one
// level toward its value in second, never past it (the rows outnumber the levels). Exact
// colours at chosen rows are the caller's to check.
#define CHECK_FADE(what, first, second, rows, colourAt)                                            \
    CheckFadeAt(__FILE__, __LINE__, (what), (first), (second), (rows), (colourAt))
void CheckFadeAt(const char *file, int line, const char *what, COLORREF first, COLORREF second,
                 int rows, const std::function<COLORREF(int)> &colourAt);

// The installer's own gradient in column x of the image's first rows rows: a fade from pure
// blue, the middle row half blue within rounding, the last row black.
#define CHECK_INSTALLER_FADE(image, x, rows)                                                       \
    CheckInstallerFadeAt(__FILE__, __LINE__, (image), (x), (rows))
void CheckInstallerFadeAt(const char *file, int line, const Image &image, int x, int rows);

#endif
