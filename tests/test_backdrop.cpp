// The backdrop record, its thread and its window: starting and closing in every order, what
// each mode paints, how the image is copied, and that no GDI object outlives its use.
#include "backdrop_picture.h"
#include "check.h"
#include "driver.h"
#include "backdrop/backdrop.h"

#include <imm.h>
#include <string.h>

static const COLORREF kMagenta = 0x00FF00FF;

static HINSTANCE Instance()
{
    return GetModuleHandleA(NULL);
}

static std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// A hidden window of the given client size that a record not started can render for.
static HWND MakeArea(int width, int height)
{
    return CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, width, height, NULL, NULL, NULL, NULL);
}

// A 32-bit memory surface standing in for the paint device context.
struct Surface {
    HDC dc = NULL;
    HBITMAP bitmap = NULL;
    HBITMAP previous = NULL;
    DWORD *bits = NULL;
    int width = 0, height = 0;

    Surface(int w, int h) : width(w), height(h)
    {
        dc = CreateCompatibleDC(NULL);
        bitmap = CreatePixelBitmap(dc, w, h, &bits);
        previous = (HBITMAP)SelectObject(dc, bitmap);
    }
    ~Surface()
    {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Fill(COLORREF colour)
    {
        GdiFlush();
        for (int i = 0; i < width * height; i++)
            bits[i] = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    }
    COLORREF At(int x, int y)
    {
        GdiFlush();
        return PixelColour(bits[y * width + x]);
    }
    // Pixels in the rectangle that are not colour.
    long CountOther(int left, int top, int right, int bottom, COLORREF colour)
    {
        long other = 0;
        for (int y = top; y < bottom; y++)
            for (int x = left; x < right; x++)
                other += At(x, y) != colour;
        return other;
    }
};

// A 32-bit bitmap of its own pattern, selected into no device context.
static HBITMAP MakePattern(int width, int height)
{
    DWORD *bits = NULL;
    HBITMAP bitmap = CreatePixelBitmap(NULL, width, height, &bits);
    if (bitmap)
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                bits[y * width + x] = (DWORD)(x * 5) << 16 | (DWORD)(y * 6);
    return bitmap;
}

static void Draw(Backdrop *backdrop, Surface *surface, int left, int top, int right, int bottom)
{
    RECT paint = {left, top, right, bottom};
    DrawBackdrop(backdrop, surface->dc, &paint);
}

// A record never started paints what it was last told to, and closes at once.
static void TestNeverStarted()
{
    HWND area = MakeArea(20, 20);
    Surface surface(20, 20);
    Backdrop backdrop(Instance());
    backdrop.window = area;
    backdrop.SetGradient(0x00FF0000, 0, 0, 0, 0);
    Draw(&backdrop, &surface, 0, 0, 20, 20);
    // One colour from top to bottom: a new gradient replaces the image already built.
    backdrop.SetGradient(0x000000FF, 0x000000FF, 0, 0, 0);
    Draw(&backdrop, &surface, 0, 0, 20, 20);
    CHECK(surface.CountOther(0, 0, 20, 20, 0x000000FF) == 0,
          "the image of the first gradient stayed: %06lx", surface.At(10, 10));
    ReleaseBackdropImage(&backdrop);
    backdrop.window = NULL;
    DestroyWindow(area);
    CHECK(backdrop.SetCaption("Caption"), "no caption");
    DWORD start = GetTickCount();
    backdrop.CloseBackdrop();
    CHECK(GetTickCount() - start < 100, "closing a backdrop never started took %lu ms",
          GetTickCount() - start);
    CHECK(backdrop.caption == NULL, "the caption outlived CloseBackdrop");
}

// The window shows the image: screen row y is image row y or, past the one row the copy
// doubles, row y - 1.
static void CheckShownRows(HWND window, const Image &image)
{
    RECT area;
    GetWindowRect(window, &area);
    Image screen;
    long wrong = -1;
    // The screen shows the window's paint a little after it ends: look until it does.
    WaitUntil([&] {
        if (!CaptureScreen(&screen, &area))
            return false;
        wrong = 0;
        for (int y = 0; y < screen.height; y++) {
            COLORREF got = screen.At(screen.width / 2, y);
            if (got != image.At(0, y) && (y == 0 || got != image.At(0, y - 1)))
                wrong++;
        }
        return wrong == 0;
    });
    if (!CHECK(wrong >= 0, "no screenshot"))
        return;
    CHECK(wrong == 0, "%ld rows on the screen are not the image's", wrong);
    CHECK(screen.At(0, 0) == image.At(0, 0), "the top left pixel shows %06lx", screen.At(0, 0));
}

static void TestStartAndClose()
{
    Backdrop backdrop(Instance());
    backdrop.SetGradient(0x00FF0000, 0, 0, 0, 0);
    // Twice: the first run leaves nothing behind that would stop a second.
    for (int run = 1; run <= 2; run++) {
        if (!CHECK(backdrop.StartBackdrop(false), "run %d: the backdrop did not start", run))
            return;
        HWND window = backdrop.GetBackdropWindow();
        if (!CHECK(window != NULL, "run %d: StartBackdrop returned without a window", run))
            return;
        // The first page follows at once, so the window is up and painted by now.
        CHECK(IsWindowVisible(window) && backdrop.imageValid && backdrop.imageBitmap,
              "run %d: StartBackdrop returned before the first paint", run);
        WaitForPaint(window);
        CHECK(ClassOf(window) == "Q3IBackWnd" && WindowText(window) == "Title",
              "window class %s, title %s", ClassOf(window).c_str(), WindowText(window).c_str());
        DWORD thread = GetWindowThreadProcessId(window, NULL);
        CHECK(thread != GetCurrentThreadId() && thread == backdrop.threadId,
              "the window is not the backdrop thread's");
        // No input method for the backdrop's thread, which takes no text; this thread, like
        // the pages', keeps its own.
        HWND here = MakeArea(20, 20);
        CHECK(ImmGetDefaultIMEWnd(window) == NULL && ImmGetDefaultIMEWnd(here) != NULL,
              "input method windows: backdrop %p, this thread %p",
              (void *)ImmGetDefaultIMEWnd(window), (void *)ImmGetDefaultIMEWnd(here));
        DestroyWindow(here);
        LONG style = GetWindowLongA(window, GWL_STYLE);
        LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
        CHECK((style & (WS_POPUP | WS_VISIBLE)) == (WS_POPUP | WS_VISIBLE) && !IsZoomed(window),
              "style %08lx", style);
        CHECK(!(exStyle & WS_EX_TOPMOST), "a small backdrop is topmost");
        RECT client;
        GetClientRect(window, &client);
        CHECK(client.right == 300 && client.bottom == 300, "client %ld x %ld", client.right,
              client.bottom);
        Image image;
        HBITMAP bitmap = backdrop.imageBitmap;
        if (CHECK(backdrop.imageValid && ImageFromBitmap(bitmap, &image),
                  "the first paint made no image") &&
            CHECK(image.width == 301 && image.height == 301, "image %d x %d", image.width,
                  image.height)) {
            CHECK(image.At(0, 0) == 0x00FF0000 && image.At(0, 300) == 0,
                  "image from %06lx to %06lx", image.At(0, 0), image.At(0, 300));
            CheckShownRows(window, image);
        }
        backdrop.CloseBackdrop();
        CHECK(!IsWindow(window) && backdrop.GetBackdropWindow() == NULL, "the window is left");
        CHECK(!backdrop.running && backdrop.thread == NULL && backdrop.readyEvent == NULL,
              "the thread or its event is left");
        CHECK(GetObjectType(bitmap) == 0, "the image bitmap outlived the backdrop");
        CHECK(FindWindowA("Q3IBackWnd", NULL) == NULL, "a backdrop window is left");
    }
}

static void TestFullScreen()
{
    Backdrop backdrop(Instance());
    backdrop.SetGradient(0x00FF0000, 0, 0, 0, 0);
    if (!CHECK(backdrop.StartBackdrop(true), "the backdrop did not start"))
        return;
    HWND window = backdrop.GetBackdropWindow();
    WaitForPaint(window);
    RECT area = {};
    GetWindowRect(window, &area);
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    CHECK(area.left == 0 && area.top == 0 && area.right == width && area.bottom == height,
          "the window covers (%ld, %ld)-(%ld, %ld) of a %d x %d screen", area.left, area.top,
          area.right, area.bottom, width, height);
    CHECK(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, "not topmost");
    CHECK(IsZoomed(window), "not maximised");
    Image image;
    if (CHECK(ImageFromBitmap(backdrop.imageBitmap, &image), "no image") &&
        CHECK(image.width == width + 1 && image.height == height + 1, "image %d x %d", image.width,
              image.height)) {
        CHECK_INSTALLER_FADE(image, width / 3, height + 1);
        CheckShownRows(window, image);
    }
    backdrop.CloseBackdrop();
    CHECK(!IsWindow(window), "the window is left");
}

static void TestClosedElsewhere()
{
    Backdrop backdrop(Instance());
    backdrop.SetGradient(0x00FF0000, 0, 0, 0, 0);
    if (!CHECK(backdrop.StartBackdrop(false), "the backdrop did not start"))
        return;
    HWND window = backdrop.GetBackdropWindow();
    WaitForPaint(window);
    HBITMAP bitmap = backdrop.imageBitmap;
    PostMessageA(window, WM_CLOSE, 0, 0);
    CHECK(WaitUntil([&] { return backdrop.GetBackdropWindow() == NULL; }),
          "a WM_CLOSE from elsewhere did not end the backdrop");
    CHECK(WaitUntil([&] { return !backdrop.running; }), "the running flag stays set");
    CHECK(!IsWindow(window), "the window is left");
    CHECK(GetObjectType(bitmap) == 0, "the image bitmap outlived the thread");
    backdrop.CloseBackdrop();
    CHECK(backdrop.thread == NULL, "the thread handle is left");
}

static LRESULT CALLBACK PlainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, msg, wParam, lParam);
}

