// The backdrop's gradient pictures, read back pixel by pixel from the image bitmap of a
// running 300 x 300 backdrop, each gradient set while it runs. Rows are checked by what the
// rule fixes and exactly at chosen rows worked out by hand; squares exactly with the two-pixel
// outline a rectangle gets; circles and rays pixel by pixel against the steps whose outline
// passes within reach of the pixel, since the exact footprint of a wide ellipse or line is
// the system's affair. The steps' colours come from the gradient unit, whose arithmetic
// test_gradient checks against values worked out by hand; chosen points here are by hand too.
#include "backdrop_picture.h"
#include "check.h"
#include "backdrop/backdrop.h"
#include "backdrop/gradient.h"

#include <math.h>
#include <functional>
#include <vector>

// The client area is 0..300 x 0..300; the image is one pixel larger.
static const int kRight = 300, kBottom = 300;
static const int kSize = 301;

// Sets the gradient on the running backdrop, has the window paint at once, reads the image.
static bool Paint(Backdrop *backdrop, COLORREF first, COLORREF second, LONG offsetX, LONG offsetY,
                  UINT style, Image *image)
{
    backdrop->SetGradient(first, second, offsetX, offsetY, style);
    WaitForPaint(backdrop->GetBackdropWindow());
    return CHECK(backdrop->imageValid, "style %u: the paint built no image", style) &&
           CHECK(ImageFromBitmap(backdrop->imageBitmap, image), "style %u: no image bitmap",
                 style) &&
           CHECK(image->width == kSize && image->height == kSize, "style %u: image %d x %d", style,
                 image->width, image->height);
}

// Compares every pixel of the area x < columns, y < rows with what accept allows; names the
// first pixel that it refuses and how many there are.
static void CheckEveryPixel(const char *what, const Image &image, int columns, int rows,
                            const std::function<bool(int, int, COLORREF, COLORREF *)> &accept)
{
    long wrong = 0;
    int wx = 0, wy = 0;
    COLORREF got = 0, want = 0;
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < columns; x++) {
            COLORREF expected = 0;
            if (accept(x, y, image.At(x, y), &expected))
                continue;
            if (wrong++ == 0) {
                wx = x;
                wy = y;
                got = image.At(x, y);
                want = expected;
            }
        }
    CHECK(wrong == 0, "%s: %ld pixels wrong, the first (%d, %d) is %06lx, expected %06lx", what,
          wrong, wx, wy, got, want);
}

static void TestRows(Backdrop *backdrop)
{
    // Row k of 301 is (second * k + first * (301 - k)) / 301 by channel, truncated.
    static const int kChosen[] = {1, 100, 150, 300};
    static const struct {
        COLORREF first, second;
        COLORREF chosen[4];
    } cases[] = {
        // The installer's own, blue fading to black: 255 * 300 / 301 = 254.2, 170.3, 127.9, 0.8.
        {0x00FF0000, 0x00000000, {0x00FE0000, 0x00AA0000, 0x007F0000, 0}},
        // Channels rising and falling at once; row 150: red (17 * 150 + 153 * 151) / 301 = 85.2,
        // green (170 * 150 + 102 * 151) / 301 = 135.9, blue (204 * 150 + 51 * 151) / 301 = 127.2.
        {0x00336699, 0x00CCAA11, {0x00336698, 0x00657C6B, 0x007F8755, 0x00CBA911}},
    };
    for (const auto &c : cases) {
        Image image;
        if (!Paint(backdrop, c.first, c.second, 0, 0, 0, &image))
            continue;
        // Each row one colour across the client rectangle (the last column lies outside it).
        CheckEveryPixel("rows", image, kRight, kSize,
                        [&](int, int y, COLORREF got, COLORREF *want) {
                            *want = image.At(0, y);
                            return got == *want;
                        });
        CHECK_FADE("rows", c.first, c.second, kSize, [&](int y) { return image.At(0, y); });
        for (int i = 0; i < 4; i++)
            CHECK(image.At(150, kChosen[i]) == c.chosen[i], "row %d is %06lx, expected %06lx",
                  kChosen[i], image.At(150, kChosen[i]), c.chosen[i]);
    }
}

// Circles: the pixel's colour is one of the steps whose ring passes within reach of it. The
// rings are centred half a pixel up and left of the centre point, as their boxes end one
// pixel short of cx + k.
static void CheckCircles(const char *what, const Image &image, COLORREF first, COLORREF second,
                         int cx, int cy, int reach)
{
    CheckEveryPixel(what, image, image.width, image.height,
                    [&](int x, int y, COLORREF got, COLORREF *want) {
                        double rho = hypot(x - cx + 0.5, y - cy + 0.5);
                        int low = (int)floor(rho) - 1, high = (int)ceil(rho) + 1;
                        if (low < 1)
                            low = 1;
                        if (high > reach + 1)
                            high = reach + 1;
                        *want = BlendColour(first, second, (low + high) / 2, reach);
                        for (int k = low; k <= high; k++)
                            if (got == BlendColour(first, second, k, reach))
                                return true;
                        return false;
                    });
}

