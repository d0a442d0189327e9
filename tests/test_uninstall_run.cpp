// zvuninst.exe run from a game directory as the list of programs runs it, driven from another
// process: it removes only the licence text and the packs its log records inside its own
// directory, edits or deletes the log, removes the uninstall entry and itself, and says so.
#include "check.h"
#include "driver.h"
#include "fixture.h"

#include <string>

// A game directory on D: with the uninstaller in it and the uninstall entry naming it.
static std::string Prepare(const char *name)
{
    std::string dir = std::string("D:\\") + name + "\\Quake3";
    CHECK(MakeGameDir(dir, kWithUserFiles), "cannot make %s", dir.c_str());
    CHECK(CopyFileA(kUninstallerFile, (dir + "\\zvuninst.exe").c_str(), FALSE), "cannot copy %s",
          kUninstallerFile);
    CHECK(WriteUninstallEntry(dir + "\\zvuninst.exe"), "cannot register the uninstaller");
    return dir;
}

static bool Has(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

static size_t Count(const std::string &text, const std::string &part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        n++;
    return n;
}

// After uninstalling, the game directory holds what want holds, no more and no less.
static void CheckLeft(int line, const std::string &dir, const Tree &want)
{
    Tree got = SnapshotTree(dir);
    CHECK_AT(__FILE__, line, got == want, "game directory after uninstalling:%s",
             TreeDifference(want, got).c_str());
}

static void CheckRan(const UninstallRun &run, const std::string &dir)
{
    CHECK(run.asked, "no question from the uninstaller");
    CHECK(run.question.buttons == MB_YESNO && run.question.icon == MB_ICONQUESTION,
          "question has buttons %u, icon %u", run.question.buttons, run.question.icon);
    CHECK(Has(run.question.text, dir) && Has(run.question.text, kPackageName),
          "question reads \"%s\"", run.question.text.c_str());
    CHECK(run.ended && run.exitCode == 0, "ended %d with %lu", run.ended, run.exitCode);
}

static void TestOneInstallation()
{
    std::string dir = Prepare("One");
    WriteBytes(dir + "\\ZV-001.txt", "licence");
    WriteBytes(dir + "\\baseq3\\PakZV01.pk3", "PK pack");
    // A pack copied from a read-only medium keeps its read-only attribute.
    SetFileAttributesA((dir + "\\baseq3\\PakZV01.pk3").c_str(), FILE_ATTRIBUTE_READONLY);
    std::string log = LogPath(dir);
    LogPackage(log, kPackageName);
    LogFile(log, kPackageName, dir + "\\ZV-001.txt");
    LogFile(log, kPackageName, dir + "\\baseq3\\PakZV01.pk3");
    Tree want = SnapshotTree(dir);
    want.erase("ZV-001.txt");
    want.erase("baseq3\\PakZV01.pk3");
    want.erase(kLogFile);

    UninstallRun run = RunUninstaller(dir, IDYES);
    CheckRan(run, dir);
    CheckLeft(__LINE__, dir, want);
    CHECK(!UninstallEntryExists(), "the uninstall entry is still there");
    CHECK(IsPendingDelete(dir + "\\zvuninst.exe"), "zvuninst.exe is not to be deleted");
    CHECK(run.reported && run.report.icon == MB_ICONINFORMATION && run.report.buttons == MB_OK,
          "final box: shown %d, icon %u, buttons %u", run.reported, run.report.icon,
          run.report.buttons);
    const std::string &text = run.report.text;
    CHECK(Has(text, "Removed:\n" + dir + "\\ZV-001.txt\n" + dir + "\\baseq3\\PakZV01.pk3\n") &&
              Has(text, "ZVFiles.log") && Has(text, "list of programs") &&
              Has(text, "zvuninst.exe") && !Has(text, "Not removed"),
          "final box reads \"%s\"", text.c_str());
}

// Two installations over a pack of the user's in slot 01: the log records slots 02 and 03 and
// the licence twice; the user's pack stays.
static void TestTwoInstallations()
{
    std::string dir = Prepare("Two");
    WriteBytes(dir + "\\baseq3\\PakZV01.pk3", "the user's own pack");
    WriteBytes(dir + "\\ZV-001.txt", "licence");
    WriteBytes(dir + "\\baseq3\\PakZV02.pk3", "PK first");
    WriteBytes(dir + "\\baseq3\\PakZV03.pk3", "PK second");
    std::string log = LogPath(dir);
    for (int slot = 2; slot <= 3; slot++) {
        LogPackage(log, kPackageName);
        LogFile(log, kPackageName, dir + "\\ZV-001.txt");
        LogFile(log, kPackageName, dir + "\\baseq3\\PakZV0" + std::to_string(slot) + ".pk3");
    }
    Tree want = SnapshotTree(dir);
    for (const char *gone : {"ZV-001.txt", "baseq3\\PakZV02.pk3", "baseq3\\PakZV03.pk3", kLogFile})
        want.erase(gone);

    UninstallRun run = RunUninstaller(dir, IDYES);
    CheckRan(run, dir);
    CheckLeft(__LINE__, dir, want);
    CHECK(!UninstallEntryExists(), "the uninstall entry is still there");
    CHECK(Count(run.report.text, dir + "\\ZV-001.txt") == 1,
          "the licence is not named once: \"%s\"", run.report.text.c_str());
    CHECK(run.report.icon == MB_ICONINFORMATION, "final box icon %u", run.report.icon);
}

// Other packages share the log: they keep their list entries (renumbered, with the count
// following) and their sections; a recorded file of ours already gone is told as such.
static void TestOtherPackagesKept()
{
    std::string dir = Prepare("Shared");
    std::string log = LogPath(dir);
    WriteBytes(dir + "\\ZV-002.txt", "their licence");
    WriteBytes(dir + "\\ZV-001.txt", "licence");
    LogPackage(log, "ZV-002 Runner for Quake3");
    LogFile(log, "ZV-002 Runner for Quake3", dir + "\\ZV-002.txt");
    LogPackage(log, kPackageName);
    LogFile(log, kPackageName, dir + "\\ZV-001.txt");
    LogFile(log, kPackageName, dir + "\\baseq3\\PakZV01.pk3");
    LogPackage(log, "ZV-003 Crawler for Quake3");
    LogFile(log, "ZV-003 Crawler for Quake3", dir + "\\baseq3\\PakZV02.pk3");
    WritePrivateProfileStringA("Settings", "Colour", "Blue", log.c_str());
    WritePrivateProfileStringA(NULL, NULL, NULL, log.c_str()); // flush Wine's profile cache
    DeleteUninstallEntry();

    UninstallRun run = RunUninstaller(dir, IDYES);
    CheckRan(run, dir);
    const char *file = log.c_str();
    CHECK(GetPrivateProfileIntA(kPackageListSection, kPackageCountKey, 0, file) == 2,
          "NumberInstalled is not 2");
    char value[260];
    GetPrivateProfileStringA(kPackageListSection, "1", "", value, sizeof value, file);
    CHECK_TEXT(value, "ZV-002 Runner for Quake3");
    GetPrivateProfileStringA(kPackageListSection, "2", "", value, sizeof value, file);
    CHECK_TEXT(value, "ZV-003 Crawler for Quake3");
    CHECK(GetPrivateProfileStringA(kPackageListSection, "3", "", value, sizeof value, file) == 0,
          "a third list entry: %s", value);
    CHECK(GetPrivateProfileSectionA(kPackageName, value, sizeof value, file) == 0,
          "the package section is still there");
    GetPrivateProfileStringA("ZV-002 Runner for Quake3", "1", "", value, sizeof value, file);
    CHECK_TEXT(value, dir + "\\ZV-002.txt");
    GetPrivateProfileStringA("ZV-003 Crawler for Quake3", "1", "", value, sizeof value, file);
    CHECK_TEXT(value, dir + "\\baseq3\\PakZV02.pk3");
    GetPrivateProfileStringA("Settings", "Colour", "", value, sizeof value, file);
    CHECK_TEXT(value, "Blue");
    CHECK(ReadBytes(dir + "\\ZV-002.txt") == "their licence", "another package's file changed");
    CHECK(!FileExists(dir + "\\ZV-001.txt"), "the licence is still there");
    const std::string &text = run.report.text;
    CHECK(Has(text, "Already gone:\n" + dir + "\\baseq3\\PakZV01.pk3\n") &&
              Has(text, "entries in ZVFiles.log") && Has(text, "list of programs"),
          "final box reads \"%s\"", text.c_str());
}

// A changed log names files outside the directory and files that are not ours: all stay,
// byte for byte, and the final box names each of them.
static void TestHostileEntries()
{
    std::string dir = Prepare("Hostile");
    CreateDirectoryA("D:\\Outside", NULL);
    WriteBytes("D:\\Outside\\ZV-001.txt", "someone else's licence");
    WriteBytes("D:\\Hostile\\PakZV01.pk3", "a pack beside the game");
    WriteBytes(dir + "\\ZV-001.txt", "licence");
    std::string log = LogPath(dir);
    LogPackage(log, kPackageName);
    const std::string hostile[] = {
        "D:\\Outside\\ZV-001.txt",  dir + "\\quake3.exe", dir + "\\baseq3\\..\\..\\PakZV01.pk3",
        dir + "\\baseq3\\pak0.pk3", LogPath(dir),
    };
    for (const std::string &path : hostile)
        LogFile(log, kPackageName, path);
    LogFile(log, kPackageName, dir + "\\ZV-001.txt");
    Tree outside = SnapshotTree("D:\\Outside");
    Tree want = SnapshotTree(dir);
    want.erase("ZV-001.txt");
    want.erase(kLogFile);
    std::string beside = ReadBytes("D:\\Hostile\\PakZV01.pk3");

    UninstallRun run = RunUninstaller(dir, IDYES);
    CheckRan(run, dir);
    CheckLeft(__LINE__, dir, want);
    CHECK(SnapshotTree("D:\\Outside") == outside, "a file outside the game directory changed");
    CHECK(ReadBytes("D:\\Hostile\\PakZV01.pk3") == beside, "the pack beside the game changed");
    CHECK(run.report.icon == MB_ICONWARNING, "final box icon %u", run.report.icon);
    const std::string &text = run.report.text;
    size_t kept = text.find("Not removed:");
    CHECK(kept != std::string::npos, "final box reads \"%s\"", text.c_str());
    for (const std::string &path : hostile)
        CHECK(kept != std::string::npos &&
                  text.find(path + ": not a file of this package", kept) != std::string::npos,
              "final box does not name %s as left alone", path.c_str());
    CHECK(Has(text, "Removed:\n" + dir + "\\ZV-001.txt\n"), "final box reads \"%s\"", text.c_str());
    CHECK(!UninstallEntryExists(), "the uninstall entry is still there");
}

// Without a log, or with a log that does not list the package, only the uninstall entry goes.
static void TestNothingListed()
{
    for (int withLog = 0; withLog <= 1; withLog++) {
        std::string dir = Prepare(withLog ? "OtherLog" : "NoLog");
        WriteBytes(dir + "\\ZV-001.txt", "licence");
        WriteBytes(dir + "\\baseq3\\PakZV01.pk3", "PK pack");
        if (withLog) {
            std::string log = LogPath(dir);
            LogPackage(log, "ZV-002 Runner for Quake3");
            LogFile(log, "ZV-002 Runner for Quake3", dir + "\\ZV-001.txt");
            WritePrivateProfileStringA(NULL, NULL, NULL, log.c_str());
        }
        Tree want = SnapshotTree(dir);

        UninstallRun run = RunUninstaller(dir, IDYES);
        CheckRan(run, dir);
        Tree got = SnapshotTree(dir);
        CHECK(got == want, "log %d: game directory changed:%s", withLog,
              TreeDifference(want, got).c_str());
        CHECK(!UninstallEntryExists(), "log %d: the uninstall entry is still there", withLog);
        CHECK(!IsPendingDelete(dir + "\\zvuninst.exe"), "log %d: uninstaller deleted", withLog);
        const std::string &text = run.report.text;
        CHECK(Has(text, withLog ? "does not list " + std::string(kPackageName)
                                : "There is no install log (ZVFiles.log) in " + dir) &&
                  Has(text, "no files were removed") &&
                  Has(text, "Removed:\nthe entry \"ZV Models for Quake3\" in the list of programs"),
              "log %d: final box reads \"%s\"", withLog, text.c_str());
        CHECK(run.report.icon == MB_ICONINFORMATION, "log %d: icon %u", withLog, run.report.icon);
    }
}

static void TestAnswerNo()
{
    std::string dir = Prepare("Declined");
    WriteBytes(dir + "\\ZV-001.txt", "licence");
    std::string log = LogPath(dir);
    LogPackage(log, kPackageName);
    LogFile(log, kPackageName, dir + "\\ZV-001.txt");
    WritePrivateProfileStringA(NULL, NULL, NULL, log.c_str());
    Tree want = SnapshotTree(dir);

    UninstallRun run = RunUninstaller(dir, IDNO);
    CheckRan(run, dir);
    CHECK(SnapshotTree(dir) == want, "something changed after No");
    CHECK(UninstallEntryExists(), "the uninstall entry went after No");
    CHECK(FindTopWindow(NULL, "ZV-001 Uninstall") == NULL, "a box is left after No");
    DeleteUninstallEntry();
}

// The entry is removed only by the uninstaller it names: quoted as the installer writes it,
// it is ours; naming another copy, such as the installed one seen from the release folder, it
// stays and the box says why.
static void TestEntryOwner()
{
    for (int ours = 0; ours <= 1; ours++) {
        std::string dir = Prepare(ours ? "QuotedEntry" : "OtherEntry");
        std::string other = "C:\\Games\\Quake3\\zvuninst.exe";
        WriteUninstallEntry(ours ? "\"" + dir + "\\zvuninst.exe\"" : other);
        UninstallRun run = RunUninstaller(dir, IDYES);
        CheckRan(run, dir);
        CHECK(UninstallEntryExists() == !ours, "entry %d: kept %d", ours, UninstallEntryExists());
        if (!ours)
            CHECK(Has(run.report.text, "it belongs to the uninstaller " + other),
                  "final box reads \"%s\"", run.report.text.c_str());
        DeleteUninstallEntry();
    }
}

int main()
{
    TestOneInstallation();
    TestTwoInstallations();
    TestOtherPackagesKept();
    TestHostileEntries();
    TestNothingListed();
    TestAnswerNo();
    TestEntryOwner();
    return CheckDone();
}
