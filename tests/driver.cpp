// Window driver for the tests. It reads other windows without sending them messages where it
// can (InternalGetWindowText), and bounds every message it does send.
#include "driver.h"

#include "resources/resource.h"

#include <stdio.h>
#include <stdlib.h>

static const UINT kSendTimeoutMs = 5000;

static std::string Narrow(const WCHAR *text)
{
    char buffer[1024];
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
    return n > 0 ? std::string(buffer) : std::string();
}

std::string WindowText(HWND window)
{
    WCHAR text[1024];
    if (InternalGetWindowText(window, text, 1024) <= 0)
        text[0] = 0;
    return Narrow(text);
}

static std::string ClassOf(HWND window)
{
    char name[256];
    if (!GetClassNameA(window, name, sizeof name))
        return std::string();
    return name;
}

struct FindRequest {
    const char *cls;
    const char *caption;
    int controlId;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    FindRequest *request = (FindRequest *)param;
    if (!IsWindowVisible(window))
        return TRUE;
    if (request->cls && ClassOf(window) != request->cls)
        return TRUE;
    if (request->caption && WindowText(window) != request->caption)
        return TRUE;
    if (request->controlId && !GetDlgItem(window, request->controlId))
        return TRUE;
    request->found = window;
    return FALSE;
}

HWND FindTopWindow(const char *cls, const char *caption, int controlId)
{
    FindRequest request = {cls, caption, controlId, NULL};
    EnumWindows(MatchWindow, (LPARAM)&request);
    return request.found;
}

bool WaitUntil(const std::function<bool()> &condition, DWORD ms, DWORD everyMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(everyMs);
    }
    return true;
}

HWND WaitForWindow(const char *cls, const char *caption, int controlId, DWORD timeoutMs)
{
    HWND window = NULL;
    WaitUntil([&] { return (window = FindTopWindow(cls, caption, controlId)) != NULL; }, timeoutMs);
    return window;
}

bool WaitForGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

static bool Send(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR *result)
{
    DWORD_PTR ignored;
    return SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                               result ? result : &ignored) != 0;
}

std::string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    DWORD_PTR length = 0;
    if (!control || !Send(control, WM_GETTEXTLENGTH, 0, 0, &length))
        return "<no control>";
    std::vector<char> text(length + 2, 0);
    DWORD_PTR copied = 0;
    if (!Send(control, WM_GETTEXT, text.size(), (LPARAM)text.data(), &copied))
        return "<no answer>";
    return std::string(text.data(), copied);
}

bool SetControlText(HWND dialog, int id, const char *text)
{
    HWND control = GetDlgItem(dialog, id);
    return control && Send(control, WM_SETTEXT, 0, (LPARAM)text, NULL);
}

bool TypeText(HWND dialog, int id, const char *text)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return false;
    for (const char *c = text; *c; c++)
        if (!Send(control, WM_CHAR, (unsigned char)*c, 1, NULL))
            return false;
    return true;
}

bool Click(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    return button && PostMessageA(button, BM_CLICK, 0, 0);
}

HFONT ControlFont(HWND dialog, int id)
{
    DWORD_PTR font = 0;
    HWND control = GetDlgItem(dialog, id);
    if (!control || !Send(control, WM_GETFONT, 0, 0, &font))
        return NULL;
    return (HFONT)font;
}

HWND FocusedControl(HWND dialog)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, NULL), &info))
        return NULL;
    return info.hwndFocus;
}

bool PressKey(HWND dialog, UINT virtualKey)
{
    HWND target = FocusedControl(dialog);
    if (!target)
        target = dialog;
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    return PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16)) &&
           PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

struct BoxParts {
    HWND text;
    HWND icon;
    bool foreign; // an edit or combo box: a file dialog, not a message box
};

static BOOL CALLBACK CollectBoxParts(HWND child, LPARAM param)
{
    BoxParts *parts = (BoxParts *)param;
    std::string cls = ClassOf(child);
    if (cls == "Edit" || cls == "ComboBox" || cls == "ComboBoxEx32")
        parts->foreign = true;
    if (cls == "Static") {
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON)
            parts->icon = child;
        else if (GetDlgCtrlID(child) == 0xFFFF && !parts->text)
            parts->text = child;
    }
    return TRUE;
}

static bool IsMessageBox(HWND window, BoxParts *parts)
{
    *parts = BoxParts{NULL, NULL, false};
    if (ClassOf(window) != "#32770" || GetDlgItem(window, 1001))
        return false;
    EnumChildWindows(window, CollectBoxParts, (LPARAM)parts);
    return parts->text && !parts->foreign;
}

struct BoxRequest {
    const char *caption;
    HWND found;
};

