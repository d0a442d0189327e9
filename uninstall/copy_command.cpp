// Nobody types the switch by accident, and the copy takes nothing it does not recognise in
// full: a command line that is not exactly what the uninstaller writes is refused.
#include "copy_command.h"

#include "../common/path.h"
#include "../common/text.h"

#include <string.h>

static const char kCopySwitch[] = "/zvuninst-temporary-copy";

const char *CommandArguments(const char *commandLine)
{
    const char *at = commandLine;
    if (*at == '"') {
        const char *close = strchr(at + 1, '"');
        at = close ? close + 1 : at + strlen(at);
    } else {
        while (*at && *at != ' ' && *at != '\t')
            at++;
    }
    while (*at == ' ' || *at == '\t')
        at++;
    return at;
}

bool IsCopyCommand(const char *arguments)
{
    size_t length = sizeof kCopySwitch - 1;
    return strncmp(arguments, kCopySwitch, length) == 0 &&
           (arguments[length] == ' ' || arguments[length] == 0);
}

bool IsQuietCommand(const char *arguments)
{
    if (arguments[0] != '/' || (arguments[1] != 'S' && arguments[1] != 's'))
        return false;
    for (const char *at = arguments + 2; *at; at++)
        if (*at != ' ' && *at != '\t')
            return false;
    return true;
}

bool FormatCopyArguments(unsigned long handle, unsigned long outcome, const char *dir, char *out,
                         size_t size)
{
    if (outcome)
        return FormatText(out, size, "%s %lx %lx \"%s\"", kCopySwitch, handle, outcome, dir);
    return FormatText(out, size, "%s %lx \"%s\"", kCopySwitch, handle, dir);
}

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads a handle in hex and the blank after it; null for anything else. Handles are multiples
// of 4; 0xffffffff and 0xfffffffe stand for this process and thread.
static const char *ReadHandle(const char *at, unsigned long *handle)
{
    unsigned long value = 0;
    int digits = 0;
    for (; HexDigit(*at) >= 0; at++, digits++)
        value = value * 16 + (unsigned long)HexDigit(*at);
    if (digits == 0 || digits > 8 || value == 0 || value >= 0xfffffffeUL || *at != ' ')
        return NULL;
    *handle = value;
    return at + 1;
}

bool ParseCopyCommand(const char *arguments, unsigned long *handle, unsigned long *outcome,
                      char *dir, size_t size)
{
    // The switch alone ends the line: nothing follows it to read.
    if (!IsCopyCommand(arguments) || arguments[sizeof kCopySwitch - 1] == 0)
        return false;
    unsigned long value = 0, pipe = 0;
    const char *at = ReadHandle(arguments + sizeof kCopySwitch, &value); // past one blank
    if (at && *at != '"')
        at = ReadHandle(at, &pipe);
    if (!at || *at++ != '"')
        return false;
    // The directory runs to the last quote, which ends the line: a root's "X:\" is not an
    // escaped quote here.
    const char *close = strrchr(at, '"');
    if (!close || close[1] != 0 || close == at)
        return false;
    size_t length = (size_t)(close - at);
    if (length >= size || memchr(at, '"', length))
        return false;
    memcpy(dir, at, length);
    dir[length] = 0;
    if (!IsAbsolutePath(dir))
        return false;
    *handle = value;
    *outcome = pipe;
    return true;
}
