// The drive search on fixture drives: which directory it finds and in which order it walks,
// the boxes it shows for what cannot be listed, how it ends at the path limit, and that it
// gives back what it takes.
#include "check.h"
#include "fixture_files.h"
#include "fixture_game.h"
#include "fixture_drives.h"
#include "gamedir/drive_search.h"
#include "gamedir/lookahead.h"
#include "common/text.h"

#include <stdlib.h>
#include <string.h>

static const int kD = 3, kE = 4, kF = 5, kL = 11, kV = 21;

static HWND s_owner;

struct Outcome {
    bool hit;
    std::string result;
    std::vector<SeenBox> boxes;
};

static Outcome Search(int drive, const char *path)
{
    SearchErrorWatcher watcher;
    char *result = DupString("left over");
    Outcome outcome;
    outcome.hit = SearchDriveForGame(s_owner, drive, path, &result);
    outcome.boxes = watcher.Stop();
    outcome.result = result ? result : "<null>";
    CHECK(outcome.hit == (result != NULL), "hit %d with result %s", outcome.hit,
          outcome.result.c_str());
    free(result);
    return outcome;
}

static void CheckHit(int line, int drive, const char *path, const std::string &want)
{
    Outcome outcome = Search(drive, path);
    CHECK(outcome.hit && outcome.result == want, "line %d: walking %c:%s gave %s, want %s", line,
          'A' + drive, path, outcome.result.c_str(), want.c_str());
    CHECK(outcome.boxes.empty(), "line %d: %u boxes, the first: %s", line,
          (unsigned)outcome.boxes.size(),
          outcome.boxes.empty() ? "" : outcome.boxes[0].text.c_str());
}

static void CheckMiss(int line, int drive, const char *path)
{
    Outcome outcome = Search(drive, path);
    CHECK(!outcome.hit && outcome.result == "<null>", "line %d: walking %c:%s gave %s", line,
          'A' + drive, path, outcome.result.c_str());
    CHECK(outcome.boxes.empty(), "line %d: %u boxes, the first: %s", line,
          (unsigned)outcome.boxes.size(),
          outcome.boxes.empty() ? "" : outcome.boxes[0].text.c_str());
}

