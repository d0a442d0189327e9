// The information pages as the user meets them, run for real on the main thread while a
// driver thread reads, clicks and presses keys.
#include "check.h"
#include "driver.h"
#include "app/info_page.h"
#include "setup/table_string.h"
#include "resources/resource.h"

#include <string.h>
#include <string>

static const char *kCaption = "ZV Developments Model Installation";
static const char *kQuitText =
    "The installation has not begun. If you exit now, you will not be able to use the models "
    "provided in this package. Do you really wish to exit the installation?";

static std::string TableText(UINT number)
{
    const char *text = GetTableString(number);
    return text ? text : "";
}

static HWND WaitForPage(HWND previous)
{
    if (previous)
        CHECK(WaitForGone(previous), "the previous page did not close");
    return WaitForWindow("#32770", kCaption, IDC_MESSAGE);
}

// The whole message must show: laid out as the static control does, it fits its area.
static void CheckMessageFits(HWND page, const std::string &message)
{
    HWND area = GetDlgItem(page, IDC_MESSAGE);
    DWORD_PTR font = 0;
    SendMessageTimeoutA(area, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 5000, &font);
    RECT client, needed;
    GetClientRect(area, &client);
    needed = client;
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, (HFONT)font);
    DrawTextA(dc, message.c_str(), -1, &needed, DT_CALCRECT | DT_CENTER | DT_WORDBREAK);
    SelectObject(dc, old);
    DeleteDC(dc);
    CHECK(needed.bottom <= client.bottom, "the message needs %ld pixels, the area has %ld",
          needed.bottom, client.bottom);
}

static void CheckPage(HWND page, const std::string &message, const std::string &header)
{
    CHECK_TEXT(ControlText(page, IDC_HEADER), header);
    CHECK_TEXT(ControlText(page, IDC_MESSAGE), message);
    CHECK_TEXT(ControlText(page, IDC_TITLE), "ZV Developments Add-on Models for Quake3:Arena");
    CHECK(!(GetWindowLongA(page, GWL_STYLE) & WS_SYSMENU), "the page has a close box");
    LOGFONTA font = {};
    CHECK(GetObjectA(ControlFont(page, IDC_TITLE), sizeof font, &font) == sizeof font,
          "no title font");
    CHECK(font.lfHeight == -16 && font.lfWeight == FW_SEMIBOLD && font.lfCharSet == ANSI_CHARSET,
          "title font height %ld weight %ld charset %d", font.lfHeight, font.lfWeight,
          font.lfCharSet);
    CHECK(font.lfOutPrecision == OUT_CHARACTER_PRECIS && font.lfQuality == PROOF_QUALITY &&
              font.lfPitchAndFamily == (FF_SWISS | DEFAULT_PITCH) && !font.lfItalic,
          "title font precision %d quality %d family %d", font.lfOutPrecision, font.lfQuality,
          font.lfPitchAndFamily);
    CHECK(strcmp(font.lfFaceName, "MS Sans Serif") == 0, "title face %s", font.lfFaceName);
    CheckMessageFits(page, message);
}

// The exit question: asks, shows its fixed texts, and is owned by the page.
static void CheckQuitQuestion(HWND page, int answer)
{
    MessageBoxInfo box;
    if (!CHECK(WaitForMessageBox(&box, "Really Quit?"), "no exit question"))
        return;
    CHECK_TEXT(box.text, kQuitText);
    CHECK(box.icon == MB_ICONEXCLAMATION, "icon %x", box.icon);
    CHECK(box.buttons == MB_YESNO, "buttons %x", box.buttons);
    CHECK(GetWindow(box.box, GW_OWNER) == page, "the question is not owned by the page");
    CHECK(AnswerMessageBox(box, answer), "the question did not close");
}

struct Run {
    std::string intro, terms, header;
    int scenario;
    HFONT firstFont;
};

static void Drive(Run *run)
{
    HWND first = WaitForPage(NULL);
    if (!CHECK(first != NULL, "no first page"))
        return;
    CheckPage(first, run->intro, run->header);
    run->firstFont = ControlFont(first, IDC_TITLE);
    CHECK(FocusedControl(first) == GetDlgItem(first, IDOK), "Continue does not have the focus");
    switch (run->scenario) {
    case 0: { // Continue by click, then Enter
        Click(first, IDOK);
        HWND second = WaitForPage(first);
        if (!CHECK(second != NULL, "no second page"))
            return;
        CHECK(GetObjectType(run->firstFont) == 0, "the first page's title font was not deleted");
        CheckPage(second, run->terms, run->header);
        PressKey(second, VK_RETURN);
        CHECK(WaitForGone(second), "Enter did not continue");
        break;
    }
    case 1: // Exit answered No keeps the page; Esc answered Yes ends it
        Click(first, IDCANCEL);
        CheckQuitQuestion(first, IDNO);
        Sleep(100);
        CHECK(IsWindowVisible(first), "No closed the page");
        CHECK(GetObjectType(run->firstFont) == OBJ_FONT, "No deleted the title font");
        CheckPage(first, run->intro, run->header);
        PressKey(first, VK_ESCAPE);
        CheckQuitQuestion(first, IDYES);
        CHECK(WaitForGone(first), "Yes did not end the page");
        break;
    case 2: { // leaving on the terms page
        Click(first, IDOK);
        HWND second = WaitForPage(first);
        if (!CHECK(second != NULL, "no second page"))
            return;
        Click(second, IDCANCEL);
        CheckQuitQuestion(second, IDYES);
        CHECK(WaitForGone(second), "Yes did not end the page");
        break;
    }
    }
}

static bool RunScenario(Run *run, int scenario)
{
    run->scenario = scenario;
    run->firstFont = NULL;
    bool result = false;
    CHECK(DriveWhile([run] { Drive(run); }, [&] { result = RunInfoPages(NULL); }),
          "the driver did not finish");
    CHECK(FindTopWindow("#32770", kCaption, IDC_MESSAGE) == NULL, "a page is still open");
    CHECK(run->firstFont == NULL || GetObjectType(run->firstFont) == 0,
          "a title font outlived its page");
    return result;
}

int main()
{
    g_hInstance = GetModuleHandleA(NULL);
    Run run;
    run.intro = TableText(IDS_INTRO);
    run.terms = TableText(IDS_TERMS);
    run.header = TableText(IDS_HEADER) + "\n";
    CHECK(RunScenario(&run, 0), "continuing through both pages gave false");
    CHECK(!RunScenario(&run, 1), "leaving on the first page gave true");
    CHECK(!RunScenario(&run, 2), "leaving on the second page gave true");
    return CheckDone();
}
