// Any log bytes and an edit: the package's entries taken out, or replaced by a list of kept
// files, as the uninstaller does. Every line but the package's sections and the list's
// headers, entries and count comes out byte for byte and in order; the other packages stay listed
// under the same names in the same order; the package's files are exactly the kept ones; and
// editing the edited log again changes nothing.
#include "fuzz_check.h"
#include "log_reference.h"
#include "common/names.h"
#include "common/log_edit.h"

#include <algorithm>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

// Paths as the uninstaller keeps them: its directory joined with a name of the package.
static const char *const kKeptPaths[] = {
    "C:\\Games\\Quake3\\ZV-001.txt",
    "C:\\Games\\Quake3\\baseq3\\PakZV01.pk3",
    "C:\\Games\\Quake3\\baseq3\\PakZV02.pk3",
};

static bool IsSection(const std::vector<RefLine> &lines, const RefLine &line, const char *name)
{
    if (line.sectionLine < 0)
        return false;
    const std::string &section = lines[line.sectionLine].name;
    return RefSameText(section.data(), section.size(), name);
}

struct ListEntry {
    unsigned long number;
    std::string value;
    bool ours;
};

// The list's entries as a reader finds them: every list section's, in number order, equal
// numbers in file order.
static std::vector<ListEntry> ListOf(const std::string &text)
{
    std::vector<RefLine> lines = RefLines(text.data(), text.size());
    std::vector<ListEntry> entries;
    for (const RefLine &line : lines)
        if (line.entry && IsSection(lines, line, kPackageListSection))
            entries.push_back(
                {line.number, text.substr(line.valueAt, line.valueLength),
                 RefSameText(text.data() + line.valueAt, line.valueLength, kPackageName)});
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ListEntry &a, const ListEntry &b) { return a.number < b.number; });
    return entries;
}

static std::string Edited(const std::string &log, const char *const *kept, size_t keptCount)
{
    TextBuffer text;
    InitTextBuffer(&text);
    std::vector<Slice> slices;
    for (size_t i = 0; i < keptCount; i++)
        slices.push_back({kept[i], strlen(kept[i])});
    REQUIRE(EditLog(log.data(), log.size(), kPackageName, slices.data(), keptCount, &text));
    std::string edited(text.data ? text.data : "", text.length);
    FreeTextBuffer(&text);
    return edited;
}

// Lines the edit keeps: all but the package's sections and, in the list, its headers, entries,
// counts and blank lines. Comments and other keys in the list stay too.
static bool Kept(const std::vector<RefLine> &lines, const RefLine &line, const std::string &log)
{
    if (IsSection(lines, line, kPackageName))
        return false;
    if (!IsSection(lines, line, kPackageListSection))
        return true;
    bool blank = log.find_first_not_of(" \t\r\n", line.start) >= line.end;
    bool count = line.keyed && RefSameText(line.name.data(), line.name.size(), kPackageCountKey);
    return !line.section && !line.entry && !count && !blank;
}

static void CheckOtherLines(const std::string &log, const std::string &edited)
{
    std::vector<RefLine> lines = RefLines(log.data(), log.size());
    size_t at = 0;
    for (const RefLine &line : lines) {
        if (!Kept(lines, line, log))
            continue;
        std::string whole = log.substr(line.start, line.end - line.start);
        size_t found = edited.find(whole, at);
        REQUIRE(found != std::string::npos);
        at = found + whole.size();
    }
}

static void CheckList(const std::string &log, const std::string &edited, bool keepOurs)
{
    std::vector<std::string> want;
    bool keep = keepOurs;
    for (const ListEntry &entry : ListOf(log)) {
        if (entry.ours && !keep)
            continue;
        keep = keep && !entry.ours;
        want.push_back(entry.value);
    }
    std::vector<RefLine> lines = RefLines(edited.data(), edited.size());
    std::vector<std::string> got;
    size_t counts = 0;
    for (const RefLine &line : lines) {
        if (!IsSection(lines, line, kPackageListSection) || !line.keyed)
            continue;
        if (line.entry) {
            REQUIRE(line.number == got.size() + 1);
            got.push_back(edited.substr(line.valueAt, line.valueLength));
        } else if (RefSameText(line.name.data(), line.name.size(), kPackageCountKey)) {
            REQUIRE(edited.substr(line.valueAt, line.valueLength) == std::to_string(want.size()));
            counts++;
        }
    }
    REQUIRE(got == want);
    REQUIRE(counts == (want.empty() ? 0 : 1));
}

static void CheckPackage(const std::string &edited, const char *const *kept, size_t keptCount)
{
    PackageFiles found;
    REQUIRE(FindPackageFiles(edited.data(), edited.size(), kPackageName, &found));
    REQUIRE(found.count == keptCount);
    REQUIRE(found.listed == (keptCount > 0));
    for (size_t i = 0; i < found.count; i++)
        REQUIRE(std::string(found.files[i].text, found.files[i].length) == kept[i]);
    FreePackageFiles(&found);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    std::string log((const char *)data + 1, size - 1);
    PackageFiles found;
    REQUIRE(FindPackageFiles(log.data(), log.size(), kPackageName, &found));
    // Files are only kept where the log recorded some, as in the uninstaller.
    size_t keptCount = found.count ? std::min<size_t>(data[0] % 4, found.count) : 0;
    FreePackageFiles(&found);
    std::string edited = Edited(log, kKeptPaths, keptCount);
    bool blank = edited.find_first_not_of(" \t\r\n") == std::string::npos;
    REQUIRE(IsBlankText(edited.data(), edited.size()) == blank);
    CheckOtherLines(log, edited);
    CheckList(log, edited, keptCount > 0);
    CheckPackage(edited, kKeptPaths, keptCount);
    REQUIRE(Edited(edited, kKeptPaths, keptCount) == edited);
    return 0;
}
