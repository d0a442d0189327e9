// zvuninst.exe run from a game directory as the list of programs runs it, driven from another
// process: its temporary copy removes only the licence text and the packs its log records
// inside its own directory, never through a link, edits or deletes the log, removes the
// uninstall entry and the installed uninstaller once nothing else stays, and says so.
#include "check.h"
#include "driver.h"
#include "fixture_files.h"
#include "fixture_game.h"
#include "fixture_uninstall.h"
#include "common/log_file.h"
#include "common/path.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

static const char *kEntry = "the entry \"ZV Models for Quake3\" in the list of programs";

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

// wholeBox: the question fits the screen, so its icon can be told by its pixels; a path that
// cannot wrap makes the box wider than the screen.
static void CheckRan(const UninstallRun &run, const std::string &dir, bool wholeBox = true)
{
    CHECK(run.asked, "no question from the uninstaller");
    CHECK(run.question.buttons == MB_YESNO &&
              (run.question.icon == MB_ICONQUESTION || (!wholeBox && run.question.icon == ~0u)),
          "question has buttons %u, icon %u", run.question.buttons, run.question.icon);
    CHECK(Has(run.question.text, dir) && Has(run.question.text, kPackageName),
          "question reads \"%s\"", run.question.text.c_str());
    CHECK(run.ended && run.exitCode == 0, "ended %d with %lu", run.ended, run.exitCode);
    CHECK(run.copyEnded, "the temporary copy did not end");
    // Only the temporary copy and its folder wait for the restart, never a file of the game's.
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    CHECK(!run.copy.empty() && run.copy.compare(0, strlen(temp), temp) == 0 &&
              IsPendingDelete(run.copy) &&
              IsPendingDelete(run.copy.substr(0, run.copy.rfind('\\'))),
          "the copy %s and its folder are not to be deleted", run.copy.c_str());
    CHECK(PendingDeletesUnder(dir).empty(), "%u pending deletes in %s",
          (unsigned)PendingDeletesUnder(dir).size(), dir.c_str());
}

// Runs the uninstaller from dir, answered Yes, and checks that it ran as it should.
static UninstallRun Uninstall(const std::string &dir, bool wholeBox = true)
{
    UninstallRun run = RunUninstaller(dir, IDYES);
    CheckRan(run, dir, wholeBox);
    return run;
}

