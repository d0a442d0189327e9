// The fixture drives made for a test (ZV_TEST_DRIVES), and the boxes a search over them shows.
#ifndef ZV_TESTS_FIXTURE_DRIVES_H
#define ZV_TESTS_FIXTURE_DRIVES_H

#include <windows.h>
#include <string>
#include <vector>

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
