// A second, plainer reading of the install log's text that the fuzz targets hold the
// product's reader to: the text cut at line feeds, each line trimmed of blanks, tabs and
// carriage returns, "[" opening a section header, the key before a line's first "=".
#ifndef ZV_TESTS_FUZZ_LOG_REFERENCE_H
#define ZV_TESTS_FUZZ_LOG_REFERENCE_H

#include <stddef.h>
#include <string.h>
#include <string>
#include <vector>

struct RefLine {
    size_t start, end; // [start, end) in the text, its line feed included
    bool section;
    bool keyed;       // not a header, and holds "="
    bool entry;       // keyed, and the key is 1 to 9 digits without a leading zero
    std::string name; // the section's name or the key, trimmed
    unsigned long number;
    size_t valueAt; // the value as a reader gets it: trimmed, one pair of quotes off
    size_t valueLength;
    long
        sectionLine; // the index of its section's header line (its own for a header); -1 before any
};

inline bool RefIsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

inline void RefTrim(const char *text, size_t *from, size_t *to)
{
    while (*from < *to && RefIsBlank(text[*from]))
        ++*from;
    while (*to > *from && RefIsBlank(text[*to - 1]))
        --*to;
}

inline bool RefSameText(const char *a, size_t length, const char *b)
{
    if (length != strlen(b))
        return false;
    for (size_t i = 0; i < length; i++) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = (char)(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = (char)(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

inline std::vector<RefLine> RefLines(const char *text, size_t length)
{
    std::vector<RefLine> lines;
    long header = -1;
    size_t at = 0;
    while (at < length) {
        RefLine line = {};
        line.start = at;
        const void *feed = memchr(text + at, '\n', length - at);
        size_t stop = feed ? (size_t)((const char *)feed - text) : length;
        line.end = feed ? stop + 1 : length;
        size_t from = at, to = stop;
        RefTrim(text, &from, &to);
        line.valueAt = from;
        if (from < to && text[from] == '[') {
            line.section = true;
            size_t close = from + 1;
            while (close < to && text[close] != ']')
                close++;
            size_t nameFrom = from + 1, nameTo = close;
            RefTrim(text, &nameFrom, &nameTo);
            line.name.assign(text + nameFrom, nameTo - nameFrom);
            header = (long)lines.size();
        } else {
            size_t equals = from;
            while (equals < to && text[equals] != '=')
                equals++;
            if (equals < to) {
                line.keyed = true;
                size_t keyFrom = from, keyTo = equals, valueFrom = equals + 1, valueTo = to;
                RefTrim(text, &keyFrom, &keyTo);
                RefTrim(text, &valueFrom, &valueTo);
                line.name.assign(text + keyFrom, keyTo - keyFrom);
                if (valueTo - valueFrom >= 2 &&
                    (text[valueFrom] == '"' || text[valueFrom] == '\'') &&
                    text[valueTo - 1] == text[valueFrom]) {
                    valueFrom++;
                    valueTo--;
                }
                line.valueAt = valueFrom;
                line.valueLength = valueTo - valueFrom;
                const std::string &key = line.name;
                bool digits = !key.empty() && key.size() <= 9 && key[0] != '0';
                for (char c : key)
                    digits = digits && c >= '0' && c <= '9';
                line.entry = digits;
                line.number = digits ? strtoul(key.c_str(), NULL, 10) : 0;
            }
        }
        line.sectionLine = header;
        lines.push_back(line);
        at = line.end;
    }
    return lines;
}

#endif
