// The installation details page as the user meets it, run for real on the main thread while
// a driver thread types, clicks, answers the boxes and works the open-file dialog.
#include "check.h"
#include "driver.h"
#include "fixture_files.h"
#include "fixture_game.h"
#include "fixture_drives.h"
#include "setup/table_string.h"
#include "gamedir/details_page.h"
#include "gamedir/drive_search.h"
#include "resources/resource.h"

#include <dlgs.h>
#include <stdlib.h>
#include <string>

static const char *kCaption = "ZV Developments Model Installation";
static const char *kBrowseTitle = "Please select your Quake3:Arena executable";
static const char *kNotSpecified = "Quake3 Directory not specified";

static HWND WaitForPage()
{
    return WaitForWindow("#32770", kCaption, IDC_GAMEDIR);
}

// Answers the box with that caption, checking that the page owns it; its text, or "".
static std::string Answer(HWND page, const char *caption, int button, UINT icon = 0)
{
    MessageBoxInfo box;
    if (!CHECK(WaitForMessageBox(&box, caption), "no \"%s\" box", caption))
        return "";
    CHECK(GetWindow(box.box, GW_OWNER) == page, "\"%s\" is not owned by the page", caption);
    if (icon)
        CHECK(box.icon == icon, "\"%s\" shows icon %x", caption, box.icon);
    CHECK(AnswerMessageBox(box, button), "\"%s\" did not close", caption);
    return box.text;
}

static void Leave(HWND page)
{
    Click(page, IDCANCEL);
    Answer(page, "Really Quit?", IDYES);
}

// A search runs: Search, like every control but Exit, takes no input until it ends.
static bool Searching(HWND page)
{
    return !IsWindowEnabled(GetDlgItem(page, IDC_SEARCH));
}

// Waits until the edit shows something other than what it showed and the search has ended,
// so that the text is read whole, not while it changes. A page gone ends the wait.
static std::string WaitForEditChange(HWND page, const std::string &old)
{
    WaitUntil([&] {
        return !IsWindow(page) || (ControlText(page, IDC_GAMEDIR) != old && !Searching(page));
    });
    return ControlText(page, IDC_GAMEDIR);
}

// Opens the open-file dialog from the page and checks what it offers.
static HWND OpenBrowse(HWND page)
{
    Click(page, IDC_BROWSE);
    HWND dialog = WaitForWindow("#32770", kBrowseTitle);
    if (!CHECK(dialog != NULL, "no open-file dialog"))
        return NULL;
    CHECK(GetWindow(dialog, GW_OWNER) == page, "the open-file dialog is not owned by the page");
    CHECK_TEXT(ControlText(dialog, cmb1), "Quake3 Executable");
    return dialog;
}

static void ChooseFile(HWND page, const char *file)
{
    HWND dialog = OpenBrowse(page);
    if (!dialog)
        return;
    int nameBox = GetDlgItem(dialog, edt1) ? edt1 : cmb13;
    SetControlText(dialog, nameBox, file);
    Click(dialog, IDOK);
    if (CHECK(WaitForGone(dialog), "the open-file dialog did not take %s", file))
        return;
    MessageBoxInfo complaint; // the dialog's own "file not found", if any
    if (WaitForMessageBox(&complaint, NULL, 1000))
        AnswerMessageBox(complaint, IDOK);
    Click(dialog, IDCANCEL);
    WaitForGone(dialog);
}

// What a scenario leaves behind for the main thread to check.
struct Scenario {
    void (*drive)(HWND page);
    bool accepted;
    std::string directory; // as handed over; for a page left, unchanged
};

