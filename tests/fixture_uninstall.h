// The uninstall entry, written and read as the installer writes it, and the uninstaller run from
// outside as the list of programs runs it.
#ifndef ZV_TESTS_FIXTURE_UNINSTALL_H
#define ZV_TESTS_FIXTURE_UNINSTALL_H

#include "driver.h"
#include "common/names.h"

#include <windows.h>
#include <string>
#include <vector>

// The uninstall entry under the machine-wide uninstall key, written as the installer writes it.
extern const std::string kUninstallKey;
bool WriteUninstallEntry(const std::string &uninstallString);
bool UninstallEntryExists();
// Deletes the entry; true when it is gone afterwards.
bool DeleteUninstallEntry();
// A value of the entry: its type and its exact data bytes.
bool ReadUninstallValue(const char *name, DWORD *type, std::string *data);
// The entry's value name is a REG_SZ holding exactly text and its terminating zero.
#define CHECK_UNINSTALL_VALUE(name, text) CheckUninstallValueAt(__FILE__, __LINE__, (name), (text))
void CheckUninstallValueAt(const char *file, int line, const char *name, const std::string &text);

// The entry's REG_DWORD value name, or ~0u when it is missing or of another type.
DWORD UninstallNumber(const char *name);
// The values the installer writes beside the two above, for the uninstaller at path in
// gameDir, with an EstimatedSize of kb.
#define CHECK_UNINSTALL_DETAILS(path, gameDir, kb)                                                 \
    CheckUninstallDetailsAt(__FILE__, __LINE__, (path), (gameDir), (kb))
void CheckUninstallDetailsAt(const char *file, int line, const std::string &path,
                             const std::string &gameDir, DWORD kb);
// KB, rounded up, of the files named.
DWORD SizeKB(const std::vector<std::string> &files);

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

// Runs dir\zvuninst.exe with arguments from dir, as a deployment tool does, and waits for it;
// whether it ended, with its exit code.
bool RunUninstallerWith(const std::string &dir, const std::string &arguments, DWORD *exitCode);

#endif
