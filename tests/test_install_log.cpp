// The install log read and appended to through its four operations, checked in the file itself.
#include "check.h"
#include "fixture_files.h"
#include "fixture_game.h"
#include "common/log_file.h"
#include "common/program_dir.h"
#include "install/install_log.h"

#include <string>
#include <vector>

static std::string Joined(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "|";
    return text;
}

static std::string WindowsDir()
{
    char dir[MAX_PATH];
    UINT n = GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir, n < sizeof dir ? n : 0);
}

// Points the log at dir, made full and opened as the installation does.
static void SetLogDir(const std::string &dir)
{
    char *full = FullDirectory(dir.c_str());
    GameDir opened;
    DWORD error = 0;
    bool ok = full && OpenGameDir(full, &opened, &error);
    CHECK(ok, "%s could not be opened: %lu", dir.c_str(), error);
    SetLogPath(ok ? &opened : NULL);
    free(full);
}

// The log of dir, for the appends that follow: its path set and its directory's lock taken, as
// the installation does.
static void UseLog(const std::string &dir)
{
    SetLogDir(dir);
    CHECK(LockLog(), "the lock of %s was not taken", dir.c_str());
}

// Before SetLogPath nothing is read or written, wherever a log might go.
static void TestWithoutLogPath()
{
    CHECK(!IsPackageInstalled(kPackageName), "a package was found without a log");
    RecordPackage(kPackageName);
    CHECK(!RecordInstalledFile(kPackageName, "C:\\x"), "a file was recorded without a log");
    CHECK(!FileExists(kLogFile) && !FileExists(LogPath(WindowsDir())),
          "a log was written without a log path");
}

// A fresh directory: no question, then the lists are created and grow at their ends.
static void TestAppending()
{
    std::string dir = CurrentDir() + "\\fresh";
    CreateDirectoryA(dir.c_str(), NULL);
    SetLogDir(dir);
    RecordPackage(kPackageName);
    CHECK(!FileExists(LogPath(dir)), "an append was made without the lock");
    CHECK(LockLog(), "the lock was not taken");
    CHECK(!IsPackageInstalled(kPackageName), "a missing log names the package");
    RecordPackage(kPackageName);
    CHECK(RecordInstalledFile(kPackageName, "C:\\Games\\Quake3\\ZV-001.txt"),
          "the first file entry was not written");
    CHECK(IsPackageInstalled(kPackageName), "the recorded package is not found");
    RecordPackage("Another Package");
    RecordInstalledFile(kPackageName, "C:\\Games\\Quake3\\baseq3\\PakZV01.pk3");
    CHECK_TEXT(Joined(NonBlankLines(LogPath(dir))),
               "[ZV Packages]|NumberInstalled=2|1=ZV-001 Strider for Quake3|2=Another Package|"
               "[ZV-001 Strider for Quake3]|Files=2|1=C:\\Games\\Quake3\\ZV-001.txt|"
               "2=C:\\Games\\Quake3\\baseq3\\PakZV01.pk3|");
}

