// The progress dialog run for real: the installing side calls it as the install sequence does,
// and the checks read the dialog's controls and the screen as the user sees them.
#include "check.h"
#include "driver.h"
#include "fixture_files.h"
#include "fixture_boxes.h"
#include "setup/table_string.h"
#include "install/progress_dialog.h"
#include "resources/resource.h"

#include <imm.h>
#include <string>

// The progress thread's end, slowed down: a close that returns before the thread has ended
// then shows, instead of hiding in a race of a few milliseconds.
static volatile DWORD s_slowThreadId;

static void NTAPI SlowThreadEnd(PVOID, DWORD reason, PVOID)
{
    if (reason == DLL_THREAD_DETACH && GetCurrentThreadId() == s_slowThreadId)
        Sleep(300);
}

extern "C" __attribute__((section(".CRT$XLY"), used))
const PIMAGE_TLS_CALLBACK s_slowThreadEndCallback = SlowThreadEnd;

static int BarWidth(HWND dialog)
{
    RECT bar;
    GetClientRect(GetDlgItem(dialog, IDC_PROGRESS_BAR), &bar);
    return bar.right;
}

// The bar's width in the template, in pixels: what a full bar fills.
static int FullBarWidth(HWND dialog)
{
    RECT bar = {0, 0, 284, 11};
    MapDialogRect(dialog, &bar);
    return bar.right;
}

static std::string Path(const char *name)
{
    return CurrentDir() + "\\" + name;
}