// A thread that cannot make its window ends, and neither wait lasts for ever.
static void TestStartFails()
{
    WNDCLASSA taken = {};
    taken.lpfnWndProc = PlainWndProc;
    taken.hInstance = Instance();
    taken.lpszClassName = "Q3IBackWnd";
    if (!CHECK(RegisterClassA(&taken), "cannot take the class name"))
        return;
    Backdrop backdrop(Instance());
    backdrop.SetGradient(0x00FF0000, 0, 0, 0, 0);
    CHECK(!backdrop.StartBackdrop(false), "started without its window class");
    CHECK(backdrop.GetBackdropWindow() == NULL, "a window without a class");
    backdrop.CloseBackdrop();
    CHECK(!backdrop.running && backdrop.thread == NULL && backdrop.readyEvent == NULL,
          "the thread or its event is left");
    UnregisterClassA("Q3IBackWnd", Instance());
}

static int s_callbackCalls;
static HDC s_callbackDc;

static int PaintGreenSquare(HDC dc)
{
    s_callbackCalls++;
    s_callbackDc = dc;
    RECT square = {5, 5, 15, 15};
    HBRUSH green = CreateSolidBrush(0x0000FF00);
    FillRect(dc, &square, green);
    DeleteObject(green);
    return 0;
}

// The paint step on a memory surface, for a record whose area is a 300 x 300 window.
static void TestPaintModes()
{
    HWND area = MakeArea(300, 300);
    Surface surface(310, 310);
    Backdrop backdrop(Instance());
    backdrop.window = area;

    // No image: white over the client area, and again at every paint.
    for (int paint = 1; paint <= 2; paint++) {
        surface.Fill(kMagenta);
        Draw(&backdrop, &surface, 0, 0, 300, 300);
        CHECK(surface.CountOther(0, 0, 300, 300, 0x00FFFFFF) == 0, "paint %d: not white", paint);
        CHECK(!backdrop.imageValid && !backdrop.imageBitmap, "paint %d: an image", paint);
    }

    // A gradient: built once, then only copied.
    backdrop.SetGradient(0x00FF0000, 0, 0, 0, 0);
    surface.Fill(kMagenta);
    Draw(&backdrop, &surface, 0, 0, 300, 300);
    Image built;
    if (!CHECK(ImageFromBitmap(backdrop.imageBitmap, &built), "no image"))
        return;
    HBITMAP bitmap = backdrop.imageBitmap;
    HDC marker = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(marker, bitmap);
    SetPixel(marker, 150, 150, kMagenta);
    SelectObject(marker, old);
    DeleteDC(marker);
    backdrop.caption = _strdup("Caption"); // set behind the record's back: no rebuild
    RenderBackdropImage(&backdrop, surface.dc);
    surface.Fill(0);
    Draw(&backdrop, &surface, 100, 100, 200, 200);
    Image kept;
    ImageFromBitmap(backdrop.imageBitmap, &kept);
    CHECK(backdrop.imageBitmap == bitmap && kept.At(150, 150) == kMagenta,
          "a valid image was built again");
    kept.pixels[150 * kept.width + 150] = built.At(150, 150);
    CHECK(kept.pixels == built.pixels, "the caption was drawn on a valid image");
    // The rectangle, widened by one pixel, comes from the same place one to one.
    long wrong = 0;
    for (int y = 100; y <= 200; y++)
        for (int x = 100; x <= 200; x++)
            wrong += surface.At(x, y) != (x == 150 && y == 150 ? kMagenta : built.At(x, y));
    CHECK(wrong == 0, "%ld pixels of the copied rectangle differ from the image", wrong);
    CHECK(surface.At(99, 150) == 0 && surface.At(201, 150) == 0 && surface.At(150, 201) == 0,
          "the copy spilled beyond the widened rectangle");

    // A new caption needs a new image, with the caption on top.
    CHECK(backdrop.SetCaption("ZV"), "no caption");
    Draw(&backdrop, &surface, 0, 0, 300, 300);
    Image captioned;
    if (CHECK(ImageFromBitmap(backdrop.imageBitmap, &captioned), "no image")) {
        long inText = 0, below = 0;
        for (int y = 0; y < 301; y++)
            for (int x = 0; x < 300; x++) {
                bool differs = captioned.At(x, y) != built.At(x, y);
                if (y >= 10 && y < 60 && x >= 10 && x < 80)
                    inText += differs;
                else
                    below += differs;
            }
        CHECK(inText > 50 && below == 0, "caption pixels: %ld at (10, 10), %ld elsewhere", inText,
              below);
    }

    // Back to no image: white, not the old picture.
    backdrop.SelectNoImage();
    surface.Fill(kMagenta);
    Draw(&backdrop, &surface, 0, 0, 300, 300);
    CHECK(surface.CountOther(0, 0, 300, 300, 0x00FFFFFF) == 0, "no image is not white");

    // The callback draws and nothing else does.
    backdrop.SetGradient(0x00FF0000, 0, 0, 0, 0);
    backdrop.SelectPaintCallback(PaintGreenSquare);
    surface.Fill(kMagenta);
    Draw(&backdrop, &surface, 0, 0, 300, 300);
    CHECK(s_callbackCalls == 1 && s_callbackDc == surface.dc, "the callback ran %d times",
          s_callbackCalls);
    CHECK(surface.CountOther(5, 5, 15, 15, 0x0000FF00) == 0 &&
              surface.CountOther(0, 20, 310, 310, kMagenta) == 0,
          "something besides the callback drew");
    CHECK(!backdrop.imageValid, "the image was built in callback mode");

    // A source bitmap: the image is a copy of it, and the record leaves it to its owner.
    HBITMAP pattern = MakePattern(50, 40);
    backdrop.SetCaption(NULL);
    HBITMAP beforeCopy = backdrop.imageBitmap;
    backdrop.SelectBitmap(pattern);
    Draw(&backdrop, &surface, 0, 0, 300, 300);
    Image copy, original;
    ImageFromBitmap(pattern, &original);
    CHECK(ImageFromBitmap(backdrop.imageBitmap, &copy) && copy.width == 50 && copy.height == 40 &&
              copy.pixels == original.pixels,
          "the image is not a copy of the source bitmap");
    CHECK(GetObjectType(beforeCopy) == 0, "the gradient image outlived its replacement");
    HBITMAP copied = backdrop.imageBitmap;
    ReleaseBackdropImage(&backdrop);
    CHECK(GetObjectType(copied) == 0, "the copied image was not released");
    CHECK(GetObjectType(pattern) == OBJ_BITMAP, "the caller's bitmap was deleted");
    DeleteObject(pattern);

    backdrop.CloseBackdrop();
    CHECK(backdrop.caption == NULL, "the caption outlived CloseBackdrop");
    DestroyWindow(area);
}

