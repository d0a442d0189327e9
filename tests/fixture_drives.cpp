// Drive letters defined for the run, and a watcher on its own thread.
#include "fixture_drives.h"

#include <ctype.h>
#include <stdlib.h>

#include "driver.h"

// Only the name in the object namespace is added: files on the drive are still found
// through its link in the prefix.
static std::string DriveTarget(char letter)
{
    return std::string("\\Device\\ZvFixture") + letter;
}

FixtureDrivesListed::FixtureDrivesListed()
{
    const char *drives = getenv("ZV_TEST_DRIVES");
    DWORD listed = GetLogicalDrives();
    for (const char *p = drives ? drives : ""; *p; p++) {
        bool tokenStart = p == drives || p[-1] == ' ';
        char letter = (char)toupper((unsigned char)*p);
        if (!tokenStart || letter < 'A' || letter > 'Z' || (listed & (1u << (letter - 'A'))))
            continue;
        char name[] = "?:";
        name[0] = letter;
        if (DefineDosDeviceA(DDD_RAW_TARGET_PATH, name, DriveTarget(letter).c_str()))
            defined_ += letter;
    }
}

FixtureDrivesListed::~FixtureDrivesListed()
{
    for (char letter : defined_) {
        char name[] = "?:";
        name[0] = letter;
        DefineDosDeviceA(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                         name, DriveTarget(letter).c_str());
    }
}

SearchErrorWatcher::SearchErrorWatcher() : stop_(0)
{
    thread_ = CreateThread(NULL, 0, Run, this, 0, NULL);
}

SearchErrorWatcher::~SearchErrorWatcher()
{
    Stop();
}

std::vector<SeenBox> SearchErrorWatcher::Stop()
{
    if (thread_) {
        InterlockedExchange(&stop_, 1);
        WaitForSingleObject(thread_, 2 * kWaitMs);
        CloseHandle(thread_);
        thread_ = NULL;
    }
    return seen_;
}

DWORD WINAPI SearchErrorWatcher::Run(void *param)
{
    SearchErrorWatcher *self = (SearchErrorWatcher *)param;
    while (!self->stop_) {
        MessageBoxInfo box;
        if (!WaitForMessageBox(&box, "Search Error", 100))
            continue;
        self->seen_.push_back({box.text, GetWindow(box.box, GW_OWNER), box.icon, box.buttons});
        AnswerMessageBox(box, IDOK);
    }
    return 0;
}
