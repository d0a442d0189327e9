// ZVSetup.exe run as the user runs it, driven from another process: the backdrop covers the
// screen behind both pages, and leaving on either information page ends the program with exit
// code 0 and no final message.
#include "check.h"
#include "driver.h"
#include "resources/resource.h"

#include <stdlib.h>
#include <string>

static std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Blue 255 * (h - r) / h of image row r, for an image h rows high.
static int BlueOfRow(int r, int h)
{
    return 255 * (h - r) / h;
}

// The screen behind the page: the top row pure blue, each row below it the gradient's row of
// an image one pixel taller than the screen (or the row above it, where the copy doubles
// one), down to black at the bottom; the page itself lies on top.
static void CheckBackdrop(HWND page)
{
    HWND owner = GetWindow(page, GW_OWNER);
    CHECK(owner && ClassOf(owner) == "Q3IBackWnd", "the page is owned by %s",
          owner ? ClassOf(owner).c_str() : "nothing");
    RECT area;
    GetWindowRect(page, &area);
    // The page's face near its lower left corner, where it has no control.
    POINT face = {area.left + 8, area.bottom - 8};
    // Backdrop and page paint on their own threads: look until both show.
    Image screen;
    WaitUntil([&] {
        return CaptureScreen(&screen) && screen.At(4, 0) == 0x00FF0000 &&
               (screen.At(face.x, face.y) & 0xFFFF) != 0;
    });
    if (!CHECK(screen.height > 0, "no screenshot"))
        return;
    if (const char *dir = getenv("ZV_SCREENSHOTS"))
        if (*dir)
            SavePng(screen, (std::string(dir) + "\\backdrop.png").c_str());
    int h = screen.height + 1;
    long wrong = 0;
    int first = 0;
    for (int y = 0; y < screen.height; y++) {
        COLORREF got = screen.At(4, y);
        int blue = (got >> 16) & 0xFF;
        bool rowOk = blue == BlueOfRow(y, h) || (y > 0 && blue == BlueOfRow(y - 1, h));
        if (((got & 0xFFFF) != 0 || !rowOk) && wrong++ == 0)
            first = y;
    }
    CHECK(wrong == 0, "%ld rows beside the page are not the gradient; row %d is %06lx", wrong,
          first, screen.At(4, first));
    CHECK(screen.At(4, 0) == 0x00FF0000, "the top row is %06lx", screen.At(4, 0));
    CHECK(screen.At(4, screen.height - 1) == 0, "the bottom row is %06lx",
          screen.At(4, screen.height - 1));
    COLORREF shown = screen.At(face.x, face.y);
    CHECK((shown & 0xFFFF) != 0, "the page does not show over the backdrop: %06lx", shown);
}

static void LeaveOnPage(int page)
{
    // Both pages stand over the whole backdrop.
    SetupRun run = RunSetupToDetails("ZVSetup.exe", [page](HWND info, int number) {
        if (number == 1)
            CHECK(ControlText(info, IDC_MESSAGE).rfind("\n\nThis program will install", 0) == 0,
                  "the first page shows another text");
        else
            CHECK(ControlText(info, IDC_MESSAGE).find("ZV-001.TXT") != std::string::npos,
                  "the second page does not show the terms");
        CheckBackdrop(info);
        return number < page;
    });
    if (!CHECK(run.process != NULL, "%s", run.failure.c_str()))
        return;
    if (CHECK(run.failure.empty(), "page %d: %s", page, run.failure.c_str())) {
        Click(run.page, IDCANCEL);
        MessageBoxInfo box;
        if (CHECK(WaitForMessageBox(&box, "Really Quit?"), "no exit question"))
            AnswerMessageBox(box, IDYES);
    }
    DWORD code = 99;
    bool ended = FinishProgram(run.process, &code);
    CHECK(ended && code == 0, "page %d: ended %d with exit code %lu", page, ended, code);
    CHECK(FindTopWindow("#32770", NULL) == NULL, "a window is left after leaving");
}

int main()
{
    LeaveOnPage(1);
    LeaveOnPage(2);
    return CheckDone();
}
