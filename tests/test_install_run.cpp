// ZVSetup.exe run from end to end as the user runs it, driven from another process: through
// the information pages, the game directory typed on the details page, the installation with
// its boxes and progress dialog, and the final message. Checks what lands on disk, in the log
// and in the registry.
#include "check.h"
#include "driver.h"
#include "fixture_files.h"
#include "fixture_game.h"
#include "fixture_boxes.h"
#include "fixture_uninstall.h"
#include "common/log_file.h"
#include "resources/resource.h"

#include <algorithm>
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

// After 99 attempts the dialog shows slot 99; the licence and the uninstaller (4000 of the
// three files' 9000 bytes) count as done, the failed pack attempts do not.
static ExpectedBox NotInstalled(const std::string &game)
{
    return PackNotInstalledBox(s_sources[2], PackSlot(game, 99), "4.88 KB", "44%");
}

// The entry's size counts the licence, the uninstaller and the packs the log lists: packs
// names the slots of ours.
static void CheckRegistered(int line, const std::string &game, std::vector<int> packs = {1})
{
    std::string uninstaller = game + "\\zvuninst.exe";
    CheckUninstallValueAt(__FILE__, line, "DisplayName", kUninstallDisplayName);
    CheckUninstallValueAt(__FILE__, line, "UninstallString", "\"" + uninstaller + "\"");
    std::vector<std::string> files = {game + "\\ZV-001.txt", uninstaller};
    for (int slot : packs)
        files.push_back(PackSlot(game, slot));
    CheckUninstallDetailsAt(__FILE__, line, uninstaller, game, SizeKB(files));
}

