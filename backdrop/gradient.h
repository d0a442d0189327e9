// The colour arithmetic of the backdrop's gradients: colours of rows, rings and rays, and how
// far the rings reach, as plain functions of numbers.
#ifndef ZV_BACKDROP_GRADIENT_H
#define ZV_BACKDROP_GRADIENT_H

#include <windows.h>

// Channel by channel (second * step + first * (steps - step)) / steps, truncated, of which the
// low 8 bits are kept; step may lie outside 0..steps. With steps 0 the first colour.
COLORREF BlendColour(COLORREF first, COLORREF second, int step, int steps);

// atan2(y, x) moved into 0 <= angle < 2 pi.
double RayAngle(double y, double x);
// Channel by channel (atFullTurn * angle + atZero * (2 pi - angle)) / (2 pi), truncated.
COLORREF RayColour(COLORREF atZero, COLORREF atFullTurn, double angle);

// The farthest corner of the area 0..right x 0..bottom from (cx, cy): the largest of the four
// distances, each truncated.
int CircleReach(int cx, int cy, int right, int bottom);
// The farthest edge of that area from (cx, cy).
int SquareReach(int cx, int cy, int right, int bottom);

#endif