static void TestCircles(Backdrop *backdrop)
{
    // Red rises from 16 to 255 and green falls from 255 to 0 over a reach of 212 (below
    // 256), so every step has its own colour and the outermost wraps in both.
    const COLORREF first = 0x0080FF10, second = 0x008000FF;
    Image image;
    if (!Paint(backdrop, first, second, 0, 0, 1, &image))
        return;
    const int reach = 212; // 212.13 to every corner
    CheckCircles("circles", image, first, second, 150, 150, reach);
    // An empty box draws nothing: the innermost ring seen is step 1.
    COLORREF inner = BlendColour(first, second, 1, reach);
    CHECK(image.At(150, 150) == inner && image.At(149, 149) == inner,
          "the centre is %06lx, expected %06lx", image.At(150, 150), inner);
    long exact = 0;
    for (COLORREF pixel : image.pixels)
        exact += pixel == second;
    CHECK(exact > 0, "no pixel has exactly the second colour: the ring of radius R is missing");
    // The farthest corner lies beyond radius 212: only the ring one step past the second
    // colour reaches it. Its red (255 * 213 - 16) / 212 = 256 and its green -255 / 212 = -1
    // keep their low 8 bits.
    CHECK(image.At(300, 300) == 0x0080FF00, "the farthest corner is %06lx, expected 80ff00",
          image.At(300, 300));
}

// Squares: each outline is two pixels wide, on the two columns and rows just inside and
// outside the box's left and top edges and just inside its right and bottom ones; inner
// squares are drawn last. The empty box of step 0 draws nothing.
static void CheckSquares(const char *what, const Image &image, COLORREF first, COLORREF second,
                         int cx, int cy, int reach)
{
    CheckEveryPixel(what, image, image.width, image.height,
                    [&](int x, int y, COLORREF got, COLORREF *want) {
                        *want = 0; // left as the new bitmap was made
                        for (int k = 1; k <= reach; k++) {
                            bool inBox = x >= cx - k - 1 && x <= cx + k - 1 && y >= cy - k - 1 &&
                                         y <= cy + k - 1;
                            bool inside = x >= cx - k + 1 && x <= cx + k - 2 && y >= cy - k + 1 &&
                                          y <= cy + k - 2;
                            if (inBox && !inside) {
                                *want = BlendColour(first, second, k, reach);
                                break;
                            }
                        }
                        return got == *want;
                    });
}

static void TestSquares(Backdrop *backdrop)
{
    const COLORREF first = 0x00204060, second = 0x00E0C0A0;
    Image image;
    if (!Paint(backdrop, first, second, 0, 0, 3, &image))
        return;
    CheckSquares("squares", image, first, second, 150, 150, 150);
    CHECK(image.At(299, 150) == second, "the outermost square is %06lx", image.At(299, 150));
}

struct Segment {
    double x0, y0, x1, y1;
    COLORREF colour;
};

static double DistanceToSegment(double px, double py, const Segment &s)
{
    double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    double length = dx * dx + dy * dy;
    double t = length > 0 ? ((px - s.x0) * dx + (py - s.y0) * dy) / length : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return hypot(px - (s.x0 + t * dx), py - (s.y0 + t * dy));
}

// The rays' segments as the three passes draw them: the left edge in form P, the top and
// bottom edges and the right edge in form Q.
static std::vector<Segment> RaySegments(COLORREF first, COLORREF second, int cx, int cy)
{
    std::vector<Segment> segments;
    auto add = [&](int x0, int y0, int x1, int y1, COLORREF colour) {
        segments.push_back({(double)x0, (double)y0, (double)cx, (double)cy, colour});
        segments.push_back({(double)cx, (double)cy, (double)x1, (double)y1, colour});
    };
    for (int y = kBottom / 2; y <= kBottom; y++)
        add(0, y, 0, kBottom - y, RayColour(second, first, RayAngle(y - cy, cx)));
    for (int x = 0; x < kRight; x++)
        add(x, 0, x, kBottom, RayColour(first, second, RayAngle(cy, x - cx)));
    for (int y = kBottom / 2; y <= kBottom; y++)
        add(kRight, y, kRight, kBottom - y, RayColour(first, second, RayAngle(y - cy, cx)));
    return segments;
}

// The pixel's colour is one of the segments that pass within a pen's reach of it.
static void CheckRays(const char *what, const Image &image, COLORREF first, COLORREF second, int cx,
                      int cy)
{
    std::vector<Segment> segments = RaySegments(first, second, cx, cy);
    CheckEveryPixel(what, image, kSize, kSize, [&](int x, int y, COLORREF got, COLORREF *want) {
        *want = 0;
        double nearest = 1e9;
        for (const Segment &s : segments) {
            double d = DistanceToSegment(x, y, s);
            if (d <= 1.5 && got == s.colour)
                return true;
            if (d < nearest) {
                nearest = d;
                *want = s.colour;
            }
        }
        return false;
    });
}