// The typical run into an empty game directory, then a second run answered No.
static void TestTypicalThenDeclined()
{
    std::string game = CurrentDir() + "\\Games\\Quake3";
    MakeGameDir(game, kWithBaseq3);
    DeleteUninstallEntry();
    RunSetup(__LINE__, game, {kCompleteBox});
    CHECK_FIRST_INSTALLATION(s_sources, game);
    CheckRegistered(__LINE__, game);

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
// the run ends as aborted, with the licence logged and the uninstaller registered.
static void TestNoBaseq3()
{
    std::string game = CurrentDir() + "\\NoBase";
    MakeGameDir(game, kGameExeOnly);
    DeleteUninstallEntry();
    RunSetup(__LINE__, game, {NotInstalled(game), kCopyErrorsBox, kAbortedBox});
    CHECK(NonBlankLines(LogPath(game)) == OneInstallationLog(game, {"ZV-001.txt"}),
          "the log is not the six lines");
    CheckRegistered(__LINE__, game, {});
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
            RunSetup(__LINE__, game, {NotInstalled(game), kCopyErrorsBox, kAbortedBox});
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
    // The older pack in slot 01 is not listed, so not counted.
    CheckRegistered(__LINE__, game, {2});
}

// A log that another package's tool left with its count lowered below its entry, first while
// an uninstall or another installation holds the directory: that run is told so, ends as
// aborted and changes nothing. Once the directory is free, the package is listed after the
// other one, which keeps its entry.
static void TestBusyThenOthersLog()
{
    std::string game = CurrentDir() + "\\Busy";
    MakeGameDir(game, kWithBaseq3);
    const std::string earlier = "[ZV Packages]\r\nNumberInstalled=1\r\n2=Other Pack\r\n";
    WriteBytes(LogPath(game), earlier);
    DeleteUninstallEntry();
    GameDir dir;
    DWORD error;
    HANDLE lock = OpenGameDir(game.c_str(), &dir, &error) ? LockGameLog(&dir, 0) : NULL;
    CHECK(lock != NULL, "the directory's lock was not taken");
    char busy[MAX_PATH + 160];
    snprintf(busy, sizeof busy, kBusyText, game.c_str());
    Tree before = SnapshotTree(game);
    RunSetup(__LINE__, game, {WarningBox(kBusyCaption, busy), kAbortedBox});
    UnlockGameLog(lock);
    CHECK(SnapshotTree(game) == before, "the busy directory changed:%s",
          TreeDifference(before, SnapshotTree(game)).c_str());
    CHECK(!UninstallEntryExists(), "the busy run registered the uninstaller");

    RunSetup(__LINE__, game, {kCompleteBox});
    std::vector<std::string> want = {"[ZV Packages]",
                                     "NumberInstalled=3",
                                     "2=Other Pack",
                                     "3=" + std::string(kPackageName),
                                     "[" + std::string(kPackageName) + "]",
                                     "Files=2",
                                     "1=" + game + "\\ZV-001.txt",
                                     "2=" + PackSlot(game, 1)};
    CHECK(NonBlankLines(LogPath(game)) == want, "the log lost the other package's entry");
}

// A black rectangle is drawn in the system's frame colour, which Wine makes dark grey.
static bool IsDark(COLORREF colour)
{
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 128;
}

// The progress dialog on the screen while a large pack copies: it names the pack, its target
// and size, and shows the licence and the uninstaller as done: half of the three files'
// bytes. The files are large enough for the picture to be taken during the pack's copy.
static void TestProgressOnScreen()
{
    s_sources = MakePackageFiles(64 * 1024 * 1024, 64 * 1024 * 1024, 128 * 1024 * 1024);
    std::string game = CurrentDir() + "\\Big";
    MakeGameDir(game, kWithBaseq3);
    std::string wantMessage = "Currently Installing File: " + s_sources[2] +
                              "\nTo Location: " + PackSlot(game, 1) + "\nFile Size: 128.00 MB";
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

// The game directory's drive: a file system of 1 MB that the runner mounts.
static const std::string kSmallDrive = "T:";

// Files in a directory, their names and sizes, for what an installation left behind.
static std::vector<std::string> Listing(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (strcmp(entry.cFileName, ".") && strcmp(entry.cFileName, ".."))
            names.push_back(std::string(entry.cFileName) + " " +
                            std::to_string(entry.nFileSizeLow));
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// Fills the drive until keep bytes are free; false when the drive is not the small one, which
// the caller's case then skips.
static bool FillDrive(int line, const std::string &root, ULONGLONG keep)
{
    ULARGE_INTEGER free, total;
    if (!CHECK_AT(__FILE__, line, GetDiskFreeSpaceExA((root + "\\").c_str(), &free, &total, NULL),
                  "no free space for %s", root.c_str()))
        return false;
    if (total.QuadPart > 2 * 1024 * 1024) {
        SKIP_AT(__FILE__, line, "%s is not a small file system: mounting it needs root",
                root.c_str());
        return false;
    }
    return CHECK_AT(__FILE__, line,
                    WriteTestFile(root + "\\filler", (size_t)(free.QuadPart - keep), 7),
                    "cannot fill %s", root.c_str());
}

// A game directory on the small drive that an earlier installation of another package and of
// this one left: its log, an older licence text and an older uninstaller.
static const char kEarlierLog[] = "[ZV Packages]\r\nNumberInstalled=1\r\n1=ZV-002 Runner for "
                                  "Quake3\r\n[ZV-002 Runner for Quake3]\r\nFiles=1\r\n"
                                  "1=T:\\Quake3\\ZV-002.txt\r\n";

static std::string MakeEarlierInstallation()
{
    std::string game = kSmallDrive + "\\Quake3";
    DeleteFileA((kSmallDrive + "\\filler").c_str());
    MakeGameDir(game, kWithBaseq3);
    WriteBytes(game + "\\ZV-001.txt", "the older licence");
    WriteBytes(game + "\\zvuninst.exe", "the older uninstaller");
    WriteBytes(game + "\\ZVFiles.log", kEarlierLog);
    return game;
}

static ExpectedBox LogNotUpdatedBox(const std::string &game)
{
    return WarningBox("Install Log Not Updated",
                      "The installation could not be recorded in the install log " + game +
                          "\\ZVFiles.log, so the uninstaller will not be able to remove this "
                          "package by itself. Files that were installed must be removed by hand.");
}

// Starts the installer, goes on to the details page and presses Install for game; the run's
// process is null when that failed.
static SetupRun StartInstalling(const std::string &game)
{
    SetupRun run = RunSetupToDetails("ZVSetup.exe");
    DWORD code = 0;
    if (!CHECK(run.process != NULL && run.failure.empty(), "%s", run.failure.c_str())) {
        if (run.process)
            FinishProgram(run.process, &code);
        run.process = NULL;
        return run;
    }
    SetControlText(run.page, IDC_GAMEDIR, game.c_str());
    Click(run.page, IDOK);
    return run;
}

// A full disk: the pack never shows under a slot name, not even in part, and nothing is
// reported as installed that is not. First the licence and the uninstaller fit and the pack
// does not; then nothing fits, not even the log's new entries, and every older file stays.
static void TestFullDisk()
{
    std::string game = MakeEarlierInstallation();
    s_sources = MakePackageFiles(100000, 100000, 1500000);
    if (FillDrive(__LINE__, kSmallDrive, 600 * 1024)) {
        RunSetup(__LINE__, game,
                 {PackNotInstalledBox(s_sources[2], PackSlot(game, 99), "1464.84 KB", "11%"),
                  kCopyErrorsBox, kAbortedBox});
        CHECK(Listing(game + "\\baseq3").empty(), "baseq3 is not empty");
        CHECK(SameFile(s_sources[0], game + "\\ZV-001.txt") &&
                  SameFile(s_sources[1], game + "\\zvuninst.exe"),
              "the licence text and the uninstaller were not replaced");
        std::vector<std::string> want = {"[ZV Packages]",
                                         "NumberInstalled=2",
                                         "1=ZV-002 Runner for Quake3",
                                         "2=" + std::string(kPackageName),
                                         "[ZV-002 Runner for Quake3]",
                                         "Files=1",
                                         "1=T:\\Quake3\\ZV-002.txt",
                                         "[" + std::string(kPackageName) + "]",
                                         "Files=1",
                                         "1=" + game + "\\ZV-001.txt"};
        CHECK(NonBlankLines(game + "\\ZVFiles.log") == want, "the log lost or gained entries");
    }

    game = MakeEarlierInstallation();
    s_sources = MakePackageFiles(1000, 3000, 5000);
    std::vector<std::string> before = Listing(game);
    if (FillDrive(__LINE__, kSmallDrive, 0)) {
        RunSetup(__LINE__, game,
                 {PackNotInstalledBox(s_sources[0], game + "\\ZV-001.txt", "1000 Bytes", "0%"),
                  PackNotInstalledBox(s_sources[1], game + "\\zvuninst.exe", "2.93 KB", "11%"),
                  PackNotInstalledBox(s_sources[2], PackSlot(game, 99), "4.88 KB", "44%"),
                  kCopyErrorsBox, LogNotUpdatedBox(game), kAbortedBox});
        std::string text;
        CHECK(ReadWhole(game + "\\ZV-001.txt", &text) && text == "the older licence",
              "the older licence text was damaged");
        CHECK(ReadWhole(game + "\\zvuninst.exe", &text) && text == "the older uninstaller",
              "the older uninstaller was damaged");
        CHECK(ReadWhole(game + "\\ZVFiles.log", &text) && text == kEarlierLog,
              "the log changed: %s", text.c_str());
        CHECK(Listing(game) == before, "the game directory holds other files than before");
        CHECK(Listing(game + "\\baseq3").empty(), "baseq3 is not empty");
        DWORD type = 0;
        std::string command;
        CHECK(ReadUninstallValue("UninstallString", &type, &command) &&
                  command == "\"" + game + "\\zvuninst.exe\"" + std::string(1, '\0'),
              "the older uninstaller is not the registered one");
    }
    DeleteFileA((kSmallDrive + "\\filler").c_str());
}

// The installer killed while it copies a large pack: no slot holds part of it, and the next
// run cleans up and installs.
static void TestKilledMidCopy()
{
    s_sources = MakePackageFiles(1000, 3000, 256 * 1024 * 1024);
    std::string game = CurrentDir() + "\\Killed";
    MakeGameDir(game, kWithBaseq3);
    DWORD code = 0;
    SetupRun run = StartInstalling(game);
    if (!run.process)
        return;
    std::string packLine = "Currently Installing File: " + s_sources[2];
    // Also ends when the installer has ended: then the copy can no longer be seen.
    bool copying = WaitUntil(
        [&] {
            HWND dialog = FindProgressDialog();
            return HasEnded(run.process) ||
                   (dialog && ControlText(dialog, IDC_PROGRESS_MESSAGE).find(packLine) == 0);
        },
        kWaitMs, 1);
    CHECK(copying && !HasEnded(run.process), "the pack's copy was not seen");
    TerminateProcess(run.process, 1);
    FinishProgram(run.process, &code);
    for (int slot = 1; slot <= 99; slot++)
        if (FileExists(PackSlot(game, slot)))
            CHECK(SameFile(s_sources[2], PackSlot(game, slot)), "slot %d holds part of the pack",
                  slot);
    // The killed run listed the package before copying: the next one asks before going on.
    RunSetup(__LINE__, game, {kReinstallQuestion, kCompleteBox});
    std::vector<std::string> packs = Listing(game + "\\baseq3");
    bool whole = !packs.empty();
    for (const std::string &pack : packs)
        whole =
            whole && SameFile(s_sources[2], game + "\\baseq3\\" + pack.substr(0, pack.find(' ')));
    CHECK(whole && packs.size() <= 2, "baseq3 after the second run: %d files", (int)packs.size());
    DeleteFileA(s_sources[2].c_str());
}

// Links planted by anyone who can write to the game directory, as the elevated installer meets
// them: at every temporary name it uses, the links and the files they lead to stay as they are
// and everything installs; a log that is a link is left as it is and told; a baseq3 that is a
// link takes no pack. Read-only leftovers of a killed run from a CD are cleared.
static void TestPlanted()
{
    std::string outside = CurrentDir() + "\\Outside";
    MakeDirectories(outside + "\\baseq3");
    const char *temps[] = {"ZV-001.tx~", "zvuninst.ex~", "baseq3\\PakZV.tmp", "ZVFiles.lo~"};
    std::string game = CurrentDir() + "\\Planted";
    MakeGameDir(game, kWithBaseq3);
    for (int i = 0; i < 4; i++) {
        WriteBytes(outside + "\\precious" + std::to_string(i), "file " + std::to_string(i));
        CHECK(MakeUnixLink(outside + "\\precious" + std::to_string(i), game + "\\" + temps[i]),
              "cannot link %s", temps[i]);
    }
    WriteBytes(outside + "\\log.txt", "[Other]\r\nFiles=1\r\n1=C:\\x\r\n");
    Tree before = SnapshotTree(outside);
    RunSetup(__LINE__, game, {kCompleteBox});
    CHECK(SameFile(s_sources[0], game + "\\ZV-001.txt") &&
              SameFile(s_sources[1], game + "\\zvuninst.exe") &&
              SameFile(s_sources[2], PackSlot(game, 1)),
          "the package did not install beside the links");
    CHECK(NonBlankLines(LogPath(game)) ==
              OneInstallationLog(game, {"ZV-001.txt", "baseq3\\PakZV01.pk3"}),
          "the log is not the seven lines");
    for (int i = 0; i < 4; i++)
        CHECK(ReadBytes(game + "\\" + temps[i]) == "file " + std::to_string(i),
              "the link at %s was removed or written through", temps[i]);

    std::string linkedLog = CurrentDir() + "\\LinkedLog";
    MakeGameDir(linkedLog, kWithBaseq3);
    CHECK(MakeUnixLink(outside + "\\log.txt", LogPath(linkedLog)), "cannot link the log");
    RunSetup(__LINE__, linkedLog, {LogNotUpdatedBox(linkedLog), kCompleteBox});
    CHECK(ReadBytes(LogPath(linkedLog)) == before["log.txt"], "the linked log was replaced");

    std::string linkedBase = CurrentDir() + "\\LinkedBase";
    MakeGameDir(linkedBase, kGameExeOnly);
    CHECK(MakeUnixLink(outside + "\\baseq3", linkedBase + "\\baseq3"), "cannot link baseq3");
    RunSetup(__LINE__, linkedBase, {NotInstalled(linkedBase), kCopyErrorsBox, kAbortedBox});
    CHECK(SnapshotTree(outside) == before, "outside after installing:%s",
          TreeDifference(before, SnapshotTree(outside)).c_str());

    std::string leftovers = CurrentDir() + "\\Leftovers";
    MakeGameDir(leftovers, kWithBaseq3);
    for (const char *name : {"ZV-001.tx~", "baseq3\\PakZV.tmp"}) {
        WriteBytes(leftovers + "\\" + name, "part of a copy");
        SetFileAttributesA((leftovers + "\\" + name).c_str(), FILE_ATTRIBUTE_READONLY);
    }
    RunSetup(__LINE__, leftovers, {kCompleteBox});
    CHECK(SameFile(s_sources[0], leftovers + "\\ZV-001.txt") &&
              SameFile(s_sources[2], PackSlot(leftovers, 1)),
          "a read-only leftover kept a file from installing");
    CHECK(!FileExists(leftovers + "\\ZV-001.tx~") && !FileExists(leftovers + "\\baseq3\\PakZV.tmp"),
          "a read-only leftover is still there");
}

// Killed the moment the pack takes its slot, while a large log of another package is being
// written: the pack in its slot is already listed, so an uninstaller can always remove it.
static void TestKilledAfterRename()
{
    std::string game = CurrentDir() + "\\Renamed";
    MakeGameDir(game, kWithBaseq3);
    std::string log = "[Other Package]\r\nFiles=200000\r\n";
    for (int i = 1; i <= 200000; i++)
        log += std::to_string(i) + "=C:\\Other\\file" + std::to_string(i) + ".pk3\r\n";
    WriteBytes(LogPath(game), log);
    DWORD code = 0;
    SetupRun run = StartInstalling(game);
    if (!run.process)
        return;
    bool landed = WaitUntil([&] { return HasEnded(run.process) || FileExists(PackSlot(game, 1)); },
                            kWaitMs, 1);
    TerminateProcess(run.process, 1);
    FinishProgram(run.process, &code);
    CHECK(landed && FileExists(PackSlot(game, 1)), "the pack never took its slot");
    char entry[MAX_PATH];
    GetPrivateProfileStringA(kPackageName, "2", "", entry, sizeof entry, LogPath(game).c_str());
    CHECK_TEXT(std::string(entry), PackSlot(game, 1));
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
    TestBusyThenOthersLog();
    TestProgressOnScreen();
    TestFullDisk();
    TestKilledMidCopy();
    s_sources = MakePackageFiles(1000, 3000, 5000);
    TestPlanted();
    TestKilledAfterRename();
    CHECK(DeleteUninstallEntry(), "the uninstall key was left behind");
    return CheckDone();
}
