// The install log's text as lines: section headers, numbered keys and everything else, which
// is copied through untouched. Two passes: one gathers, one writes the edited text.
#include "log_edit.h"

#include "../common/log_key.h"
#include "../common/names.h"
#include "../common/text.h"

#include <stdlib.h>
#include <string.h>

struct Slice {
    const char *text;
    size_t length;
};

enum SectionKind { SECTION_NONE, SECTION_LIST, SECTION_PACKAGE, SECTION_OTHER };
enum LineKind { LINE_BLANK, LINE_SECTION, LINE_ENTRY, LINE_COUNT, LINE_OTHER };

struct Line {
    Slice whole; // with its line end, as it stands in the file
    LineKind kind;
    Slice name;  // section name or key, trimmed
    Slice value; // trimmed, one pair of enclosing quotes taken off
    unsigned long number;
};

struct Entry {
    unsigned long number;
    Slice value;
};

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

static Slice Trim(const char *text, size_t length)
{
    while (length && IsBlank(*text)) {
        text++;
        length--;
    }
    while (length && IsBlank(text[length - 1]))
        length--;
    Slice slice = {text, length};
    return slice;
}

static bool SameText(Slice slice, const char *text)
{
    return slice.length == strlen(text) && SameAsciiText(slice.text, text, slice.length);
}

// Reads the line at *cursor and moves past it; false at the end of the text.
static bool NextLine(const char **cursor, const char *end, Line *line)
{
    const char *start = *cursor;
    if (start >= end)
        return false;
    const char *stop = (const char *)memchr(start, '\n', (size_t)(end - start));
    const char *next = stop ? stop + 1 : end;
    *cursor = next;
    line->whole.text = start;
    line->whole.length = (size_t)(next - start);
    Slice content = Trim(start, (size_t)((stop ? stop : end) - start));
    line->name.length = line->value.length = 0;
    line->number = 0;
    if (content.length == 0) {
        line->kind = LINE_BLANK;
    } else if (content.text[0] == '[') {
        line->kind = LINE_SECTION;
        const char *close = (const char *)memchr(content.text, ']', content.length);
        size_t nameLength = close ? (size_t)(close - content.text) - 1 : content.length - 1;
        line->name = Trim(content.text + 1, nameLength);
    } else {
        line->kind = LINE_OTHER;
        const char *equals = (const char *)memchr(content.text, '=', content.length);
        if (!equals)
            return true;
        line->name = Trim(content.text, (size_t)(equals - content.text));
        line->value = Trim(equals + 1, (size_t)(content.text + content.length - equals - 1));
        Slice *v = &line->value;
        if (v->length >= 2 && (v->text[0] == '"' || v->text[0] == '\'') &&
            v->text[v->length - 1] == v->text[0]) {
            v->text++;
            v->length -= 2;
        }
        if (ParseLogKey(line->name.text, line->name.length, &line->number))
            line->kind = LINE_ENTRY;
        else if (SameText(line->name, kPackageCountKey))
            line->kind = LINE_COUNT;
    }
    return true;
}

static SectionKind KindOf(Slice name, const char *package)
{
    if (SameText(name, kPackageListSection))
        return SECTION_LIST;
    if (SameText(name, package))
        return SECTION_PACKAGE;
    return SECTION_OTHER;
}

// Whether the section that starts at cursor holds a line that is neither blank nor one of the
// list's count and entries, and so keeps its header.
static bool HasOtherLines(const char *cursor, const char *end)
{
    Line line;
    while (NextLine(&cursor, end, &line) && line.kind != LINE_SECTION)
        if (line.kind == LINE_OTHER)
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
    Line line;
    while (NextLine(&log, end, &line)) {
        if (line.kind == LINE_SECTION) {
            section = KindOf(line.name, package);
            if (section == SECTION_PACKAGE)
                edit->listed = true;
        } else if (line.kind == LINE_ENTRY && section == SECTION_PACKAGE) {
            if (!AddFile(edit, line.value))
                return false;
        } else if (line.kind == LINE_ENTRY && section == SECTION_LIST) {
            if (SameText(line.value, package)) {
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
    Line line;
    while (NextLine(&log, end, &line)) {
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
        if (section == SECTION_LIST && (line.kind == LINE_ENTRY || line.kind == LINE_COUNT))
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
    for (size_t i = 0; i < edit->text.length; i++)
        if (!IsBlank(edit->text.data[i]) && edit->text.data[i] != '\n')
            edit->empty = false;
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
