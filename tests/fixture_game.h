// Game directories, the package files beside the program and the install log, made as the
// installer makes them.
#ifndef ZV_TESTS_FIXTURE_GAME_H
#define ZV_TESTS_FIXTURE_GAME_H

#include "common/names.h"

#include <string>
#include <vector>

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
// What a first installation from the package files sources (MakePackageFiles) leaves in game:
// the three files in place, the pack in slot 01, and the log's seven lines.
#define CHECK_FIRST_INSTALLATION(sources, game)                                                    \
    CheckFirstInstallationAt(__FILE__, __LINE__, (sources), (game))
void CheckFirstInstallationAt(const char *file, int line, const std::vector<std::string> &sources,
                              const std::string &game);
// The install log's appends, as the installer makes them.
void LogPackage(const std::string &log, const char *package);
void LogFile(const std::string &log, const char *package, const std::string &path);
// The licence and the pack written in dir and recorded in its log under the directory recorded
// (dir itself when empty), as one installation leaves them; the log's path.
std::string LogInstalled(const std::string &dir, const std::string &recorded = "");

#endif