// Which package lists name the package; each list is a whole log file.
static void TestLookups()
{
    static const struct {
        const char *log; // null: no file at all
        bool installed;
    } cases[] = {
        {NULL, false},
        {"", false},
        {"[ZV Packages]\r\nNumberInstalled=3\r\n1=ZV-001 Strider for Quake3\r\n2=Other\r\n"
         "3=Another\r\n",
         true},
        {"[ZV Packages]\r\nNumberInstalled=3\r\n1=Other\r\n2=Another\r\n"
         "3=ZV-001 Strider for Quake3\r\n",
         true},
        {"[zv packages]\r\nnumberinstalled=1\r\n1=zv-001 STRIDER FOR quake3\r\n", true},
        // Entries above the count are installations too, as the uninstaller reads them.
        {"[ZV Packages]\r\nNumberInstalled=0\r\n1=ZV-001 Strider for Quake3\r\n", true},
        {"[ZV Packages]\r\n1=ZV-001 Strider for Quake3\r\n", true},
        {"[ZV Packages]\r\nNumberInstalled=2\r\n1=Other\r\n3=ZV-001 Strider for Quake3\r\n", true},
        {"[ZV Packages]\r\nNumberInstalled=1\r\n1=ZV-001 Strider for Quake\r\n", false},
        {"[ZV-001 Strider for Quake3]\r\nFiles=1\r\n1=C:\\ZV-001.txt\r\n", false},
        // A damaged count: answered from the entries there, without looking up every number.
        {"[ZV Packages]\r\nNumberInstalled=2000000000\r\n1=Other\r\n"
         "7=ZV-001 Strider for Quake3\r\n",
         true},
        {"[ZV Packages]\r\nNumberInstalled=2000000000\r\n1=Other\r\n", false},
        {"[ZV Packages]\r\nNumberInstalled=5\r\n 5 = ZV-001 Strider for Quake3\r\n", true},
        // Only the first section of the name counts, as for the profile functions.
        {"[ZV Packages]\r\nNumberInstalled=1\r\n1=Other\r\n[ZV Packages]\r\n"
         "1=ZV-001 Strider for Quake3\r\n",
         false},
    };
    std::string dir = CurrentDir() + "\\lookup";
    CreateDirectoryA(dir.c_str(), NULL);
    UseLog(dir);
    int number = 0;
    for (const auto &c : cases) {
        number++;
        DeleteFileA(LogPath(dir).c_str());
        if (c.log)
            WriteBytes(LogPath(dir), c.log);
        CHECK(IsPackageInstalled(kPackageName) == c.installed, "list %d: installed is %d", number,
              !c.installed);
    }
    // A damaged count over a list far larger than any read buffer: still one answer, at once.
    std::string large = "[ZV Packages]\r\nNumberInstalled=2000000000\r\n";
    for (int k = 1; k <= 20000; k++)
        large += std::to_string(k) + "=Another Package Of Some Length\r\n";
    WriteBytes(dir + "\\ZVFiles.log", large + "20001=ZV-001 Strider for Quake3\r\n");
    CHECK(IsPackageInstalled(kPackageName), "the last entry of a large list is not found");
    WriteBytes(dir + "\\ZVFiles.log", large);
    CHECK(!IsPackageInstalled(kPackageName), "a large list without the package names it");
    // The next entry follows the count that is there, also after a gap.
    WriteBytes(
        LogPath(dir),
        "[ZV Packages]\r\nNumberInstalled=2\r\n1=Other\r\n\r\n[ZV-001 Strider for Quake3]\r\n"
        "Files=2\r\n1=C:\\a.txt\r\n");
    RecordPackage(kPackageName);
    RecordInstalledFile(kPackageName, "C:\\b.pk3");
    std::string log = LogPath(dir);
    char value[260];
    GetPrivateProfileStringA(kPackageListSection, "3", "", value, sizeof value, log.c_str());
    CHECK_TEXT(value, kPackageName);
    CHECK(GetPrivateProfileIntA(kPackageListSection, kPackageCountKey, 0, log.c_str()) == 3,
          "the package count did not grow to 3");
    GetPrivateProfileStringA(kPackageName, "3", "", value, sizeof value, log.c_str());
    CHECK_TEXT(value, "C:\\b.pk3");
    CHECK(GetPrivateProfileIntA(kPackageName, kFileCountKey, 0, log.c_str()) == 3,
          "the file count did not grow to 3");
    // A count below the section's entries: the pack's entry is never written over.
    WriteBytes(log, "[ZV-001 Strider for Quake3]\r\nFiles=1\r\n1=C:\\a.txt\r\n2=C:\\a.pk3\r\n");
    RecordInstalledFile(kPackageName, "C:\\b.txt");
    CHECK(NonBlankLines(log) ==
              std::vector<std::string>({"[ZV-001 Strider for Quake3]", "Files=3", "1=C:\\a.txt",
                                        "2=C:\\a.pk3", "3=C:\\b.txt"}),
          "the section lost an entry: %s", Joined(NonBlankLines(log)).c_str());
}

// Appends keep every other byte of the log: the count replaced where it stands, the entry
// after the section's last line, a new section at the end, whatever the line ends.
static void TestAppendPlaces()
{
    static const struct {
        const char *before;
        const char *after; // after RecordPackage("P")
    } cases[] = {
        {"", "[ZV Packages]\r\nNumberInstalled=1\r\n1=P\r\n"},
        {"; a comment\n[Other]\nx=1",
         "; a comment\n[Other]\nx=1\r\n[ZV Packages]\r\nNumberInstalled=1\r\n1=P\r\n"},
        {"[zv packages]\nnumberinstalled = 1\n1=Q\n\n[Other]\nx=1\n",
         "[zv packages]\nNumberInstalled=2\r\n1=Q\n2=P\r\n\n[Other]\nx=1\n"},
        // Entries above the count, another tool's or a killed run's, are never written over.
        {"[ZV Packages]\r\n1=Q\r\n2=R",
         "[ZV Packages]\r\n1=Q\r\n2=R\r\nNumberInstalled=3\r\n3=P\r\n"},
        {"[ZV Packages]\r\nNumberInstalled=1\r\n2=Other Pack\r\n",
         "[ZV Packages]\r\nNumberInstalled=3\r\n2=Other Pack\r\n3=P\r\n"},
        {"[ZV Packages]", "[ZV Packages]\r\nNumberInstalled=1\r\n1=P\r\n"},
    };
    std::string dir = CurrentDir() + "\\places";
    CreateDirectoryA(dir.c_str(), NULL);
    UseLog(dir);
    for (const auto &c : cases) {
        WriteBytes(dir + "\\ZVFiles.log", c.before);
        RecordPackage("P");
        std::string after;
        ReadWhole(dir + "\\ZVFiles.log", &after);
        CHECK_TEXT(after, c.after);
    }
    CHECK(!LogAppendFailed(), "an append failed");
    CHECK(!FileExists(dir + "\\ZVFiles.lo~"), "the temporary log was left behind");
}

