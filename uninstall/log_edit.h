// Takes one package out of the text of an install log (ZVFiles.log, private profile format):
// what files it recorded, and the log's text without it, or with only the files that stayed.
// Free of any window or file call.
#ifndef ZV_UNINSTALL_LOG_EDIT_H
#define ZV_UNINSTALL_LOG_EDIT_H

#include "../common/text_buffer.h"

#include <stddef.h>

// A value as it stands in the log's text, trimmed and unquoted; not terminated.
struct LogValue {
    const char *text;
    size_t length;
};

struct PackageFiles {
    // The package list names the package, or the log has a section of the package's name.
    bool listed;
    // The values of numbered keys in the package's sections, in file order, pointing into
    // the log's text.
    LogValue *files;
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
bool EditLog(const char *log, size_t length, const char *package, const char *const *kept,
             size_t keptCount, TextBuffer *text);

// True when the text holds nothing but blanks and line ends.
bool IsBlankText(const char *text, size_t length);

#endif
