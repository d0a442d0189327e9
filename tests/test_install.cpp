// InstallPackage called in-process with the package files beside this program, while a driver
// thread answers its boxes: what lands on disk, in the log and in the registry.
#include "check.h"
#include "driver.h"
#include "fixture_files.h"
#include "fixture_game.h"
#include "fixture_boxes.h"
#include "fixture_uninstall.h"
#include "setup/table_string.h"
#include "install/install.h"
#include "install/safe_file.h"

#include <algorithm>
#include <string>
#include <vector>

static HWND s_owner;
static std::vector<std::string> s_sources;

// Runs InstallPackage into gameDir while the boxes are answered; its result.
static bool Install(int line, const std::string &gameDir, std::vector<ExpectedBox> boxes)
{
    volatile bool done = false;
    bool result = false;
    bool finished =
        DriveWhile([&] { AnswerBoxesAt(__FILE__, line, boxes, s_owner, [&] { return done; }); },
                   [&] {
                       result = InstallPackage(s_owner, gameDir.c_str());
                       done = true;
                   },
                   30000);
    CHECK_AT(__FILE__, line, finished, "the driver did not finish");
    CHECK_AT(__FILE__, line, FindProgressDialog() == NULL, "a progress dialog is left");
    return result;
}

static std::string Value(const std::string &dir, const char *section, const char *key)
{
    char value[260];
    GetPrivateProfileStringA(section, key, "", value, sizeof value, LogPath(dir).c_str());
    return value;
}

// A first installation into an empty game directory, then a second one answered Yes: the
// package is listed twice, the licence logged again and the pack placed in slot 02.
static void TestInstallTwice()
{
    std::string game = CurrentDir() + "\\Game";
    MakeGameDir(game, kWithBaseq3);
    DeleteUninstallEntry();
    CHECK(Install(__LINE__, game, {}), "the first installation gave false");
    CHECK_FIRST_INSTALLATION(s_sources, game);
    CHECK_UNINSTALL_VALUE("UninstallString", "\"" + game + "\\zvuninst.exe\"");

    // Older copies of the licence and the uninstaller are replaced; the pack takes slot 02.
    WriteBytes(game + "\\ZV-001.txt", "an older licence");
    WriteBytes(game + "\\zvuninst.exe", "an older uninstaller");
    CHECK(Install(__LINE__, game, {kReinstallQuestion}), "the second installation gave false");
    CHECK(SameFile(s_sources[0], game + "\\ZV-001.txt"), "the older licence was kept");
    CHECK(SameFile(s_sources[1], game + "\\zvuninst.exe"), "the older uninstaller was kept");
    CHECK(SameFile(s_sources[2], game + "\\baseq3\\PakZV02.pk3"), "the pack is not in slot 02");
    CHECK_TEXT(Value(game, kPackageListSection, kPackageCountKey), "2");
    CHECK_TEXT(Value(game, kPackageListSection, "2"), kPackageName);
    CHECK_TEXT(Value(game, kPackageName, kFileCountKey), "4");
    CHECK_TEXT(Value(game, kPackageName, "3"), game + "\\ZV-001.txt");
    CHECK_TEXT(Value(game, kPackageName, "4"), game + "\\baseq3\\PakZV02.pk3");
}

// A game directory typed relative to the current directory: files and log land together, and
// the log and the uninstall entry hold full paths that the uninstaller can use. Typed with
// "\\?\" before it, they hold its plain form.
static void TestRelativeGameDir()
{
    std::string plain = CurrentDir() + "\\Prefixed";
    MakeGameDir(plain, kWithBaseq3);
    CHECK(Install(__LINE__, "\\\\?\\" + plain, {}), "the installation gave false");
    CHECK_TEXT(Value(plain, kPackageName, "2"), plain + "\\baseq3\\PakZV01.pk3");
    DWORD type = 0;
    std::string command;
    CHECK(ReadUninstallValue("UninstallString", &type, &command), "no uninstall command");
    CHECK_TEXT(command, "\"" + plain + "\\zvuninst.exe\"" + std::string(1, '\0'));

    MakeGameDir(CurrentDir() + "\\Relative", kWithBaseq3);
    CHECK(Install(__LINE__, "Relative", {}), "the installation gave false");
    std::string game = CurrentDir() + "\\Relative";
    CHECK(FileExists(game + "\\baseq3\\PakZV01.pk3"), "the pack is not in the game directory");
    CHECK_TEXT(Value(game, kPackageName, "1"), game + "\\ZV-001.txt");
    CHECK_TEXT(Value(game, kPackageName, "2"), game + "\\baseq3\\PakZV01.pk3");
    CHECK(ReadUninstallValue("UninstallString", &type, &command), "no uninstall command");
    CHECK_TEXT(command, "\"" + game + "\\zvuninst.exe\"" + std::string(1, '\0'));
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    CHECK(!FileExists(LogPath(std::string(windows) + "\\Relative")),
          "the log went to the Windows directory");
}

