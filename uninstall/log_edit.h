// Takes one package out of the text of an install log (ZVFiles.log, private profile format):
// what files it recorded, and the log's text without it. Free of any window or file call.
#ifndef ZV_UNINSTALL_LOG_EDIT_H
#define ZV_UNINSTALL_LOG_EDIT_H

#include "../common/text_buffer.h"

#include <stddef.h>

struct LogEdit {
    // The package list names the package, or the log has a section of the package's name.
    bool listed;
    // The paths recorded under numbered keys of the package's sections, in file order.
    char **files;
    int fileCount;
    // The log without the package's sections and list entries; every other line as it was.
    TextBuffer text;
    // The edited log holds nothing but blank lines.
    bool empty;
};

// Fills edit from the log's text (length bytes, no terminator needed); false when memory ran
// out. Sections and keys match without regard to the case of A to Z. The package list keeps
// its other entries in their order, numbered from 1, with NumberInstalled equal to their
// count; a list left without entries and without other keys goes with its header.
bool EditLog(const char *log, size_t length, const char *package, LogEdit *edit);
void FreeLogEdit(LogEdit *edit);

#endif
