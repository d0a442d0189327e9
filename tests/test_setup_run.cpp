// ZVSetup.exe run as the user runs it, driven from another process: the backdrop covers the
// screen behind both pages, and leaving on either information page ends the program with exit
// code 0 and no final message.
#include "backdrop_picture.h"
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

// The screen behind the page: the installer's gradient from the top row to the bottom beside
// the page (a row the copy doubles only repeats a level); the page itself lies on top.
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
    CHECK_INSTALLER_FADE(screen, 4, screen.height);
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
