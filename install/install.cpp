// The install sequence: asks before installing over an earlier installation, copies the
// licence text and the uninstaller over older copies, and puts the pack into the first free
// slot baseq3\PakZV01.pk3 to PakZV99.pk3, logging and registering what it installed.
#include "install.h"

#include "install_log.h"
#include "progress_dialog.h"
#include "safe_file.h"
#include "uninstall_reg.h"
#include "../setup/table_string.h"
#include "../common/game_file.h"
#include "../common/log_file.h"
#include "../common/names.h"
#include "../common/pack_slot.h"
#include "../common/package_size.h"
#include "../common/program_dir.h"
#include "../common/system_error.h"
#include "../common/path.h"
#include "../common/text.h"
#include "../resources/resource.h"

#include <stdlib.h>
#include <string.h>

// The text sits in the shared string buffer: the next fetch overwrites it, and UpdateProgress
// fetches strings of its own, so each use fetches again.
static const char *TableText(UINT number)
{
    const char *text = GetTableString(number);
    return text ? text : "";
}

static void TellNotInstalled(HWND owner, const char *source)
{
    MessageBoxA(owner, source, "File could not be installed.", MB_ICONWARNING);
}

// Copies the licence text or the uninstaller over an older copy, telling the user when it
// failed. True when the copy took.
static bool InstallOverOlder(HWND owner, const GameDir *dir, const char *sourceDir,
                             const char *gameDir, UINT nameNumber)
{
    const char *name = TableText(nameNumber);
    char *source = JoinPath(sourceDir, name);
    char *target = JoinPath(gameDir, name);
    bool copied = false;
    DWORD error;
    if (source && target) {
        UpdateProgress(source, target, true);
        copied = CopyOver(dir, source, TableText(nameNumber), &error);
        if (!copied)
            TellNotInstalled(owner, source);
    }
    free(target);
    free(source);
    return copied;
}

// The slot is free when nothing at all stands at its name, a link neither.
static bool IsFreeSlot(const GameDir *dir, const char *name)
{
    HANDLE file;
    DWORD error;
    FileCheck check =
        OpenGameFile(dir, name, FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &file, &error);
    if (check == FILE_CHECKED)
        CloseHandle(file);
    return check == FILE_MISSING;
}

// Records the pack in the free slot, then renames it there: the log lists every pack of ours
// in a slot, whenever the installer is stopped. A slot taken in between fails the rename, and
// its entry then names a file that never arrived, which the uninstaller passes over.
static bool PlaceInSlot(const GameDir *dir, HANDLE pack, const char *name, const char *target)
{
    if (!IsFreeSlot(dir, name))
        return false;
    RecordInstalledFile(TableText(IDS_PACKAGE_NAME), target);
    DWORD error;
    return RenameGameFile(pack, dir, name, false, &error);
}

