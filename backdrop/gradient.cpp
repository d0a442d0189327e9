// The colour arithmetic of the backdrop's gradients; the drawing is in gradient_paint.cpp.
#include "gradient.h"

// The C runtime DLL's own functions: MinGW's static replacements would bring their error
// handling and unwind tables into the executable for nothing.
extern "C" __declspec(dllimport) double __cdecl atan2(double y, double x);
extern "C" __declspec(dllimport) double __cdecl sqrt(double x);

static const double kPi = 3.14159265358979;

static int Channel(COLORREF colour, int shift)
{
    return (int)((colour >> shift) & 0xFF);
}

COLORREF BlendColour(COLORREF first, COLORREF second, int step, int steps)
{
    if (steps == 0)
        return first;
    COLORREF result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        // Integer division truncates toward zero, also for the step beyond the second colour.
        int value =
            (Channel(second, shift) * step + Channel(first, shift) * (steps - step)) / steps;
        result |= (COLORREF)(value & 0xFF) << shift;
    }
    return result;
}

double RayAngle(double y, double x)
{
    double angle = atan2(y, x);
    if (angle < 0)
        angle += kPi + kPi;
    return angle;
}

COLORREF RayColour(COLORREF atZero, COLORREF atFullTurn, double angle)
{
    double turn = kPi + kPi;
    COLORREF result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int value =
            (int)((Channel(atFullTurn, shift) * angle + Channel(atZero, shift) * (turn - angle)) /
                  turn);
        result |= (COLORREF)(value & 0xFF) << shift;
    }
    return result;
}

static int Distance(int dx, int dy)
{
    return (int)sqrt((double)dx * dx + (double)dy * dy);
}

static int Largest(int a, int b, int c, int d)
{
    int largest = a;
    if (b > largest)
        largest = b;
    if (c > largest)
        largest = c;
    if (d > largest)
        largest = d;
    return largest;
}

int CircleReach(int cx, int cy, int right, int bottom)
{
    return Largest(Distance(cx, cy), Distance(right - cx, cy), Distance(right - cx, bottom - cy),
                   Distance(cx, bottom - cy));
}

int SquareReach(int cx, int cy, int right, int bottom)
{
    return Largest(cy, cx, bottom - cy, right - cx);
}
