// Any bytes as the uninstaller's command line. The arguments start inside the line; the copy
// runs only for the one form its original writes, "/zvuninst-temporary-copy", a blank, 1 to
// 8 hex digits naming a real handle, a blank, optionally a second such handle and a blank,
// and a quoted full path ending the line; the directory is never written past its buffer; and
// whatever the original writes, the copy reads back.
#include "fuzz_check.h"
#include "uninstall/copy_command.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

static const char kSwitch[] = "/zvuninst-temporary-copy";

static int Hex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A handle in hex at text[*at], which then stands past it; false for anything else.
static bool HandleAt(const std::string &text, size_t *at, unsigned long *handle)
{
    size_t digits = 0;
    unsigned long long value = 0;
    while (*at < text.size() && Hex(text[*at]) >= 0) {
        value = value * 16 + (unsigned)Hex(text[(*at)++]);
        if (++digits > 8)
            return false;
    }
    *handle = (unsigned long)value;
    return digits > 0 && value != 0 && value != 0xfffffffeULL && value != 0xffffffffULL;
}

// The documented form, read without the product's code; the directory and handles it names.
static bool Expected(const char *arguments, size_t size, unsigned long *handle,
                     unsigned long *outcome, std::string *dir)
{
    std::string text = arguments;
    size_t prefix = sizeof kSwitch - 1;
    if (text.compare(0, prefix, kSwitch) != 0 || text.size() <= prefix || text[prefix] != ' ')
        return false;
    size_t at = prefix + 1;
    *outcome = 0;
    if (!HandleAt(text, &at, handle))
        return false;
    if (text.compare(at, 2, " \"") != 0 &&
        (text.compare(at, 1, " ") != 0 || !HandleAt(text, &++at, outcome)))
        return false;
    if (text.compare(at, 2, " \"") != 0 || text.size() < at + 4 || text.back() != '"')
        return false;
    std::string path = text.substr(at + 2, text.size() - at - 3);
    bool letter = (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    bool full = (letter && path.size() >= 3 && path[1] == ':' && path[2] == '\\') ||
                path.compare(0, 2, "\\\\") == 0;
    if (path.find('"') != std::string::npos || !full || path.size() >= size)
        return false;
    *dir = path;
    return true;
}

static void CheckParse(const char *arguments, size_t size)
{
    // Exactly size bytes, so that a write past them is caught.
    char *dir = (char *)malloc(size);
    memset(dir, 'x', size);
    unsigned long handle = 0, wantHandle = 0, outcome = 0, wantOutcome = 0;
    std::string want;
    bool ok = ParseCopyCommand(arguments, &handle, &outcome, dir, size);
    REQUIRE(ok == Expected(arguments, size, &wantHandle, &wantOutcome, &want));
    if (ok)
        REQUIRE(handle == wantHandle && outcome == wantOutcome && dir == want);
    free(dir);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A command line ends at its first zero byte.
    std::string input((const char *)data, size);
    input = input.substr(0, input.find('\0'));
    const char *line = input.c_str();
    const char *arguments = CommandArguments(line);
    REQUIRE(arguments >= line && arguments <= line + input.size());
    REQUIRE(*arguments != ' ' && *arguments != '\t');
    size_t prefix = sizeof kSwitch - 1;
    REQUIRE(IsCopyCommand(arguments) == (strncmp(arguments, kSwitch, prefix) == 0 &&
                                         (arguments[prefix] == ' ' || arguments[prefix] == 0)));
    // The size the uninstaller gives (MAX_PATH), and small ones that cut.
    CheckParse(arguments, 260);
    CheckParse(arguments, 1 + (size % 16));
    // What the original writes for a directory and handles made of the input, read back.
    unsigned long handle = 0, pipe = 0;
    for (size_t i = 0; i < 4 && i < size; i++)
        handle = handle << 8 | data[i];
    for (size_t i = 4; i < 8 && i < size; i++)
        pipe = pipe << 8 | data[i];
    char command[1400];
    bool formatted = FormatCopyArguments(handle, pipe, line, command, sizeof command);
    REQUIRE(formatted || input.size() >= 1300);
    if (formatted) {
        unsigned long wantHandle = 0, readHandle = 0, wantOutcome = 0, readOutcome = 0;
        std::string want;
        char dir[260];
        bool expected = Expected(command, sizeof dir, &wantHandle, &wantOutcome, &want);
        REQUIRE(ParseCopyCommand(command, &readHandle, &readOutcome, dir, sizeof dir) == expected);
        if (expected)
            REQUIRE(readHandle == handle && readOutcome == pipe && want == line && dir == want);
    }
    return 0;
}
