// The command line the uninstaller gives its temporary copy, written and read back; what the
// copy refuses, at each edge of what it accepts.
#include "check.h"
#include "uninstall/copy_command.h"

#include <string>

static void TestArguments()
{
    static const struct {
        const char *line, *arguments;
        bool copy;
    } cases[] = {
        {"\"C:\\Q 3\\zvuninst.exe\" /zvuninst-temporary-copy 1c", "/zvuninst-temporary-copy 1c", 1},
        {"C:\\Q\\zvuninst.exe \t /zvuninst-temporary-copy", "/zvuninst-temporary-copy", 1},
        {"zvuninst.exe /zvuninst-temporary-copyx 1c", "/zvuninst-temporary-copyx 1c", 0},
        {"zvuninst.exe /ZVUNINST-TEMPORARY-COPY 1c", "/ZVUNINST-TEMPORARY-COPY 1c", 0},
        {"zvuninst.exe x /zvuninst-temporary-copy", "x /zvuninst-temporary-copy", 0},
        {"\"C:\\Q\\zvuninst.exe\"", "", 0},
        {"\"C:\\Q\\zvuninst.exe /zvuninst-temporary-copy", "", 0}, // the quote never closes
    };
    for (const auto &c : cases) {
        CHECK_TEXT(CommandArguments(c.line), c.arguments);
        CHECK(IsCopyCommand(c.arguments) == c.copy, "%s: copy %d", c.line, !c.copy);
    }
    // The quiet uninstall's switch alone, in either case; nothing else.
    static const struct {
        const char *arguments;
        bool quiet;
    } quiet[] = {{"/S", 1}, {"/s ", 1}, {"/S x", 0}, {"/SS", 0}, {"-S", 0}, {"", 0}, {"/", 0}};
    for (const auto &c : quiet)
        CHECK(IsQuietCommand(c.arguments) == c.quiet, "\"%s\": quiet %d", c.arguments, !c.quiet);
}

static void TestParse()
{
    static const struct {
        const char *arguments;
        size_t size;
        unsigned long handle; // 0: refused
        const char *dir;
        unsigned long outcome = 0;
    } cases[] = {
        {"/zvuninst-temporary-copy 1c \"D:\\Q\"", 260, 0x1c, "D:\\Q"},
        {"/zvuninst-temporary-copy 1c 24 \"D:\\Q\"", 260, 0x1c, "D:\\Q", 0x24},
        {"/zvuninst-temporary-copy 1c 0 \"D:\\Q\"", 260, 0, ""},
        {"/zvuninst-temporary-copy 1c ffffffff \"D:\\Q\"", 260, 0, ""},
        {"/zvuninst-temporary-copy 1c 24 28 \"D:\\Q\"", 260, 0, ""},
        {"/zvuninst-temporary-copy fffffffd \"G:\\\"", 260, 0xfffffffdUL, "G:\\"},
        {"/zvuninst-temporary-copy 1c \"D:\\Q\"", 5, 0x1c, "D:\\Q"},
        {"/zvuninst-temporary-copy 1c \"D:\\Q\"", 4, 0, ""}, // no room for the terminator
        {"/zvuninst-temporary-copy", 260, 0, ""},
        {"/zvuninst-temporary-copy ", 260, 0, ""},
        {"/zvuninst-temporary-copy 0 \"D:\\Q\"", 260, 0, ""},
        {"/zvuninst-temporary-copy fffffffe \"D:\\Q\"", 260, 0, ""}, // this thread
        {"/zvuninst-temporary-copy ffffffff \"D:\\Q\"", 260, 0, ""}, // this process
        {"/zvuninst-temporary-copy 00000001c \"D:\\Q\"", 260, 0, ""},
        {"/zvuninst-temporary-copy 1C \"D:\\Q\"", 260, 0, ""},
        {"/zvuninst-temporary-copy 1c  \"D:\\Q\"", 260, 0, ""},
        {"/zvuninst-temporary-copy 1c D:\\Q", 260, 0, ""},
        {"/zvuninst-temporary-copy 1c \"D:\\Q\" x", 260, 0, ""},
        {"/zvuninst-temporary-copy 1c \"\"", 260, 0, ""},
        {"/zvuninst-temporary-copy 1c \"D:\\a\"b\"", 260, 0, ""},
        {"/zvuninst-temporary-copy 1c \"Q\\sub\"", 260, 0, ""},
        {"/zvuninst-temporary-copyx 1c \"D:\\Q\"", 260, 0, ""},
    };
    for (const auto &c : cases) {
        unsigned long handle = 0, outcome = 0;
        char dir[260] = "";
        bool parsed = ParseCopyCommand(c.arguments, &handle, &outcome, dir, c.size);
        CHECK(parsed == (c.handle != 0) &&
                  (!parsed ||
                   (handle == c.handle && outcome == c.outcome && dir == std::string(c.dir))),
              "%s (%u bytes): parsed %d, handle %lx, outcome %lx, dir %s", c.arguments,
              (unsigned)c.size, parsed, handle, outcome, dir);
    }
}

// What the uninstaller writes, the copy reads back, with the outcome pipe of a quiet run and
// without; a buffer too small refuses to cut it.
static void TestFormat()
{
    for (unsigned long pipe : {0x0ul, 0x2cul}) {
        char line[260];
        CHECK(FormatCopyArguments(0x1c, pipe, "D:\\Q 3", line, sizeof line), "cannot format");
        CHECK_TEXT(line, std::string("/zvuninst-temporary-copy 1c ") + (pipe ? "2c " : "") +
                             "\"D:\\Q 3\"");
        unsigned long handle = 0, outcome = 1;
        char dir[260] = "";
        CHECK(ParseCopyCommand(line, &handle, &outcome, dir, sizeof dir) && handle == 0x1c &&
                  outcome == pipe && std::string(dir) == "D:\\Q 3",
              "read back: handle %lx, outcome %lx, dir %s", handle, outcome, dir);
        CHECK(!FormatCopyArguments(0x1c, pipe, "D:\\Q 3", line, 20), "a cut line was given");
    }
}

int main()
{
    TestArguments();
    TestParse();
    TestFormat();
    return CheckDone();
}
