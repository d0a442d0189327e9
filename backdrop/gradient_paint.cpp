// The backdrop's renderer: builds the cached image, one pixel wider and taller than the
// client area, as a copy of the source bitmap or as one of the four gradients, and draws the
// caption on it. Runs on the backdrop thread only.
#include "backdrop.h"
#include "gradient.h"

#include <string.h>

// Where the image is drawn: the client area 0..right x 0..bottom and the centre point.
struct ImageArea {
    RECT client;
    int cx;
    int cy;
};

static void FillWhite(HDC dc, const RECT *area)
{
    HBRUSH white = CreateSolidBrush(0x00FFFFFF);
    FillRect(dc, area, white);
    DeleteObject(white);
}

// Successive shapes lie one pixel apart: two-pixel outlines overlap and leave no gaps.
static HPEN SelectStepPen(HDC dc, COLORREF colour)
{
    return (HPEN)SelectObject(dc, CreatePen(PS_SOLID, 2, colour));
}

static void ReleaseStepPen(HDC dc, HPEN previous)
{
    DeleteObject(SelectObject(dc, previous));
}

// Outlines only: the shapes are drawn with a hollow brush.
static HBRUSH SelectHollowBrush(HDC dc)
{
    LOGBRUSH hollow = {BS_HOLLOW, 0, 0};
    return (HBRUSH)SelectObject(dc, CreateBrushIndirect(&hollow));
}

static void ReleaseHollowBrush(HDC dc, HBRUSH previous)
{
    DeleteObject(SelectObject(dc, previous));
}

static void DrawCircles(const Backdrop *backdrop, HDC dc, const ImageArea *area)
{
    int cx = area->cx, cy = area->cy;
    int reach = CircleReach(cx, cy, area->client.right, area->client.bottom);
    HBRUSH brush = SelectHollowBrush(dc);
    // From the outside in; the outermost ring, one step past the second colour, reaches the
    // farthest corner, which the truncated reach may fall short of.
    for (int k = reach + 1; k >= 0; k--) {
        HPEN pen =
            SelectStepPen(dc, BlendColour(backdrop->firstColour, backdrop->secondColour, k, reach));
        Ellipse(dc, cx - k, cy - k, cx + k, cy + k);
        ReleaseStepPen(dc, pen);
    }
    ReleaseHollowBrush(dc, brush);
}

// One step: from (x0, y0) to the centre point and on to (x1, y1).
static void DrawRay(HDC dc, COLORREF colour, const ImageArea *area, int x0, int y0, int x1, int y1)
{
    HPEN pen = SelectStepPen(dc, colour);
    MoveToEx(dc, x0, y0, NULL);
    LineTo(dc, area->cx, area->cy);
    LineTo(dc, x1, y1);
    ReleaseStepPen(dc, pen);
}

// Pairs of segments through the centre point. The left and right edges measure the angle
// alike but give the two colours opposite roles, so the halves differ.
static void DrawRays(const Backdrop *backdrop, HDC dc, const ImageArea *area)
{
    COLORREF first = backdrop->firstColour, second = backdrop->secondColour;
    int cx = area->cx, cy = area->cy;
    int right = area->client.right, bottom = area->client.bottom;
    for (int y = bottom / 2; y <= bottom; y++)
        DrawRay(dc, RayColour(second, first, RayAngle(y - cy, cx)), area, 0, y, 0, bottom - y);
    for (int x = 0; x < right; x++)
        DrawRay(dc, RayColour(first, second, RayAngle(cy, x - cx)), area, x, 0, x, bottom);
    for (int y = bottom / 2; y <= bottom; y++)
        DrawRay(dc, RayColour(first, second, RayAngle(y - cy, cx)), area, right, y, right,
                bottom - y);
}

static void DrawSquares(const Backdrop *backdrop, HDC dc, const ImageArea *area)
{
    int cx = area->cx, cy = area->cy;
    int reach = SquareReach(cx, cy, area->client.right, area->client.bottom);
    HBRUSH brush = SelectHollowBrush(dc);
    for (int k = reach; k >= 0; k--) {
        HPEN pen =
            SelectStepPen(dc, BlendColour(backdrop->firstColour, backdrop->secondColour, k, reach));
        Rectangle(dc, cx - k, cy - k, cx + k, cy + k);
        ReleaseStepPen(dc, pen);
    }
    ReleaseHollowBrush(dc, brush);
}

void ReleaseBackdropImage(Backdrop *backdrop)
{
    if (backdrop->imageBitmap && backdrop->imageOwned)
        DeleteObject(backdrop->imageBitmap);
    backdrop->imageBitmap = NULL;
    backdrop->imageOwned = false;
    backdrop->imageValid = false;
}

