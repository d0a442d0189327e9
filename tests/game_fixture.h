// Game directories on a test's fixture drives, and a watcher that answers the drive search's
// "Search Error" boxes while the search runs on the test's own thread.
#ifndef ZV_TESTS_GAME_FIXTURE_H
#define ZV_TESTS_GAME_FIXTURE_H

#include <windows.h>
#include <string>
#include <vector>

// Absolute paths of any length (the wide, \\?\ interface is used underneath).
bool MakeDirectories(const std::string &path);
bool PutFile(const std::string &path);
// Makes the directory with its parents and an empty quake3.exe in it.
bool PutGame(const std::string &dir);
// Deletes everything below dir; dir itself stays.
void ClearDirectory(const std::string &dir);
// The names of dir's subdirectories in the order FindFirstFileA delivers them, without "." and
// "..": the order a walk must follow, whatever it is.
std::vector<std::string> ListedDirectories(const std::string &dir);
// The system's message text for an error code.
std::string SystemText(DWORD code);

// Wine lists in GetLogicalDrives only the drives that existed when the run's first program
// started. While one of these lives, the test's own fixture drives (ZV_TEST_DRIVES) are listed
// too, as a search over all drives must see them.
class FixtureDrivesListed
{
  public:
    FixtureDrivesListed();
    ~FixtureDrivesListed();

  private:
    std::string defined_;
};

struct SeenBox {
    std::string text;
    HWND owner;
    UINT icon;
    UINT buttons;
};

// From construction until Stop, answers every "Search Error" box with OK and records it.
class SearchErrorWatcher
{
  public:
    SearchErrorWatcher();
    ~SearchErrorWatcher();
    std::vector<SeenBox> Stop();

  private:
    static DWORD WINAPI Run(void *self);
    HANDLE thread_;
    volatile LONG stop_;
    std::vector<SeenBox> seen_;
};

#endif
