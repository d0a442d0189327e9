// The install log, read and appended to by the installer itself in the profile format. An
// append never rewrites the log in place: the new text goes to a temporary file beside it,
// which then replaces the log in one rename, so a full disk, a locked or read-only log or a
// killed installer leaves every earlier entry as it was.
#include "install_log.h"

#include "safe_file.h"
#include "../common/log_lines.h"
#include "../common/read_file.h"
#include "../common/names.h"
#include "../common/path.h"
#include "../common/text.h"
#include "../common/text_buffer.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

// A log larger than this was not written by installers, which add a few lines per run.
static const unsigned long long kMaxLogSize = 16 * 1024 * 1024;

// Null until SetLogPath: the log is then read as empty and left unwritten.
static char *s_logPath;
// Set when an append could not be written; cleared by SetLogPath.
static bool s_appendFailed;

void SetLogPath(const char *gameDir)
{
    free(s_logPath);
    s_appendFailed = false;
    s_logPath = JoinPath(gameDir, kLogFile);
    if (!s_logPath)
        return;
    // A path relative to the current directory would follow that directory as it changes.
    DWORD size = GetFullPathNameA(s_logPath, 0, NULL, NULL);
    char *full = size ? (char *)malloc(size) : NULL;
    if (full && GetFullPathNameA(s_logPath, size, full, NULL) < size) {
        free(s_logPath);
        s_logPath = full;
    } else {
        free(full);
    }
}

bool LogAppendFailed()
{
    return s_appendFailed;
}

enum LogRead { LOG_READ, LOG_MISSING, LOG_UNREADABLE };

// The whole log as a new heap text; *text stays null, as the caller set it, unless the log was
// read. A log that is locked, a directory, too large or cut short while reading is
// unreadable: it may hold entries, so it must never be replaced.
static LogRead ReadLog(char **text, size_t *length)
{
    // Opened as itself: a log that is a link or a second name of another file would have that
    // file's contents copied out into the game directory.
    HANDLE file = CreateFileA(s_logPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? LOG_MISSING
                                                                              : LOG_UNREADABLE;
    }
    BY_HANDLE_FILE_INFORMATION info;
    DWORD error;
    bool read =
        GetFileInformationByHandle(file, &info) && info.nNumberOfLinks == 1 &&
        !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) &&
        ReadWholeFile(file, kMaxLogSize, text, length, &error);
    CloseHandle(file);
    return read ? LOG_READ : LOG_UNREADABLE;
}

// Where a key stands in the first section of the name, as the profile functions find it.
struct KeyPlace {
    bool sectionFound;
    size_t insertAt;  // after the section's last line that is not blank
    const char *line; // the first line of the key, or null
    size_t lineLength;
    Slice value;
};

static KeyPlace FindKey(const char *text, size_t length, const char *section, const char *key)
{
    KeyPlace place = {false, length, NULL, 0, {"", 0}};
    const char *cursor = text, *end = text + length;
    bool inside = false;
    LogLine line;
    while (NextLogLine(&cursor, end, &line)) {
        if (line.kind == LINE_SECTION) {
            if (inside)
                break; // only the first section of the name counts
            inside = SliceIs(line.name, section);
            if (inside) {
                place.sectionFound = true;
                place.insertAt = (size_t)(cursor - text);
            }
            continue;
        }
        if (!inside || line.kind == LINE_BLANK)
            continue;
        place.insertAt = (size_t)(cursor - text);
        if (!place.line && (line.kind == LINE_ENTRY || line.kind == LINE_KEY) &&
            SliceIs(line.name, key)) {
            place.line = line.whole.text;
            place.lineLength = line.whole.length;
            place.value = line.value;
        }
    }
    return place;
}

static int ReadCount(const char *text, size_t length, const char *section, const char *countKey)
{
    KeyPlace place = FindKey(text, length, section, countKey);
    return place.line ? SliceNumber(place.value) : 0;
}

static void AppendKeyLine(TextBuffer *out, const char *key, const char *value)
{
    AppendString(out, key);
    AppendString(out, "=");
    AppendString(out, value);
    AppendString(out, "\r\n");
}

// Copies text[from, to) and, unless it ends a line already, a line end.
static void AppendPart(TextBuffer *out, const char *text, size_t from, size_t to)
{
    AppendText(out, text + from, to - from);
    if (to > from && text[to - 1] != '\n')
        AppendString(out, "\r\n");
}

// The log's text with the key set to value in the first section of the name: its first line
// replaced, or a new line after the section's last one, or a new section at the end.
static void SetKey(const char *text, size_t length, const char *section, const char *key,
                   const char *value, TextBuffer *out)
{
    KeyPlace place = FindKey(text, length, section, key);
    if (!place.sectionFound) {
        AppendPart(out, text, 0, length);
        AppendString(out, "[");
        AppendString(out, section);
        AppendString(out, "]\r\n");
        AppendKeyLine(out, key, value);
        return;
    }
    if (place.line) {
        size_t start = (size_t)(place.line - text), stop = start + place.lineLength;
        AppendText(out, text, start);
        AppendKeyLine(out, key, value);
        AppendText(out, text + stop, length - stop);
        return;
    }
    AppendPart(out, text, 0, place.insertAt);
    AppendKeyLine(out, key, value);
    AppendText(out, text + place.insertAt, length - place.insertAt);
}

// The count first, then the entry under the new number, as one replacement of the log.
static bool AppendEntry(const char *section, const char *countKey, const char *value)
{
    char *text = NULL;
    size_t length = 0;
    if (ReadLog(&text, &length) == LOG_UNREADABLE)
        return false;
    char number[16];
    FormatText(number, sizeof number, "%d", ReadCount(text, length, section, countKey) + 1);
    TextBuffer counted, entered;
    InitTextBuffer(&counted);
    InitTextBuffer(&entered);
    SetKey(text ? text : "", length, section, countKey, number, &counted);
    if (!counted.failed)
        SetKey(counted.data, counted.length, section, number, value, &entered);
    bool ok = !counted.failed && !entered.failed &&
              ReplaceFileContents(s_logPath, entered.data, entered.length);
    FreeTextBuffer(&counted);
    FreeTextBuffer(&entered);
    free(text);
    return ok;
}

static bool Append(const char *section, const char *countKey, const char *value)
{
    if (!s_logPath)
        return false;
    bool ok = AppendEntry(section, countKey, value);
    if (!ok)
        s_appendFailed = true;
    return ok;
}

bool IsPackageInstalled(const char *package)
{
    char *text = NULL;
    size_t length = 0;
    if (!s_logPath || ReadLog(&text, &length) != LOG_READ)
        return false;
    // The entries 1 to the count: one pass over the lines, however large the count.
    unsigned long count =
        (unsigned long)ReadCount(text, length, kPackageListSection, kPackageCountKey);
    const char *cursor = text, *end = text + length;
    bool inside = false, found = false;
    LogLine line;
    while (!found && NextLogLine(&cursor, end, &line)) {
        if (line.kind == LINE_SECTION) {
            if (inside)
                break; // only the first list counts
            inside = SliceIs(line.name, kPackageListSection);
        } else if (inside && line.kind == LINE_ENTRY && line.number <= count) {
            found = SliceIs(line.value, package);
        }
    }
    free(text);
    return found;
}

void RecordPackage(const char *package)
{
    Append(kPackageListSection, kPackageCountKey, package);
}

bool RecordInstalledFile(const char *package, const char *path)
{
    return Append(package, kFileCountKey, path);
}
