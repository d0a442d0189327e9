// The edits of the install log's text, read through the line reader (log_lines): every line an
// edit does not concern is copied through untouched. Each pass reads the text once, so a huge
// log costs linear time.
#include "log_edit.h"

#include "names.h"
#include "text.h"

#include <stdlib.h>
#include <string.h>

enum SectionKind { SECTION_NONE, SECTION_LIST, SECTION_PACKAGE, SECTION_OTHER };

struct Entry {
    unsigned long number;
    size_t order; // place in the file, so that equal numbers keep their order
    Slice written;
    bool ours;
};

// The package list's own count: rewritten, never copied.
static bool IsCountLine(const LogLine &line)
{
    return line.kind == LINE_KEY && SliceIs(line.name, kPackageCountKey);
}

// The value as the line writes it, its quotes kept: the reader takes one pair off, and a value
// written back bare would read otherwise ("Runner " loses its blank, '"Q"' its quotes). A
// trimmed value follows "=" or a blank, so a quote before it is one that was taken off.
static Slice Written(const LogLine &line)
{
    Slice value = line.value;
    size_t at = (size_t)(value.text - line.whole.text);
    if (at > 0 && (line.whole.text[at - 1] == '"' || line.whole.text[at - 1] == '\'')) {
        value.text--;
        value.length += 2;
    }
    return value;
}

static SectionKind KindOf(Slice name, const char *package)
{
    if (SliceIs(name, kPackageListSection))
        return SECTION_LIST;
    if (SliceIs(name, package))
        return SECTION_PACKAGE;
    return SECTION_OTHER;
}

// Whether the section that starts at cursor holds a line that is neither blank nor one of the
// list's count and entries, and so keeps its header.
static bool HasOtherLines(const char *cursor, const char *end)
{
    LogLine line;
    while (NextLogLine(&cursor, end, &line) && line.kind != LINE_SECTION)
        if (line.kind == LINE_OTHER || (line.kind == LINE_KEY && !IsCountLine(line)))
            return true;
    return false;
}

static bool AddFile(PackageFiles *found, size_t *capacity, Slice value)
{
    if (found->count == *capacity) {
        size_t grown = *capacity ? *capacity * 2 : 16;
        Slice *files = (Slice *)realloc(found->files, grown * sizeof *files);
        if (!files)
            return false;
        found->files = files;
        *capacity = grown;
    }
    found->files[found->count++] = value;
    return true;
}

bool FindPackageFiles(const char *log, size_t length, const char *package, PackageFiles *found)
{
    found->listed = false;
    found->files = NULL;
    found->count = 0;
    size_t capacity = 0;
    const char *end = log + length;
    SectionKind section = SECTION_NONE;
    LogLine line;
    while (NextLogLine(&log, end, &line)) {
        if (line.kind == LINE_SECTION) {
            section = KindOf(line.name, package);
            if (section == SECTION_PACKAGE)
                found->listed = true;
        } else if (line.kind == LINE_ENTRY && section == SECTION_PACKAGE) {
            if (!AddFile(found, &capacity, line.value))
                return false;
        } else if (line.kind == LINE_ENTRY && section == SECTION_LIST &&
                   SliceIs(line.value, package)) {
            found->listed = true;
        }
    }
    return true;
}

void FreePackageFiles(PackageFiles *found)
{
    free(found->files);
    found->files = NULL;
    found->count = 0;
}

static int CompareEntries(const void *a, const void *b)
{
    const Entry *x = (const Entry *)a, *y = (const Entry *)b;
    if (x->number != y->number)
        return x->number < y->number ? -1 : 1;
    return x->order < y->order ? -1 : x->order > y->order;
}

// The list entries sorted by number, equal numbers in file order; a hostile log may hold
// millions, so they are sorted once rather than inserted one by one.
static bool GatherList(const char *log, const char *end, const char *package, Entry **entries,
                       size_t *count)
{
    size_t capacity = 0;
    SectionKind section = SECTION_NONE;
    LogLine line;
    while (NextLogLine(&log, end, &line)) {
        if (line.kind == LINE_SECTION) {
            section = KindOf(line.name, package);
        } else if (line.kind == LINE_ENTRY && section == SECTION_LIST) {
            if (*count == capacity) {
                size_t grown = capacity ? capacity * 2 : 16;
                Entry *more = (Entry *)realloc(*entries, grown * sizeof *more);
                if (!more)
                    return false;
                *entries = more;
                capacity = grown;
            }
            Entry *entry = &(*entries)[*count];
            entry->number = line.number;
            entry->order = *count;
            entry->written = Written(line);
            entry->ours = SliceIs(line.value, package);
            (*count)++;
        }
    }
    // A list without entries has no storage, and qsort may not be given a null pointer.
    if (*count > 1)
        qsort(*entries, *count, sizeof **entries, CompareEntries);
    return true;
}

// The entries the list keeps: the others, and the package's first while it stays.
static size_t WrittenEntries(const Entry *entries, size_t count, bool keepOurs)
{
    size_t written = 0;
    for (size_t i = 0; i < count; i++) {
        if (entries[i].ours && !keepOurs)
            continue;
        keepOurs = keepOurs && !entries[i].ours;
        written++;
    }
    return written;
}