// A client area without pixels: a 1 x 1 image, and nothing to copy. The circles' reach is 0:
// their ring around the single pixel has the first colour. (The squares' one shape is an
// empty box, which draws nothing.)
static void TestEmptyArea()
{
    HWND area = MakeArea(0, 0);
    Surface surface(10, 10);
    for (UINT style = 0; style <= 3; style++) {
        Backdrop backdrop(Instance());
        backdrop.window = area;
        backdrop.SetGradient(0x00123456, 0x00ABCDEF, 0, 0, style);
        surface.Fill(kMagenta);
        Draw(&backdrop, &surface, 0, 0, 0, 0);
        Image image;
        CHECK(ImageFromBitmap(backdrop.imageBitmap, &image) && image.width == 1 &&
                  image.height == 1,
              "style %u: no 1 x 1 image", style);
        if (style == 1)
            CHECK(image.At(0, 0) == 0x00123456, "style %u: the single shape is %06lx", style,
                  image.At(0, 0));
        CHECK(surface.CountOther(0, 0, 10, 10, kMagenta) == 0, "style %u: something was copied",
              style);
        ReleaseBackdropImage(&backdrop);
    }
    DestroyWindow(area);
}

// How many more brushes can be made right now; all of them are deleted again.
static long FreeSlots(std::vector<HBRUSH> *keep)
{
    std::vector<HBRUSH> spare;
    for (;;) {
        HBRUSH brush = CreateSolidBrush(0x00808080);
        if (!brush)
            break;
        spare.push_back(brush);
    }
    if (keep) {
        keep->insert(keep->end(), spare.begin(), spare.end());
        return 0;
    }
    for (HBRUSH brush : spare)
        DeleteObject(brush);
    return (long)spare.size();
}

