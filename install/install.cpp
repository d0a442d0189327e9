// The install sequence: asks before installing over an earlier installation, copies the
// licence text and the uninstaller over older copies, and puts the pack into the first free
// slot baseq3\PakZV01.pk3 to PakZV99.pk3, logging and registering what it installed.
#include "install.h"

#include "install_log.h"
#include "progress_dialog.h"
#include "safe_file.h"
#include "uninstall_reg.h"
#include "../common/names.h"
#include "../common/program_dir.h"
#include "../common/table_string.h"
#include "../common/path.h"
#include "../common/text.h"
#include "../resources/resource.h"

#include <stdlib.h>

// The text sits in the shared string buffer: the next fetch overwrites it, and UpdateProgress
// fetches strings of its own, so each use fetches again.
static const char *TableText(UINT number)
{
    const char *text = GetTableString(number);
    return text ? text : "";
}

// A temporary name in baseq3 that the game does not load (only *.pk3 files are packs), and
// shorter than every slot's name: a pack that fits a slot's path fits here first.
static const char kPackTemp[] = "baseq3\\PakZV.tmp";
static void TellNotInstalled(HWND owner, const char *source)
{
    MessageBoxA(owner, source, "File could not be installed.", MB_ICONWARNING);
}

// Copies the licence text or the uninstaller, telling the user when it failed. Returns the
// target path as a new heap string for what follows, and whether the copy took.
static char *InstallOverOlder(HWND owner, const char *sourceDir, const char *gameDir,
                              UINT nameNumber, bool *copied)
{
    const char *name = TableText(nameNumber);
    char *source = JoinPath(sourceDir, name);
    char *target = JoinPath(gameDir, name);
    *copied = false;
    if (source && target) {
        UpdateProgress(source, target, true);
        *copied = CopyOver(source, target);
        if (!*copied)
            TellNotInstalled(owner, source);
    }
    free(source);
    return target;
}

static bool IsFile(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Puts the pack into the first free slot, never over an existing file; tells the user when no
// slot took it. The pack is copied once under a temporary name and renamed into a slot, so a
// slot never holds a partial pack, whatever fails. True when the pack was installed.
static bool InstallPack(HWND owner, const char *sourceDir, const char *gameDir)
{
    char *source = JoinPath(sourceDir, TableText(IDS_PACK_FILE));
    char *temp = JoinPath(gameDir, kPackTemp);
    bool installed = false, copied = false;
    for (int slot = kFirstPackSlot; source && temp && !installed && slot <= kLastPackSlot; slot++) {
        char name[255];
        FormatText(name, sizeof name, TableText(IDS_PACK_TARGET), slot);
        char *target = JoinPath(gameDir, name);
        if (!target)
            continue;
        UpdateProgress(source, target, slot == kFirstPackSlot);
        if (slot == kFirstPackSlot)
            copied = CopyToTemporary(source, temp);
        // A taken slot fails the rename: try the next one. A missing baseq3 or pack and a full
        // disk left no copy, and every slot fails alike.
        if (copied && MoveTemporary(temp, target, false)) {
            RecordInstalledFile(TableText(IDS_PACKAGE_NAME), target);
            installed = true;
        }
        free(target);
    }
    if (temp)
        DeleteFileA(temp);
    if (!installed)
        TellNotInstalled(owner, source ? source : TableText(IDS_PACK_FILE));
    free(temp);
    free(source);
    return installed;
}

// The sizes of the three package files make the whole progress bar.
static void ExpectPackageFiles(const char *sourceDir)
{
    static const UINT names[] = {IDS_LICENCE_FILE, IDS_UNINSTALLER_FILE, IDS_PACK_FILE};
    char *paths[3];
    for (int i = 0; i < 3; i++)
        paths[i] = JoinPath(sourceDir, TableText(names[i]));
    ExpectFiles(paths, 3);
    for (int i = 0; i < 3; i++)
        free(paths[i]);
}

// One box for every entry the log could not take: the uninstaller will not know of them.
static void TellNotRecorded(HWND owner, const char *gameDir)
{
    char *log = JoinPath(gameDir, kLogFile);
    char text[MAX_PATH + 320];
    FormatText(text, sizeof text,
               "The installation could not be recorded in the install log %s, so the "
               "uninstaller will not be able to remove this package by itself. Files that were "
               "installed must be removed by hand.",
               log ? log : kLogFile);
    free(log);
    MessageBoxA(owner, text, "Install Log Not Updated", MB_ICONWARNING);
}

// The log and the uninstall entry must hold full paths: a directory typed relative to the
// current one would leave the uninstaller unable to find anything. It is resolved once here;
// the copies land in the same place either way. "X:" alone names a drive's root and a path
// starting "X:\\" or "\\\\" is already full: those stay exactly as typed.
static char *FullGameDir(const char *gameDir)
{
    bool drive = gameDir[0] && gameDir[1] == ':';
    if ((drive && (gameDir[2] == 0 || gameDir[2] == '\\')) ||
        (gameDir[0] == '\\' && gameDir[1] == '\\'))
        return DupString(gameDir);
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(gameDir, sizeof full, full, NULL);
    return DupString(length > 0 && length < sizeof full ? full : gameDir);
}

bool InstallPackage(HWND owner, const char *typedGameDir)
{
    SetLogPath(typedGameDir);
    if (IsPackageInstalled(TableText(IDS_PACKAGE_NAME)) &&
        MessageBoxA(owner,
                    "You appear to have already installed this package here. Do you wish to "
                    "install it again?",
                    "Really Re-Install?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    StartProgressDialog(owner);
    // Listed before anything is copied, and kept even if the installation stops below.
    RecordPackage(TableText(IDS_PACKAGE_NAME));

    char *sourceDir = ProgramDirectory();
    char *gameDir = sourceDir ? FullGameDir(typedGameDir) : NULL;
    if (!gameDir) {
        free(sourceDir);
        MessageBoxA(owner,
                    "Could not locate source directory. The installation cannot continue. "
                    "Please eMail \"support@example.com\" about this problem.",
                    "Error", MB_ICONERROR);
        CloseProgressDialog();
        return false;
    }

    ExpectPackageFiles(sourceDir);
    bool licenceCopied = false, uninstallerCopied = false;
    char *licence = InstallOverOlder(owner, sourceDir, gameDir, IDS_LICENCE_FILE, &licenceCopied);
    if (licence)
        RecordInstalledFile(TableText(IDS_PACKAGE_NAME), licence);
    free(licence);
    // The uninstaller is registered, not logged: removing it is what it is there for. Only a
    // working one is registered: the new copy, or the one an earlier installation left.
    char *uninstaller =
        InstallOverOlder(owner, sourceDir, gameDir, IDS_UNINSTALLER_FILE, &uninstallerCopied);
    if (uninstaller && (uninstallerCopied || IsFile(uninstaller)))
        RegisterUninstaller(kUninstallSubkey, TableText(IDS_DISPLAY_NAME), uninstaller);
    free(uninstaller);
    bool packInstalled = InstallPack(owner, sourceDir, gameDir);
    free(sourceDir);
    CloseProgressDialog();

    if (!packInstalled || !licenceCopied || !uninstallerCopied)
        MessageBoxA(owner,
                    "There were one or more errors whilst installing the files. The most common "
                    "cause of this is that you do not have the full retail version of Quake3: "
                    "Arena installed. This add-on does not function with the test or demo "
                    "releases of Quake3: Arena.",
                    "File Copy Errors", MB_ICONWARNING);
    if (LogAppendFailed())
        TellNotRecorded(owner, gameDir);
    free(gameDir);
    return true;
}
