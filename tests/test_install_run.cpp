// ZVSetup.exe run from end to end as the user runs it, driven from another process: through
// the information pages, the game directory typed on the details page, the installation with
// its boxes and progress dialog, and the final message. Checks what lands on disk, in the log
// and in the registry.
#include "check.h"
#include "driver.h"
#include "fixture.h"
#include "resources/resource.h"

#include <functional>
#include <string>
#include <vector>

static std::vector<std::string> s_sources;

static bool HasEnded(HANDLE process)
{
    return WaitForSingleObject(process, 0) != WAIT_TIMEOUT;
}

// Runs the installer up to its end: the game directory is typed as given, the boxes are
// answered as expected, and whileInstalling runs once Install has been pressed.
static void RunSetup(int line, const std::string &typedDir, const std::vector<ExpectedBox> &boxes,
                     const std::function<void(HANDLE setup)> &whileInstalling = nullptr)
{
    // Each page stands on the backdrop, which owns it.
    SetupRun run = RunSetupToDetails("ZVSetup.exe", [line](HWND page, int number) {
        HWND owner = GetWindow(page, GW_OWNER);
        CHECK_AT(__FILE__, line, owner && owner == FindWindowA("Q3IBackWnd", NULL),
                 "information page %d is not owned by the backdrop", number);
        return true;
    });
    if (!CHECK_AT(__FILE__, line, run.process != NULL, "%s", run.failure.c_str()))
        return;
    if (CHECK_AT(__FILE__, line, run.failure.empty(), "%s", run.failure.c_str())) {
        SetControlText(run.page, IDC_GAMEDIR, typedDir.c_str());
        Click(run.page, IDOK);
        // The backdrop owns every box; without a backdrop window no window does.
        HWND owner = FindWindowA("Q3IBackWnd", NULL);
        if (whileInstalling)
            whileInstalling(run.process);
        AnswerBoxesAt(__FILE__, line, boxes, owner, [&run] { return HasEnded(run.process); });
    }
    DWORD code = 99;
    bool ended = FinishProgram(run.process, &code);
    CHECK_AT(__FILE__, line, ended && code == 0, "ended %d with exit code %lu", ended, code);
    CHECK_AT(__FILE__, line, FindTopWindow("#32770", NULL) == NULL,
             "a window is left after the run");
}

static std::string PackSlot(const std::string &game, int slot)
{
    char name[32];
    snprintf(name, sizeof name, "\\baseq3\\PakZV%02d.pk3", slot);
    return game + name;
}

// After 99 attempts the dialog shows slot 99; the licence and the uninstaller (4000 bytes)
// count as done, the failed pack attempts do not.
static ExpectedBox NotInstalled(const std::string &game)
{
    return PackNotInstalledBox(s_sources[2], PackSlot(game, 99), "4.88 KB", "0%");
}

static void CheckRegistered(int line, const std::string &uninstaller)
{
    DWORD type = 0;
    std::string data;
    bool found = ReadUninstallValue("DisplayName", &type, &data);
    CheckAt(__FILE__, line, found && type == REG_SZ, "DisplayName", "type %lu", type);
    CheckTextAt(__FILE__, line, data, std::string(kUninstallDisplayName) + '\0', "DisplayName");
    found = ReadUninstallValue("UninstallString", &type, &data);
    CheckAt(__FILE__, line, found && type == REG_SZ, "UninstallString", "type %lu", type);
    CheckTextAt(__FILE__, line, data, "\"" + uninstaller + "\"" + '\0', "UninstallString");
}

