// The install log, read and appended to by the installer itself in the profile format. The
// installation holds the directory's lock from its first look at the log to its last write, so
// no uninstall or second installation runs in between. An append never rewrites the log in
// place: the new text goes to a temporary file beside it, which then replaces the log in one
// rename, so a full disk, a read-only or linked log or a killed installer leaves every earlier
// entry as it was.
#include "install_log.h"

#include "../common/game_file.h"
#include "../common/log_edit.h"
#include "../common/log_file.h"
#include "../common/names.h"
#include "../common/text_buffer.h"

#include <stdlib.h>

// Until SetLogPath the log is read as empty and left unwritten.
static bool s_set;
// The game directory, when it could be opened; every append fails without it.
static bool s_opened;
static GameDir s_dir;
// Set when an append could not be written; cleared by SetLogPath.
static bool s_appendFailed;
// The directory's lock while LockLog holds it; appends are made only under it.
static HANDLE s_lock;

void SetLogPath(const GameDir *dir)
{
    UnlockLog();
    s_set = true;
    s_appendFailed = false;
    s_opened = dir != NULL;
    if (dir)
        s_dir = *dir;
}

bool LogAppendFailed()
{
    return s_appendFailed;
}

bool LockLog()
{
    if (!s_set || !s_opened)
        return true;
    if (!s_lock)
        s_lock = LockGameLog(&s_dir, kLogLockWait);
    return s_lock != NULL;
}

void UnlockLog()
{
    UnlockGameLog(s_lock);
    s_lock = NULL;
}

struct LogAppend {
    const char *section;
    const char *countKey;
    const char *value;
};

// The appends in order, made to the log's text as it stands and written back in one
// replacement. A log that is there but cannot be read may hold entries: it is never replaced.
static bool WriteAppends(const LogAppend *appends, int count)
{
    char *log = NULL;
    size_t length = 0;
    DWORD error;
    FileCheck check = ReadGameLog(&s_dir, &log, &length, &error);
    if (check != FILE_CHECKED && check != FILE_MISSING)
        return false;
    TextBuffer edited[2];
    const char *text = log ? log : "";
    bool ok = count <= 2;
    for (int i = 0; i < count && i < 2; i++) {
        InitTextBuffer(&edited[i]);
        ok = ok && AppendLogEntry(text, length, appends[i].section, appends[i].countKey,
                                  appends[i].value, &edited[i]);
        text = edited[i].data;
        length = edited[i].length;
    }
    ok = ok && ReplaceGameLog(&s_dir, text, length, &error);
    for (int i = 0; i < count && i < 2; i++)
        FreeTextBuffer(&edited[i]);
    free(log);
    return ok;
}

static bool AppendUnderLock(const LogAppend *appends, int count)
{
    if (!s_set)
        return false;
    bool ok = s_lock && WriteAppends(appends, count);
    if (!ok)
        s_appendFailed = true;
    return ok;
}

bool IsPackageInstalled(const char *package)
{
    char *text = NULL;
    size_t length = 0;
    DWORD error;
    if (!s_set || !s_opened || ReadGameLog(&s_dir, &text, &length, &error) != FILE_CHECKED)
        return false;
    bool listed = IsPackageListed(text, length, package);
    free(text);
    return listed;
}

void RecordPackage(const char *package)
{
    LogAppend append = {kPackageListSection, kPackageCountKey, package};
    AppendUnderLock(&append, 1);
}

bool RecordInstalledFile(const char *package, const char *path)
{
    LogAppend append = {package, kFileCountKey, path};
    return AppendUnderLock(&append, 1);
}

bool RecordPackageWithFile(const char *package, const char *path)
{
    LogAppend appends[] = {{kPackageListSection, kPackageCountKey, package},
                           {package, kFileCountKey, path}};
    return AppendUnderLock(appends, 2);
}
