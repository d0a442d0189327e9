// The edits both programs make to the text of an install log (ZVFiles.log, private profile
// format): the installer's appends and its look-up of the package list, and the uninstaller's
// taking one package out. Free of any window or file call.
#ifndef ZV_COMMON_LOG_EDIT_H
#define ZV_COMMON_LOG_EDIT_H

#include "log_lines.h"
#include "text_buffer.h"

#include <stddef.h>

// The largest count the log's readers take: a key has 1 to 9 digits.
const unsigned long kMaxLogCount = 999999999;

// True when the first package list names the package in any of its numbered entries, above
// its count too.
bool IsPackageListed(const char *log, size_t length, const char *package);

// Appends to out the log with one more entry in the first section of that name, numbered one
// above both the count and the highest number in the section: the count key set to that
// number, then the entry under it, each where the profile functions would write it; no other
// line changes. False when memory ran out, or when the number would pass kMaxLogCount.
bool AppendLogEntry(const char *log, size_t length, const char *section, const char *countKey,
                    const char *value, TextBuffer *out);

struct PackageFiles {
    // The package list names the package, or the log has a section of the package's name.
    bool listed;
    // The values of numbered keys in the package's sections, in file order, pointing into
    // the log's text.
    Slice *files;
    size_t count;
};

// Fills found from the log's text (length bytes, no terminator needed); false when memory ran
// out. Sections and keys match without regard to the case of A to Z.
bool FindPackageFiles(const char *log, size_t length, const char *package, PackageFiles *found);
void FreePackageFiles(PackageFiles *found);

// Appends to text the log without the package's sections and list entries; every other line
// as it was. The package list keeps its other entries in their order, numbered from 1, with
// NumberInstalled equal to their count; a list left without entries and without other keys
// goes with its header. When keptCount is not 0 the package stays: one section of its name,
// where its first section stood, records the kept paths with Files equal to their count, and
// its first list entry keeps its place. False when memory ran out.
bool EditLog(const char *log, size_t length, const char *package, const Slice *kept,
             size_t keptCount, TextBuffer *text);

#endif
