// The names come from the programs' shared header, so the fixture follows a rename.
#include "fixture_game.h"

#include <windows.h>

#include "check.h"
#include "fixture_files.h"
#include "common/path.h"

bool MakeGameDir(const std::string &dir, GameDirParts parts)
{
    bool ok = MakeDirectories(dir) &&
              WriteBytes(dir + "\\quake3.exe", std::string("MZ game\0\x01\x02", 10));
    if (parts & kWithBaseq3)
        ok = ok && MakeDirectories(dir + "\\baseq3");
    if (parts == kWithUserFiles)
        ok = ok && WriteBytes(dir + "\\baseq3\\pak0.pk3", "PK\x03\x04 the game's own pack") &&
             WriteBytes(dir + "\\baseq3\\q3config.cfg", "seta name \"Player\"\r\n") &&
             WriteBytes(dir + "\\readme.txt", "the user's notes");
    return ok;
}

std::vector<std::string> MakePackageFiles(size_t licenceSize, size_t uninstallerSize,
                                          size_t packSize)
{
    char module[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, module, sizeof module);
    std::string dir(module, n < sizeof module ? n : 0);
    dir = dir.substr(0, dir.rfind('\\'));
    std::vector<std::string> files = {dir + "\\" + kLicenceFile, dir + "\\" + kUninstallerFile,
                                      dir + "\\" + kPackFile};
    size_t sizes[] = {licenceSize, uninstallerSize, packSize};
    for (size_t i = 0; i < files.size(); i++)
        if (!WriteTestFile(files[i], sizes[i], (int)i + 1))
            files[i].clear();
    return files;
}

std::string LogPath(const std::string &gameDir)
{
    return gameDir + "\\" + kLogFile;
}

std::vector<std::string> OneInstallationLog(const std::string &game,
                                            const std::vector<std::string> &files)
{
    std::vector<std::string> lines = {"[ZV Packages]", "NumberInstalled=1",
                                      "1=ZV-001 Strider for Quake3", "[ZV-001 Strider for Quake3]",
                                      "Files=" + std::to_string(files.size())};
    for (size_t i = 0; i < files.size(); i++)
        lines.push_back(std::to_string(i + 1) + "=" + game + "\\" + files[i]);
    return lines;
}

void LogPackage(const std::string &log, const char *package)
{
    int k = (int)GetPrivateProfileIntA(kPackageListSection, kPackageCountKey, 0, log.c_str()) + 1;
    std::string key = std::to_string(k);
    WritePrivateProfileStringA(kPackageListSection, kPackageCountKey, key.c_str(), log.c_str());
    WritePrivateProfileStringA(kPackageListSection, key.c_str(), package, log.c_str());
}

void LogFile(const std::string &log, const char *package, const std::string &path)
{
    int k = (int)GetPrivateProfileIntA(package, kFileCountKey, 0, log.c_str()) + 1;
    std::string key = std::to_string(k);
    WritePrivateProfileStringA(package, kFileCountKey, key.c_str(), log.c_str());
    WritePrivateProfileStringA(package, key.c_str(), path.c_str(), log.c_str());
}

static std::string WithSeparator(const std::string &dir)
{
    return dir + (EndsWithSeparator(dir.c_str()) ? "" : "\\");
}

std::string LogInstalled(const std::string &dir, const std::string &recorded)
{
    std::string in = WithSeparator(dir), as = WithSeparator(recorded.empty() ? dir : recorded);
    WriteBytes(in + "ZV-001.txt", "licence");
    WriteBytes(in + "baseq3\\PakZV01.pk3", "PK pack");
    std::string log = in + kLogFile;
    LogPackage(log, kPackageName);
    LogFile(log, kPackageName, as + "ZV-001.txt");
    LogFile(log, kPackageName, as + "baseq3\\PakZV01.pk3");
    WritePrivateProfileStringA(NULL, NULL, NULL, log.c_str()); // out of Wine's profile cache
    return log;
}

void CheckFirstInstallationAt(const char *file, int line, const std::vector<std::string> &sources,
                              const std::string &game)
{
    CHECK_AT(file, line, SameFile(sources[0], game + "\\ZV-001.txt"), "the licence was not copied");
    CHECK_AT(file, line, SameFile(sources[1], game + "\\zvuninst.exe"),
             "the uninstaller was not copied");
    CHECK_AT(file, line, SameFile(sources[2], game + "\\baseq3\\PakZV01.pk3"),
             "the pack is not in slot 01");
    CHECK_AT(file, line,
             NonBlankLines(LogPath(game)) ==
                 OneInstallationLog(game, {"ZV-001.txt", "baseq3\\PakZV01.pk3"}),
             "the log is not the seven lines");
}