// A log that cannot be replaced keeps every byte, and the failure is known: read-only, held
// open without sharing, a directory of that name, or a second name of another file, whose
// contents must not be copied out into the game directory.
static void TestUnwritableLogs()
{
    std::string dir = CurrentDir() + "\\unwritable", log = dir + "\\ZVFiles.log";
    CreateDirectoryA(dir.c_str(), NULL);
    const std::string earlier = "[ZV Packages]\r\nNumberInstalled=1\r\n1=Other\r\n";
    std::string after;
    std::string other = dir + "\\elsewhere.txt";
    WriteBytes(other, earlier);
    const std::string full = earlier + "[" + kPackageName + "]\r\nFiles=999999999\r\n";
    // 0 read-only, 1 held open, 2 a directory, 3 a hard link, 4 a count that one more would
    // take past what the readers take, 5 a symbolic link to another file (last: Wine's
    // DeleteFileA would remove the file it leads to).
    for (int kind = 0; kind < 6; kind++) {
        SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(log.c_str());
        RemoveDirectoryA(log.c_str());
        HANDLE held = INVALID_HANDLE_VALUE;
        if (kind == 2) {
            CreateDirectoryA(log.c_str(), NULL);
        } else {
            WriteBytes(log, earlier);
            if (kind == 0)
                SetFileAttributesA(log.c_str(), FILE_ATTRIBUTE_READONLY);
            else if (kind == 1)
                held = CreateFileA(log.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        }
        if (kind == 3) {
            DeleteFileA(log.c_str());
            CHECK(CreateHardLinkA(log.c_str(), other.c_str(), NULL), "no hard link: %lu",
                  GetLastError());
        } else if (kind == 4) {
            WriteBytes(log, full);
        } else if (kind == 5) {
            DeleteFileA(log.c_str());
            CHECK(MakeUnixLink(other, log), "no symbolic link");
        }
        UseLog(dir);
        if (kind != 4) // the package list has room
            RecordPackage(kPackageName);
        CHECK(!RecordInstalledFile(kPackageName, "C:\\x.pk3"), "kind %d: a file was recorded",
              kind);
        CHECK(LogAppendFailed(), "kind %d: the failure is not known", kind);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        if (kind == 2)
            CHECK(GetFileAttributesA(log.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
                  "the directory ZVFiles.log is gone");
        else
            CHECK(ReadWhole(log, &after) && after == (kind == 4 ? full : earlier),
                  "kind %d: the log changed: %s", kind, after.c_str());
        CHECK(!FileExists(dir + "\\ZVFiles.lo~"), "kind %d: the temporary log was left behind",
              kind);
    }
    CHECK(ReadWhole(other, &after) && after == earlier, "the linked file changed");
    // A new log path forgets an earlier failure.
    SetLogDir(dir);
    CHECK(!LogAppendFailed(), "a failure outlived its log path");
}

struct Reader {
    std::string path;
    HANDLE opened;
};

// An antivirus or indexer: opens the file just written, sharing everything, and closes it a
// moment later.
static DWORD WINAPI ReadForAMoment(void *param)
{
    Reader *reader = (Reader *)param;
    HANDLE file = CreateFileA(reader->path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, 0, NULL);
    SetEvent(reader->opened);
    Sleep(500);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return file != INVALID_HANDLE_VALUE;
}

// Windows will not replace an open file: an append that meets the log open for a moment waits
// for it and is written. (One held open for longer is a log that cannot be replaced, above.)
static void TestLogOpenForAMoment()
{
    std::string dir = CurrentDir() + "\\moment", log = dir + "\\ZVFiles.log";
    CreateDirectoryA(dir.c_str(), NULL);
    WriteBytes(log, "[ZV Packages]\r\nNumberInstalled=1\r\n1=Other\r\n");
    UseLog(dir);
    Reader reader = {log, CreateEventA(NULL, TRUE, FALSE, NULL)};
    HANDLE thread = CreateThread(NULL, 0, ReadForAMoment, &reader, 0, NULL);
    WaitForSingleObject(reader.opened, 10000);
    RecordPackage(kPackageName);
    DWORD opened = 0;
    WaitForSingleObject(thread, 30000);
    GetExitCodeThread(thread, &opened);
    CHECK(opened, "the reader did not open the log");
    CHECK(!LogAppendFailed() &&
              NonBlankLines(log) ==
                  std::vector<std::string>({"[ZV Packages]", "NumberInstalled=2", "1=Other",
                                            "2=" + std::string(kPackageName)}),
          "the append did not wait for the reader: %s", Joined(NonBlankLines(log)).c_str());
    CloseHandle(thread);
    CloseHandle(reader.opened);
}

struct LockHolder {
    std::string dir;
    HANDLE held, release;
    DWORD hold; // ms to hold the lock, or INFINITE until release is set
};

// Another editor: takes the log's lock, adds an entry of its own while holding it, and lets
// go after a while or when told.
static DWORD WINAPI HoldLock(void *param)
{
    LockHolder *holder = (LockHolder *)param;
    GameDir dir;
    DWORD error;
    HANDLE lock = OpenGameDir(holder->dir.c_str(), &dir, &error) ? LockGameLog(&dir, 0) : NULL;
    if (lock)
        LogFile(holder->dir + "\\ZVFiles.log", "Other", "C:\\other.pk3");
    SetEvent(holder->held);
    WaitForSingleObject(holder->release, holder->hold == INFINITE ? 30000 : holder->hold);
    UnlockGameLog(lock);
    return lock != NULL;
}

// Two editors one after the other: the installation's lock waits for the other editor's and
// keeps its entry; a lock held past the wait is not had, and the log stays as it was.
static void TestLockedLog()
{
    std::string dir = CurrentDir() + "\\locked", log = dir + "\\ZVFiles.log";
    CreateDirectoryA(dir.c_str(), NULL);
    for (DWORD hold : {(DWORD)1000, (DWORD)INFINITE}) {
        DeleteFileA(log.c_str());
        LockHolder holder = {dir, CreateEventA(NULL, TRUE, FALSE, NULL),
                             CreateEventA(NULL, TRUE, FALSE, NULL), hold};
        HANDLE thread = CreateThread(NULL, 0, HoldLock, &holder, 0, NULL);
        WaitForSingleObject(holder.held, 10000);
        SetLogDir(dir);
        bool locked = LockLog();
        bool recorded = RecordInstalledFile(kPackageName, "C:\\x.pk3");
        SetEvent(holder.release);
        UnlockLog();
        DWORD took = 0;
        WaitForSingleObject(thread, 30000);
        GetExitCodeThread(thread, &took);
        CHECK(took, "the other editor did not get the lock");
        std::vector<std::string> others = {"[Other]", "Files=1", "1=C:\\other.pk3"};
        std::vector<std::string> both = others;
        for (const char *line : {"[ZV-001 Strider for Quake3]", "Files=1", "1=C:\\x.pk3"})
            both.push_back(line);
        if (hold == INFINITE)
            CHECK(!locked && !recorded && LogAppendFailed() && NonBlankLines(log) == others,
                  "an append went ahead of a lock held past the wait");
        else
            CHECK(locked && recorded && NonBlankLines(log) == both,
                  "an entry was lost to the other editor");
        CloseHandle(thread);
        CloseHandle(holder.held);
        CloseHandle(holder.release);
    }
}

// The log goes into the game directory however it was typed: with a trailing backslash, or
// relative to the current directory (Windows resolves a relative profile path against the
// Windows directory).
static void TestLogPlaces()
{
    static const struct {
        const char *typed;
        const char *place; // relative to the current directory
    } cases[] = {
        {"slash\\", "slash\\ZVFiles.log"},
        {"relative", "relative\\ZVFiles.log"},
        {".\\dotted\\..\\dotted", "dotted\\ZVFiles.log"},
    };
    for (const auto &c : cases) {
        std::string place = CurrentDir() + "\\" + c.place;
        CreateDirectoryA(place.substr(0, place.rfind('\\')).c_str(), NULL);
        UseLog(c.typed);
        RecordPackage(kPackageName);
        CHECK(GetPrivateProfileIntA(kPackageListSection, kPackageCountKey, 0, place.c_str()) == 1,
              "\"%s\": no log at %s", c.typed, place.c_str());
        std::string stray = WindowsDir() + "\\" + c.place;
        CHECK(!FileExists(stray), "\"%s\": a log went to %s", c.typed, stray.c_str());
    }
    // Relative to the directory current when the path is set, not when the log is written.
    std::string before = CurrentDir();
    CreateDirectoryA("later", NULL);
    UseLog("later");
    SetCurrentDirectoryA("C:\\");
    RecordPackage(kPackageName);
    SetCurrentDirectoryA(before.c_str());
    CHECK(FileExists(LogPath(before + "\\later")), "the log moved with the current directory");
}

int main()
{
    TestWithoutLogPath();
    TestAppending();
    TestLookups();
    TestAppendPlaces();
    TestUnwritableLogs();
    TestLogOpenForAMoment();
    TestLockedLog();
    TestLogPlaces();
    return CheckDone();
}