// Puts the pack into the first free slot, never over an existing file; tells the user when no
// slot took it. The pack is copied once under a temporary name and renamed into a slot, so a
// slot never holds a partial pack, whatever fails. True when the pack was installed.
static bool InstallPack(HWND owner, const GameDir *dir, const char *sourceDir, const char *gameDir)
{
    char *source = JoinPath(sourceDir, TableText(IDS_PACK_FILE));
    HANDLE pack = INVALID_HANDLE_VALUE;
    bool installed = false, copied = false;
    DWORD error;
    for (int slot = kFirstPackSlot; source && !installed && slot <= kLastPackSlot; slot++) {
        char name[255];
        FormatPackSlot(slot, name, sizeof name);
        char *target = JoinPath(gameDir, name);
        if (!target)
            continue;
        UpdateProgress(source, target, slot == kFirstPackSlot);
        if (slot == kFirstPackSlot)
            copied = CopyToTemporary(dir, source, kPackTemporary, &pack, &error);
        // A missing baseq3 or pack and a full disk left no copy, and every slot fails alike.
        installed = copied && PlaceInSlot(dir, pack, name, target);
        free(target);
    }
    if (installed)
        CloseHandle(pack);
    else if (copied)
        DiscardTemporary(pack);
    if (!installed)
        TellNotInstalled(owner, source ? source : TableText(IDS_PACK_FILE));
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

// The entry's size: the package's files in the directory as the log lists them now.
static DWORD InstalledSizeKB(const GameDir *dir)
{
    char *log = NULL;
    size_t length = 0;
    DWORD error;
    ReadGameLog(dir, &log, &length, &error);
    DWORD kb = PackageSizeKB(dir, log, length);
    free(log);
    return kb;
}

// Only a plain file of ours is entered as the uninstaller, the new copy or the one an earlier
// installation left: a link planted there would be run with administrator rights. True when
// the entry was written whole.
static bool RegisterInstalledUninstaller(HWND owner, const GameDir *dir, const char *gameDir)
{
    HANDLE file;
    DWORD error;
    if (OpenGameFile(dir, kUninstallerFile, FILE_READ_ATTRIBUTES, FILE_SHARE_READ, &file, &error) !=
        FILE_CHECKED)
        return false;
    CloseHandle(file);
    char *uninstaller = JoinPath(gameDir, kUninstallerFile);
    LONG result = uninstaller ? RegisterUninstaller(kUninstallSubkey, TableText(IDS_DISPLAY_NAME),
                                                    uninstaller, InstalledSizeKB(dir))
                              : ERROR_NOT_ENOUGH_MEMORY;
    free(uninstaller);
    if (result == ERROR_SUCCESS)
        return true;
    char reason[256], text[MAX_PATH + 512];
    SystemErrorText((DWORD)result, reason, sizeof reason);
    FormatText(text, sizeof text,
               "The package could not be entered in the list of programs, so it cannot be "
               "removed from there. To remove it, run %s in %s.\n\n%s",
               kUninstallerFile, gameDir, reason);
    MessageBoxA(owner, text, "Uninstaller Not Registered", MB_ICONWARNING);
    return false;
}

// Copies the three files and records them. True when the pack is in its slot; *allLanded
// tells whether the licence and the uninstaller landed too.
static bool InstallFiles(HWND owner, const GameDir *dir, const char *sourceDir, const char *gameDir,
                         bool *allLanded)
{
    // The licence is recorded before it lands, and so the package is listed with its first
    // entry: a log never lists the package without one, nor misses a file of it.
    char *licence = JoinPath(gameDir, TableText(IDS_LICENCE_FILE));
    if (licence)
        RecordPackageWithFile(TableText(IDS_PACKAGE_NAME), licence);
    free(licence);
    bool licenceCopied = InstallOverOlder(owner, dir, sourceDir, gameDir, IDS_LICENCE_FILE);
    // The uninstaller is registered, not logged: removing it is what it is there for.
    bool uninstallerCopied = InstallOverOlder(owner, dir, sourceDir, gameDir, IDS_UNINSTALLER_FILE);
    bool registered = RegisterInstalledUninstaller(owner, dir, gameDir);
    bool packInstalled = InstallPack(owner, dir, sourceDir, gameDir);
    // Written again once the pack is in its slot, so that the entry's size counts it.
    if (registered && packInstalled)
        RegisterInstalledUninstaller(owner, dir, gameDir);
    *allLanded = licenceCopied && uninstallerCopied && packInstalled;
    return packInstalled;
}

// The installation once the directory's lock is held: everything from the re-install question
// to the last write.
static bool InstallLocked(HWND owner, const GameDir *dir, const char *gameDir)
{
    if (IsPackageInstalled(TableText(IDS_PACKAGE_NAME)) &&
        MessageBoxA(owner,
                    "You appear to have already installed this package here. Do you wish to "
                    "install it again?",
                    "Really Re-Install?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    StartProgressDialog(owner);

    char *sourceDir = ProgramDirectory();
    if (!sourceDir || !gameDir) {
        free(sourceDir);
        MessageBoxA(owner,
                    "Could not locate source directory. The installation cannot continue. "
                    "Please eMail \"support@example.com\" about this problem.",
                    "Error", MB_ICONERROR);
        CloseProgressDialog();
        return false;
    }

    ExpectPackageFiles(sourceDir);
    bool allInstalled;
    bool packInstalled = InstallFiles(owner, dir, sourceDir, gameDir, &allInstalled);
    free(sourceDir);
    CloseProgressDialog();

    if (!allInstalled)
        MessageBoxA(owner,
                    "There were one or more errors whilst installing the files. The most common "
                    "cause of this is that you do not have the full retail version of Quake3: "
                    "Arena installed. This add-on does not function with the test or demo "
                    "releases of Quake3: Arena.",
                    "File Copy Errors", MB_ICONWARNING);
    if (LogAppendFailed())
        TellNotRecorded(owner, gameDir);
    return packInstalled;
}

bool InstallPackage(HWND owner, const char *typedGameDir)
{
    // Resolved and opened once: the log, the copies and the uninstall entry take this one full
    // path, a typed relative one included, and the directory by its identity.
    char *gameDir = FullDirectory(typedGameDir);
    GameDir dir;
    DWORD error;
    bool opened = gameDir && OpenGameDir(gameDir, &dir, &error);
    if (!opened)
        memset(&dir, 0, sizeof dir); // not checkable: every copy fails and is told
    SetLogPath(opened ? &dir : NULL);
    // An uninstall or another installation running here would edit the log and remove files
    // under this one: it goes first, and this one changes nothing.
    bool installed = false;
    if (LockLog()) {
        installed = InstallLocked(owner, &dir, gameDir);
        UnlockLog();
    } else {
        char text[MAX_PATH + 160];
        FormatText(text, sizeof text, kBusyText, typedGameDir);
        MessageBoxA(owner, text, kBusyCaption, MB_ICONWARNING);
    }
    free(gameDir);
    return installed;
}
