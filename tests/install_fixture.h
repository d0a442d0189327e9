// What the installation tests share: package and game directories made on disk, the install
// log read line by line, and the uninstall entry read back from the registry.
#ifndef ZV_TESTS_INSTALL_FIXTURE_H
#define ZV_TESTS_INSTALL_FIXTURE_H

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

extern const char kPackageName[];
extern const char kUninstallKey[];

// Writes a file of size bytes whose content depends on seed.
bool WriteTestFile(const std::string &path, size_t size, int seed);
bool WriteText(const std::string &path, const std::string &text);
// The file's bytes; false when it cannot be read.
bool ReadWhole(const std::string &path, std::string *bytes);
bool FileExists(const std::string &path);
// True when both files can be read and hold the same bytes.
bool SameFile(const std::string &a, const std::string &b);
// The current directory without a trailing backslash.
std::string CurrentDir();
// A game directory: quake3.exe, and baseq3 unless told otherwise; removed first if there.
bool MakeGameDir(const std::string &dir, bool withBaseq3);
// The package files beside the running program; returns their paths in install order.
std::vector<std::string> MakePackageFiles(size_t licenceSize, size_t uninstallerSize,
                                          size_t packSize);
// The non-blank lines of a file, line ends stripped.
std::vector<std::string> NonBlankLines(const std::string &path);

// Deletes the ZVQ3Models uninstall key; true when it is gone afterwards.
bool DeleteUninstallKey();
bool UninstallKeyExists();
// A value of the ZVQ3Models key: its type and its exact data bytes.
bool ReadUninstallValue(const char *name, DWORD *type, std::string *data);

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
// that a fault ends the run instead of blocking it. Gives up after two minutes.
void AnswerBoxes(int line, const std::vector<ExpectedBox> &expected, HWND owner,
                 const std::function<bool()> &finished);

#endif
