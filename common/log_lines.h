// The install log's text as lines, read the way the system's profile functions read it:
// section headers, numbered entries, other keys and everything else. Both programs read the
// log through this, so they agree on what it holds. Free of any window or file system call.
#ifndef ZV_COMMON_LOG_LINES_H
#define ZV_COMMON_LOG_LINES_H

#include <stddef.h>

struct Slice {
    const char *text;
    size_t length;
};

enum LineKind {
    LINE_BLANK,
    LINE_SECTION, // [name]
    LINE_ENTRY,   // a decimal key without leading zero, its number in number
    LINE_KEY,     // any other key=value
    LINE_OTHER    // text without "="
};

struct LogLine {
    Slice whole; // with its line end, as it stands in the file
    LineKind kind;
    Slice name;  // section name or key, trimmed
    Slice value; // trimmed, one pair of enclosing quotes taken off
    unsigned long number;
};

// Reads the line at *cursor and moves past it; false at the end of the text.
bool NextLogLine(const char **cursor, const char *end, LogLine *line);
// The slice equals text, the case of A to Z aside.
bool SliceIs(Slice slice, const char *text);
// True when the text holds nothing but blanks and line ends.
bool IsBlankText(const char *text, size_t length);
// The value's leading decimal digits as the profile functions' integer reading gives them:
// 0 when it starts with anything else, capped where an int ends.
int SliceNumber(Slice value);

#endif