static BOOL CALLBACK MatchBox(HWND window, LPARAM param)
{
    BoxRequest *request = (BoxRequest *)param;
    BoxParts parts;
    if (!IsWindowVisible(window) || !IsMessageBox(window, &parts))
        return TRUE;
    if (request->caption && WindowText(window) != request->caption)
        return TRUE;
    request->found = window;
    return FALSE;
}

static bool ButtonShown(HWND box, int id)
{
    HWND button = GetDlgItem(box, id);
    return button && IsWindowVisible(button);
}

static UINT ButtonsOf(HWND box)
{
    unsigned mask = 0;
    for (int id = IDOK; id <= IDNO; id++)
        if (ButtonShown(box, id))
            mask |= 1u << id;
    switch (mask) {
    case 1u << IDOK: return MB_OK;
    case (1u << IDOK) | (1u << IDCANCEL): return MB_OKCANCEL;
    case (1u << IDYES) | (1u << IDNO): return MB_YESNO;
    case (1u << IDYES) | (1u << IDNO) | (1u << IDCANCEL): return MB_YESNOCANCEL;
    case (1u << IDRETRY) | (1u << IDCANCEL): return MB_RETRYCANCEL;
    case (1u << IDABORT) | (1u << IDRETRY) | (1u << IDIGNORE): return MB_ABORTRETRYIGNORE;
    }
    return ~0u;
}

HBITMAP CreatePixelBitmap(HDC dc, int width, int height, DWORD **bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    *bits = NULL;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void **)bits, NULL, 0);
}

COLORREF PixelColour(DWORD pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

void ImageFromPixels(const DWORD *bits, int width, int height, Image *image)
{
    image->width = width;
    image->height = height;
    image->pixels.resize((size_t)width * height);
    for (size_t i = 0; i < image->pixels.size(); i++)
        image->pixels[i] = PixelColour(bits[i]);
}

bool ImageFromBitmap(HBITMAP bitmap, Image *image)
{
    BITMAP info;
    if (!bitmap || GetObjectA(bitmap, sizeof info, &info) != sizeof info)
        return false;
    BITMAPINFO dib = {};
    dib.bmiHeader.biSize = sizeof dib.bmiHeader;
    dib.bmiHeader.biWidth = info.bmWidth;
    dib.bmiHeader.biHeight = -info.bmHeight;
    dib.bmiHeader.biPlanes = 1;
    dib.bmiHeader.biBitCount = 32;
    std::vector<DWORD> bits((size_t)info.bmWidth * info.bmHeight);
    HDC screen = GetDC(NULL);
    int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, bits.data(), &dib, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    if (rows != info.bmHeight)
        return false;
    ImageFromPixels(bits.data(), info.bmWidth, info.bmHeight, image);
    return true;
}

// Draws a system icon the way a static control does, on the given background.
static bool RenderIcon(LPCSTR iconName, int width, int height, COLORREF background, Image *out)
{
    HICON icon = LoadIconA(NULL, iconName);
    if (!icon)
        return false;
    DWORD *bits = NULL;
    HBITMAP bitmap = CreatePixelBitmap(NULL, width, height, &bits);
    HDC dc = CreateCompatibleDC(NULL);
    if (!bitmap || !dc) {
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
        return false;
    }
    HBITMAP old = (HBITMAP)SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    DrawIconEx(dc, 0, 0, icon, width, height, 0, NULL, DI_NORMAL);
    GdiFlush();
    ImageFromPixels(bits, width, height, out);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return true;
}

static long Difference(const Image &a, const Image &b)
{
    long sum = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); i++) {
        COLORREF p = a.pixels[i], q = b.pixels[i];
        sum += labs((long)GetRValue(p) - GetRValue(q)) + labs((long)GetGValue(p) - GetGValue(q)) +
               labs((long)GetBValue(p) - GetBValue(q));
    }
    return sum;
}