static bool WriteList(TextBuffer *text, const Entry *entries, size_t count, bool keepOurs)
{
    AppendString(text, kPackageCountKey);
    AppendString(text, "=");
    AppendNumber(text, (unsigned long)WrittenEntries(entries, count, keepOurs));
    AppendString(text, "\r\n");
    unsigned long number = 0;
    for (size_t i = 0; i < count; i++) {
        if (entries[i].ours && !keepOurs)
            continue;
        keepOurs = keepOurs && !entries[i].ours;
        AppendNumber(text, ++number);
        AppendString(text, "=");
        AppendText(text, entries[i].written.text, entries[i].written.length);
        AppendString(text, "\r\n");
    }
    return !text->failed;
}

static bool WriteKeptSection(TextBuffer *text, const char *package, const Slice *kept,
                             size_t keptCount)
{
    AppendString(text, "[");
    AppendString(text, package);
    AppendString(text, "]\r\n");
    AppendString(text, kFileCountKey);
    AppendString(text, "=");
    AppendNumber(text, (unsigned long)keptCount);
    AppendString(text, "\r\n");
    for (size_t i = 0; i < keptCount; i++) {
        AppendNumber(text, (unsigned long)i + 1);
        AppendString(text, "=");
        AppendText(text, kept[i].text, kept[i].length);
        AppendString(text, "\r\n");
    }
    return !text->failed;
}

// Every line but the package's, the list rewritten where it first stood and the kept files
// where the package's first section stood.
static bool WriteEditedLog(const char *log, const char *end, const char *package,
                           const Entry *entries, size_t entryCount, const Slice *kept,
                           size_t keptCount, TextBuffer *text)
{
    SectionKind section = SECTION_NONE;
    bool keep = true, listWritten = false, keptWritten = false;
    bool listHasEntries = WrittenEntries(entries, entryCount, keptCount > 0) > 0;
    LogLine line;
    while (NextLogLine(&log, end, &line)) {
        if (line.kind == LINE_SECTION) {
            section = KindOf(line.name, package);
            if (section == SECTION_PACKAGE) {
                keep = false;
                if (keptCount && !keptWritten && !WriteKeptSection(text, package, kept, keptCount))
                    return false;
                keptWritten = true;
                continue;
            }
            bool writeList = section == SECTION_LIST && !listWritten && listHasEntries;
            keep = section == SECTION_OTHER || writeList ||
                   (section == SECTION_LIST && HasOtherLines(log, end));
            if (keep)
                AppendText(text, line.whole.text, line.whole.length);
            if (section == SECTION_LIST)
                listWritten = true;
            if (writeList && !WriteList(text, entries, entryCount, keptCount > 0))
                return false;
            continue;
        }
        if (!keep)
            continue;
        if (section == SECTION_LIST && (line.kind == LINE_ENTRY || IsCountLine(line)))
            continue;
        AppendText(text, line.whole.text, line.whole.length);
    }
    return !text->failed;
}

bool EditLog(const char *log, size_t length, const char *package, const Slice *kept,
             size_t keptCount, TextBuffer *text)
{
    const char *end = log + length;
    Entry *entries = NULL;
    size_t entryCount = 0;
    bool ok = GatherList(log, end, package, &entries, &entryCount) &&
              WriteEditedLog(log, end, package, entries, entryCount, kept, keptCount, text);
    free(entries);
    return ok;
}

// Where a key stands in the first section of the name, as the profile functions find it.
struct KeyPlace {
    bool sectionFound;
    size_t insertAt;  // after the section's last line that is not blank
    const char *line; // the first line of the key, or null
    size_t lineLength;
    Slice value;
    unsigned long highest; // the highest numbered entry in the section
};

static KeyPlace FindKey(const char *text, size_t length, const char *section, const char *key)
{
    KeyPlace place = {false, length, NULL, 0, {"", 0}, 0};
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
        if (line.kind == LINE_ENTRY && line.number > place.highest)
            place.highest = line.number;
        if (!place.line && (line.kind == LINE_ENTRY || line.kind == LINE_KEY) &&
            SliceIs(line.name, key)) {
            place.line = line.whole.text;
            place.lineLength = line.whole.length;
            place.value = line.value;
        }
    }
    return place;
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

bool AppendLogEntry(const char *log, size_t length, const char *section, const char *countKey,
                    const char *value, TextBuffer *out)
{
    // Another tool may have lowered the count below entries it left, or a killed installer
    // may have written an entry without raising it: the new number passes both, so no entry
    // that is there is ever written over.
    KeyPlace place = FindKey(log, length, section, countKey);
    unsigned long count = place.line ? (unsigned long)SliceNumber(place.value) : 0;
    unsigned long last = count > place.highest ? count : place.highest;
    if (last >= kMaxLogCount)
        return false;
    char number[16];
    FormatText(number, sizeof number, "%lu", last + 1);
    TextBuffer counted;
    InitTextBuffer(&counted);
    SetKey(log, length, section, countKey, number, &counted);
    if (!counted.failed)
        SetKey(counted.data, counted.length, section, number, value, out);
    bool ok = !counted.failed && !out->failed;
    FreeTextBuffer(&counted);
    return ok;
}

bool IsPackageListed(const char *log, size_t length, const char *package)
{
    // Every numbered entry of the first list, whatever the count says, as the uninstaller
    // reads it: an entry above the count is an installation all the same.
    const char *cursor = log, *end = log + length;
    bool inside = false;
    LogLine line;
    while (NextLogLine(&cursor, end, &line)) {
        if (line.kind == LINE_SECTION) {
            if (inside)
                break; // only the first list counts
            inside = SliceIs(line.name, kPackageListSection);
        } else if (inside && line.kind == LINE_ENTRY && SliceIs(line.value, package)) {
            return true;
        }
    }
    return false;
}