// With the GDI handle table nearly full, every kind of paint, repeated far more often than
// there are free slots, leaves as many slots free as before, and the last picture is right.
static void TestNoLeaks()
{
    HWND small = MakeArea(40, 30);
    HWND large = MakeArea(300, 300);
    Surface surface(310, 310);
    HBITMAP pattern = MakePattern(20, 20);
    Backdrop backdrop(Instance());
    backdrop.window = small;
    backdrop.SetCaption("ZV");
    auto paintAll = [&](int rounds) {
        for (int i = 0; i < rounds; i++) {
            if (i % 6 == 5)
                backdrop.SelectBitmap(pattern);
            else
                backdrop.SetGradient(0x00FF8000, 0x000080FF, i % 7 - 3, i % 5 - 2, i % 6);
            Draw(&backdrop, &surface, 0, 0, 40, 30);
            Draw(&backdrop, &surface, 10, 10, 20, 20);
        }
    };
    paintAll(12); // any cache the system fills on first use
    std::vector<HBRUSH> filler;
    FreeSlots(&filler);
    for (int i = 0; i < 300 && !filler.empty(); i++) {
        DeleteObject(filler.back());
        filler.pop_back();
    }
    long before = FreeSlots(NULL);
    paintAll(1200);
    long after = FreeSlots(NULL);
    CHECK(after == before, "%ld GDI slots were free before 1200 paints, %ld after", before, after);
    backdrop.window = large;
    backdrop.SetCaption(NULL);
    backdrop.SetGradient(0x00FF0000, 0, 0, 0, 0);
    Draw(&backdrop, &surface, 0, 0, 300, 300);
    Image image;
    if (CHECK(ImageFromBitmap(backdrop.imageBitmap, &image), "no image in a nearly full table")) {
        long wrong = 0;
        for (int y = 0; y < 301; y++)
            for (int x = 0; x < 300; x++)
                wrong += image.At(x, y) != image.At(0, y);
        CHECK(wrong == 0, "%ld pixels of the last picture differ from their row", wrong);
        CHECK_INSTALLER_FADE(image, 150, 301);
    }
    ReleaseBackdropImage(&backdrop);
    // An area too large for any image: the bitmap cannot be made, nothing is copied, and every
    // object the attempt made is released.
    HWND huge = MakeArea(30000, 20000);
    backdrop.window = huge;
    backdrop.SetGradient(0x00FF0000, 0, 0, 0, 0);
    surface.Fill(kMagenta);
    before = FreeSlots(NULL);
    Draw(&backdrop, &surface, 0, 0, 300, 300);
    after = FreeSlots(NULL);
    RECT client = {};
    GetClientRect(huge, &client);
    CHECK(client.right == 30000 && !backdrop.imageBitmap && after == before,
          "area %ld wide: image %p, %ld GDI slots free before, %ld after", client.right,
          (void *)backdrop.imageBitmap, before, after);
    CHECK(surface.CountOther(0, 0, 310, 310, kMagenta) == 0, "something was copied");
    DestroyWindow(huge);
    for (HBRUSH brush : filler)
        DeleteObject(brush);
    DeleteObject(pattern);
    DestroyWindow(small);
    DestroyWindow(large);
}

int main()
{
    TestNeverStarted();
    TestStartAndClose();
    TestFullScreen();
    TestClosedElsewhere();
    TestStartFails();
    TestPaintModes();
    TestEmptyArea();
    TestNoLeaks();
    return CheckDone();
}