static void TestRays(Backdrop *backdrop)
{
    const COLORREF first = 0x00FF0000, second = 0x000000FF;
    Image image;
    if (!Paint(backdrop, first, second, 0, 0, 2, &image))
        return;
    CheckRays("rays", image, first, second, 150, 150);
    // Both edges of row 200 end the rays of rows 200 and 201 (drawn later, over it), at the
    // same angles but with the colours in opposite roles: mostly red on the left, mostly
    // blue on the right.
    COLORREF left = image.At(0, 200), right = image.At(300, 200);
    // Both rays lie 0.0512 and 0.0522 of a turn from the horizontal: 255 * 0.95 = 241 of the
    // colour at zero, 13 of the other.
    CHECK(left == 0x000D00F1, "the left edge is %06lx, expected 0d00f1", left);
    CHECK(right == 0x00F1000D, "the right edge is %06lx, expected f1000d", right);
}

// Offsets that move the centre point out of the area: larger reaches, and rays whose angles
// fall in other quadrants, the negative ones moved up by 2 pi.
static void TestOffsets(Backdrop *backdrop)
{
    Image image;
    const COLORREF first = 0x000000FF, second = 0x00FFFF00;
    if (Paint(backdrop, first, second, -400, 0, 1, &image)) {
        // 570.09 to the right-hand corners.
        CheckCircles("circles, centre left of the area", image, first, second, -250, 150, 570);
    }
    if (Paint(backdrop, first, second, 100, -60, 3, &image))
        CheckSquares("squares, centre off the middle", image, first, second, 250, 90, 250);
    if (Paint(backdrop, first, second, 0, -400, 2, &image)) {
        CheckRays("rays, centre above the area", image, first, second, 150, -250);
        // Straight below the centre the angle is -pi/2 + 2 pi: form Q, three quarters of the
        // way from the first colour to the second: red 255 / 4 = 63.75, green and blue 191.25.
        CHECK(image.At(150, 300) == 0x00BFBF3F, "below the centre %06lx, expected bfbf3f",
              image.At(150, 300));
    }
    if (Paint(backdrop, first, second, -400, 0, 2, &image))
        CheckRays("rays, centre left of the area", image, first, second, -250, 150);
}

static void TestOtherStyles(Backdrop *backdrop)
{
    for (UINT style : {4u, 5u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        Image image;
        if (!Paint(backdrop, 0x00FF0000, 0, 0, 0, style, &image))
            continue;
        CheckEveryPixel("other style", image, kRight, kBottom,
                        [&](int, int, COLORREF got, COLORREF *want) {
                            *want = 0x00FFFFFF;
                            return got == *want;
                        });
    }
}

// An odd-sized client area, 301 x 201, drawn by the renderer directly: the centre point is
// the middle of the 302 x 202 image, (151, 101), not of the client area.
static void TestOddArea()
{
    HWND area = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 301, 201, NULL, NULL, NULL, NULL);
    HDC dc = GetDC(area);
    Backdrop backdrop(GetModuleHandleA(NULL));
    backdrop.window = area;
    const COLORREF first = 0x00000000, second = 0x00FFFFFF;
    backdrop.SetGradient(first, second, 0, 0, 3);
    RenderBackdropImage(&backdrop, dc);
    Image image;
    if (CHECK(ImageFromBitmap(backdrop.imageBitmap, &image) && image.width == 302 &&
                  image.height == 202,
              "no 302 x 202 image"))
        CheckSquares("squares, odd area", image, first, second, 151, 101, 151);
    backdrop.SetGradient(first, second, 0, 0, 1);
    RenderBackdropImage(&backdrop, dc);
    if (CHECK(ImageFromBitmap(backdrop.imageBitmap, &image), "no image")) {
        // 181.66 to the top left corner.
        CheckCircles("circles, odd area", image, first, second, 151, 101, 181);
    }
    ReleaseBackdropImage(&backdrop);
    ReleaseDC(area, dc);
    DestroyWindow(area);
}

int main()
{
    TestOddArea();
    Backdrop backdrop(GetModuleHandleA(NULL));
    backdrop.SetGradient(0x00FF0000, 0, 0, 0, 0);
    if (!CHECK(backdrop.StartBackdrop(false), "the backdrop did not start"))
        return CheckDone();
    RECT client = {};
    GetClientRect(backdrop.GetBackdropWindow(), &client);
    if (CHECK(client.right == kRight && client.bottom == kBottom, "client area %ld x %ld",
              client.right, client.bottom)) {
        TestRows(&backdrop);
        TestCircles(&backdrop);
        TestSquares(&backdrop);
        TestRays(&backdrop);
        TestOffsets(&backdrop);
        TestOtherStyles(&backdrop);
    }
    backdrop.CloseBackdrop();
    return CheckDone();
}
