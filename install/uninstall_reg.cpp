// Registers the installed uninstaller under the machine-wide uninstall key. A value that could
// not be written is an entry the list of programs cannot use, so its failure is returned too.
#include "uninstall_reg.h"

#include "../common/names.h"
#include "../common/path.h"
#include "../common/program_dir.h"
#include "../common/text.h"
#include "zv_version.h"

#include <stdlib.h>
#include <string.h>

static const char kPublisher[] = "ZV Developments";

// REG_SZ data must include its terminating zero in the byte count.
static LONG SetStringValue(HKEY key, const char *name, const char *text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, (DWORD)strlen(text) + 1);
}

static LONG SetNumberValue(HKEY key, const char *name, DWORD number)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&number, sizeof number);
}

// Unquoted, a path with blanks (C:\Program Files\...) would let Windows start "C:\Program".
// The quiet command adds its switch after the quotes.
static char *QuotedCommand(const char *path, const char *arguments)
{
    size_t length = strlen(path) + strlen(arguments) + 3;
    char *command = (char *)malloc(length);
    if (command && !FormatText(command, length, "\"%s\"%s", path, arguments)) {
        free(command);
        return NULL;
    }
    return command;
}

// Keeps the first failure of a series of writes.
static void Keep(LONG *result, LONG written)
{
    if (*result == ERROR_SUCCESS)
        *result = written;
}

static LONG SetCommandValue(HKEY key, const char *name, const char *path, const char *arguments)
{
    char *command = QuotedCommand(path, arguments);
    LONG written = command ? SetStringValue(key, name, command) : ERROR_NOT_ENOUGH_MEMORY;
    free(command);
    return written;
}

// The game directory, as the uninstaller's own: a drive's root keeps its separator ("G:\\").
static LONG SetLocationValue(HKEY key, const char *uninstallPath)
{
    size_t length = strlen(uninstallPath);
    char *dir = DirectoryOfPath(uninstallPath, length, length + 1);
    char *root = dir && IsDriveOnly(dir) ? JoinPath(dir, "") : NULL;
    LONG written =
        dir ? SetStringValue(key, "InstallLocation", root ? root : dir) : ERROR_INVALID_PARAMETER;
    free(root);
    free(dir);
    return written;
}

// What Windows shows beside the name, and the switches that leave only Uninstall offered:
// there is nothing to modify or repair.
static LONG WriteDetails(HKEY key, const char *uninstallPath, DWORD sizeKB)
{
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    FormatText(date, sizeof date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    LONG result = SetStringValue(key, "DisplayIcon", uninstallPath);
    Keep(&result, SetStringValue(key, "Publisher", kPublisher));
    Keep(&result, SetStringValue(key, "DisplayVersion", ZV_VERSION));
    Keep(&result, SetLocationValue(key, uninstallPath));
    Keep(&result, SetStringValue(key, "InstallDate", date));
    Keep(&result, SetNumberValue(key, "EstimatedSize", sizeKB));
    Keep(&result, SetNumberValue(key, "NoModify", 1));
    Keep(&result, SetNumberValue(key, "NoRepair", 1));
    Keep(&result, SetCommandValue(key, "QuietUninstallString", uninstallPath, " /S"));
    return result;
}

LONG RegisterUninstaller(const char *subkey, const char *displayName, const char *uninstallPath,
                         DWORD sizeKB)
{
    HKEY parent = NULL;
    LONG result = RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallParentKey, &parent);
    if (result != ERROR_SUCCESS)
        return result;
    HKEY key = NULL;
    result = RegCreateKeyA(parent, subkey, &key);
    if (result != ERROR_SUCCESS) {
        RegCloseKey(parent);
        return result;
    }
    result = SetStringValue(key, "DisplayName", displayName);
    Keep(&result, SetCommandValue(key, "UninstallString", uninstallPath, ""));
    Keep(&result, WriteDetails(key, uninstallPath, sizeKB));
    RegCloseKey(key);
    LONG closed = RegCloseKey(parent);
    return result == ERROR_SUCCESS ? closed : result;
}