// The typical run into an empty game directory, then a second run answered No.
static void TestTypicalThenDeclined()
{
    std::string game = CurrentDir() + "\\Games\\Quake3";
    MakeGameDir(game, kWithBaseq3);
    DeleteUninstallEntry();
    RunSetup(__LINE__, game, {kCompleteBox});
    CHECK(SameFile(s_sources[0], game + "\\ZV-001.txt"), "the licence was not copied");
    CHECK(SameFile(s_sources[1], game + "\\zvuninst.exe"), "the uninstaller was not copied");
    CHECK(SameFile(s_sources[2], PackSlot(game, 1)), "the pack is not in slot 01");
    CHECK(NonBlankLines(LogPath(game)) ==
              OneInstallationLog(game, {"ZV-001.txt", "baseq3\\PakZV01.pk3"}),
          "the log is not the seven lines");
    CheckRegistered(__LINE__, game + "\\zvuninst.exe");

    std::string logBefore, logAfter;
    ReadWhole(LogPath(game), &logBefore);
    DeleteUninstallEntry();
    ExpectedBox no = kReinstallQuestion;
    no.answer = IDNO;
    RunSetup(__LINE__, game, {no, kAbortedBox});
    ReadWhole(LogPath(game), &logAfter);
    CHECK(logAfter == logBefore, "declining changed the log");
    CHECK(!FileExists(PackSlot(game, 2)), "declining installed a pack");
    CHECK(!UninstallEntryExists(), "declining registered the uninstaller");
}

// Without baseq3 every slot fails: the pack's source path is shown, then the copy errors, and
// the run still ends as complete with the licence logged and the uninstaller registered.
static void TestNoBaseq3()
{
    std::string game = CurrentDir() + "\\NoBase";
    MakeGameDir(game, kGameExeOnly);
    DeleteUninstallEntry();
    RunSetup(__LINE__, game, {NotInstalled(game), kCopyErrorsBox, kCompleteBox});
    CHECK(NonBlankLines(LogPath(game)) == OneInstallationLog(game, {"ZV-001.txt"}),
          "the log is not the six lines");
    CheckRegistered(__LINE__, game + "\\zvuninst.exe");
}

// Taken slots are never written: with 01 to 98 taken the pack goes into 99, with all 99 taken
// it is not installed.
static void TestTakenSlots()
{
    for (int taken = 98; taken <= 99; taken++) {
        std::string game = CurrentDir() + "\\Full" + std::to_string(taken);
        MakeGameDir(game, kWithBaseq3);
        for (int slot = 1; slot <= taken; slot++)
            WriteBytes(PackSlot(game, slot), "someone else's pack " + std::to_string(slot));
        if (taken == 98)
            RunSetup(__LINE__, game, {kCompleteBox});
        else
            RunSetup(__LINE__, game, {NotInstalled(game), kCopyErrorsBox, kCompleteBox});
        int changed = 0;
        for (int slot = 1; slot <= taken; slot++) {
            std::string text;
            if (!ReadWhole(PackSlot(game, slot), &text) ||
                text != "someone else's pack " + std::to_string(slot))
                changed++;
        }
        CHECK(changed == 0, "%d taken slots were changed", changed);
        char value[260];
        GetPrivateProfileStringA(kPackageName, "2", "", value, sizeof value, LogPath(game).c_str());
        if (taken == 98) {
            CHECK(SameFile(s_sources[2], PackSlot(game, 99)), "the pack is not in slot 99");
            CHECK_TEXT(value, PackSlot(game, 99));
        } else {
            CHECK_TEXT(value, "");
        }
    }
}

// A typed trailing backslash gives single backslashes everywhere; an existing pack stays.
static void TestTrailingBackslash()
{
    std::string game = CurrentDir() + "\\Slash";
    MakeGameDir(game, kWithBaseq3);
    WriteBytes(PackSlot(game, 1), "an older pack");
    DeleteUninstallEntry();
    RunSetup(__LINE__, game + "\\", {kCompleteBox});
    CHECK(SameFile(s_sources[0], game + "\\ZV-001.txt"), "the licence was not copied");
    std::string pack;
    CHECK(ReadWhole(PackSlot(game, 1), &pack) && pack == "an older pack",
          "the existing pack was changed");
    CHECK(SameFile(s_sources[2], PackSlot(game, 2)), "the pack is not in slot 02");
    std::vector<std::string> lines = NonBlankLines(LogPath(game));
    CHECK(lines.size() == 7 && lines[5] == "1=" + game + "\\ZV-001.txt" &&
              lines[6] == "2=" + PackSlot(game, 2),
          "the log names other paths: %s", lines.size() > 5 ? lines[5].c_str() : "");
    CheckRegistered(__LINE__, game + "\\zvuninst.exe");
}

