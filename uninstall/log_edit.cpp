// The install log's text as lines: section headers, numbered keys and everything else, which
// is copied through untouched. Two passes: one gathers, one writes the edited text.
#include "log_edit.h"

#include "../common/log_lines.h"
#include "../common/names.h"

#include <stdlib.h>
#include <string.h>

enum SectionKind { SECTION_NONE, SECTION_LIST, SECTION_PACKAGE, SECTION_OTHER };

struct Entry {
    unsigned long number;
    Slice value;
};

// The package list's own count: rewritten, never copied.
static bool IsCountLine(const LogLine &line)
{
    return line.kind == LINE_KEY && SliceIs(line.name, kPackageCountKey);
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

static bool AddFile(LogEdit *edit, Slice value)
{
    char **grown = (char **)realloc(edit->files, (size_t)(edit->fileCount + 1) * sizeof *grown);
    if (!grown)
        return false;
    edit->files = grown;
    char *path = (char *)malloc(value.length + 1);
    if (!path)
        return false;
    memcpy(path, value.text, value.length);
    path[value.length] = 0;
    edit->files[edit->fileCount++] = path;
    return true;
}

// First pass: the package's files, the other list entries sorted by number, and whether the
// package is there at all.
static bool Gather(const char *log, const char *end, const char *package, LogEdit *edit,
                   Entry **entries, int *entryCount)
{
    SectionKind section = SECTION_NONE;
    LogLine line;
    while (NextLogLine(&log, end, &line)) {
        if (line.kind == LINE_SECTION) {
            section = KindOf(line.name, package);
            if (section == SECTION_PACKAGE)
                edit->listed = true;
        } else if (line.kind == LINE_ENTRY && section == SECTION_PACKAGE) {
            if (!AddFile(edit, line.value))
                return false;
        } else if (line.kind == LINE_ENTRY && section == SECTION_LIST) {
            if (SliceIs(line.value, package)) {
                edit->listed = true;
                continue;
            }
            Entry *grown = (Entry *)realloc(*entries, (size_t)(*entryCount + 1) * sizeof *grown);
            if (!grown)
                return false;
            *entries = grown;
            // Insert in number order; equal numbers keep their file order.
            int at = *entryCount;
            while (at > 0 && grown[at - 1].number > line.number) {
                grown[at] = grown[at - 1];
                at--;
            }
            grown[at].number = line.number;
            grown[at].value = line.value;
            (*entryCount)++;
        }
    }
    return true;
}

static bool WriteList(TextBuffer *text, const Entry *entries, int count)
{
    AppendString(text, kPackageCountKey);
    AppendString(text, "=");
    AppendNumber(text, (unsigned long)count);
    AppendString(text, "\r\n");
    for (int i = 0; i < count; i++) {
        AppendNumber(text, (unsigned long)i + 1);
        AppendString(text, "=");
        AppendText(text, entries[i].value.text, entries[i].value.length);
        AppendString(text, "\r\n");
    }
    return !text->failed;
}

// Second pass: every line but the package's, the list rewritten where it first stood.
static bool Write(const char *log, const char *end, const char *package, const Entry *entries,
                  int entryCount, TextBuffer *text)
{
    SectionKind section = SECTION_NONE;
    bool keep = true, listWritten = false;
    LogLine line;
    while (NextLogLine(&log, end, &line)) {
        if (line.kind == LINE_SECTION) {
            section = KindOf(line.name, package);
            bool writeList = section == SECTION_LIST && !listWritten && entryCount > 0;
            keep = section == SECTION_OTHER || writeList ||
                   (section == SECTION_LIST && HasOtherLines(log, end));
            if (keep)
                AppendText(text, line.whole.text, line.whole.length);
            if (section == SECTION_LIST)
                listWritten = true;
            if (writeList && !WriteList(text, entries, entryCount))
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

bool EditLog(const char *log, size_t length, const char *package, LogEdit *edit)
{
    edit->listed = false;
    edit->files = NULL;
    edit->fileCount = 0;
    edit->empty = true;
    InitTextBuffer(&edit->text);
    const char *end = log + length;
    Entry *entries = NULL;
    int entryCount = 0;
    bool ok = Gather(log, end, package, edit, &entries, &entryCount) &&
              Write(log, end, package, entries, entryCount, &edit->text);
    free(entries);
    for (size_t i = 0; i < edit->text.length; i++) {
        char c = edit->text.data[i];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            edit->empty = false;
    }
    return ok;
}

void FreeLogEdit(LogEdit *edit)
{
    for (int i = 0; i < edit->fileCount; i++)
        free(edit->files[i]);
    free(edit->files);
    edit->files = NULL;
    edit->fileCount = 0;
    FreeTextBuffer(&edit->text);
}
