// Which recorded paths the uninstaller may remove: only the licence text and the pack slots of
// its own directory, whatever spelling a changed log uses to reach further.
#include "check.h"
#include "uninstall/package_path.h"

#include <string.h>
#include <string>

static void TestNormalise()
{
    static const struct {
        const char *path;
        bool ok;
        const char *want;
    } cases[] = {
        {"C:\\Games\\Quake3", true, "C:\\Games\\Quake3"},
        {"C:/Games//Quake3/", true, "C:\\Games\\Quake3"},
        {"C:\\Games\\.\\Quake3\\baseq3\\..", true, "C:\\Games\\Quake3"},
        {"C:\\a\\..\\..", false, ""},
        {"C:\\..", false, ""},
        {"C:\\a\\..", true, "C:\\"},
        {"C:\\", true, "C:\\"},
        {"c:\\x\\...\\y", true, "c:\\x\\...\\y"},
        {"C:relative\\path", false, ""},
        {"\\rooted\\path", false, ""},
        {"Games\\Quake3", false, ""},
        {"\\\\server\\share\\q3\\..\\x", true, "\\\\server\\share\\x"},
        {"\\\\server\\share\\..", false, ""},
        {"\\\\server\\\\share\\x", false, ""},
        {"", false, ""},
    };
    for (const auto &c : cases) {
        char path[260];
        strcpy(path, c.path);
        bool ok = NormalisePath(path);
        CHECK(ok == c.ok, "\"%s\": %d", c.path, ok);
        if (ok && c.ok)
            CHECK(strcmp(path, c.want) == 0, "\"%s\" became \"%s\"", c.path, path);
    }
}

static void TestPackageFiles()
{
    static const struct {
        const char *dir, *path;
        bool ours;
        const char *checked;
    } cases[] = {
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\ZV-001.txt", true,
         "C:\\Games\\Quake3\\ZV-001.txt"},
        {"C:\\Games\\Quake3", "c:\\GAMES\\quake3\\zv-001.TXT", true,
         "c:\\GAMES\\quake3\\zv-001.TXT"},
        {"c:\\games\\quake3\\", "C:\\Games\\Quake3\\baseq3\\PakZV01.pk3", true,
         "C:\\Games\\Quake3\\baseq3\\PakZV01.pk3"},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\BASEQ3\\pakzv99.PK3", true,
         "C:\\Games\\Quake3\\BASEQ3\\pakzv99.PK3"},
        {"C:\\Games\\Quake3", "C:/Games/Quake3//baseq3/PakZV02.pk3", true,
         "C:\\Games\\Quake3\\baseq3\\PakZV02.pk3"},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\..\\ZV-001.txt", true,
         "C:\\Games\\Quake3\\ZV-001.txt"},
        {"C:\\", "C:\\ZV-001.txt", true, "C:\\ZV-001.txt"},
        {"\\\\pc\\games\\q3", "\\\\pc\\games\\q3\\baseq3\\PakZV10.pk3", true,
         "\\\\pc\\games\\q3\\baseq3\\PakZV10.pk3"},
        // Other names, other places, other spellings of our names.
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\PakZV00.pk3", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\PakZV100.pk3", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\PakZV1.pk3", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\PakZVa1.pk3", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\pak0.pk3", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\PakZV01.pk3", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\ZV-001.txt", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\quake3.exe", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\ZVFiles.log", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\zvuninst.exe", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\ZV-001.txt.", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\ZV-001.txt:hidden", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\ZV-001.txt\\..\\quake3.exe", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3x\\ZV-001.txt", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\ZV-001.txt", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\..\\ZV-001.txt", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\..\\..\\..\\..\\ZV-001.txt", false, ""},
        {"C:\\Games\\Quake3", "D:\\Games\\Quake3\\ZV-001.txt", false, ""},
        {"C:\\Games\\Quake3", "C:\\Windows\\win.ini", false, ""},
        {"C:\\Games\\Quake3", "ZV-001.txt", false, ""},
        {"C:\\Games\\Quake3", "baseq3\\PakZV01.pk3", false, ""},
        {"C:\\Games\\Quake3", "", false, ""},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3", false, ""},
        {"Games\\Quake3", "Games\\Quake3\\ZV-001.txt", false, ""},
    };
    for (const auto &c : cases) {
        char checked[260] = "unchanged";
        bool ours = IsPackageFile(c.dir, c.path, checked, sizeof checked);
        CHECK(ours == c.ours, "\"%s\" in \"%s\": %d", c.path, c.dir, ours);
        if (ours && c.ours)
            CHECK(strcmp(checked, c.checked) == 0, "\"%s\" checked as \"%s\"", c.path, checked);
    }
}

// Paths too long for the checked copy are refused, never cut into a name of ours.
static void TestLongPaths()
{
    std::string dir = "C:\\" + std::string(230, 'd');
    std::string path = dir + "\\baseq3\\PakZV01.pk3";
    char checked[260];
    CHECK(path.size() < sizeof checked, "path too long for the case");
    CHECK(IsPackageFile(dir.c_str(), path.c_str(), checked, sizeof checked), "260-byte fit");
    CHECK(!IsPackageFile(dir.c_str(), path.c_str(), checked, path.size()),
          "a path one byte too long for the buffer was taken");
    // Longer than the system's limit before its ".." part takes the long name away.
    std::string deep = dir + "\\" + std::string(300, 'x') + "\\..\\ZV-001.txt";
    char big[1024] = "";
    CHECK(IsPackageFile(dir.c_str(), deep.c_str(), big, sizeof big) &&
              strcmp(big, (dir + "\\ZV-001.txt").c_str()) == 0,
          "long path with a .. part refused or checked as \"%s\"", big);
    std::string longDir = "C:\\" + std::string(300, 'd');
    CHECK(!IsPackageFile(longDir.c_str(), (longDir + "\\ZV-001.txt").c_str(), big, sizeof big),
          "a directory longer than the system's limit was accepted");
}

int main()
{
    TestNormalise();
    TestPackageFiles();
    TestLongPaths();
    return CheckDone();
}
