// The install log read and appended to through its four operations, checked in the file itself.
#include "check.h"
#include "fixture.h"
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
    SetLogPath(dir.c_str());
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
        {"[ZV Packages]\r\nNumberInstalled=0\r\n1=ZV-001 Strider for Quake3\r\n", false},
        {"[ZV Packages]\r\n1=ZV-001 Strider for Quake3\r\n", false},
        {"[ZV Packages]\r\nNumberInstalled=2\r\n1=Other\r\n3=ZV-001 Strider for Quake3\r\n", false},
        {"[ZV Packages]\r\nNumberInstalled=1\r\n1=ZV-001 Strider for Quake\r\n", false},
        {"[ZV-001 Strider for Quake3]\r\nFiles=1\r\n1=C:\\ZV-001.txt\r\n", false},
        // A damaged count: answered from the entries there, without looking up every number.
        {"[ZV Packages]\r\nNumberInstalled=2000000000\r\n1=Other\r\n"
         "7=ZV-001 Strider for Quake3\r\n",
         true},
        {"[ZV Packages]\r\nNumberInstalled=2000000000\r\n1=Other\r\n", false},
        {"[ZV Packages]\r\nNumberInstalled=5\r\n 5 = ZV-001 Strider for Quake3\r\n", true},
    };
    std::string dir = CurrentDir() + "\\lookup";
    CreateDirectoryA(dir.c_str(), NULL);
    SetLogPath(dir.c_str());
    int number = 0;
    for (const auto &c : cases) {
        number++;
        DeleteFileA(LogPath(dir).c_str());
        if (c.log)
            WriteBytes(LogPath(dir), c.log);
        CHECK(IsPackageInstalled(kPackageName) == c.installed, "list %d: installed is %d", number,
              !c.installed);
    }
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
        SetLogPath(c.typed);
        RecordPackage(kPackageName);
        CHECK(GetPrivateProfileIntA(kPackageListSection, kPackageCountKey, 0, place.c_str()) == 1,
              "\"%s\": no log at %s", c.typed, place.c_str());
        std::string stray = WindowsDir() + "\\" + c.place;
        CHECK(!FileExists(stray), "\"%s\": a log went to %s", c.typed, stray.c_str());
    }
    // Relative to the directory current when the path is set, not when the log is written.
    std::string before = CurrentDir();
    CreateDirectoryA("later", NULL);
    SetLogPath("later");
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
    TestLogPlaces();
    return CheckDone();
}