static void OpenAndLeave(HWND page)
{
    CHECK_TEXT(ControlText(page, IDC_HEADER), std::string(GetTableString(IDS_HEADER)) + "\n");
    CHECK_TEXT(ControlText(page, IDC_GAMEDIR), "");
    CHECK(FocusedControl(page) == GetDlgItem(page, IDC_GAMEDIR),
          "the edit does not have the focus");
    LOGFONTA font = {};
    CHECK(GetObjectA(ControlFont(page, IDC_TITLE), sizeof font, &font) == sizeof font,
          "no title font");
    CHECK(font.lfHeight == -15 && font.lfWeight == FW_SEMIBOLD, "title font height %ld weight %ld",
          font.lfHeight, font.lfWeight);

    static const char *kNotSpecifiedText =
        "You must specify your Quake3 directory before installation can commence. This is the "
        "directory containing \"quake3.exe\".";
    Click(page, IDOK);
    CHECK_TEXT(Answer(page, kNotSpecified, IDOK, MB_ICONEXCLAMATION), kNotSpecifiedText);
    TypeText(page, IDC_GAMEDIR, "D:\\Games");
    PressKey(page, VK_RETURN);
    Answer(page, kNotSpecified, IDOK);
    Click(page, IDCANCEL);
    Answer(page, "Really Quit?", IDNO, MB_ICONEXCLAMATION);
    Sleep(100);
    CHECK(IsWindowVisible(page), "No closed the page");
    CHECK_TEXT(ControlText(page, IDC_GAMEDIR), "D:\\Games");
    HFONT title = ControlFont(page, IDC_TITLE);
    PressKey(page, VK_ESCAPE);
    Answer(page, "Really Quit?", IDYES);
    CHECK(WaitForGone(page), "Yes did not end the page");
    // The page hides at EndDialog, just before it deletes the font.
    CHECK(WaitUntil([title] { return GetObjectType(title) == 0; }),
          "the title font outlived the page");
}

static void TypedWithBackslash(HWND page)
{
    TypeText(page, IDC_GAMEDIR, "D:\\Games\\Quake3\\");
    Click(page, IDOK);
}

static void TypedRelative(HWND page)
{
    TypeText(page, IDC_GAMEDIR, "Quake3");
    PressKey(page, VK_RETURN);
}

// Search finds nothing to do when the edit already names the game: a search would have put
// D:\Games\Quake3 there before Install read it.
static void SearchWhileValid(HWND page)
{
    TypeText(page, IDC_GAMEDIR, "E:\\Other\\Q3\\");
    Click(page, IDC_SEARCH);
    Click(page, IDOK);
}

// True once the page is seen searching, with every control but Exit disabled, as it must be
// while the drives are walked; the walk may be short, so the page is looked at every
// millisecond.
static bool SeenDisabled(HWND page)
{
    return WaitUntil(
        [page] {
            return Searching(page) && !IsWindowEnabled(GetDlgItem(page, IDC_GAMEDIR)) &&
                   !IsWindowEnabled(GetDlgItem(page, IDC_BROWSE)) &&
                   !IsWindowEnabled(GetDlgItem(page, IDOK)) &&
                   IsWindowEnabled(GetDlgItem(page, IDCANCEL));
        },
        kWaitMs, 1);
}

static void SearchHit(HWND page)
{
    TypeText(page, IDC_GAMEDIR, "somewhere");
    Click(page, IDC_SEARCH);
    CHECK(SeenDisabled(page), "the page was not disabled during the search");
    CHECK_TEXT(WaitForEditChange(page, "somewhere"), "D:\\Games\\Quake3");
    CHECK(!Searching(page) && IsWindowEnabled(GetDlgItem(page, IDOK)), "the page stayed disabled");
    Click(page, IDOK);
}

