// Registers the installed uninstaller under the machine-wide uninstall key. A value that could
// not be written is an entry the list of programs cannot use, so its failure is returned too.
#include "uninstall_reg.h"

#include "../common/names.h"

#include <stdlib.h>
#include <string.h>

// REG_SZ data must include its terminating zero in the byte count.
static LONG SetStringValue(HKEY key, const char *name, const char *text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, (DWORD)strlen(text) + 1);
}

// Unquoted, a path with blanks (C:\Program Files\...) would let Windows start "C:\Program".
static char *QuotedCommand(const char *path)
{
    size_t length = strlen(path);
    char *command = (char *)malloc(length + 3);
    if (!command)
        return NULL;
    command[0] = '"';
    memcpy(command + 1, path, length);
    command[length + 1] = '"';
    command[length + 2] = 0;
    return command;
}

LONG RegisterUninstaller(const char *subkey, const char *displayName, const char *uninstallPath)
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
    char *command = QuotedCommand(uninstallPath);
    LONG written =
        command ? SetStringValue(key, "UninstallString", command) : ERROR_NOT_ENOUGH_MEMORY;
    if (result == ERROR_SUCCESS)
        result = written;
    free(command);
    RegCloseKey(key);
    LONG closed = RegCloseKey(parent);
    return result == ERROR_SUCCESS ? closed : result;
}