// Every image the renderer makes is the record's, in both modes, so that none outlives it. A
// picture that covers every pixel is drawn over an image of its size: fresh memory costs more
// to touch than to fill.
static HDC StartImage(Backdrop *backdrop, HDC dc, int width, int height, bool coversAll,
                      HBITMAP *previous)
{
    BITMAP kept;
    if (!coversAll || !backdrop->imageOwned ||
        !GetObjectA(backdrop->imageBitmap, sizeof kept, &kept) || kept.bmWidth != width ||
        kept.bmHeight != height) {
        ReleaseBackdropImage(backdrop);
        backdrop->imageBitmap = CreateCompatibleBitmap(dc, width, height);
        backdrop->imageOwned = backdrop->imageBitmap != NULL;
    }
    HDC image = CreateCompatibleDC(dc);
    *previous = (HBITMAP)SelectObject(image, backdrop->imageBitmap);
    return image;
}

static void EndImage(HDC image, HBITMAP previous)
{
    SelectObject(image, previous);
    DeleteDC(image);
}

static void CopySourceBitmap(Backdrop *backdrop, HDC dc)
{
    BITMAP source = {};
    GetObjectA(backdrop->sourceBitmap, sizeof source, &source);
    HBITMAP previousImage;
    HDC image = StartImage(backdrop, dc, source.bmWidth, source.bmHeight, false, &previousImage);
    HDC from = CreateCompatibleDC(dc);
    HBITMAP previousSource = (HBITMAP)SelectObject(from, backdrop->sourceBitmap);
    BitBlt(image, 0, 0, source.bmWidth, source.bmHeight, from, 0, 0, SRCCOPY);
    SelectObject(from, previousSource);
    DeleteDC(from);
    EndImage(image, previousImage);
}

// Rows: each row has one colour, so each run of rows of one colour is one PatBlt with the
// device context's own brush, recoloured rather than a brush made for each run.
static void DrawRows(const Backdrop *backdrop, HDC image, const ImageArea *area)
{
    COLORREF first = backdrop->firstColour, second = backdrop->secondColour;
    int width = area->client.right + 1, rows = area->client.bottom + 1;
    HBRUSH previous = (HBRUSH)SelectObject(image, GetStockObject(DC_BRUSH));
    for (int top = 0, y = 1; top < rows; y++) {
        COLORREF colour = BlendColour(first, second, top, rows);
        if (y < rows && BlendColour(first, second, y, rows) == colour)
            continue;
        SetDCBrushColor(image, colour);
        PatBlt(image, 0, top, width, y - top, PATCOPY);
        top = y;
    }
    SelectObject(image, previous);
}

static void DrawGradient(Backdrop *backdrop, HDC dc, const ImageArea *area)
{
    HBITMAP previous;
    HDC image = StartImage(backdrop, dc, area->client.right + 1, area->client.bottom + 1,
                           backdrop->style == 0, &previous);
    switch (backdrop->style) {
    case 0: DrawRows(backdrop, image, area); break;
    case 1: DrawCircles(backdrop, image, area); break;
    case 2: DrawRays(backdrop, image, area); break;
    case 3: DrawSquares(backdrop, image, area); break;
    default: FillWhite(image, &area->client); break;
    }
    EndImage(image, previous);
}

static void DrawCaption(const Backdrop *backdrop, HDC dc)
{
    HDC image = CreateCompatibleDC(dc);
    HBITMAP previousBitmap = (HBITMAP)SelectObject(image, backdrop->imageBitmap);
    HFONT font = CreateFontA(-36, 0, 0, 0, FW_SEMIBOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_CHARACTER_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                             FF_ROMAN | DEFAULT_PITCH, "Times New Roman");
    HFONT previousFont = (HFONT)SelectObject(image, font);
    SetTextAlign(image, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    TextOutA(image, 10, 10, backdrop->caption, (int)strlen(backdrop->caption));
    SelectObject(image, previousFont);
    DeleteObject(font);
    SelectObject(image, previousBitmap);
    DeleteDC(image);
}

void RenderBackdropImage(Backdrop *backdrop, HDC dc)
{
    if (!backdrop->window)
        return;
    ImageArea area;
    if (!GetClientRect(backdrop->window, &area.client))
        return;
    area.cx = (area.client.right - area.client.left + 1) / 2 + backdrop->offsetX;
    area.cy = (area.client.bottom - area.client.top + 1) / 2 + backdrop->offsetY;
    if (backdrop->imageValid)
        return;
    switch (backdrop->mode) {
    case kModeBitmap:
        // Without a source bitmap there is nothing to copy: white, as with no image.
        if (!backdrop->sourceBitmap) {
            FillWhite(dc, &area.client);
            return;
        }
        CopySourceBitmap(backdrop, dc);
        break;
    case kModeGradient: DrawGradient(backdrop, dc, &area); break;
    case kModeCallback: return;
    default:
        // No image: white, drawn again at every paint since the image stays invalid.
        FillWhite(dc, &area.client);
        return;
    }
    backdrop->imageValid = true;
    // Drawn once on top of each new image.
    if (backdrop->caption && backdrop->imageBitmap)
        DrawCaption(backdrop, dc);
}