static void TestWalkOrder()
{
    // Depth first: the first listed directory's whole subtree before its next sibling.
    ClearDirectory("D:\\");
    MakeDirectories("D:\\Alpha");
    MakeDirectories("D:\\Omega");
    std::vector<std::string> roots = ListedDirectories("D:\\");
    if (!CHECK(roots.size() == 2, "the root lists %u directories", (unsigned)roots.size()))
        return;
    MakeGameDir("D:\\" + roots[0] + "\\Deep\\Er", kGameExeOnly);
    MakeGameDir("D:\\" + roots[1], kGameExeOnly);
    CheckHit(__LINE__, kD, "\\", "D:\\" + roots[0] + "\\Deep\\Er");

    // Siblings in listing order, whatever it is; the path with or without its backslash.
    ClearDirectory("D:\\");
    static const char *names[] = {"Game7",  "game2", "Beta",  "alpha",
                                  "_under", "Zed",   "0zero", "~tilde"};
    for (const char *name : names)
        MakeGameDir(std::string("D:\\Order\\") + name, kGameExeOnly);
    std::string first = "D:\\Order\\" + ListedDirectories("D:\\Order")[0];
    CheckHit(__LINE__, kD, "\\", first);
    CheckHit(__LINE__, kD, "\\Order", first);
    CheckHit(__LINE__, kD, "\\Order\\", first);

    // A directory that holds the game is returned before its own subdirectory is reached.
    ClearDirectory("D:\\");
    MakeGameDir("D:\\Self", kGameExeOnly);
    MakeGameDir("D:\\Self\\Sub", kGameExeOnly);
    CheckHit(__LINE__, kD, "\\", "D:\\Self");
    CheckHit(__LINE__, kD, "\\Self", "D:\\Self\\Sub");

    // Hidden and system directories are walked; a name beginning with ".." is no "..".
    ClearDirectory("D:\\");
    MakeGameDir("D:\\..q\\Inner", kGameExeOnly);
    SetFileAttributesA("D:\\..q", FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA("D:\\..q\\Inner", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    CHECK((GetFileAttributesA("D:\\..q\\Inner") & FILE_ATTRIBUTE_HIDDEN) &&
              (GetFileAttributesA("D:\\..q\\Inner") & FILE_ATTRIBUTE_SYSTEM),
          "the fixture directory is not hidden and system");
    CheckHit(__LINE__, kD, "\\", "D:\\..q\\Inner");

    // The root is never tested, files are not walked, a directory named quake3.exe is no game.
    ClearDirectory("D:\\");
    WriteBytes("D:\\quake3.exe", "");
    MakeDirectories("D:\\Empty");
    WriteBytes("D:\\Files\\notes", "");
    MakeDirectories("D:\\Fake\\quake3.exe");
    CheckMiss(__LINE__, kD, "\\");
}

static void CheckOneBox(int line, const Outcome &outcome, const std::string &text)
{
    if (!CHECK(outcome.boxes.size() == 1, "line %d: %u boxes", line,
               (unsigned)outcome.boxes.size()))
        return;
    const SeenBox &box = outcome.boxes[0];
    if (!text.empty())
        CHECK_TEXT(box.text, text);
    CHECK(!box.text.empty(), "line %d: the box says nothing", line);
    CHECK(box.owner == s_owner, "line %d: the box is not owned by the given window", line);
    CHECK(box.icon == MB_ICONHAND && box.buttons == MB_OK, "line %d: icon %x buttons %x", line,
          box.icon, box.buttons);
}

static void TestReports()
{
    Outcome empty = Search(kE, "\\");
    CHECK(!empty.hit, "an empty drive gave a hit");
    CheckOneBox(__LINE__, empty, SystemText(ERROR_FILE_NOT_FOUND));
    Outcome missing = Search(kF, "\\");
    CHECK(!missing.hit, "a missing drive gave a hit");
    CheckOneBox(__LINE__, missing, SystemText(ERROR_PATH_NOT_FOUND));

    // A name the 8-bit interface cannot carry comes back as "?", which cannot be listed:
    // one box for it, and the walk goes on.
    ClearDirectory("D:\\");
    MakeDirectories("D:\\Before");
    MakeDirectories("D:\\Later");
    std::vector<std::string> roots = ListedDirectories("D:\\");
    std::wstring unlistable = L"\\\\?\\D:\\";
    for (char c : roots[0])
        unlistable += (wchar_t)c;
    unlistable += L"\\\x4e2d";
    CHECK(CreateDirectoryW(unlistable.c_str(), NULL), "cannot make the unlistable directory");
    MakeGameDir("D:\\" + roots[1], kGameExeOnly);
    Outcome unreadable = Search(kD, "\\");
    CHECK(unreadable.hit && unreadable.result == "D:\\" + roots[1],
          "the walk did not go on after the unlistable directory: %s", unreadable.result.c_str());
    CheckOneBox(__LINE__, unreadable, "");
}

// Paths that would pass 260 characters are skipped without a box, so a walk through a link
// loop or down a too-deep tree ends; what fits below the limit is still found.
static void TestPathLimit()
{
    CheckMiss(__LINE__, kL, "\\");

    ClearDirectory("D:\\");
    std::string chain = "D:\\Deep";
    while (chain.size() < 300)
        chain += "\\abcdefghi";
    CHECK(MakeDirectories(chain), "cannot make the deep chain");
    CheckMiss(__LINE__, kD, "\\");

    // The deepest game the 8-bit interface can open: 249 characters and "\quake3.exe".
    std::string parent = chain.substr(0, chain.rfind('\\', 247));
    std::string deepest = parent + "\\" + std::string(249 - parent.size() - 1, 'b');
    CHECK(MakeGameDir(deepest, kGameExeOnly), "cannot put the game at %u characters",
          (unsigned)deepest.size());
    CheckHit(__LINE__, kD, "\\", deepest);
}

// Directory links (junctions, symbolic links and mount points; under Wine a Unix link to a
// directory) are tested as candidates but never entered: not the link back to the root, not
// the link to a tree elsewhere. What lies beyond them on the drive is still found.
static void TestLinks()
{
    const DWORD link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if (!CHECK((GetFileAttributesA("L:\\loopback") & link) == link &&
                   (GetFileAttributesA("L:\\away") & link) == link,
               "the fixture's links are not listed as directory links"))
        return;
    // Behind the link to the other tree only: no hit, as the link is not entered.
    ClearDirectory("L:\\away");
    MakeGameDir("L:\\away\\Game", kGameExeOnly);
    CheckMiss(__LINE__, kL, "\\");

    // A game on the drive itself is found at its own path, never through either link.
    MakeGameDir("L:\\Real\\Game", kGameExeOnly);
    CheckHit(__LINE__, kL, "\\", "L:\\Real\\Game");
    CheckHit(__LINE__, kL, "\\Real", "L:\\Real\\Game");

    // A link whose target holds the game is a candidate like any directory.
    ClearDirectory("L:\\Real");
    RemoveDirectoryA("L:\\Real");
    MakeGameDir("L:\\away", kGameExeOnly);
    CheckHit(__LINE__, kL, "\\", "L:\\away");
    ClearDirectory("L:\\away");
    CheckMiss(__LINE__, kL, "\\");
}

// The value the next new handle gets: the lowest free slot, which a leaked handle would take.
static HANDLE NextHandleValue()
{
    HANDLE probe = CreateEventA(NULL, FALSE, FALSE, NULL);
    CloseHandle(probe);
    return probe;
}

// A directory the 8-bit interface lists as "?" below parent, which cannot be listed itself.
static bool MakeUnlistable(const std::string &parent)
{
    std::wstring path = L"\\\\?\\";
    for (char c : parent)
        path += (wchar_t)c;
    return MakeDirectories(parent) && CreateDirectoryW((path + L"\\\x4e2d").c_str(), NULL);
}

struct Walked {
    bool hit;
    std::string result;
    std::vector<std::string> reports; // directory and error, in the order told
    void (*onFirstReport)(Walked *walked);
    volatile LONG stop;
};

static void Record(void *context, const char *directory, DWORD error)
{
    Walked *walked = (Walked *)context;
    walked->reports.push_back(std::string(directory) + " " + std::to_string(error));
    if (walked->reports.size() == 1 && walked->onFirstReport)
        walked->onFirstReport(walked);
}

static Walked WalkWith(int listers, int drive = kD, void (*onFirstReport)(Walked *) = NULL)
{
    Walked walked = {false, "", {}, onFirstReport, 0};
    char *result = NULL;
    walked.hit = WalkDriveForGame(drive, "\\", listers, Record, &walked, &walked.stop, &result);
    walked.result = result ? result : "<null>";
    free(result);
    return walked;
}

// A tree of fanOut directories on D:, each with `below` subdirectories, some of which
// cannot be listed; the games given go in last.
struct ListerTree {
    const char *name;
    int fanOut;
    int below;
    std::vector<std::string> unlistable; // parents of a directory that cannot be listed
    std::vector<std::string> games;
};

// Lister threads change nothing the user sees: with 1, 2 and 4 of them the walk gives the hit
// and the reports, in their order, that it gives alone, on wide trees, deep ones, with and
// without a game, and with a hit that leaves listings made ahead.
static void TestListers()
{
    static const ListerTree trees[] = {
        {"wide, one game", 30, 5, {"W3", "W17\\S2", "W29\\S4"}, {"W21\\S4\\G"}},
        {"wide, no game", 30, 5, {"W3", "W17\\S2", "W29\\S4\\X\\Y"}, {}},
        {"deep, two games",
         3,
         2,
         {"W1\\S0\\1\\2", "W2\\S1"},
         {"W0\\S1\\1\\2\\3\\4\\5\\6\\7\\8\\G", "W2\\S0\\1\\2\\3\\G"}},
        {"early hit, much ahead", 40, 20, {"W5\\S5"}, {"W0\\S0", "W1\\S0", "W2\\S0"}},
    };
    for (const ListerTree &tree : trees) {
        ClearDirectory("D:\\");
        for (int w = 0; w < tree.fanOut; w++)
            for (int b = 0; b < tree.below; b++)
                MakeDirectories("D:\\W" + std::to_string(w) + "\\S" + std::to_string(b));
        for (const std::string &parent : tree.unlistable)
            CHECK(MakeUnlistable("D:\\" + parent), "%s: cannot make %s\\?", tree.name,
                  parent.c_str());
        for (const std::string &game : tree.games)
            MakeGameDir("D:\\" + game, kGameExeOnly);
        HANDLE before = NextHandleValue();
        Walked alone = WalkWith(0);
        bool hitGame = false;
        for (const std::string &game : tree.games)
            hitGame = hitGame || alone.result == "D:\\" + game;
        CHECK(alone.hit == !tree.games.empty() && alone.hit == hitGame, "%s: the walk gave %s",
              tree.name, alone.result.c_str());
        if (!alone.hit)
            CHECK(alone.reports.size() == tree.unlistable.size(), "%s: %u reports", tree.name,
                  (unsigned)alone.reports.size());
        for (int listers : {1, 2, 4, 1, 2, 4}) {
            Walked walked = WalkWith(listers);
            CHECK(walked.hit == alone.hit && walked.result == alone.result &&
                      walked.reports == alone.reports,
                  "%s, %d listers: %s after %u reports, alone %s after %u", tree.name, listers,
                  walked.result.c_str(), (unsigned)walked.reports.size(), alone.result.c_str(),
                  (unsigned)alone.reports.size());
        }
        CHECK(NextHandleValue() == before, "%s: the walks left handles open", tree.name);
    }
}

// Drive V: is the folder D:\v: moved away, V: is gone as a pulled-out disk is.
static void PullDrive(Walked *)
{
    MoveFileA("D:\\v", "D:\\v-pulled");
}

static void StopWalk(Walked *walked)
{
    InterlockedExchange(&walked->stop, 1);
}

// A drive that goes away during its walk is told once, as its root, and its walk ends: not one
// report for every directory still to walk. A walk stopped from outside ends before its next
// directory. Both while the directory that cannot be listed, the first of the walk, is told.
static void TestWalkEnds()
{
    ClearDirectory("D:\\v");
    for (int w = 0; w < 30; w++)
        for (int b = 0; b < 5; b++)
            MakeDirectories("D:\\v\\W" + std::to_string(w) + "\\S" + std::to_string(b));
    std::vector<std::string> roots = ListedDirectories("V:\\");
    if (!CHECK(roots.size() == 30 && MakeUnlistable("V:\\" + roots[0] + "\\S0"),
               "cannot make the tree on V:"))
        return;
    MakeGameDir("V:\\" + roots.back() + "\\S4\\G", kGameExeOnly);
    for (int listers : {0, 1, 4}) {
        Walked kept = WalkWith(listers, kV);
        CHECK(kept.hit && kept.reports.size() == 1, "%d listers: %s after %u reports", listers,
              kept.result.c_str(), (unsigned)kept.reports.size());
        Walked pulled = WalkWith(listers, kV, PullDrive);
        bool back = MoveFileA("D:\\v-pulled", "D:\\v");
        CHECK(back && !pulled.hit && pulled.reports.size() == 2 &&
                  pulled.reports[1].compare(0, 4, "V:\\ ") == 0,
              "%d listers, drive pulled: %s after %u reports, the last %s", listers,
              pulled.result.c_str(), (unsigned)pulled.reports.size(),
              pulled.reports.back().c_str());
        Walked stopped = WalkWith(listers, kV, StopWalk);
        CHECK(!stopped.hit && stopped.reports.size() == 1, "%d listers, stopped: %s after %u",
              listers, stopped.result.c_str(), (unsigned)stopped.reports.size());
    }
}

// Which directories the walk enters: plain ones, and those a reparse tag only marks as kept
// elsewhere (cloud, deduplicated); never a name surrogate, nor an unset tag, nor a file.
static void TestShouldWalk()
{
    const DWORD dir = FILE_ATTRIBUTE_DIRECTORY, reparse = dir | FILE_ATTRIBUTE_REPARSE_POINT;
    static const struct {
        DWORD attributes, tag;
        bool walked;
    } cases[] = {
        {dir, 0, true},
        {dir | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, 0, true},
        {reparse, 0x9000601A, true}, // a cloud placeholder (IO_REPARSE_TAG_CLOUD_6)
        {reparse, 0x80000013, true}, // deduplicated (IO_REPARSE_TAG_DEDUP)
        {reparse, IO_REPARSE_TAG_MOUNT_POINT, false},
        {reparse, IO_REPARSE_TAG_SYMLINK, false},
        {reparse, 0, false}, // Wine's links leave the tag unset
        {FILE_ATTRIBUTE_ARCHIVE, 0, false},
        {FILE_ATTRIBUTE_REPARSE_POINT, 0x9000601A, false},
    };
    for (const auto &c : cases)
        CHECK(ShouldWalk(c.attributes, c.tag) == c.walked, "attributes %lx tag %lx: walked %d",
              c.attributes, c.tag, !c.walked);
}

static void TestReleases()
{
    ClearDirectory("D:\\");
    MakeGameDir("D:\\A\\B\\C\\Game", kGameExeOnly);
    MakeDirectories("D:\\A\\B\\C\\Game\\Below");
    CheckHit(__LINE__, kD, "\\", "D:\\A\\B\\C\\Game");
    HANDLE before = NextHandleValue();
    // A result handed in is freed: 64 strings of 64 MB would not fit the address space.
    const size_t big = 64u << 20;
    for (int i = 0; i < 64; i++) {
        char *result = (char *)malloc(big);
        if (!CHECK(result != NULL, "round %d: a result handed in was not freed", i))
            break;
        memset(result, 'x', 16);
        result[16] = 0;
        bool hit = SearchDriveForGame(s_owner, kD, i % 2 ? "\\" : "\\A\\B\\C\\Game", &result);
        CHECK(hit == (i % 2 == 1) &&
                  (hit ? result && strcmp(result, "D:\\A\\B\\C\\Game") == 0 : result == NULL),
              "round %d gave %d, %s", i, hit, result ? result : "<null>");
        free(result);
    }
    CHECK(NextHandleValue() == before, "the walks left handles open");
}

int main()
{
    s_owner = CreateWindowA("STATIC", "Search owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL,
                            NULL, NULL, NULL);
    TestWalkOrder();
    TestReports();
    TestPathLimit();
    TestLinks();
    TestReleases();
    TestListers();
    TestWalkEnds();
    TestShouldWalk();
    DestroyWindow(s_owner);
    return CheckDone();
}