// While the walk goes through D:'s thousands of directories before the game's drive E:, the
// page answers every message within a generous bound: not only from the box it shows for a
// directory that cannot be listed, whose own loop answers as well, but between boxes. Exit
// and closing the page ask the exit question at once; No lets the search go on. The page
// stays disabled until the end, also after the boxes, and no other command starts meanwhile,
// not even one posted to it. Then one "Search Error" box has been shown, owned by the page,
// and the edit holds the hit.
static void SearchAnswers(HWND page)
{
    const DWORD kAnswerMs = 1000;
    Click(page, IDC_SEARCH);
    CHECK(SeenDisabled(page), "the page was not disabled during the search");
    Click(page, IDCANCEL);
    Answer(page, "Really Quit?", IDNO, MB_ICONEXCLAMATION);
    PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0); // Alt+F4
    Answer(page, "Really Quit?", IDNO);
    PostMessageA(page, WM_COMMAND, IDOK, 0);
    PostMessageA(page, WM_COMMAND, IDC_SEARCH, 0);
    int late = 0, answeredWalking = 0;
    std::vector<std::pair<MessageBoxInfo, HWND>> boxes; // and its owner
    // The search has ended when the page takes input again; a page gone ends the wait too.
    WaitUntil(
        [&] {
            if (!IsWindow(page) || !Searching(page))
                return true;
            DWORD_PTR ignored;
            if (!SendMessageTimeoutA(page, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMs, &ignored))
                late++;
            else if (Searching(page) && !FindTopWindow("#32770", "Search Error"))
                answeredWalking++;
            MessageBoxInfo box;
            if (WaitForMessageBox(&box, NULL, 1)) {
                boxes.push_back({box, GetWindow(box.box, GW_OWNER)});
                AnswerMessageBox(box, box.buttons == MB_YESNO ? IDNO : IDOK);
            }
            return false;
        },
        60000, 50);
    CHECK(late == 0, "%d messages were not answered within %lu ms", late, kAnswerMs);
    CHECK(answeredWalking > 0, "the page answered only from a box's own loop");
    if (CHECK(boxes.size() == 1, "%u boxes, the first \"%s\"", (unsigned)boxes.size(),
              boxes.empty() ? "" : boxes[0].first.caption.c_str())) {
        CHECK_TEXT(boxes[0].first.caption, "Search Error");
        CHECK(boxes[0].second == page && boxes[0].first.icon == MB_ICONHAND,
              "the box is not the page's error box");
    }
    CHECK_TEXT(ControlText(page, IDC_GAMEDIR), "E:\\Other\\Q3");
    Click(page, IDOK);
}

// Esc during a search asks the exit question at once, and Yes ends the page as Exit does: the
// walk stops, and the box it was to show for the directory in D:\Big that cannot be listed
// never comes.
static void SearchLeft(HWND page)
{
    Click(page, IDC_SEARCH);
    CHECK(SeenDisabled(page), "the page was not disabled during the search");
    PressKey(page, VK_ESCAPE);
    Answer(page, "Really Quit?", IDYES, MB_ICONEXCLAMATION);
    CHECK(WaitForGone(page), "Yes did not end the page during the search");
    MessageBoxInfo box;
    CHECK(!WaitForMessageBox(&box, NULL, 1000), "the page left showed \"%s\"", box.caption.c_str());
}

// D: has an empty root: one box for it, then E: is searched.
static void SearchPastUnlistableDrive(HWND page)
{
    Click(page, IDC_SEARCH);
    MessageBoxInfo box;
    if (CHECK(WaitForMessageBox(&box, "Search Error"), "no box for the empty drive")) {
        CHECK_TEXT(box.text, SystemText(ERROR_FILE_NOT_FOUND));
        CHECK(GetWindow(box.box, GW_OWNER) == page, "the box is not owned by the page");
        AnswerMessageBox(box, IDOK);
    }
    CHECK_TEXT(WaitForEditChange(page, ""), "E:\\Other\\Q3");
    CHECK(FindTopWindow("#32770", "Search Error") == NULL, "a second box for one drive");
    Leave(page);
}

