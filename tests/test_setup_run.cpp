// ZVSetup.exe run as the user runs it, driven from another process: leaving on either
// information page ends the program with exit code 0 and no final message.
#include "check.h"
#include "driver.h"
#include "resources/resource.h"

#include <string>

static const char *kCaption = "ZV Developments Model Installation";

static void LeaveOnPage(int page)
{
    HANDLE setup = StartProgram("ZVSetup.exe", NULL);
    if (!CHECK(setup != NULL, "cannot start ZVSetup.exe: %lu", GetLastError()))
        return;
    HWND info = WaitForWindow("#32770", kCaption, IDC_MESSAGE);
    if (CHECK(info != NULL, "no first page")) {
        CHECK(ControlText(info, IDC_MESSAGE).rfind("\n\nThis program will install", 0) == 0,
              "the first page shows another text");
        if (page == 2) {
            Click(info, IDOK);
            WaitForGone(info);
            info = WaitForWindow("#32770", kCaption, IDC_MESSAGE);
            CHECK(info && ControlText(info, IDC_MESSAGE).find("ZV-001.TXT") != std::string::npos,
                  "the second page does not show the terms");
        }
        Click(info, IDCANCEL);
        MessageBoxInfo box;
        if (CHECK(WaitForMessageBox(&box, "Really Quit?"), "no exit question"))
            AnswerMessageBox(box, IDYES);
    }
    DWORD code = 99;
    bool ended = WaitForExit(setup, &code);
    CHECK(ended && code == 0, "page %d: ended %d with exit code %lu", page, ended, code);
    if (!ended)
        TerminateProcess(setup, 1);
    CloseHandle(setup);
    CHECK(FindTopWindow("#32770", NULL) == NULL, "a window is left after leaving");
}

int main()
{
    LeaveOnPage(1);
    LeaveOnPage(2);
    return CheckDone();
}
