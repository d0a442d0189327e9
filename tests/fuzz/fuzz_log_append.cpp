// Any log bytes and one append as the installer makes it: the package to the package list, or
// a file to the package's section. Afterwards the first section of that name counts one above
// both its count and its highest entry, that number names the value, every line of the log
// but the count's is still there byte for byte and in order, and a package appended to the
// list is found in it. A number past the readers' limit refuses the append.
#include "fuzz_check.h"
#include "log_reference.h"
#include "common/log_edit.h"
#include "common/names.h"

#include <limits.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>

static const char kFile[] = "C:\\Games\\Quake3\\baseq3\\PakZV01.pk3";

// The first line of the key in the first section of the name, or -1; section gets the
// section's header line, or -1 when there is none.
static long FirstKey(const std::vector<RefLine> &lines, const char *section, const char *key,
                     long *header)
{
    *header = -1;
    for (size_t i = 0; i < lines.size(); i++)
        if (lines[i].section && RefSameText(lines[i].name.data(), lines[i].name.size(), section)) {
            *header = (long)i;
            break;
        }
    for (size_t i = 0; *header >= 0 && i < lines.size(); i++)
        if (lines[i].sectionLine == *header && lines[i].keyed &&
            RefSameText(lines[i].name.data(), lines[i].name.size(), key))
            return (long)i;
    return -1;
}

// The leading digits of a value, as the profile functions read a count: capped at INT_MAX.
static long long CountOf(const std::string &text, const RefLine &line)
{
    long long n = 0;
    for (size_t i = line.valueAt; i < line.valueAt + line.valueLength; i++) {
        if (text[i] < '0' || text[i] > '9')
            break;
        n = n * 10 + (text[i] - '0');
        if (n > INT_MAX)
            return INT_MAX;
    }
    return n;
}

static std::string ValueOf(const std::string &text, const RefLine &line)
{
    return text.substr(line.valueAt, line.valueLength);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    bool list = data[0] & 1;
    const char *section = list ? kPackageListSection : kPackageName;
    const char *countKey = list ? kPackageCountKey : kFileCountKey;
    const char *value = list ? kPackageName : kFile;
    std::string log((const char *)data + 1, size - 1);
    std::vector<RefLine> lines = RefLines(log.data(), log.size());
    long header;
    long countLine = FirstKey(lines, section, countKey, &header);
    long long last = countLine >= 0 ? CountOf(log, lines[countLine]) : 0;
    for (const RefLine &line : lines)
        if (header >= 0 && line.sectionLine == header && line.entry &&
            (long long)line.number > last)
            last = line.number;
    std::string number = std::to_string(last + 1);

    TextBuffer out;
    InitTextBuffer(&out);
    bool ok = AppendLogEntry(log.data(), log.size(), section, countKey, value, &out);
    std::string after(out.data ? out.data : "", out.length);
    FreeTextBuffer(&out);
    REQUIRE(ok == (last < (long long)kMaxLogCount));
    if (!ok)
        return 0;

    std::vector<RefLine> written = RefLines(after.data(), after.size());
    long writtenHeader;
    long writtenCount = FirstKey(written, section, countKey, &writtenHeader);
    long writtenEntry = FirstKey(written, section, number.c_str(), &writtenHeader);
    REQUIRE(writtenCount >= 0 && ValueOf(after, written[writtenCount]) == number);
    REQUIRE(writtenEntry >= 0 && ValueOf(after, written[writtenEntry]) == value);
    size_t at = 0;
    for (long i = 0; i < (long)lines.size(); i++) {
        if (i == countLine)
            continue;
        std::string whole = log.substr(lines[i].start, lines[i].end - lines[i].start);
        size_t found = after.find(whole, at);
        REQUIRE(found != std::string::npos);
        at = found + whole.size();
    }
    if (list)
        REQUIRE(IsPackageListed(after.data(), after.size(), kPackageName));
    return 0;
}