// Drives that the search will find unlistable. Wine keeps every drive that a test of the
// run has used, after its link is gone, so the page sees more drives than this test's own.
static int UnlistableDrives()
{
    int count = 0;
    DWORD drives = GetLogicalDrives();
    for (int drive = 2; drive < 26; drive++) {
        char pattern[] = "?:\\*.*";
        pattern[0] = (char)('A' + drive);
        WIN32_FIND_DATAA entry;
        HANDLE listing = drives & (1u << drive) ? FindFirstFileA(pattern, &entry) : NULL;
        if (listing == INVALID_HANDLE_VALUE)
            count++;
        else if (listing)
            FindClose(listing);
    }
    return count;
}

// No game anywhere (only in the root of D:, never tested): no message but a box for each drive that
// cannot be listed, and the edit as it was. Nothing is clicked while the search runs: the
// boxes' own message loops would carry the click into the page.
static void SearchMiss(HWND page)
{
    int unlistable = UnlistableDrives();
    TypeText(page, IDC_GAMEDIR, "nothing");
    Click(page, IDC_SEARCH);
    CHECK(SeenDisabled(page), "the page was not disabled during the search");
    int searchErrors = 0;
    // The search has ended when the page takes input again; a page gone ends the wait too.
    WaitUntil([&] {
        MessageBoxInfo box;
        if (!IsWindow(page) || !Searching(page))
            return true;
        if (WaitForMessageBox(&box, "Search Error", 50) && AnswerMessageBox(box, IDOK))
            searchErrors++;
        return false;
    });
    CHECK(searchErrors == unlistable, "%d boxes for %d drives that cannot be listed", searchErrors,
          unlistable);
    MessageBoxInfo other;
    CHECK(!WaitForMessageBox(&other, NULL, 500), "the miss showed \"%s\"", other.caption.c_str());
    CHECK_TEXT(ControlText(page, IDC_GAMEDIR), "nothing");
    Leave(page);
}

static void BrowseCancelAndTooLong(HWND page)
{
    TypeText(page, IDC_GAMEDIR, "D:\\Games");
    HWND dialog = OpenBrowse(page);
    if (dialog)
        Click(dialog, IDCANCEL);
    CHECK(WaitForGone(dialog), "Cancel did not close the open-file dialog");
    CHECK_TEXT(ControlText(page, IDC_GAMEDIR), "D:\\Games");

    // Read as at most 1022 characters: what comes back after Cancel is cut there.
    std::string longText = "D:\\Games\\";
    while (longText.size() < 1500)
        longText += "0123456789";
    SetControlText(page, IDC_GAMEDIR, longText.c_str());
    dialog = OpenBrowse(page);
    if (dialog)
        Click(dialog, IDCANCEL);
    CHECK(WaitForGone(dialog), "Cancel did not close the open-file dialog");
    CHECK_TEXT(WaitForEditChange(page, longText), longText.substr(0, 1022));
    Leave(page);
}

// A name typed in the dialog is looked up from the edit's directory; a file in a drive's root
// gives the bare drive, which Install accepts.
static void BrowseChoices(HWND page)
{
    TypeText(page, IDC_GAMEDIR, "D:\\Games\\Quake3");
    ChooseFile(page, "quake3.exe");
    CHECK_TEXT(ControlText(page, IDC_GAMEDIR), "D:\\Games\\Quake3");
    ChooseFile(page, "E:\\Other\\Q3\\quake3.exe");
    CHECK_TEXT(ControlText(page, IDC_GAMEDIR), "E:\\Other\\Q3");
    ChooseFile(page, "D:\\quake3.exe");
    CHECK_TEXT(ControlText(page, IDC_GAMEDIR), "D:");
    Click(page, IDOK);
}

static void Drive(const Scenario &scenario)
{
    HWND page = WaitForPage();
    if (!CHECK(page != NULL, "no details page"))
        return;
    scenario.drive(page);
    if (!CHECK(WaitForGone(page), "the scenario left the page open")) {
        Leave(page);
        WaitForGone(page);
    }
}