// Tells the standard icon apart by its pixels: icon handles of another process cannot be
// read, but the picture on the screen can.
static UINT IdentifyIcon(HWND iconControl)
{
    if (!iconControl || !IsWindowVisible(iconControl))
        return 0;
    // A busy machine may keep the box from answering at once: ask again until it does.
    DWORD_PTR handle = 0;
    if (!WaitUntil([&] {
            return !IsWindow(iconControl) || Send(iconControl, STM_GETICON, 0, 0, &handle);
        }) ||
        !handle)
        return 0;
    RECT area;
    GetClientRect(iconControl, &area);
    MapWindowPoints(iconControl, NULL, (POINT *)&area, 2);
    static const struct {
        LPCSTR name;
        UINT type;
    } kinds[] = {{IDI_HAND, MB_ICONHAND},
                 {IDI_QUESTION, MB_ICONQUESTION},
                 {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                 {IDI_ASTERISK, MB_ICONASTERISK}};
    // The box may not have painted its icon yet, later still on a busy machine: look until one
    // matches, or the box is gone.
    UINT found = ~0u;
    WaitUntil(
        [&] {
            Image shown;
            if (!IsWindow(iconControl))
                return true;
            if (!CaptureScreen(&shown, &area) || shown.width <= 0 || shown.height <= 0)
                return false;
            COLORREF background = shown.At(0, 0);
            long best = -1;
            UINT bestType = 0;
            for (const auto &kind : kinds) {
                Image reference;
                if (!RenderIcon(kind.name, shown.width, shown.height, background, &reference))
                    continue;
                long d = Difference(shown, reference);
                if (best < 0 || d < best) {
                    best = d;
                    bestType = kind.type;
                }
            }
            // Allow a little blending noise: on average under 6 levels per channel.
            if (best < 0 || best >= 18L * shown.width * shown.height)
                return false;
            found = bestType;
            return true;
        },
        kWaitMs);
    return found;
}

bool WaitForMessageBox(MessageBoxInfo *info, const char *caption, DWORD timeoutMs)
{
    BoxRequest request = {caption, NULL};
    if (!WaitUntil(
            [&] {
                EnumWindows(MatchBox, (LPARAM)&request);
                return request.found != NULL;
            },
            timeoutMs))
        return false;
    BoxParts parts;
    IsMessageBox(request.found, &parts);
    info->box = request.found;
    info->caption = WindowText(request.found);
    info->text = WindowText(parts.text);
    info->buttons = ButtonsOf(request.found);
    info->icon = IdentifyIcon(parts.icon);
    return true;
}

bool AnswerMessageBox(const MessageBoxInfo &info, int buttonId)
{
    return Click(info.box, buttonId) && WaitForGone(info.box);
}

bool CaptureScreen(Image *image, const RECT *area)
{
    RECT whole = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT r = area ? *area : whole;
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return false;
    DWORD *bits = NULL;
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreatePixelBitmap(screen, width, height, &bits);
    bool ok = false;
    if (dc && bitmap) {
        HBITMAP old = (HBITMAP)SelectObject(dc, bitmap);
        ok = BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY) != 0;
        GdiFlush();
        if (ok)
            ImageFromPixels(bits, width, height, image);
        SelectObject(dc, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return ok;
}

bool SaveScreenshot(const char *path)
{
    Image image;
    return CaptureScreen(&image) && SavePng(image, path);
}

HANDLE StartProgram(const char *exePath, const char *workDir)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exePath, NULL, NULL, NULL, FALSE, 0, NULL, workDir, &startup, &process))
        return NULL;
    CloseHandle(process.hThread);
    return process.hProcess;
}

bool WaitForExit(HANDLE process, DWORD *exitCode, DWORD timeoutMs)
{
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process, exitCode) != 0;
}

bool FinishProgram(HANDLE process, DWORD *exitCode, DWORD timeoutMs)
{
    bool ended = WaitForExit(process, exitCode, timeoutMs);
    if (!ended)
        TerminateProcess(process, 1);
    CloseHandle(process);
    return ended;
}

SetupRun RunSetupToDetails(const char *exePath, const PageVisitor &visit)
{
    SetupRun run;
    run.process = StartProgram(exePath, NULL);
    if (!run.process) {
        run.failure =
            "cannot start " + std::string(exePath) + ": error " + std::to_string(GetLastError());
        return run;
    }
    for (int number = 1; number <= 2; number++) {
        run.page = WaitForWindow("#32770", kInstallerCaption, IDC_MESSAGE);
        if (!run.page) {
            run.failure = "no information page " + std::to_string(number);
            return run;
        }
        if (visit && !visit(run.page, number))
            return run;
        if (!Click(run.page, IDOK) || !WaitForGone(run.page)) {
            run.failure = "information page " + std::to_string(number) + " stays";
            return run;
        }
    }
    run.page = WaitForWindow("#32770", kInstallerCaption, IDC_GAMEDIR);
    if (!run.page)
        run.failure = "no details page";
    return run;
}

static DWORD WINAPI DriverMain(void *drive)
{
    (*(const std::function<void()> *)drive)();
    return 0;
}

bool DriveWhile(const std::function<void()> &drive, const std::function<void()> &run, DWORD waitMs)
{
    HANDLE driver = CreateThread(NULL, 0, DriverMain, (void *)&drive, 0, NULL);
    run();
    bool finished = driver && WaitForSingleObject(driver, waitMs) == WAIT_OBJECT_0;
    if (driver)
        CloseHandle(driver);
    return finished;
}
