// Which recorded paths name the uninstaller's files: only the licence text and the pack slots
// of its own directory, whatever spelling a changed log uses to reach further, read right in
// double-byte code pages.
#include "check.h"
#include "fuzz/package_decision.h"
#include "uninstall/package_path.h"

#include <string.h>
#include <string>

static const unsigned kWestern = 1252, kJapanese = 932;

static void TestNormalise()
{
    static const struct {
        const char *path;
        unsigned codePage;
        bool ok;
        const char *want;
    } cases[] = {
        {"C:\\Games\\Quake3", kWestern, true, "C:\\Games\\Quake3"},
        {"C:/Games//Quake3/", kWestern, true, "C:\\Games\\Quake3"},
        {"C:\\Games\\.\\Quake3\\baseq3\\..", kWestern, true, "C:\\Games\\Quake3"},
        {"C:\\a\\..\\..", kWestern, false, ""},
        {"C:\\..", kWestern, false, ""},
        {"C:\\a\\..", kWestern, true, "C:\\"},
        {"C:\\", kWestern, true, "C:\\"},
        {"c:\\x\\...\\y", kWestern, true, "c:\\x\\...\\y"},
        {"C:relative\\path", kWestern, false, ""},
        {"\\rooted\\path", kWestern, false, ""},
        {"Games\\Quake3", kWestern, false, ""},
        {"\\\\server\\share\\q3\\..\\x", kWestern, true, "\\\\server\\share\\x"},
        {"\\\\server\\share\\..", kWestern, false, ""},
        {"\\\\server\\\\share\\x", kWestern, false, ""},
        {"", kWestern, false, ""},
        // 0x83 0x5C is one Japanese character whose second byte is a backslash: a name ending
        // in it followed by ".." is one part, not a part and "..".
        {"C:\\\x83\\..\\x", kJapanese, true, "C:\\\x83\\..\\x"},
        {"C:\\\x83\\..\\x", kWestern, true, "C:\\x"},
        {"C:\\a\\\x83\\\\..", kJapanese, true, "C:\\a"},
        {"C:\\\x83\\\\x\\..", kJapanese, true, "C:\\\x83\\"},
        {"\\\\srv\x83\\\\share\\x", kJapanese, true, "\\\\srv\x83\\\\share\\x"},
        // "\\?\" spellings, as an earlier installer recorded what was typed, take their plain
        // forms.
        {"\\\\?\\C:\\Games\\.\\Quake3", kWestern, true, "C:\\Games\\Quake3"},
        {"\\\\?\\c:", kWestern, true, "c:\\"},
        {"\\\\?\\C:\\..", kWestern, false, ""},
        {"\\\\?\\UNC\\server\\share\\q3\\..\\x", kWestern, true, "\\\\server\\share\\x"},
        {"\\\\?\\UNC\\server", kWestern, false, ""},
        {"\\\\?\\C:\\\x83\\\\..", kJapanese, true, "C:\\"},
    };
    for (const auto &c : cases) {
        char path[260];
        strcpy(path, c.path);
        bool ok = NormalisePath(path, c.codePage);
        CHECK(ok == c.ok, "\"%s\" in %u: %d", c.path, c.codePage, ok);
        if (ok && c.ok)
            CHECK(strcmp(path, c.want) == 0, "\"%s\" became \"%s\"", c.path, path);
    }
}