static void TestOneInstallation()
{
    std::string dir = Prepare("One");
    std::string log = LogInstalled(dir);
    // A pack copied from a read-only medium keeps its read-only attribute.
    SetFileAttributesA((dir + "\\baseq3\\PakZV01.pk3").c_str(), FILE_ATTRIBUTE_READONLY);
    Tree want = SnapshotTree(dir);
    want.erase("ZV-001.txt");
    want.erase("baseq3\\PakZV01.pk3");
    want.erase("ZVFiles.log");
    want.erase("zvuninst.exe");

    UninstallRun run = Uninstall(dir);
    Tree got = SnapshotTree(dir);
    CHECK(got == want, "game directory after uninstalling:%s", TreeDifference(want, got).c_str());
    CHECK(!UninstallEntryExists(), "the uninstall entry is still there");
    CHECK(run.reported && run.report.icon == MB_ICONINFORMATION && run.report.buttons == MB_OK,
          "final box: shown %d, icon %u, buttons %u", run.reported, run.report.icon,
          run.report.buttons);
    const std::string &text = run.report.text;
    CHECK(Has(text, "Removed:\n" + dir + "\\ZV-001.txt\n" + dir + "\\baseq3\\PakZV01.pk3\n") &&
              Has(text, "ZVFiles.log") && Has(text, "list of programs") &&
              Has(text, "\n" + dir + "\\zvuninst.exe") && !Has(text, "Not removed"),
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
    std::string log = dir + "\\ZVFiles.log";
    for (int slot = 2; slot <= 3; slot++) {
        LogPackage(log, kPackageName);
        LogFile(log, kPackageName, dir + "\\ZV-001.txt");
        LogFile(log, kPackageName, dir + "\\baseq3\\PakZV0" + std::to_string(slot) + ".pk3");
    }
    Tree want = SnapshotTree(dir);
    for (const char *gone : {"ZV-001.txt", "baseq3\\PakZV02.pk3", "baseq3\\PakZV03.pk3",
                             "ZVFiles.log", "zvuninst.exe"})
        want.erase(gone);

    UninstallRun run = Uninstall(dir);
    Tree got = SnapshotTree(dir);
    CHECK(got == want, "game directory after uninstalling:%s", TreeDifference(want, got).c_str());
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
    std::string log = dir + "\\ZVFiles.log";
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

    UninstallRun run = Uninstall(dir);
    const char *file = log.c_str();
    CHECK(GetPrivateProfileIntA("ZV Packages", "NumberInstalled", 0, file) == 2,
          "NumberInstalled is not 2");
    char value[260];
    GetPrivateProfileStringA("ZV Packages", "1", "", value, sizeof value, file);
    CHECK_TEXT(value, "ZV-002 Runner for Quake3");
    GetPrivateProfileStringA("ZV Packages", "2", "", value, sizeof value, file);
    CHECK_TEXT(value, "ZV-003 Crawler for Quake3");
    CHECK(GetPrivateProfileStringA("ZV Packages", "3", "", value, sizeof value, file) == 0,
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
    std::string log = dir + "\\ZVFiles.log";
    LogPackage(log, kPackageName);
    // Not one of the package's names: dropped from the log.
    const std::string hostile[] = {
        dir + "\\quake3.exe",       dir + "\\baseq3\\..\\..\\PakZV01.pk3",
        dir + "\\baseq3\\pak0.pk3", dir + "\\ZVFiles.log",
        "\\\\host\\share\\x",
    };
    // The package's names in another directory, or on a network path that is never opened:
    // kept, with the uninstaller, so that nothing is stranded.
    const std::string elsewhere[] = {
        "D:\\Outside\\ZV-001.txt",
        "\\\\host\\share\\Hostile\\Quake3\\ZV-001.txt",
    };
    for (const std::string &path : hostile)
        LogFile(log, kPackageName, path);
    for (const std::string &path : elsewhere)
        LogFile(log, kPackageName, path);
    LogFile(log, kPackageName, dir + "\\ZV-001.txt");
    Tree outside = SnapshotTree("D:\\Outside");
    Tree want = SnapshotTree(dir);
    want.erase("ZV-001.txt");
    want.erase("ZVFiles.log");
    std::string beside = ReadBytes("D:\\Hostile\\PakZV01.pk3");

    UninstallRun run = Uninstall(dir);
    Tree got = SnapshotTree(dir);
    got.erase("ZVFiles.log");
    CHECK(got == want, "game directory after uninstalling:%s", TreeDifference(want, got).c_str());
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
    for (const std::string &path : elsewhere)
        CHECK(kept != std::string::npos &&
                  text.find(path + ": not confirmed to be in this directory", kept) !=
                      std::string::npos,
              "final box does not name %s as kept", path.c_str());
    CHECK(Has(text, "Removed:\n" + dir + "\\ZV-001.txt\n"), "final box reads \"%s\"", text.c_str());
    std::vector<std::string> lines = {"[ZV Packages]",
                                      "NumberInstalled=1",
                                      std::string("1=") + kPackageName,
                                      std::string("[") + kPackageName + "]",
                                      "Files=2",
                                      "1=" + elsewhere[0],
                                      "2=" + elsewhere[1]};
    CHECK(NonBlankLines(log) == lines, "the log does not keep exactly the entries elsewhere");
    CHECK(UninstallEntryExists(), "the uninstall entry went with entries still listed");
    DeleteUninstallEntry();
}

// Without a log, or with a log that does not list the package, only the uninstall entry goes.
static void TestNothingListed()
{
    for (int withLog = 0; withLog <= 1; withLog++) {
        std::string dir = Prepare(withLog ? "OtherLog" : "NoLog");
        WriteBytes(dir + "\\ZV-001.txt", "licence");
        WriteBytes(dir + "\\baseq3\\PakZV01.pk3", "PK pack");
        if (withLog) {
            std::string log = dir + "\\ZVFiles.log";
            LogPackage(log, "ZV-002 Runner for Quake3");
            LogFile(log, "ZV-002 Runner for Quake3", dir + "\\ZV-001.txt");
            WritePrivateProfileStringA(NULL, NULL, NULL, log.c_str());
        }
        Tree want = SnapshotTree(dir);

        UninstallRun run = Uninstall(dir);
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
    std::string log = dir + "\\ZVFiles.log";
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

// The entry is removed only by the uninstaller it names, however the path is spelt: quoted as
// the installer writes it, with "." and doubled separators as a typed game directory keeps
// them, or in short names, as is the log of a game directory typed in short names: its files
// go too. Naming another copy, such as the installed one seen from the release folder, or a
// path too long to be any, it stays and the box says why.
static void TestEntryOwner()
{
    enum Spelling { kOther, kQuoted, kDotted, kShort, kTooLong };
    static const struct {
        Spelling spelling;
        bool ours;
        const char *folder;
    } cases[] = {
        {kOther, false, "OtherEntry"},     {kQuoted, true, "QuotedEntry"},
        {kDotted, true, "DottedEntry"},    {kShort, true, "ShortNamedEntry"},
        {kTooLong, false, "TooLongEntry"},
    };
    for (const auto &c : cases) {
        std::string dir = Prepare(c.folder);
        char shortDir[MAX_PATH] = "";
        GetShortPathNameA(dir.c_str(), shortDir, sizeof shortDir);
        std::string entry = c.spelling == kOther    ? "C:\\Games\\Quake3\\zvuninst.exe"
                            : c.spelling == kQuoted ? "\"" + dir + "\\zvuninst.exe\""
                            : c.spelling == kDotted ? dir + "\\.\\\\zvuninst.exe"
                            : c.spelling == kShort  ? std::string(shortDir) + "\\zvuninst.exe"
                                                    : "C:\\" + std::string(400, 'x');
        if (c.spelling == kShort) {
            CHECK(_stricmp(shortDir, dir.c_str()) != 0, "%s has no short name", dir.c_str());
            LogInstalled(dir, shortDir);
        }
        WriteUninstallEntry(entry);
        UninstallRun run = Uninstall(dir);
        if (c.spelling == kShort)
            for (const char *gone :
                 {"\\ZV-001.txt", "\\baseq3\\PakZV01.pk3", "\\ZVFiles.log", "\\zvuninst.exe"})
                CHECK(!FileExists(dir + gone), "short names: %s is still there: %s", gone,
                      run.report.text.c_str());
        CHECK(UninstallEntryExists() == !c.ours, "%s: kept %d", c.folder, UninstallEntryExists());
        if (c.spelling == kOther || c.spelling == kTooLong)
            CHECK(Has(run.report.text,
                      "it belongs to the uninstaller " +
                          (c.spelling == kOther ? entry
                                                : "(a path too long to be this uninstaller's)")),
                  "%s: final box reads \"%s\"", c.folder, run.report.text.c_str());
        DeleteUninstallEntry();
    }
}

static void RemoveFolder(const std::string &dir)
{
    for (const auto &file : SnapshotTree(dir))
        if (file.first.back() != '\\')
            DeleteFileA((dir + "\\" + file.first).c_str());
    RemoveDirectoryA(dir.c_str());
}

// What stays when something of the package stays: the log's entry for it, the uninstall
// entry and the installed uninstaller, each named in the box.
static void CheckKeptPackage(int line, const UninstallRun &run, const std::string &dir,
                             const std::string &file)
{
    std::string log = dir + "\\ZVFiles.log";
    char value[MAX_PATH] = "";
    GetPrivateProfileStringA(kPackageName, "1", "", value, sizeof value, log.c_str());
    CHECK_TEXT_AT(__FILE__, line, value, file);
    CHECK_AT(__FILE__, line, GetPrivateProfileIntA(kPackageName, "Files", 0, log.c_str()) == 1,
             "Files is not 1");
    GetPrivateProfileStringA("ZV Packages", "1", "", value, sizeof value, log.c_str());
    CHECK_TEXT_AT(__FILE__, line, value, kPackageName);
    CHECK_AT(__FILE__, line, UninstallEntryExists(), "the uninstall entry went");
    CHECK_AT(__FILE__, line, FileExists(dir + "\\zvuninst.exe"), "the uninstaller went");
    const std::string &text = run.report.text;
    CHECK_AT(__FILE__, line,
             run.report.icon == MB_ICONWARNING && Has(text, "Not removed:") &&
                 Has(text, file + ": ") && Has(text, kEntry) && Has(text, "run") &&
                 Has(text, dir + "\\zvuninst.exe: files of the package remain"),
             "final box reads \"%s\"", text.c_str());
}

// baseq3 replaced by a link to a folder outside the game after the installation: the pack
// behind it stays byte for byte, named as kept, and so does everything of the package.
static void TestDirectoryLink()
{
    std::string dir = Prepare("DirLink");
    LogInstalled(dir);
    std::string outside = "D:\\DirLink\\Elsewhere";
    CreateDirectoryA(outside.c_str(), NULL);
    WriteBytes(outside + "\\PakZV01.pk3", "someone else's pack");
    WriteBytes(outside + "\\pak0.pk3", "their pak0");
    RemoveFolder(dir + "\\baseq3");
    if (!CHECK(MakeUnixLink(outside, dir + "\\baseq3"), "cannot link baseq3"))
        return;
    CHECK(GetFileAttributesA((dir + "\\baseq3").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT,
          "the link does not show as one");
    Tree before = SnapshotTree(outside);

    UninstallRun run = Uninstall(dir);
    CHECK(SnapshotTree(outside) == before, "outside after uninstalling:%s",
          TreeDifference(before, SnapshotTree(outside)).c_str());
    CHECK(!FileExists(dir + "\\ZV-001.txt"), "the licence is still there");
    CheckKeptPackage(__LINE__, run, dir, dir + "\\baseq3\\PakZV01.pk3");
    CHECK(Has(run.report.text, "link to another place"), "final box reads \"%s\"",
          run.report.text.c_str());
    DeleteUninstallEntry();
}

// ZV-001.txt replaced by a link to an outside file: the file stays. What a killed installer
// left at its temporary names goes, a read-only one too, each named; a link there stays.
static void TestFileLink()
{
    std::string dir = Prepare("FileLink");
    LogInstalled(dir);
    std::string outside = "D:\\FileLink\\precious.txt";
    WriteBytes(outside, "someone else's file");
    DeleteFileA((dir + "\\ZV-001.txt").c_str());
    if (!CHECK(MakeUnixLink(outside, dir + "\\ZV-001.txt"), "cannot link ZV-001.txt"))
        return;
    const std::string leftovers[] = {dir + "\\ZVFiles.lo~", dir + "\\zvuninst.ex7",
                                     dir + "\\baseq3\\PakZV.tm0"};
    for (const std::string &leftover : leftovers)
        WriteBytes(leftover, "left by a killed installer");
    SetFileAttributesA(leftovers[2].c_str(), FILE_ATTRIBUTE_READONLY);
    std::string linked = dir + "\\ZV-001.tx~";
    CHECK(MakeUnixLink(outside, linked), "cannot link ZV-001.tx~");

    UninstallRun run = Uninstall(dir);
    CHECK(ReadBytes(outside) == "someone else's file", "the outside file changed");
    CHECK(!FileExists(dir + "\\baseq3\\PakZV01.pk3"), "the pack is still there");
    CheckKeptPackage(__LINE__, run, dir, dir + "\\ZV-001.txt");
    const std::string &text = run.report.text;
    for (const std::string &leftover : leftovers)
        CHECK(!FileExists(leftover) && Has(text, "\n" + leftover + "\n"),
              "%s is left or not named as removed: \"%s\"", leftover.c_str(), text.c_str());
    CHECK(FileExists(linked) && Has(text, linked + ": ") && !Has(text, dir + "\\ZVFiles.lo0") &&
              !Has(text, "PakZV.tmp"),
          "the linked leftover is gone or not named, or a free name is: \"%s\"", text.c_str());
    DeleteUninstallEntry();
}

// A pack held open without sharing, as a running game holds it: it stays with its entry, and
// a second run after the game ended removes everything.
static void TestLockedPack()
{
    std::string dir = Prepare("Locked");
    LogInstalled(dir);
    std::string pack = dir + "\\baseq3\\PakZV01.pk3";
    HANDLE lock = CreateFileA(pack.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    CHECK(lock != INVALID_HANDLE_VALUE, "cannot lock the pack");
    UninstallRun run = RunUninstaller(dir, IDYES);
    CloseHandle(lock);
    CheckRan(run, dir);
    CHECK(ReadBytes(pack) == "PK pack", "the locked pack changed");
    CHECK(!FileExists(dir + "\\ZV-001.txt"), "the licence is still there");
    CheckKeptPackage(__LINE__, run, dir, pack);
    CHECK(Has(run.report.text, pack + ": another program has it open"), "final box reads \"%s\"",
          run.report.text.c_str());
    CHECK(UninstallNumber("EstimatedSize") == SizeKB({pack, dir + "\\zvuninst.exe"}),
          "the kept entry's size is %lu KB", UninstallNumber("EstimatedSize"));

    run = Uninstall(dir);
    for (const char *gone : {"\\baseq3\\PakZV01.pk3", "\\ZVFiles.log", "\\zvuninst.exe"})
        CHECK(!FileExists(dir + gone), "second run: %s is still there", gone);
    CHECK(!UninstallEntryExists(), "second run: the uninstall entry is still there");
    CHECK(run.report.icon == MB_ICONINFORMATION, "second run: \"%s\"", run.report.text.c_str());
}

// A log exactly at the size limit, with an entry of another package's list, its own UNC line
// and padding of another section: the package goes, every other byte stays.
static void TestLargeLog()
{
    std::string dir = Prepare("LargeLog");
    WriteBytes(dir + "\\ZV-001.txt", "licence");
    std::string head =
        "[ZV Packages]\r\nNumberInstalled=2\r\n1=Other\r\n2=" + std::string(kPackageName) +
        "\r\n[" + kPackageName + "]\r\n1=" + dir + "\\ZV-001.txt\r\n2=\\\\host\\share\\x\r\n";
    std::string kept = "[Padding]\r\n";
    const size_t size = 16 * 1024 * 1024;
    for (int i = 0; head.size() + kept.size() < size - 20; i++)
        kept += "k" + std::to_string(i) + "=v\r\n";
    kept += std::string(size - head.size() - kept.size(), ';');
    WriteBytes(dir + "\\ZVFiles.log", head + kept);

    UninstallRun run = Uninstall(dir);
    std::string after = ReadBytes(dir + "\\ZVFiles.log");
    std::string want = "[ZV Packages]\r\nNumberInstalled=1\r\n1=Other\r\n" + kept;
    CHECK(after == want, "log of %u bytes after, want %u", (unsigned)after.size(),
          (unsigned)want.size());
    CHECK(!FileExists(dir + "\\ZV-001.txt") && !FileExists(dir + "\\zvuninst.exe"),
          "the licence or the uninstaller is still there");
    CHECK(Has(run.report.text, "\\\\host\\share\\x: not a file of this package"),
          "final box reads \"%s\"", run.report.text.c_str());
    CHECK(!UninstallEntryExists(), "the uninstall entry is still there");
}

// A log too large, and one held open by another program: nothing is removed, the log stays
// byte for byte, and so do the uninstall entry and the uninstaller; once the log can be read,
// a second run removes everything.
static void TestUnreadableLog()
{
    for (int locked = 0; locked <= 1; locked++) {
        std::string dir = Prepare(locked ? "LockedLog" : "HugeLog");
        std::string log = LogInstalled(dir);
        if (!locked)
            WriteBytes(log, ReadBytes(log) + std::string(16 * 1024 * 1024, ';'));
        Tree before = SnapshotTree(dir);
        HANDLE lock = locked
                          ? CreateFileA(log.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL)
                          : INVALID_HANDLE_VALUE;
        UninstallRun run = RunUninstaller(dir, IDYES);
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        CheckRan(run, dir);
        Tree after = SnapshotTree(dir);
        CHECK(after == before, "locked %d: game directory changed:%s", locked,
              TreeDifference(before, after).c_str());
        CHECK(UninstallEntryExists(), "locked %d: the uninstall entry went", locked);
        const std::string &text = run.report.text;
        CHECK(Has(text, "The install log could not be read, so nothing was removed") &&
                  Has(text, log + ": " +
                                (locked ? "another program has it open"
                                        : "it is larger than the installer ever writes it")) &&
                  Has(text, dir + "\\zvuninst.exe: the install log could not be read"),
              "locked %d: final box reads \"%s\"", locked, text.c_str());
        if (!locked) {
            DeleteUninstallEntry();
            continue;
        }
        run = Uninstall(dir);
        CHECK(!FileExists(log) && !FileExists(dir + "\\zvuninst.exe") && !UninstallEntryExists(),
              "second run: \"%s\"", run.report.text.c_str());
    }
}

// While another installation or uninstall holds the directory's lock, the uninstaller changes
// nothing and says so in one sentence.
static void TestBusyDirectory()
{
    std::string dir = Prepare("Busy");
    LogInstalled(dir);
    Tree before = SnapshotTree(dir);
    GameDir game;
    DWORD error = 0;
    CHECK(OpenGameDir(dir.c_str(), &game, &error), "cannot open %s: %lu", dir.c_str(), error);
    HANDLE lock = LockGameLog(&game, 0);
    CHECK(lock != NULL, "cannot take the directory's lock");
    UninstallRun run = Uninstall(dir);
    UnlockGameLog(lock);
    char busy[512];
    snprintf(busy, sizeof busy, kBusyText, dir.c_str());
    CHECK(run.report.text == busy && run.report.icon == MB_ICONWARNING,
          "final box (icon %u) reads \"%s\"", run.report.icon, run.report.text.c_str());
    Tree after = SnapshotTree(dir);
    CHECK(after == before, "game directory changed:%s", TreeDifference(before, after).c_str());
    CHECK(UninstallEntryExists(), "the uninstall entry went");
    DeleteUninstallEntry();
}

// A log that still lists another package is rewritten, not removed. Read-only, it stays byte
// for byte once the files are gone, and so do the uninstaller and its entry, for the reason
// that holds. In a directory as long as the log's path allows, it is rewritten like any other.
static void TestLogRewrite()
{
    for (int readOnly = 1; readOnly >= 0; readOnly--) {
        std::string dir =
            readOnly ? "D:\\ReadOnlyLog\\Quake3" : "D:\\" + std::string(235, 'L') + "\\Quake3";
        CHECK(MakeGameDir(dir, kWithBaseq3) &&
                  CopyFileA(kUninstallerFile, (dir + "\\zvuninst.exe").c_str(), FALSE) &&
                  WriteUninstallEntry(dir + "\\zvuninst.exe") &&
                  WriteBytes(dir + "\\ZV-001.txt", "licence"),
              "cannot make %s", dir.c_str());
        std::string log = dir + "\\ZVFiles.log";
        LogPackage(log, "ZV-002 Runner for Quake3");
        LogPackage(log, kPackageName);
        LogFile(log, kPackageName, dir + "\\ZV-001.txt");
        WritePrivateProfileStringA(NULL, NULL, NULL, log.c_str());
        if (readOnly)
            SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_READONLY);
        std::string before = ReadBytes(log);
        UninstallRun run = Uninstall(dir, readOnly != 0);
        SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::string after = ReadBytes(log);
        CHECK(!FileExists(dir + "\\ZV-001.txt"), "read-only %d: the licence is still there",
              readOnly);
        CHECK((after == before) == (readOnly != 0) && Has(after, "ZV-002 Runner for Quake3"),
              "read-only %d: the log reads \"%s\"", readOnly, after.c_str());
        CHECK(FileExists(dir + "\\zvuninst.exe") == (readOnly != 0) &&
                  UninstallEntryExists() == (readOnly != 0),
              "read-only %d: the uninstaller or its entry is wrongly kept or gone", readOnly);
        if (readOnly)
            CHECK(
                Has(run.report.text, dir + "\\zvuninst.exe: the install log could not be updated"),
                "final box reads \"%s\"", run.report.text.c_str());
        CHECK(!FileExists(dir + "\\ZVFiles.lo~"), "read-only %d: the temporary log is left",
              readOnly);
        DeleteUninstallEntry();
    }
}

// A game in the root of drive G:, recorded as the installer records it there.
static void TestDriveRoot()
{
    std::string root = "G:";
    CHECK(MakeGameDir(root, kWithUserFiles), "cannot make the game in G:");
    CHECK(CopyFileA(kUninstallerFile, "G:\\zvuninst.exe", FALSE), "cannot copy the uninstaller");
    CHECK(WriteUninstallEntry("\"G:\\zvuninst.exe\""), "cannot register the uninstaller");
    Tree want = SnapshotTree("G:\\");
    want.erase("zvuninst.exe");
    LogInstalled("G:\\");

    UninstallRun run = Uninstall("G:\\");
    Tree got = SnapshotTree("G:\\");
    CHECK(got == want, "G: after uninstalling:%s", TreeDifference(want, got).c_str());
    CHECK(!UninstallEntryExists(), "the uninstall entry is still there");
    CHECK(run.report.icon == MB_ICONINFORMATION && Has(run.report.text, "G:\\ZV-001.txt\n"),
          "final box reads \"%s\"", run.report.text.c_str());
}

// The temporary copy started by hand with a made-up handle or directory refuses, and removes
// nothing.
static void TestForgedCopy()
{
    std::string dir = Prepare("Forged");
    LogInstalled(dir);
    Tree before = SnapshotTree(dir);
    CreateDirectoryA("C:\\ForgedCopy", NULL);
    CopyFileA(kUninstallerFile, "C:\\ForgedCopy\\zvuninst.exe", FALSE);
    const std::string arguments[] = {
        "/zvuninst-temporary-copy 1234 \"" + dir + "\"",
        "/zvuninst-temporary-copy ffffffff \"" + dir + "\"",
        "/zvuninst-temporary-copy 4 " + dir,
        "/zvuninst-temporary-copy",
    };
    for (const std::string &argument : arguments) {
        std::string command = "\"C:\\ForgedCopy\\zvuninst.exe\" " + argument;
        std::vector<char> line(command.begin(), command.end());
        line.push_back(0);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        if (!CHECK(CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, "C:\\", &startup,
                                  &process),
                   "cannot start the copy"))
            continue;
        CloseHandle(process.hThread);
        MessageBoxInfo box;
        CHECK(WaitForMessageBox(&box, "ZV-001 Uninstall") && box.icon == MB_ICONERROR &&
                  Has(box.text, "only runs when zvuninst.exe starts it"),
              "%s: box \"%s\"", argument.c_str(), box.text.c_str());
        AnswerMessageBox(box, IDOK);
        DWORD code = 0;
        CHECK(WaitForExit(process.hProcess, &code) && code == 1, "%s: ended with %lu",
              argument.c_str(), code);
        CloseHandle(process.hProcess);
    }
    CHECK(SnapshotTree(dir) == before, "something changed");
    CHECK(UninstallEntryExists(), "the uninstall entry went");
    CHECK(PendingDeletesUnder("C:\\ForgedCopy").empty(), "the forged copy scheduled itself");
    DeleteUninstallEntry();
}

// One directory under other spellings in its log, in its entry and in the place it is run
// from: another drive letter for the same folder, the root of a network share, "\\?\" before
// a drive or a share, a letter outside A to Z in another case, and (in code page 932) a last
// character whose second byte is the backslash's. Every spelling is tied to the directory by
// its identity, and the package and the entry go.
struct Spelling {
    const char *name;
    std::string real, runFrom, recorded;
    std::string entry = ""; // the directory as the entry names it; empty: runFrom
};

static void RemoveSpelled(const Spelling &c)
{
    CHECK(MakeGameDir(c.real, kWithUserFiles), "%s: cannot make %s", c.name, c.real.c_str());
    std::string sep = EndsWithSeparator(c.real.c_str()) ? "" : "\\";
    const std::string &entry = c.entry.empty() ? c.runFrom : c.entry;
    std::string from = entry + (EndsWithSeparator(entry.c_str()) ? "" : "\\");
    CopyFileA(kUninstallerFile, (c.real + sep + "zvuninst.exe").c_str(), FALSE);
    WriteUninstallEntry("\"" + from + "zvuninst.exe\"");
    Tree want = SnapshotTree(c.real);
    want.erase("zvuninst.exe");
    LogInstalled(c.real, c.recorded);

    UninstallRun run = RunUninstaller(c.runFrom, IDYES);
    CHECK(run.reported && run.report.icon == MB_ICONINFORMATION, "%s: final box reads \"%s\"",
          c.name, run.report.text.c_str());
    Tree got = SnapshotTree(c.real);
    CHECK(got == want, "%s after uninstalling:%s", c.name, TreeDifference(want, got).c_str());
    CHECK(!UninstallEntryExists(), "%s: the uninstall entry is still there", c.name);
    DeleteUninstallEntry();
}

static void TestDirectorySpellings()
{
    const Spelling cases[] = {
        {"another letter", "G:\\Letters\\Quake3", "H:\\Letters\\Quake3", "G:\\Letters\\Quake3"},
        {"share root", "S:\\", "\\\\zvhost\\games", "\\\\zvhost\\games"},
        {"entry on another letter", "G:\\Entry\\Quake3", "H:\\Entry\\Quake3", "G:\\Entry\\Quake3",
         "G:\\Entry\\Quake3"},
        {"prefixed", "G:\\Prefixed\\Quake3", "G:\\Prefixed\\Quake3", "\\\\?\\G:\\Prefixed\\Quake3",
         "\\\\?\\G:\\Prefixed\\Quake3"},
        {"prefixed share", "S:\\", "\\\\zvhost\\games", "\\\\?\\UNC\\zvhost\\games",
         "\\\\?\\UNC\\zvhost\\games"},
        {"another case", "G:\\\xC4rger\\Quake3", "G:\\\xC4rger\\Quake3", "G:\\\xE4rger\\Quake3"},
    };
    for (const Spelling &c : cases)
        RemoveSpelled(c);
}

// In code page 932: G:\ソフト\ゲーム表, whose last character is the bytes 0x95 0x5C.
static void TestDoubleByteDirectory()
{
    CHECK(GetACP() == 932, "the program runs in code page %u", GetACP());
    std::string dir = "G:\\\x83\x5C\x83\x74\x83\x67\\\x83\x51\x81\x5B\x83\x80\x95\x5C";
    RemoveSpelled({"code page 932", dir, dir, dir});
}

// zvuninst.exe /S, as a deployment tool runs it: no box, and the started process ends once the
// removal is done, with its outcome as the exit code; the installed uninstaller goes a moment
// later. A command line it does not know changes nothing.
static void TestQuiet()
{
    enum Setup { kPlain, kHeldPack, kHeldLog, kLockedDir, kOtherEntry, kUnknown };
    static const struct {
        Setup setup;
        const char *folder, *arguments;
        DWORD code;
    } cases[] = {
        {kPlain, "QuietPlain", "/S", 0},      {kHeldPack, "QuietHeldPack", "/S", 2},
        {kHeldLog, "QuietHeldLog", "/s", 3},  {kLockedDir, "QuietLocked", "/S", 4},
        {kOtherEntry, "QuietOther", "/S", 5}, {kUnknown, "QuietUnknown", "/quiet", 7},
    };
    for (const auto &c : cases) {
        std::string dir = Prepare(c.folder);
        std::string log = LogInstalled(dir), pack = dir + "\\baseq3\\PakZV01.pk3";
        if (c.setup == kOtherEntry) {
            DeleteFileA(log.c_str());
            WriteUninstallEntry("C:\\Games\\Quake3\\zvuninst.exe");
        }
        Tree before = SnapshotTree(dir);
        HANDLE held = CreateFileA(c.setup == kHeldPack ? pack.c_str() : log.c_str(), GENERIC_READ,
                                  0, NULL, OPEN_EXISTING, 0, NULL);
        if (c.setup != kHeldPack && c.setup != kHeldLog && held != INVALID_HANDLE_VALUE) {
            CloseHandle(held);
            held = INVALID_HANDLE_VALUE;
        }
        GameDir game;
        DWORD error, code = 99;
        HANDLE lock = c.setup == kLockedDir && OpenGameDir(dir.c_str(), &game, &error)
                          ? LockGameLog(&game, 0)
                          : NULL;
        bool ended = RunUninstallerWith(dir, c.arguments, &code);
        bool entry = UninstallEntryExists(), licence = FileExists(dir + "\\ZV-001.txt");
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        if (lock)
            UnlockGameLog(lock);
        CHECK(ended && code == c.code, "%s: ended %d with %lu", c.folder, ended, code);
        CHECK(FindTopWindow(NULL, "ZV-001 Uninstall") == NULL, "%s: a box is shown", c.folder);
        CHECK(entry == (c.code != 0) && licence == (c.code > 2),
              "%s: at the end the entry is there %d, the licence %d", c.folder, entry, licence);
        if (c.code == 0)
            CHECK(WaitUntil([&] { return !FileExists(dir + "\\zvuninst.exe"); }, 10000) &&
                      !FileExists(pack) && !FileExists(log),
                  "%s: the package or the uninstaller stayed", c.folder);
        else if (c.code == 2)
            CHECK(FileExists(pack) && FileExists(dir + "\\zvuninst.exe"), "%s: files went",
                  c.folder);
        else
            CHECK(SnapshotTree(dir) == before, "%s: the directory changed", c.folder);
        DeleteUninstallEntry();
    }
}

// %TEMP% in a folder whose name the ANSI code page cannot spell (Cyrillic under Wine's default
// code page 1252): the copy is made there, started and removes the package all the same.
static void TestTempOutsideCodePage()
{
    std::string dir = Prepare("WideTemp");
    LogInstalled(dir);
    const WCHAR temp[] = L"C:\\\x0422\x0435\x0441\x0442"; // "Тест"
    BOOL lost = FALSE;
    char ansi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, temp, -1, ansi, sizeof ansi, NULL, &lost);
    CHECK(lost && CreateDirectoryW(temp, NULL), "%ls is not a folder outside code page %u", temp,
          GetACP());
    WCHAR old[2][MAX_PATH];
    const WCHAR *names[] = {L"TEMP", L"TMP"};
    for (int i = 0; i < 2; i++) {
        GetEnvironmentVariableW(names[i], old[i], MAX_PATH);
        SetEnvironmentVariableW(names[i], temp);
    }
    UninstallRun run = RunUninstaller(dir, IDYES);
    for (int i = 0; i < 2; i++)
        SetEnvironmentVariableW(names[i], old[i]);
    CHECK(run.asked && run.reported && run.report.icon == MB_ICONINFORMATION && run.copyEnded,
          "asked %d, reported %d, box \"%s\"", run.asked, run.reported, run.report.text.c_str());
    CHECK(!FileExists(dir + "\\ZV-001.txt") && !FileExists(dir + "\\zvuninst.exe") &&
              !UninstallEntryExists(),
          "the package stayed");
    // The copy ran from a folder of its own there.
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((std::wstring(temp) + L"\\zvuninst-*").c_str(), &found);
    CHECK(find != INVALID_HANDLE_VALUE, "no copy's folder in the temporary folder");
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
}

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], "cp932") == 0) {
        TestDoubleByteDirectory();
        return CheckDone();
    }
    TestOneInstallation();
    TestTwoInstallations();
    TestOtherPackagesKept();
    TestHostileEntries();
    TestNothingListed();
    TestAnswerNo();
    TestEntryOwner();
    TestDirectoryLink();
    TestFileLink();
    TestLockedPack();
    TestLargeLog();
    TestUnreadableLog();
    TestBusyDirectory();
    TestLogRewrite();
    TestDriveRoot();
    TestDirectorySpellings();
    TestForgedCopy();
    TestQuiet();
    TestTempOutsideCodePage();
    return CheckDone();
}
