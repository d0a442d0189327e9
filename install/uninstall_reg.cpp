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
// there is nothing to modify or repair. Written from tables: the installer's size is guarded.
static LONG WriteDetails(HKEY key, const char *uninstallPath, DWORD sizeKB)
{
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    FormatText(date, sizeof date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    const char *const texts[][2] = {{"DisplayIcon", uninstallPath},
                                    {"Publisher", kPublisher},
                                    {"DisplayVersion", ZV_VERSION},
                                    {"InstallDate", date}};
    const struct {
        const char *name;
        DWORD number;
    } numbers[] = {{"EstimatedSize", sizeKB}, {"NoModify", 1}, {"NoRepair", 1}};
    LONG result = SetLocationValue(key, uninstallPath);
    for (const auto &text : texts)
        Keep(&result, SetStringValue(key, text[0], text[1]));
    for (const auto &number : numbers)
        Keep(&result, RegSetValueExA(key, number.name, 0, REG_DWORD, (const BYTE *)&number.number,
                                     sizeof number.number));
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
