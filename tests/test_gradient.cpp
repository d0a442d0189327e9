// The gradient arithmetic on its own: blends with truncation and 8-bit wrapping, ray angles
// and colours, and the reach of circles and squares, each against values worked out by hand.
#include "check.h"
#include "backdrop/gradient.h"

#include <math.h>

static const double kPi = 3.14159265358979;

static void TestBlendColour()
{
    static const struct {
        COLORREF first, second;
        int step, steps;
        COLORREF want;
    } cases[] = {
        {0x00FF0000, 0, 0, 769, 0x00FF0000}, // the installer's top row: pure blue
        {0x00FF0000, 0, 1, 769, 0x00FE0000}, // 255 * 768 / 769 = 254.67
        {0x00FF0000, 0, 768, 769, 0},        // 255 * 1 / 769 = 0.33: the bottom row is black
        {0x00FF0000, 0, 300, 301, 0},
        {0x00FF0000, 0, 100, 301, 0x00AA0000}, // 255 * 201 / 301 = 170.28
        {0x00102030, 0x00302010, 1, 2, 0x00202020},
        {0x000000FF, 0x00FF0000, 1, 3, 0x005500AA},     // red 170, blue 85: channels apart
        {0x00204060, 0x00E0C0A0, 150, 150, 0x00E0C0A0}, // the last step: the second colour
        {0x00204060, 0x00E0C0A0, 75, 150, 0x00808080},
        // One step past the second colour with a reach below 256: red (255 * 213 - 16) / 212
        // = 256 keeps 0, green -255 / 212 = -1 (toward zero) keeps 255, blue stays.
        {0x0080FF10, 0x008000FF, 213, 212, 0x0080FF00},
        {0x00000000, 0x000000FF, 641, 640, 0x000000FF}, // 255.4: no wrap with a long reach
        {0x000000FF, 0x00000000, 641, 640, 0x00000000}, // -0.4 truncates to 0
        {0x00123456, 0x00FFFFFF, 5, 0, 0x00123456},     // no reach: the first colour
        {0x00123456, 0x00FFFFFF, 0, 0, 0x00123456},
        {0xFF000000, 0xFF000000, 1, 2, 0x00000000}, // the top byte is not a channel
    };
    for (const auto &c : cases) {
        COLORREF got = BlendColour(c.first, c.second, c.step, c.steps);
        CHECK(got == c.want, "blend %06lx to %06lx step %d of %d: %06lx, expected %06lx", c.first,
              c.second, c.step, c.steps, got, c.want);
    }
}

static void TestRayAngle()
{
    static const struct {
        double y, x, want;
    } cases[] = {
        {0, 1, 0},
        {1, 0, kPi / 2},
        {0, -1, kPi},
        {-1, 0, 3 * kPi / 2}, // negative angles move up by 2 pi
        {-1, 1, 7 * kPi / 4},
        {-250, -100, 2 * kPi - (kPi - atan(2.5))},
    };
    for (const auto &c : cases) {
        double got = RayAngle(c.y, c.x);
        CHECK(fabs(got - c.want) < 1e-9, "angle of (%g, %g): %.12f, expected %.12f", c.x, c.y, got,
              c.want);
    }
}

static void TestRayColour()
{
    static const struct {
        COLORREF atZero, atFullTurn;
        double angle;
        COLORREF want;
    } cases[] = {
        {0x000000FF, 0x00FF0000, 0, 0x000000FF},
        {0x000000FF, 0x00000000, kPi, 0x0000007F},         // 127.5 truncates
        {0x00000000, 0x00FF0000, 3 * kPi / 2, 0x00BF0000}, // 191.25
        {0x00FF0000, 0x000000FF, kPi / 2, 0x00BF003F},     // blue 191.25, red 63.75
        {0x00FFFFFF, 0x00000000, 2 * kPi - 1e-9, 0x00000000},
    };
    for (const auto &c : cases) {
        COLORREF got = RayColour(c.atZero, c.atFullTurn, c.angle);
        CHECK(got == c.want, "ray %06lx to %06lx at %g: %06lx, expected %06lx", c.atZero,
              c.atFullTurn, c.angle, got, c.want);
    }
}

static void TestReach()
{
    static const struct {
        int cx, cy, right, bottom, circle, square;
    } cases[] = {
        {512, 384, 1024, 768, 640, 512}, // a 1024 x 768 screen: 1025 x 769 image
        {150, 150, 300, 300, 212, 150},  // 212.13 at every corner
        {-250, 150, 300, 300, 570, 550}, // centre left of the area: 570.09 to the right
        {250, 90, 300, 300, 326, 250},   // off the middle: 326.5 to the lower left
        {150, -250, 300, 300, 570, 550},
        {960, 540, 1920, 1080, 1101, 960}, // 1101.45
        {0, 0, 0, 0, 0, 0},                // an empty area
    };
    for (const auto &c : cases) {
        int circle = CircleReach(c.cx, c.cy, c.right, c.bottom);
        int square = SquareReach(c.cx, c.cy, c.right, c.bottom);
        CHECK(circle == c.circle && square == c.square,
              "reach from (%d, %d) in %d x %d: circles %d, squares %d; expected %d, %d", c.cx, c.cy,
              c.right, c.bottom, circle, square, c.circle, c.square);
    }
}

int main()
{
    TestBlendColour();
    TestRayAngle();
    TestRayColour();
    TestReach();
    return CheckDone();
}