static void Run(const Scenario &scenario)
{
    char *directory = NULL;
    bool accepted = false;
    CHECK(
        DriveWhile([&] { Drive(scenario); }, [&] { accepted = RunDetailsPage(NULL, &directory); }),
        "the driver did not finish");
    std::string got = directory ? directory : "<none>";
    CHECK(accepted == scenario.accepted && got == scenario.directory,
          "the page gave %d with %s, want %d with %s", accepted, got.c_str(), scenario.accepted,
          scenario.directory.c_str());
    free(directory);
}

static void TestCommands()
{
    MakeGameDir("D:\\Games\\Quake3", kGameExeOnly);
    MakeGameDir("E:\\Other\\Q3", kGameExeOnly);
    WriteBytes("D:\\quake3.exe", "");
    SetCurrentDirectoryA("D:\\Games");
    // Walked before D:\Games, so that a search takes long enough to be watched.
    for (int i = 0; i < 3000; i++)
        MakeDirectories("D:\\Big\\" + std::to_string(i));
    CHECK(ListedDirectories("D:\\")[0] == "Big", "D:\\Big is not listed first");
    Run({OpenAndLeave, false, "<none>"});
    Run({TypedWithBackslash, true, "D:\\Games\\Quake3\\"});
    Run({TypedRelative, true, "Quake3"});
    Run({SearchWhileValid, true, "E:\\Other\\Q3\\"});
    Run({SearchHit, true, "D:\\Games\\Quake3"});
    Run({BrowseCancelAndTooLong, false, "<none>"});
    Run({BrowseChoices, true, "D:"});

    DeleteFileA("D:\\Games\\Quake3\\quake3.exe");
    // Named "?" for the 8-bit interface, which cannot list it.
    const wchar_t *unlistable = L"\\\\?\\D:\\Big\\1500\\\x4e2d";
    CHECK(CreateDirectoryW(unlistable, NULL), "cannot make the unlistable directory");
    Run({SearchLeft, false, "<none>"});
    Run({SearchAnswers, true, "E:\\Other\\Q3"});
    RemoveDirectoryW(unlistable);
    DeleteFileA("E:\\Other\\Q3\\quake3.exe");
    Run({SearchMiss, false, "<none>"});
    ClearDirectory("D:\\");
    MakeGameDir("E:\\Other\\Q3", kGameExeOnly);
    Run({SearchPastUnlistableDrive, false, "<none>"});
}

static void NoPage(HWND)
{
    MessageBoxInfo box;
    if (!CHECK(WaitForMessageBox(&box, "Installation aborted"), "no box for the missing page"))
        return;
    CHECK(box.icon == MB_ICONHAND && box.buttons == MB_OK, "icon %x buttons %x", box.icon,
          box.buttons);
    CHECK(box.text.find("Nothing has been installed") != std::string::npos, "the box says: %s",
          box.text.c_str());
    AnswerMessageBox(box, IDOK);
}

// A page that cannot be made yields no directory, after one box that says so.
static void TestNoPage()
{
    g_hInstance = GetModuleHandleA("ntdll.dll"); // a module without the page's template
    char *directory = NULL;
    bool accepted = true;
    CHECK(DriveWhile([] { NoPage(NULL); }, [&] { accepted = RunDetailsPage(NULL, &directory); }),
          "the driver did not finish");
    CHECK(!accepted && directory == NULL, "a missing page gave a result");
    g_hInstance = GetModuleHandleA(NULL);
}

int main()
{
    g_hInstance = GetModuleHandleA(NULL);
    FixtureDrivesListed listed;
    // The searches walk C: first: it must not hold a game of its own.
    SearchErrorWatcher watcher;
    char *onC = NULL;
    bool gameOnC = SearchDriveForGame(NULL, 2, "\\", &onC);
    CHECK(!gameOnC, "C: holds a game at %s", gameOnC ? onC : "");
    free(onC);
    CHECK(watcher.Stop().empty(), "C: has directories that cannot be listed");
    TestCommands();
    TestNoPage();
    return CheckDone();
}
