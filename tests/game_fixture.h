// Game directories for the package tests: made as a user's would be, filled with an install
// log and uninstall entry as the installer writes them, and read back byte for byte after
// the installer or the uninstaller ran; and the uninstaller run as the list of programs runs it.
#ifndef ZV_TESTS_GAME_FIXTURE_H
#define ZV_TESTS_GAME_FIXTURE_H

#include "driver.h"

#include <map>
#include <string>
#include <vector>

extern const char *const kPackageName;

// Every file below a directory, by its path relative to it, with its contents.
typedef std::map<std::string, std::string> Tree;

bool WriteBytes(const std::string &path, const std::string &data);
// The file's contents, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string &path);
bool FileExists(const std::string &path);
Tree SnapshotTree(const std::string &dir);
// The files that differ between two snapshots, for a failure message.
std::string TreeDifference(const Tree &want, const Tree &got);

// A game directory with quake3.exe, baseq3\pak0.pk3 and a few files of the user's.
bool MakeGameDir(const std::string &dir);

// The install log's appends, as the installer makes them.
void LogPackage(const std::string &log, const char *package);
void LogFile(const std::string &log, const char *package, const std::string &path);

// The uninstall entry ZVQ3Models under the machine-wide uninstall key.
bool RegisterUninstaller(const std::string &uninstallString);
bool UninstallEntryExists();
void DeleteUninstallEntry();
// Whether Windows will delete the file at its next start.
bool IsPendingDelete(const std::string &path);

// The paths Windows will delete at its next start that lie in dir or below it.
std::vector<std::string> PendingDeletesUnder(const std::string &dir);

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
UninstallRun RunUninstaller(const std::string &dir, int answer);

#endif
