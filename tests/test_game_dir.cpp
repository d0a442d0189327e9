// The game directory test on a fixture drive: which paths count as holding the game, and
// that the test only looks.
#include "check.h"
#include "fixture_files.h"
#include "fixture_game.h"
#include "gamedir/game_dir.h"

#include <string.h>

static void TestPaths()
{
    MakeGameDir("D:\\Quake3", kGameExeOnly);
    MakeDirectories("D:\\Empty");
    MakeDirectories("D:\\Fake\\quake3.exe"); // a directory by the game's name
    WriteBytes("D:\\quake3.exe", "");
    static const struct {
        const char *path;
        bool game;
    } cases[] = {
        {"D:\\Quake3", true},   {"D:\\Quake3\\", true}, {"d:\\quake3", true},
        {"D:", true},           {"D:\\", true},         {"", false},
        {"D:\\Empty", false},   {"D:\\Empty\\", false}, {"D:\\Fake", false},
        {"D:\\Missing", false},
    };
    for (const auto &c : cases)
        CHECK(IsGameDirectory(c.path) == c.game, "\"%s\" should be %s", c.path,
              c.game ? "a game directory" : "no game directory");
    CHECK(GetFileAttributesA("D:\\Empty\\quake3.exe") == INVALID_FILE_ATTRIBUTES,
          "testing a directory created the game file");
}

static void TestRelativePaths()
{
    static const struct {
        const char *current;
        const char *path;
        bool game;
    } cases[] = {
        {"D:\\", "Quake3", true}, {"D:\\", ".\\Quake3\\", true}, {"D:\\Empty", "..\\Quake3", true},
        {"D:\\", "Empty", false}, {"C:\\", "Quake3", false},     {"D:\\Quake3", ".", true},
    };
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    for (const auto &c : cases) {
        SetCurrentDirectoryA(c.current);
        CHECK(IsGameDirectory(c.path) == c.game, "\"%s\" from %s should be %s", c.path, c.current,
              c.game ? "a game directory" : "no game directory");
    }
    SetCurrentDirectoryA(saved);
}

// A quake3.exe that another handle holds open does not count, however that handle shares.
static void TestFileHeldOpen()
{
    static const DWORD shares[] = {0, FILE_SHARE_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE};
    for (DWORD share : shares) {
        HANDLE held = CreateFileA("D:\\Quake3\\quake3.exe", GENERIC_READ, share, NULL,
                                  OPEN_EXISTING, 0, NULL);
        if (!CHECK(held != INVALID_HANDLE_VALUE, "cannot hold the game file: %lu", GetLastError()))
            continue;
        CHECK(!IsGameDirectory("D:\\Quake3"), "a game file held open (share %lu) counted", share);
        CloseHandle(held);
    }
    CHECK(IsGameDirectory("D:\\Quake3"), "the game file no longer counts once released");
}

// In code page 932: ゲーム表, whose last character is the bytes 0x95 0x5C. Read byte by byte, the
// directory would seem to end in a separator, and the game be looked for beside it instead.
static void TestDoubleByteDirectory()
{
    CHECK(GetACP() == 932, "the program runs in code page %u", GetACP());
    const std::string name = "\x83\x51\x81\x5B\x83\x80\x95\x5C";
    MakeGameDir("D:\\Found\\" + name, kGameExeOnly);
    CHECK(IsGameDirectory(("D:\\Found\\" + name).c_str()), "the game in D:\\Found\\%s was missed",
          name.c_str());
    MakeDirectories("D:\\Beside\\" + name);
    WriteBytes("D:\\Beside\\" + name + "quake3.exe", "");
    CHECK(!IsGameDirectory(("D:\\Beside\\" + name).c_str()),
          "a file beside D:\\Beside\\%s counted as its game", name.c_str());
}

int main(int argc, char **argv)
{
    if (argc > 1 && strcmp(argv[1], "cp932") == 0) {
        TestDoubleByteDirectory();
        return CheckDone();
    }
    TestPaths();
    TestRelativePaths();
    TestFileHeldOpen();
    return CheckDone();
}
