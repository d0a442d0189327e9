// The boxes an installation is expected to show, answered from a driver thread, and the window
// that owns them.
#ifndef ZV_TESTS_FIXTURE_BOXES_H
#define ZV_TESTS_FIXTURE_BOXES_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// A hidden window on a thread of its own that pumps its messages, standing in for the backdrop
// window that owns the installer's dialogs and boxes.
HWND StartOwnerWindow();
void StopOwnerWindow();

// A message box the installation is expected to show, and the button to answer it with.
struct ExpectedBox {
    std::string caption;
    std::string text;
    UINT icon;
    UINT buttons;
    int answer;
    bool progressShown; // whether the progress dialog is on the screen beside it
    // What the progress dialog shows then, when it is shown.
    std::string progressMessage;
    std::string progressPercent;
};

// A warning box answered OK, shown after the progress dialog has closed.
ExpectedBox WarningBox(const std::string &caption, const std::string &text);
extern const ExpectedBox kReinstallQuestion;
extern const ExpectedBox kCompleteBox;
extern const ExpectedBox kAbortedBox;
extern const ExpectedBox kCopyErrorsBox;
// The pack placed nowhere: the progress dialog still shows the last slot tried.
ExpectedBox PackNotInstalledBox(const std::string &packSource, const std::string &lastTarget,
                                const std::string &packSize, const std::string &percent);

HWND FindProgressDialog();
// Answers message boxes as they appear until finished() is true, checking each against the
// next expected box (owned by owner); an unexpected box fails and is answered OK or No, so
// that a fault ends the run instead of blocking it. Gives up after two minutes. Failures name
// file and line, the caller's.
void AnswerBoxesAt(const char *file, int line, const std::vector<ExpectedBox> &expected, HWND owner,
                   const std::function<bool()> &finished);

#endif
