// The install sequence: asks before installing over an earlier installation, copies the
// licence text and the uninstaller over older copies, and puts the pack into the first free
// slot baseq3\PakZV01.pk3 to PakZV99.pk3, logging and registering what it installed.
#include "install.h"

#include "install_log.h"
#include "progress_dialog.h"
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

// Copies one package file over any older copy, reporting nothing. Returns the target path as a
// new heap string for what follows the copy, whatever its outcome.
static char *CopyOverOlder(const char *sourceDir, const char *gameDir, UINT nameNumber)
{
    const char *name = TableText(nameNumber);
    char *source = JoinPath(sourceDir, name);
    char *target = JoinPath(gameDir, name);
    if (source && target) {
        UpdateProgress(source, target, true);
        CopyFileA(source, target, FALSE);
    }
    free(source);
    return target;
}

// Puts the pack into the first free slot, never over an existing file; tells the user when no
// slot took it. True when the pack was installed.
static bool InstallPack(HWND owner, const char *sourceDir, const char *gameDir)
{
    char *source = JoinPath(sourceDir, TableText(IDS_PACK_FILE));
    bool installed = false;
    for (int slot = kFirstPackSlot; source && !installed && slot <= kLastPackSlot; slot++) {
        char name[255];
        FormatText(name, sizeof name, TableText(IDS_PACK_TARGET), slot);
        char *target = JoinPath(gameDir, name);
        if (!target)
            continue;
        UpdateProgress(source, target, slot == kFirstPackSlot);
        // A taken slot, a missing baseq3 and a missing pack all fail alike: try the next slot.
        if (CopyFileA(source, target, TRUE)) {
            RecordInstalledFile(TableText(IDS_PACKAGE_NAME), target);
            installed = true;
        }
        free(target);
    }
    if (!installed)
        MessageBoxA(owner, source ? source : TableText(IDS_PACK_FILE),
                    "File could not be installed.", MB_ICONWARNING);
    free(source);
    return installed;
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

    char *licence = CopyOverOlder(sourceDir, gameDir, IDS_LICENCE_FILE);
    if (licence)
        RecordInstalledFile(TableText(IDS_PACKAGE_NAME), licence);
    free(licence);
    // The uninstaller is registered, not logged: removing it is what it is there for.
    char *uninstaller = CopyOverOlder(sourceDir, gameDir, IDS_UNINSTALLER_FILE);
    if (uninstaller)
        RegisterUninstaller(kUninstallSubkey, TableText(IDS_DISPLAY_NAME), uninstaller);
    free(uninstaller);
    bool packInstalled = InstallPack(owner, sourceDir, gameDir);
    free(sourceDir);
    free(gameDir);
    CloseProgressDialog();

    if (!packInstalled)
        MessageBoxA(owner,
                    "There were one or more errors whilst installing the files. The most common "
                    "cause of this is that you do not have the full retail version of Quake3: "
                    "Arena installed. This add-on does not function with the test or demo "
                    "releases of Quake3: Arena.",
                    "File Copy Errors", MB_ICONWARNING);
    return true;
}