// A black rectangle is drawn in the system's frame colour, which Wine makes dark grey.
static bool IsDark(COLORREF colour)
{
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 128;
}

// The progress dialog on the screen while a large pack copies: it names the pack, its target
// and size, and shows the licence and the uninstaller as done, half the expected total. The
// pack is large enough (a copy of about 140 ms here) for the picture to be taken during it.
static void TestProgressOnScreen()
{
    s_sources = MakePackageFiles(200000, 389855, 256 * 1024 * 1024);
    std::string game = CurrentDir() + "\\Big";
    MakeGameDir(game, kWithBaseq3);
    std::string wantMessage = "Currently Installing File: " + s_sources[2] +
                              "\nTo Location: " + PackSlot(game, 1) + "\nFile Size: 256.00 MB";
    bool seen = false;
    std::string message, percent;
    RunSetup(__LINE__, game, {kCompleteBox}, [&](HANDLE setup) {
        // The dialog names the pack when its copy starts; the wait also ends with the run.
        HWND dialog = NULL;
        if (!WaitUntil(
                [&] {
                    dialog = FindProgressDialog();
                    return HasEnded(setup) ||
                           (dialog &&
                            (message = ControlText(dialog, IDC_PROGRESS_MESSAGE)) == wantMessage);
                },
                20000, 5) ||
            message != wantMessage)
            return;
        // Percent and bar follow the message: look until they show half done, or until the
        // dialog has gone with the end of the copy.
        RECT area, frame, bar;
        GetWindowRect(dialog, &area);
        GetWindowRect(GetDlgItem(dialog, IDC_BAR_FRAME), &frame);
        GetWindowRect(GetDlgItem(dialog, IDC_PROGRESS_BAR), &bar);
        int y = (bar.top + bar.bottom) / 2 - area.top;
        int quarter = (frame.right - frame.left) / 4;
        Image shot;
        COLORREF done = 0, todo = 0;
        WaitUntil(
            [&] {
                if (FindProgressDialog() != dialog)
                    return true;
                percent = ControlText(dialog, IDC_PERCENT);
                if (percent == "50%" && CaptureScreen(&shot, &area)) {
                    done = shot.At(frame.left + quarter - area.left, y);
                    todo = shot.At(frame.right - quarter - area.left, y);
                    seen = IsDark(done) && !IsDark(todo) && FindProgressDialog() == dialog;
                }
                return seen;
            },
            20000, 1);
        if (seen)
            SavePng(shot, "progress-dialog.png");
        else
            TestLog("the copy ended with the bar at %06lx %06lx", done, todo);
    });
    CHECK(seen, "the progress dialog was not seen during the pack's copy: \"%s\"", message.c_str());
    CHECK_TEXT(percent, "50%");
    CHECK(FindProgressDialog() == NULL, "the progress dialog outlived the run");
    CHECK(SameFile(s_sources[2], PackSlot(game, 1)), "the large pack was not copied");
    DeleteFileA(s_sources[2].c_str());
    DeleteFileA(PackSlot(game, 1).c_str());
}

int main()
{
    s_sources = MakePackageFiles(1000, 3000, 5000);
    if (!CHECK(s_sources[2] != "", "cannot make the package files"))
        return CheckDone();
    TestTypicalThenDeclined();
    TestNoBaseq3();
    TestTakenSlots();
    TestTrailingBackslash();
    TestProgressOnScreen();
    CHECK(DeleteUninstallEntry(), "the uninstall key was left behind");
    return CheckDone();
}