static void TestPackageFiles()
{
    static const struct {
        const char *dir, *path;
        int file;
    } cases[] = {
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\ZV-001.txt", 0},
        {"C:\\Games\\Quake3", "c:\\GAMES\\quake3\\zv-001.TXT", 0},
        {"c:\\games\\quake3\\", "C:\\Games\\Quake3\\baseq3\\PakZV01.pk3", 1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\BASEQ3\\pakzv99.PK3", 99},
        {"C:\\Games\\Quake3", "C:/Games/Quake3//baseq3/PakZV02.pk3", 2},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\..\\ZV-001.txt", 0},
        {"C:\\", "C:\\ZV-001.txt", 0},
        // A game in a drive's root: the directory as "G:" or "G:\".
        {"G:", "G:\\ZV-001.txt", 0},
        {"G:", "g:\\baseq3\\PakZV07.pk3", 7},
        {"G:\\", "G:\\baseq3\\PakZV07.pk3", 7},
        {"G:", "G:ZV-001.txt", -1},
        {"G:", "H:\\ZV-001.txt", -1},
        {"\\\\pc\\games\\q3", "\\\\pc\\games\\q3\\baseq3\\PakZV10.pk3", 10},
        {"C:\\Games\\Quake3", "\\\\?\\C:\\Games\\Quake3\\ZV-001.txt", 0},
        {"\\\\?\\C:\\Games\\Quake3", "c:\\games\\quake3\\baseq3\\PakZV03.pk3", 3},
        {"\\\\pc\\games\\q3", "\\\\?\\UNC\\pc\\games\\q3\\baseq3\\PakZV10.pk3", 10},
        {"\\\\?\\UNC\\pc\\games\\q3", "\\\\pc\\games\\q3\\ZV-001.txt", 0},
        {"C:\\Games\\Quake3", "\\\\?\\D:\\Games\\Quake3\\ZV-001.txt", -1},
        {"C:\\Games\\Quake3", "\\\\?\\C:\\Games\\Quake3\\..\\ZV-001.txt", -1},
        // Other names, other places, other spellings of our names.
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\PakZV00.pk3", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\PakZV100.pk3", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\PakZV1.pk3", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\PakZVa1.pk3", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\pak0.pk3", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\PakZV01.pk3", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\ZV-001.txt", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\quake3.exe", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\ZVFiles.log", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\zvuninst.exe", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\ZV-001.txt.", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\ZV-001.txt:hidden", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\ZV-001.txt\\..\\quake3.exe", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3x\\ZV-001.txt", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\ZV-001.txt", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\..\\ZV-001.txt", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3\\baseq3\\..\\..\\..\\..\\ZV-001.txt", -1},
        {"C:\\Games\\Quake3", "D:\\Games\\Quake3\\ZV-001.txt", -1},
        {"C:\\Games\\Quake3", "C:\\Windows\\win.ini", -1},
        {"C:\\Games\\Quake3", "\\\\host\\share\\x", -1},
        {"C:\\Games\\Quake3", "\\\\host\\share\\Games\\Quake3\\ZV-001.txt", -1},
        {"C:\\Games\\Quake3", "ZV-001.txt", -1},
        {"C:\\Games\\Quake3", "baseq3\\PakZV01.pk3", -1},
        {"C:\\Games\\Quake3", "", -1},
        {"C:\\Games\\Quake3", "C:\\Games\\Quake3", -1},
        {"Games\\Quake3", "Games\\Quake3\\ZV-001.txt", -1},
    };
    for (const auto &c : cases) {
        int file = PackageFileIn(c.dir, c.path, kWestern);
        CHECK(file == c.file, "\"%s\" in \"%s\": %d", c.path, c.dir, file);
    }
}

// In a double-byte code page a character's second byte never folds and never separates.
static void TestDoubleByteNames()
{
    static const struct {
        const char *dir, *path;
        unsigned codePage;
        int file;
    } cases[] = {
        {"C:\\\x83\\", "C:\\\x83\\\\ZV-001.txt", kJapanese, 0},
        // The directory's last character ends in 0x5C: the file beside it is not inside it.
        {"C:\\\x83\\", "C:\\\x83\\ZV-001.txt", kJapanese, -1},
        // 0x83 0x41 and 0x83 0x61 are two characters, though 0x41 and 0x61 are A and a.
        {"C:\\\x83\x41", "C:\\\x83\x61\\ZV-001.txt", kJapanese, -1},
        {"C:\\\x83\x41", "C:\\\x83\x61\\ZV-001.txt", kWestern, 0},
        {"C:\\\x83\x41", "c:\\\x83\x41\\zv-001.txt", kJapanese, 0},
        // "\x83\\.." is a name: it takes no part away in Japanese.
        {"C:\\Q", "C:\\Q\\\x83\\..\\ZV-001.txt", kJapanese, -1},
        {"C:\\Q", "C:\\Q\\x\\..\\ZV-001.txt", kJapanese, 0},
    };
    for (const auto &c : cases) {
        int file = PackageFileIn(c.dir, c.path, c.codePage);
        CHECK(file == c.file, "\"%s\" in \"%s\" (%u): %d", c.path, c.dir, c.codePage, file);
    }
    CHECK(
        SamePathText("D:\\Games\\baseq3\\PakZV01.pk3", "d:\\GAMES\\BASEQ3\\pakzv01.PK3", kWestern),
        "letter case of A to Z counts");
    CHECK(!SamePathText("D:\\\x83\x41", "D:\\\x83\x61", kJapanese),
          "two double-byte characters taken as one");
    CHECK(!SamePathText("D:\\Games", "D:\\Games\\", kWestern), "lengths differ");
    CHECK(SamePathText("\\\\?\\D:\\Games", "d:\\GAMES", kWestern) &&
              SamePathText("\\\\?\\UNC\\pc\\q3", "\\\\PC\\q3", kWestern) &&
              SamePathText("\\\\?\\G:\\\x83\\", "G:\\\x83\\", kJapanese),
          "a \\\\?\\ spelling differs from its plain form");
    CHECK(!SamePathText("\\\\?\\UNC\\D:\\x", "D:\\x", kWestern), "a server taken for a drive");
}

static void TestNames()
{
    char name[32];
    CHECK(PackageFileName(0, name, sizeof name) && strcmp(name, "ZV-001.txt") == 0, "0: %s", name);
    CHECK(PackageFileName(7, name, sizeof name) && strcmp(name, "baseq3\\PakZV07.pk3") == 0,
          "7: %s", name);
    CHECK(PackageFileName(99, name, sizeof name) && strcmp(name, "baseq3\\PakZV99.pk3") == 0,
          "99: %s", name);
    CHECK(!PackageFileName(100, name, sizeof name) && !PackageFileName(-1, name, sizeof name),
          "a number out of range has a name");
    CHECK(!PackageFileName(1, name, 10), "a name cut to fit");
    for (int file = 0; file < kPackageFileCount; file++) {
        PackageFileName(file, name, sizeof name);
        std::string path = std::string("C:\\Q\\") + name;
        CHECK(PackageFileIn("C:\\Q", path.c_str(), kWestern) == file, "%d's name is not %d", file,
              file);
    }
}

// Long paths are refused, never cut into a name of ours.
static void TestLongPaths()
{
    std::string dir = "C:\\" + std::string(230, 'd');
    std::string path = dir + "\\baseq3\\PakZV01.pk3";
    CHECK(PackageFileIn(dir.c_str(), path.c_str(), kWestern) == 1, "a 250-byte path refused");
    // Longer than the system's limit before its ".." part takes the long name away.
    std::string deep = dir + "\\" + std::string(300, 'x') + "\\..\\ZV-001.txt";
    CHECK(PackageFileIn(dir.c_str(), deep.c_str(), kWestern) == 0,
          "long path with a .. part refused");
    std::string huge = dir + "\\" + std::string(2000, 'x') + "\\..\\ZV-001.txt";
    CHECK(PackageFileIn(dir.c_str(), huge.c_str(), kWestern) == -1,
          "a path over 1024 bytes was taken");
    std::string longDir = "C:\\" + std::string(300, 'd');
    CHECK(PackageFileIn(longDir.c_str(), (longDir + "\\ZV-001.txt").c_str(), kWestern) == -1,
          "a directory longer than the system's limit was accepted");
}

int main()
{
    TestNormalise();
    TestPackageFiles();
    TestDoubleByteNames();
    TestNames();
    TestLongPaths();
    return CheckDone();
}
