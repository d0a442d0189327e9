// The release folder as a user gets it: ZVSetup.exe installs into a game directory (a drive's
// root too) and the uninstaller, run from the entry the installer registered, takes the game
// directory back to what it was, with every other file untouched and every other log entry
// kept; a reinstall before the next restart keeps its uninstaller.
#include "check.h"
#include "driver.h"
#include "fixture_files.h"
#include "fixture_game.h"
#include "fixture_uninstall.h"
#include "resources/resource.h"

#include <string.h>
#include <string>

// Runs ZVSetup.exe beside this test as a user would: Continue twice, the game directory typed
// on the details page, Install, Yes to the re-install question when it is expected, OK.
static bool Install(const std::string &dir, bool again)
{
    // Each page stands on the backdrop, which owns it.
    SetupRun run = RunSetupToDetails("ZVSetup.exe", [](HWND page, int number) {
        HWND owner = GetWindow(page, GW_OWNER);
        CHECK(owner && owner == FindWindowA("Q3IBackWnd", NULL),
              "information page %d is not owned by the backdrop", number);
        return true;
    });
    if (!CHECK(run.process != NULL, "%s", run.failure.c_str()))
        return false;
    bool ok = CHECK(run.failure.empty(), "%s", run.failure.c_str()) &&
              SetControlText(run.page, IDC_GAMEDIR, dir.c_str()) && Click(run.page, IDOK);
    MessageBoxInfo box;
    if (ok && again) {
        ok = CHECK(WaitForMessageBox(&box, "Really Re-Install?"), "no re-install question") &&
             AnswerMessageBox(box, IDYES);
    }
    if (ok) {
        ok = CHECK(WaitForMessageBox(&box, "Happy Fragging", 30000), "no final message") &&
             CHECK_TEXT(box.text, "Installation is complete") && AnswerMessageBox(box, IDOK);
    }
    DWORD code = 99;
    bool ended = FinishProgram(run.process, &code);
    CHECK(ended && code == 0, "installer ended %d with %lu", ended, code);
    return ok && ended;
}

static std::string RegisteredUninstaller()
{
    DWORD type = 0;
    std::string data;
    if (!ReadUninstallValue("UninstallString", &type, &data) || type != REG_SZ)
        return "";
    return data.c_str();
}

// Uninstalls as the list of programs does: runs the registered command from its directory.
static UninstallRun UninstallRegistered(const std::string &dir)
{
    // The command is the uninstaller's path in quotes, so a path with blanks runs the right
    // program.
    std::string command = RegisteredUninstaller();
    CHECK_TEXT(command, "\"" + dir + "\\zvuninst.exe\"");
    // A root's uninstaller runs from "G:\\", not from "G:", the current directory of G.
    std::string from = command.substr(1, command.rfind('\\') - 1);
    UninstallRun run = RunUninstaller(from.size() == 2 ? from + "\\" : from, IDYES);
    CHECK(run.asked && run.reported && run.ended && run.exitCode == 0 && run.copyEnded,
          "uninstaller: asked %d, reported %d, ended %d with %lu, copy ended %d", run.asked,
          run.reported, run.ended, run.exitCode, run.copyEnded);
    CHECK(run.report.icon == MB_ICONINFORMATION, "final box: \"%s\"", run.report.text.c_str());
    return run;
}

// What the directory holds after uninstalling: exactly what it held before; nothing in it
// waits for the next start.
static void CheckRestored(const std::string &dir, const Tree &before)
{
    Tree after = SnapshotTree(dir);
    CHECK(after == before, "game directory after uninstalling:%s",
          TreeDifference(before, after).c_str());
    CHECK(PendingDeletesUnder(dir).empty(), "a file in %s waits for the next start", dir.c_str());
    CHECK(!UninstallEntryExists(), "the uninstall entry is still there");
}

static void TestInstallThenUninstall()
{
    std::string dir = "D:\\Fresh\\Quake3";
    CHECK(MakeGameDir(dir, kWithUserFiles), "cannot make %s", dir.c_str());
    DeleteUninstallEntry();
    Tree before = SnapshotTree(dir);
    if (!Install(dir, false))
        return;
    for (const char *name : {"ZV-001.txt", "zvuninst.exe"})
        CHECK(ReadBytes(dir + "\\" + name) == ReadBytes(name), "%s not installed", name);
    CHECK(ReadBytes(dir + "\\baseq3\\PakZV01.pk3") == ReadBytes("PakZV01.pk3"),
          "the pack is not in slot 01");
    CHECK_UNINSTALL_DETAILS(dir + "\\zvuninst.exe", dir,
                            SizeKB({"ZV-001.txt", "zvuninst.exe", "PakZV01.pk3"}));
    UninstallRegistered(dir);
    CheckRestored(dir, before);
}