static bool MakeSparseFile(const std::string &path, long long size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER end;
    end.QuadPart = size;
    bool ok = SetFilePointerEx(file, end, NULL, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

// The dialog cannot be created (the module has no template 104): the start returns once the
// thread has ended, and the updates and the close do nothing visible.
static void TestDialogNotCreated()
{
    HINSTANCE own = g_hInstance;
    g_hInstance = GetModuleHandleA("ntdll.dll");
    CHECK(!FindResourceA(g_hInstance, MAKEINTRESOURCEA(IDD_PROGRESS), (LPCSTR)RT_DIALOG),
          "ntdll has a template 104");
    StartProgressDialog(NULL);
    g_hInstance = own;
    CHECK(FindProgressDialog() == NULL, "a progress dialog appeared");
    UpdateProgress(Path("big.bin").c_str(), "C:\\target", true);
    CHECK(CloseProgressDialog(), "the ended thread's handle was not closed");
}

static HWND TestOpening(HWND owner)
{
    StartProgressDialog(owner);
    HWND dialog = FindProgressDialog();
    if (!CHECK(dialog != NULL, "no progress dialog after StartProgressDialog"))
        return NULL;
    CHECK(GetWindow(dialog, GW_OWNER) == owner, "the dialog is not owned by the owner window");
    CHECK(GetWindowThreadProcessId(dialog, NULL) != GetCurrentThreadId(),
          "the dialog runs on the installing thread");
    CHECK(ImmGetDefaultIMEWnd(dialog) == NULL, "the progress thread opened an input method");
    CHECK_TEXT(ControlText(dialog, IDC_PERCENT), "0%");
    CHECK(BarWidth(dialog) == 0, "the bar starts %d pixels wide", BarWidth(dialog));
    CHECK_TEXT(ControlText(dialog, IDC_PROGRESS_MESSAGE), "");
    CHECK_TEXT(ControlText(dialog, IDC_HEADER), "ZV-001 Strider Plug-in Player Model\n");
    LOGFONTA font = {};
    CHECK(GetObjectA(ControlFont(dialog, IDC_TITLE), sizeof font, &font) == sizeof font,
          "no title font");
    CHECK(font.lfHeight == -15 && font.lfWeight == FW_SEMIBOLD &&
              std::string(font.lfFaceName) == "MS Sans Serif",
          "title font %ld %ld %s", font.lfHeight, font.lfWeight, font.lfFaceName);
    return dialog;
}

// A black rectangle is drawn in the system's frame colour, which Wine makes dark grey.
static bool IsDark(COLORREF colour)
{
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 128;
}

// The bar seen on the screen: dark up to its width, the dialog's light face beyond it.
static void CheckBarOnScreen(HWND dialog, double fraction)
{
    RECT frame;
    GetWindowRect(GetDlgItem(dialog, IDC_BAR_FRAME), &frame);
    RECT bar;
    GetWindowRect(GetDlgItem(dialog, IDC_PROGRESS_BAR), &bar);
    int full = FullBarWidth(dialog);
    int y = (bar.top + bar.bottom) / 2 - frame.top;
    int filled = bar.left - frame.left + (int)(full * fraction * 0.5);
    int empty = bar.left - frame.left + (int)(full * (fraction + 1) * 0.5);
    Image shot;
    // The dialog's thread paints the bar after the update: look until it shows.
    bool seen = WaitUntil(
        [&] {
            return CaptureScreen(&shot, &frame) && IsDark(shot.At(filled, y)) &&
                   !IsDark(shot.At(empty, y));
        },
        2000, 40);
    CHECK(seen, "the bar at %d%% is not dark to %d and clear at %d: %06lx %06lx",
          (int)(fraction * 100), filled, empty, shot.width ? shot.At(filled, y) : 0,
          shot.width ? shot.At(empty, y) : 0);
}

// Each update shows the file, its target and size; the total counts a file when the next new
// file starts, so percent and bar follow the sizes of earlier files only.
static void TestUpdates(HWND dialog)
{
    WriteTestFile(Path("a.bin"), 589855, 1);
    WriteTestFile(Path("b.bin"), 589854, 2);
    WriteTestFile(Path("c.bin"), 1000, 3);
    WriteTestFile(Path("d.bin"), 2000, 4);
    DeleteFileA(Path("missing.bin").c_str());
    static const struct {
        const char *file;
        bool newFile;
        const char *sizeText;
        const char *percent;
        double fraction; // of the full bar
    } steps[] = {
        {"a.bin", true, "576.03 KB", "0%", 0},                               // nothing is done yet
        {"b.bin", true, "576.03 KB", "50%", 589855 / kFixedExpectedTotal},   // a is done
        {"c.bin", false, "1000 Bytes", "50%", 589855 / kFixedExpectedTotal}, // no new file: b stays
        {"d.bin", true, "1.95 KB", "100%", 1.0},       // b (not c) is done: the whole total
        {"big.bin", true, "3.50 GB", "100%", 1.0},     // capped
        {"missing.bin", true, "0 Bytes", "100%", 1.0}, // 3.5 GiB more must not wrap
    };
    int number = 0;
    for (const auto &s : steps) {
        std::string target = "C:\\Games\\Quake3\\target" + std::to_string(++number);
        UpdateProgress(Path(s.file).c_str(), target.c_str(), s.newFile);
        CHECK_TEXT(ControlText(dialog, IDC_PROGRESS_MESSAGE),
                   "Currently Installing File: " + Path(s.file) + "\nTo Location: " + target +
                       "\nFile Size: " + s.sizeText);
        CHECK_TEXT(ControlText(dialog, IDC_PERCENT), s.percent);
        int expected = (int)(FullBarWidth(dialog) * s.fraction);
        CHECK(BarWidth(dialog) == expected, "step %d: bar %d pixels, expected %d", number,
              BarWidth(dialog), expected);
        if (number == 2)
            CheckBarOnScreen(dialog, s.fraction);
    }
}

static void TestClosing(HWND dialog)
{
    // A second start while the dialog is open changes nothing.
    HFONT font = ControlFont(dialog, IDC_TITLE);
    StartProgressDialog(NULL);
    CHECK(FindProgressDialog() == dialog, "a second start replaced the dialog");
    CHECK_TEXT(ControlText(dialog, IDC_PERCENT), "100%");

    s_slowThreadId = GetWindowThreadProcessId(dialog, NULL);
    HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, s_slowThreadId);
    CHECK(CloseProgressDialog(), "the thread handle was not closed");
    CHECK(WaitForSingleObject(thread, 0) == WAIT_OBJECT_0,
          "CloseProgressDialog returned before the progress thread ended");
    CloseHandle(thread);
    CHECK(!IsWindow(dialog), "the dialog outlived CloseProgressDialog");
    CHECK(GetObjectType(font) == 0, "the title font outlived the dialog");
    CHECK(!CloseProgressDialog(), "a second close closed a handle again");
}

// WM_CLOSE from elsewhere ends the dialog early; the installation then goes on without it.
static void TestClosedElsewhere()
{
    StartProgressDialog(NULL);
    HWND dialog = FindProgressDialog();
    if (!CHECK(dialog != NULL, "no second progress dialog"))
        return;
    CHECK_TEXT(ControlText(dialog, IDC_PERCENT), "0%");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    CHECK(WaitForGone(dialog), "WM_CLOSE did not end the dialog");
    UpdateProgress(Path("a.bin").c_str(), "C:\\target", true);
    CHECK(FindProgressDialog() == NULL, "an update brought a dialog back");
    CHECK(CloseProgressDialog(), "the ended thread's handle was not closed");
}

int main()
{
    g_hInstance = GetModuleHandleA(NULL);
    CHECK(MakeSparseFile(Path("big.bin"), 3758096384LL), "cannot make a 3.5 GiB file");
    // Without a dialog an update neither shows nor remembers: big.bin is never counted.
    UpdateProgress(Path("big.bin").c_str(), "C:\\target", true);
    TestDialogNotCreated();
    HWND owner = StartOwnerWindow();
    CHECK(owner != NULL, "no owner window");
    HWND dialog = TestOpening(owner);
    if (dialog) {
        TestUpdates(dialog);
        TestClosing(dialog);
    }
    TestClosedElsewhere();
    StopOwnerWindow();
    DeleteFileA(Path("big.bin").c_str());
    return CheckDone();
}
