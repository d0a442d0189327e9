// Any bytes as ZVFiles.log. The line reader never reads past the text and hands out every
// byte once, in order, each line as the plain reading of log_reference.h sees it; the files
// FindPackageFiles reports are exactly the numbered entries of the package's own sections, in
// file order, and never more than the text has lines.
#include "fuzz_check.h"
#include "log_reference.h"
#include "common/log_key.h"
#include "common/log_lines.h"
#include "common/names.h"
#include "common/log_edit.h"

#include <limits.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

static bool Inside(Slice slice, const char *from, const char *to)
{
    return slice.text >= from && slice.text + slice.length <= to;
}

// The profile functions' reading of a value's leading digits, capped at the largest int.
static int ReferenceNumber(Slice value)
{
    long long n = 0;
    for (size_t i = 0; i < value.length && value.text[i] >= '0' && value.text[i] <= '9'; i++) {
        n = n * 10 + (value.text[i] - '0');
        if (n > INT_MAX)
            return INT_MAX;
    }
    return (int)n;
}

static void CheckLines(const char *text, size_t length, const std::vector<RefLine> &want)
{
    const char *cursor = text, *end = text + length;
    size_t count = 0;
    LogLine line;
    while (NextLogLine(&cursor, end, &line)) {
        REQUIRE(count < want.size());
        const RefLine &ref = want[count++];
        REQUIRE(line.whole.text == text + ref.start && line.whole.length == ref.end - ref.start);
        REQUIRE(cursor == line.whole.text + line.whole.length && cursor <= end);
        const char *lineEnd = line.whole.text + line.whole.length;
        REQUIRE(Inside(line.name, line.whole.text, lineEnd));
        REQUIRE(Inside(line.value, line.whole.text, lineEnd));
        REQUIRE((line.kind == LINE_SECTION) == ref.section);
        REQUIRE((line.kind == LINE_ENTRY) == ref.entry);
        REQUIRE((line.kind == LINE_KEY) == (ref.keyed && !ref.entry));
        if (ref.section || ref.keyed)
            REQUIRE(line.name.length == ref.name.size() &&
                    memcmp(line.name.text, ref.name.data(), ref.name.size()) == 0);
        if (ref.keyed)
            REQUIRE(line.value.text == text + ref.valueAt && line.value.length == ref.valueLength);
        if (ref.entry)
            REQUIRE(line.number == ref.number && line.number >= 1 && line.number <= 999999999);
        unsigned long number = 0;
        if (ref.keyed)
            REQUIRE(ParseLogKey(line.name.text, line.name.length, &number) == ref.entry);
        REQUIRE(SliceNumber(line.value) == ReferenceNumber(line.value));
    }
    REQUIRE(count == want.size() && cursor == end);
    // At the end it stays at the end.
    REQUIRE(!NextLogLine(&cursor, end, &line) && cursor == end);
}

static void CheckPackageFiles(const char *text, size_t length, const std::vector<RefLine> &lines)
{
    PackageFiles found;
    REQUIRE(FindPackageFiles(text, length, kPackageName, &found));
    bool listed = false;
    std::vector<const RefLine *> entries;
    for (const RefLine &line : lines) {
        bool inPackage =
            line.sectionLine >= 0 && RefSameText(lines[line.sectionLine].name.data(),
                                                 lines[line.sectionLine].name.size(), kPackageName);
        bool inList = line.sectionLine >= 0 &&
                      RefSameText(lines[line.sectionLine].name.data(),
                                  lines[line.sectionLine].name.size(), kPackageListSection);
        if (line.section && inPackage)
            listed = true;
        if (line.entry && inPackage)
            entries.push_back(&line);
        if (line.entry && inList &&
            RefSameText(text + line.valueAt, line.valueLength, kPackageName))
            listed = true;
    }
    REQUIRE(found.listed == listed);
    REQUIRE(found.count == entries.size() && found.count <= lines.size());
    for (size_t i = 0; i < found.count; i++) {
        // Within its own line, which lies in a section of the package's name.
        REQUIRE(found.files[i].text >= text + entries[i]->start &&
                found.files[i].text + found.files[i].length <= text + entries[i]->end);
        REQUIRE(found.files[i].text == text + entries[i]->valueAt &&
                found.files[i].length == entries[i]->valueLength);
    }
    FreePackageFiles(&found);
    REQUIRE(found.files == NULL && found.count == 0);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A copy of exactly the input's size, so that a read one byte past it is caught.
    char *text = (char *)malloc(size ? size : 1);
    memcpy(text, data, size);
    std::vector<RefLine> lines = RefLines(text, size);
    CheckLines(text, size, lines);
    CheckPackageFiles(text, size, lines);
    free(text);
    return 0;
}