// A licence text or an uninstaller missing beside the installer is told, then counted among
// the copy errors; the rest installs. The licence is logged all the same; a missing
// uninstaller, with none left by an earlier installation, is not registered. The running byte
// total of this process's earlier installations has filled the bar already.
static void TestSourceMissing()
{
    for (int missing = 0; missing < 2; missing++) {
        const char *name = missing == 0 ? kLicenceFile : kUninstallerFile;
        std::string game = CurrentDir() + "\\Without" + std::to_string(missing);
        MakeGameDir(game, kWithBaseq3);
        DeleteUninstallEntry();
        MoveFileA(s_sources[missing].c_str(), (s_sources[missing] + ".away").c_str());
        CHECK(
            Install(__LINE__, game,
                    {PackNotInstalledBox(s_sources[missing], game + "\\" + name, "0 Bytes", "100%"),
                     kCopyErrorsBox}),
            "without %s: the installation gave false", name);
        MoveFileA((s_sources[missing] + ".away").c_str(), s_sources[missing].c_str());
        CHECK(!FileExists(game + "\\" + name), "%s appeared from nowhere", name);
        CHECK(SameFile(s_sources[2], game + "\\baseq3\\PakZV01.pk3"),
              "without %s: the pack was not installed", name);
        if (missing == 0) {
            CHECK_TEXT(Value(game, kPackageName, "1"), game + "\\ZV-001.txt");
            CHECK_TEXT(Value(game, kPackageName, "2"), game + "\\baseq3\\PakZV01.pk3");
        } else {
            CHECK(!UninstallEntryExists(), "a missing uninstaller was registered");
        }
    }
}

// A game directory as long as a slot's path allows: every file is written under a temporary
// name no longer than its own, so all of them install; and a file whose path is the longest
// the platform takes is still copied and rewritten in place.
static void TestLongGameDir()
{
    std::string game = CurrentDir() + "\\Long";
    while (game.size() < 240)
        game += "\\" + std::string(std::min<size_t>(60, 240 - game.size() - 1), 'd');
    if (!CHECK(game.size() == 240 && MakeGameDir(game, kWithBaseq3), "cannot make %s",
               game.c_str()))
        return;
    DeleteUninstallEntry();
    CHECK(Install(__LINE__, game, {}), "the installation gave false");
    CHECK_FIRST_INSTALLATION(s_sources, game);
    std::string name(259 - game.size() - 1, 'f'), longest = game + "\\" + name;
    GameDir dir;
    DWORD error = 0;
    CHECK(OpenGameDir(game.c_str(), &dir, &error) &&
              CopyOver(&dir, s_sources[0].c_str(), name.c_str(), &error) &&
              SameFile(s_sources[0], longest),
          "a file at the longest path was not copied: %lu", error);
    CHECK(CopyOver(&dir, s_sources[1].c_str(), name.c_str(), &error) &&
              SameFile(s_sources[1], longest),
          "a file at the longest path was not replaced: %lu", error);
}

int main()
{
    g_hInstance = GetModuleHandleA(NULL);
    s_sources = MakePackageFiles(1000, 3000, 5000);
    s_owner = StartOwnerWindow();
    if (!CHECK(s_sources[2] != "" && s_owner, "no package files or owner window"))
        return CheckDone();
    TestInstallTwice();
    TestRelativeGameDir();
    TestSourceMissing();
    TestLongGameDir();
    StopOwnerWindow();
    CHECK(DeleteUninstallEntry(), "the uninstall key was left behind");
    return CheckDone();
}
