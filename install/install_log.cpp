// The install log over the system's private profile functions. Counts are read back from the
// file before every append, so each installation adds to whatever lists are already there.
#include "install_log.h"

#include "../common/log_key.h"
#include "../common/names.h"
#include "../common/path.h"
#include "../common/text.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

// Null until SetLogPath: the log is then read as empty and left unwritten.
static char *s_logPath;

void SetLogPath(const char *gameDir)
{
    free(s_logPath);
    s_logPath = JoinPath(gameDir, kLogFile);
    if (!s_logPath)
        return;
    // The profile functions put a file named by a relative path into the Windows directory,
    // away from the files it lists.
    DWORD size = GetFullPathNameA(s_logPath, 0, NULL, NULL);
    char *full = size ? (char *)malloc(size) : NULL;
    if (full && GetFullPathNameA(s_logPath, size, full, NULL) < size) {
        free(s_logPath);
        s_logPath = full;
    } else {
        free(full);
    }
}

static int ReadCount(const char *section, const char *countKey)
{
    return (int)GetPrivateProfileIntA(section, countKey, 0, s_logPath);
}

// The largest entry number the package list holds, or count when the list cannot be read
// whole. Looking up the entries only that far gives the same answer, and a damaged count of
// millions cannot keep the installer looking up missing entries for hours.
static int LastListedEntry(int count)
{
    const DWORD size = 64 * 1024;
    char *section = (char *)malloc(size);
    if (!section)
        return count;
    DWORD length = GetPrivateProfileSectionA(kPackageListSection, section, size, s_logPath);
    int last = 0;
    for (const char *line = section; length < size - 2 && *line; line += strlen(line) + 1) {
        const char *equals = strchr(line, '=');
        if (!equals)
            continue;
        const char *key = line, *keyEnd = equals;
        while (*key == ' ' || *key == '\t')
            key++;
        while (keyEnd > key && (keyEnd[-1] == ' ' || keyEnd[-1] == '\t'))
            keyEnd--;
        unsigned long number = 0;
        if (ParseLogKey(key, (size_t)(keyEnd - key), &number) && (int)number > last)
            last = (int)number;
    }
    free(section);
    if (length >= size - 2)
        return count;
    return last < count ? last : count;
}

bool IsPackageInstalled(const char *package)
{
    if (!s_logPath)
        return false;
    int count = LastListedEntry(ReadCount(kPackageListSection, kPackageCountKey));
    for (int k = 1; k <= count; k++) {
        char key[16];
        char entry[260];
        FormatText(key, sizeof key, "%d", k);
        GetPrivateProfileStringA(kPackageListSection, key, "", entry, sizeof entry, s_logPath);
        if (EqualAsciiText(entry, package))
            return true;
    }
    return false;
}

// The count first, then the entry under the new number: a failed second write leaves a gap
// that the next append writes after.
static bool AppendEntry(const char *section, const char *countKey, const char *value)
{
    char key[16];
    FormatText(key, sizeof key, "%d", ReadCount(section, countKey) + 1);
    WritePrivateProfileStringA(section, countKey, key, s_logPath);
    return WritePrivateProfileStringA(section, key, value, s_logPath) != 0;
}

void RecordPackage(const char *package)
{
    if (s_logPath)
        AppendEntry(kPackageListSection, kPackageCountKey, package);
}

bool RecordInstalledFile(const char *package, const char *path)
{
    return s_logPath && AppendEntry(package, kFileCountKey, path);
}