// A log that already held another package: after install and uninstall it is the same file.
static void TestLogKeepsOthers()
{
    std::string dir = "D:\\Shared\\Quake3";
    CHECK(MakeGameDir(dir, kWithUserFiles), "cannot make %s", dir.c_str());
    std::string log = LogPath(dir);
    WriteBytes(dir + "\\ZV-002.txt", "their licence");
    LogPackage(log, "ZV-002 Runner for Quake3");
    LogFile(log, "ZV-002 Runner for Quake3", dir + "\\ZV-002.txt");
    WritePrivateProfileStringA(NULL, NULL, NULL, log.c_str());
    Tree before = SnapshotTree(dir);
    if (!Install(dir, false))
        return;
    UninstallRegistered(dir);
    CheckRestored(dir, before);
}

// Two installations over a pack of the user's in slot 01; one uninstall removes both packs.
static void TestTwoInstallations()
{
    std::string dir = "D:\\Twice\\Quake3";
    CHECK(MakeGameDir(dir, kWithUserFiles), "cannot make %s", dir.c_str());
    WriteBytes(dir + "\\baseq3\\PakZV01.pk3", "the user's own pack");
    Tree before = SnapshotTree(dir);
    if (!Install(dir, false) || !Install(dir, true))
        return;
    CHECK(ReadBytes(dir + "\\baseq3\\PakZV02.pk3") == ReadBytes("PakZV01.pk3") &&
              ReadBytes(dir + "\\baseq3\\PakZV03.pk3") == ReadBytes("PakZV01.pk3"),
          "the packs are not in slots 02 and 03");
    // The user's own pack in slot 01 is not the package's.
    CHECK_UNINSTALL_DETAILS(dir + "\\zvuninst.exe", dir,
                            SizeKB({"ZV-001.txt", "zvuninst.exe", "PakZV01.pk3", "PakZV01.pk3"}));
    UninstallRun run = UninstallRegistered(dir);
    CHECK(run.report.text.find(dir + "\\baseq3\\PakZV03.pk3") != std::string::npos,
          "final box reads \"%s\"", run.report.text.c_str());
    CheckRestored(dir, before);
}

// Runs wineboot -r, which does what Windows does at its next start: the pending deletes.
static void Restart()
{
    char command[] = "C:\\windows\\system32\\wineboot.exe -r";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION boot;
    if (!CHECK(CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &boot),
               "cannot start wineboot: %lu", GetLastError()))
        return;
    CloseHandle(boot.hThread);
    DWORD code = 99;
    CHECK(FinishProgram(boot.hProcess, &code, 60000), "wineboot -r did not end");
}

// Install, uninstall and install again before the restart: after it the new uninstaller is
// still there, the old temporary copies are gone, and the new uninstaller removes everything.
static void TestReinstallBeforeRestart()
{
    std::string dir = "D:\\Again\\Quake3";
    CHECK(MakeGameDir(dir, kWithUserFiles), "cannot make %s", dir.c_str());
    DeleteUninstallEntry();
    Tree before = SnapshotTree(dir);
    if (!Install(dir, false))
        return;
    UninstallRun first = UninstallRegistered(dir);
    CheckRestored(dir, before);
    if (!Install(dir, false))
        return;
    Restart();
    CHECK(ReadBytes(dir + "\\zvuninst.exe") == ReadBytes("zvuninst.exe"),
          "the installed uninstaller went with the restart");
    CHECK(!first.copy.empty() && !FileExists(first.copy) &&
              !FileExists(first.copy.substr(0, first.copy.rfind('\\'))),
          "the temporary copy %s is still there", first.copy.c_str());
    UninstallRegistered(dir);
    CheckRestored(dir, before);
}

// A game in the root of drive G:, typed as "G:".
static void TestDriveRoot()
{
    CHECK(MakeGameDir("G:", kWithUserFiles), "cannot make the game in G:");
    DeleteUninstallEntry();
    Tree before = SnapshotTree("G:\\");
    if (!Install("G:", false))
        return;
    CHECK(ReadBytes("G:\\baseq3\\PakZV01.pk3") == ReadBytes("PakZV01.pk3"),
          "the pack is not in G:\\baseq3");
    UninstallRun run = UninstallRegistered("G:");
    CHECK(run.report.text.find("G:\\ZV-001.txt\n") != std::string::npos, "final box reads \"%s\"",
          run.report.text.c_str());
    CheckRestored("G:\\", before);
}

int main(int argc, char **argv)
{
    TestInstallThenUninstall();
    // "one": the first case alone, for a signed copy of the release (tests/test_signing.sh).
    if (argc > 1 && strcmp(argv[1], "one") == 0)
        return CheckDone();
    TestLogKeepsOthers();
    TestTwoInstallations();
    TestReinstallBeforeRestart();
    TestDriveRoot();
    return CheckDone();
}
