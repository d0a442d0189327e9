// What the tests share besides the driver: files and game directories made on disk (any path
// length), install logs and uninstall entries written as the installer writes them and read
// back, the boxes an installation is expected to show, and the uninstaller run from outside.
#ifndef ZV_TESTS_FIXTURE_H
#define ZV_TESTS_FIXTURE_H

#include "driver.h"
#include "common/names.h"

#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Files. Paths are absolute, or relative to the current directory; absolute ones may be of
// any length (the wide, \\?\ interface is used underneath).
bool MakeDirectories(const std::string &path);
bool WriteBytes(const std::string &path, const std::string &data);
// Writes a file of size bytes whose content depends on seed.
bool WriteTestFile(const std::string &path, size_t size, int seed);
// The file's bytes; false when it cannot be read.
bool ReadWhole(const std::string &path, std::string *bytes);
// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string &path);
bool FileExists(const std::string &path);
// True when both files can be read and hold the same bytes.
bool SameFile(const std::string &a, const std::string &b);
// The non-blank lines of a file, line ends stripped.
std::vector<std::string> NonBlankLines(const std::string &path);
// The Linux path of a Windows path, through Wine's own conversion.
std::string UnixPath(const std::string &path);
// A symbolic link made from the Linux side, as a user of the machine would plant one; true
// once the link is there.
bool MakeUnixLink(const std::string &target, const std::string &link);
// Deletes everything below dir; dir itself stays.
void ClearDirectory(const std::string &dir);
// The names of dir's subdirectories in the order FindFirstFileA delivers them, without "." and
// "..": the order a walk must follow, whatever it is.
std::vector<std::string> ListedDirectories(const std::string &dir);
// The current directory without a trailing backslash.
std::string CurrentDir();
// The system's message text for an error code, as the programs word it.
std::string SystemText(DWORD code);

// Every file below a directory, by its path relative to it, with its contents.
typedef std::map<std::string, std::string> Tree;
Tree SnapshotTree(const std::string &dir);
// The files that differ between two snapshots, for a failure message.
std::string TreeDifference(const Tree &want, const Tree &got);
// Whether Windows will delete the file at its next start.
bool IsPendingDelete(const std::string &path);
// The paths Windows will delete at its next start that lie in dir or below it.
std::vector<std::string> PendingDeletesUnder(const std::string &dir);

// What MakeGameDir puts in a game directory besides quake3.exe.
enum GameDirParts {
    kGameExeOnly = 0,
    kWithBaseq3 = 1,
    // baseq3 with the game's own pak0.pk3 and q3config.cfg, and readme.txt beside quake3.exe.
    kWithUserFiles = 3,
};
// A game directory with its parents; what was there before stays.
bool MakeGameDir(const std::string &dir, GameDirParts parts);
// The package files beside the running program; returns their paths in install order.
std::vector<std::string> MakePackageFiles(size_t licenceSize, size_t uninstallerSize,
                                          size_t packSize);
// The install log in a game directory.
std::string LogPath(const std::string &gameDir);
// The lines of a log after one installation into game that recorded files, word for word
// as the installer writes them.
std::vector<std::string> OneInstallationLog(const std::string &game,
                                            const std::vector<std::string> &files);
// The install log's appends, as the installer makes them.
void LogPackage(const std::string &log, const char *package);
void LogFile(const std::string &log, const char *package, const std::string &path);

// The uninstall entry under the machine-wide uninstall key, written as the installer writes it.
extern const std::string kUninstallKey;
bool WriteUninstallEntry(const std::string &uninstallString);
bool UninstallEntryExists();
// Deletes the entry; true when it is gone afterwards.
bool DeleteUninstallEntry();
// A value of the entry: its type and its exact data bytes.
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

struct UninstallRun {
    bool asked = false;
    MessageBoxInfo question;
    bool reported = false;
    MessageBoxInfo report;
    bool ended = false;
    DWORD exitCode = 99;
    // The temporary copy that asked and reported: its path, and whether it ended.
    std::string copy;
    bool copyEnded = false;
};

// Runs dir\zvuninst.exe from dir, answers its question with answer and, after Yes, reads its
// final box and presses OK; then waits for the temporary copy that showed them to end.
#define RunUninstaller(dir, answer) RunUninstallerAt(__FILE__, __LINE__, (dir), (answer))
UninstallRun RunUninstallerAt(const char *file, int line, const std::string &dir, int answer);

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
