// Taking the package out of an install log's text: the files it recorded, the list renumbered
// with its count, every other section and line left as it was, an emptied log known as empty,
// and the files that stayed recorded again where the package stood.
#include "check.h"
#include "common/log_edit.h"

#include <string.h>
#include <string>
#include <vector>

static const char *kPackage = "ZV-001 Strider for Quake3";

struct Case {
    const char *name;
    const char *log;
    bool listed;
    std::vector<std::string> files;
    const char *edited;
    bool empty;
};

static std::vector<std::string> Files(const PackageFiles &found)
{
    std::vector<std::string> files;
    for (size_t i = 0; i < found.count; i++)
        files.push_back(std::string(found.files[i].text, found.files[i].length));
    return files;
}

// The log edited with the kept paths; "<failed>" when EditLog fails.
static std::string Edited(const std::string &log, const std::vector<const char *> &kept)
{
    TextBuffer text;
    InitTextBuffer(&text);
    std::vector<Slice> slices;
    for (const char *path : kept)
        slices.push_back({path, strlen(path)});
    bool ok = EditLog(log.data(), log.size(), kPackage, slices.data(), slices.size(), &text);
    std::string edited = !ok ? "<failed>" : text.data ? std::string(text.data, text.length) : "";
    FreeTextBuffer(&text);
    return edited;
}

static void CheckCase(const Case &c)
{
    PackageFiles found;
    bool ok = FindPackageFiles(c.log, strlen(c.log), kPackage, &found);
    CHECK(ok, "%s: FindPackageFiles failed", c.name);
    CHECK(found.listed == c.listed, "%s: listed %d", c.name, found.listed);
    std::vector<std::string> files = Files(found);
    CHECK(files == c.files, "%s: %u files, first \"%s\"", c.name, (unsigned)files.size(),
          files.empty() ? "" : files[0].c_str());
    FreePackageFiles(&found);
    std::string edited = Edited(c.log, {});
    CHECK(edited == c.edited, "%s: edited log reads \"%s\"", c.name, edited.c_str());
    bool empty = IsBlankText(edited.data(), edited.size());
    CHECK(empty == c.empty, "%s: empty %d", c.name, empty);
}

static void TestAsInstalled()
{
    const Case cases[] = {
        {"one installation",
         "[ZV Packages]\r\nNumberInstalled=1\r\n1=ZV-001 Strider for Quake3\r\n"
         "[ZV-001 Strider for Quake3]\r\nFiles=2\r\n1=C:\\Games\\Quake3\\ZV-001.txt\r\n"
         "2=C:\\Games\\Quake3\\baseq3\\PakZV01.pk3\r\n",
         true,
         {"C:\\Games\\Quake3\\ZV-001.txt", "C:\\Games\\Quake3\\baseq3\\PakZV01.pk3"},
         "",
         true},
        {"two installations, blank lines between sections",
         "[ZV Packages]\r\nNumberInstalled=2\r\n1=ZV-001 Strider for Quake3\r\n"
         "2=ZV-001 Strider for Quake3\r\n\r\n[ZV-001 Strider for Quake3]\r\nFiles=4\r\n"
         "1=C:\\Q\\ZV-001.txt\r\n2=C:\\Q\\baseq3\\PakZV01.pk3\r\n3=C:\\Q\\ZV-001.txt\r\n"
         "4=C:\\Q\\baseq3\\PakZV02.pk3\r\n\r\n",
         true,
         {"C:\\Q\\ZV-001.txt", "C:\\Q\\baseq3\\PakZV01.pk3", "C:\\Q\\ZV-001.txt",
          "C:\\Q\\baseq3\\PakZV02.pk3"},
         "",
         true},
    };
    for (const Case &c : cases)
        CheckCase(c);
}

static void TestOtherPackagesKept()
{
    const Case cases[] = {
        {"other packages around ours, names in other letter case",
         "[ZV Packages]\r\nNumberInstalled=4\r\n1=ZV-002 Runner\r\n2=zv-001 STRIDER for quake3\r\n"
         "3=ZV-003 Crawler\r\n4=ZV-001 Strider for Quake3\r\n"
         "[ZV-002 Runner]\r\nFiles=1\r\n1=C:\\Q\\ZV-002.txt\r\n"
         "[zv-001 strider FOR QUAKE3]\r\nFiles=1\r\n1=C:\\Q\\ZV-001.txt\r\n"
         "[ZV-003 Crawler]\r\nFiles=1\r\n1=C:\\Q\\ZV-003.txt\r\n",
         true,
         {"C:\\Q\\ZV-001.txt"},
         "[ZV Packages]\r\nNumberInstalled=2\r\n1=ZV-002 Runner\r\n2=ZV-003 Crawler\r\n"
         "[ZV-002 Runner]\r\nFiles=1\r\n1=C:\\Q\\ZV-002.txt\r\n"
         "[ZV-003 Crawler]\r\nFiles=1\r\n1=C:\\Q\\ZV-003.txt\r\n",
         false},
        {"list keys out of order and with a gap",
         "[ZV Packages]\r\nNumberInstalled=5\r\n5=E\r\n2=ZV-001 Strider for Quake3\r\n1=A\r\n"
         "3=C\r\n",
         true,
         {},
         "[ZV Packages]\r\nNumberInstalled=3\r\n1=A\r\n2=C\r\n3=E\r\n",
         false},
        {"comments, other keys and other sections stay as they stood",
         "; kept by hand\r\n[Settings]\r\n  Colour = Blue  \r\n\r\n[ZV Packages]\r\n"
         "Owner=me\r\nNumberInstalled=1\r\n1=ZV-001 Strider for Quake3\r\n; note\r\n",
         true,
         {},
         "; kept by hand\r\n[Settings]\r\n  Colour = Blue  \r\n\r\n[ZV Packages]\r\n"
         "Owner=me\r\n; note\r\n",
         false},
        {"log that does not list the package is unchanged",
         "[ZV Packages]\r\nNumberInstalled=1\r\n1=ZV-002 Runner\r\n[ZV-002 Runner]\r\nFiles=1\r\n"
         "1=C:\\Q\\ZV-001.txt\r\n",
         false,
         {},
         "[ZV Packages]\r\nNumberInstalled=1\r\n1=ZV-002 Runner\r\n[ZV-002 Runner]\r\nFiles=1\r\n"
         "1=C:\\Q\\ZV-001.txt\r\n",
         false},
        {"empty log", "", false, {}, "", true},
        {"a lone line end: no list entries to sort", "\n", false, {}, "\n", true},
        // The profile functions read "Runner " and "Q" in quotes: the quotes stay, so the other
        // packages keep their names to the last blank.
        {"other entries keep their quotes",
         "[ZV Packages]\r\nNumberInstalled=3\r\n1 = \"Runner \" \r\n"
         "2=ZV-001 Strider for Quake3\r\n3='\"Q\"'\r\n",
         true,
         {},
         "[ZV Packages]\r\nNumberInstalled=2\r\n1=\"Runner \"\r\n2='\"Q\"'\r\n",
         false},
        {"only blank lines left",
         "\r\n[ZV-001 Strider for Quake3]\r\n1=C:\\Q\\ZV-001.txt\r\n\r\n",
         true,
         {"C:\\Q\\ZV-001.txt"},
         "\r\n",
         true},
    };
    for (const Case &c : cases)
        CheckCase(c);
}

static void TestHowEntriesAreRead()
{
    const Case cases[] = {
        {"section without a list entry still counts, values trimmed and unquoted",
         "[ ZV-001 Strider for Quake3 ]\r\n Files = 3 \r\n 1 = \"C:\\Q\\ZV-001.txt\" \r\n"
         "2='C:\\Q\\baseq3\\PakZV01.pk3'\r\n3=\"C:\\x\r\n",
         true,
         {"C:\\Q\\ZV-001.txt", "C:\\Q\\baseq3\\PakZV01.pk3", "\"C:\\x"},
         "",
         true},
        {"keys that are not plain numbers are not files",
         "[ZV-001 Strider for Quake3]\r\n01=C:\\a\r\n1a=C:\\b\r\n-1=C:\\c\r\n0=C:\\d\r\n"
         "2=C:\\e\r\nC:\\f\r\n",
         true,
         {"C:\\e"},
         "",
         true},
        // What another tool, or a count that fell behind, leaves: every entry is a file.
        {"entries above the count are files too",
         "[ZV-001 Strider for Quake3]\r\nFiles=1\r\n1=C:\\Q\\ZV-001.txt\r\n"
         "2=C:\\Q\\baseq3\\PakZV01.pk3\r\n",
         true,
         {"C:\\Q\\ZV-001.txt", "C:\\Q\\baseq3\\PakZV01.pk3"},
         "",
         true},
        {"two sections of the package: both go",
         "[ZV-001 Strider for Quake3]\r\n1=C:\\a\r\n[Other]\r\nk=v\r\n"
         "[ZV-001 Strider for Quake3]\r\n1=C:\\b\r\n",
         true,
         {"C:\\a", "C:\\b"},
         "[Other]\r\nk=v\r\n",
         false},
        {"line feeds only and no final line end",
         "[ZV Packages]\nNumberInstalled=2\n1=ZV-001 Strider for Quake3\n2=Other",
         true,
         {},
         "[ZV Packages]\nNumberInstalled=1\r\n1=Other\r\n",
         false},
        {"a second list section joins the first",
         "[X]\r\na=1\r\n[ZV Packages]\r\n2=Other\r\n1=ZV-001 Strider for Quake3\r\n[ZV Packages]",
         true,
         {},
         "[X]\r\na=1\r\n[ZV Packages]\r\nNumberInstalled=1\r\n1=Other\r\n",
         false},
    };
    for (const Case &c : cases)
        CheckCase(c);
}

// A log of many installations: every entry of ours goes, the count follows the others.
static void TestLongList()
{
    std::string log = "[ZV Packages]\r\nNumberInstalled=300\r\n";
    std::string want = "[ZV Packages]\r\nNumberInstalled=150\r\n";
    for (int i = 1; i <= 300; i++) {
        bool ours = i % 2 == 0;
        log += std::to_string(i) + "=" + (ours ? kPackage : "P" + std::to_string(i)) + "\r\n";
        if (!ours)
            want += std::to_string(i / 2 + 1) + "=P" + std::to_string(i) + "\r\n";
    }
    PackageFiles found;
    CHECK(FindPackageFiles(log.data(), log.size(), kPackage, &found), "FindPackageFiles failed");
    CHECK(found.listed, "not listed");
    FreePackageFiles(&found);
    CHECK_TEXT(Edited(log, {}), want);
}

// A hostile list numbered backwards, and a package section of many lines: every line is read
// once, and the list still comes out in number order.
static void TestHostileList()
{
    const int n = 200000;
    std::string log = "[ZV Packages]\r\n";
    std::string want = "[ZV Packages]\r\nNumberInstalled=" + std::to_string(n) + "\r\n";
    for (int i = n; i >= 1; i--)
        log += std::to_string(i) + "=P" + std::to_string(i) + "\r\n";
    for (int i = 1; i <= n; i++)
        want += std::to_string(i) + "=P" + std::to_string(i) + "\r\n";
    log += "[ZV-001 Strider for Quake3]\r\n";
    for (int i = 1; i <= n; i++)
        log += std::to_string(i) + "=\\\\host\\share\\x\r\n";
    PackageFiles found;
    CHECK(FindPackageFiles(log.data(), log.size(), kPackage, &found), "FindPackageFiles failed");
    CHECK(found.listed && found.count == (size_t)n, "listed %d, %u files", found.listed,
          (unsigned)found.count);
    FreePackageFiles(&found);
    std::string edited = Edited(log, {});
    CHECK(edited == want, "edited log of %u bytes, want %u", (unsigned)edited.size(),
          (unsigned)want.size());
}

// Files that stayed are recorded again under the package, which keeps its first list entry;
// everything else is edited as when nothing stays.
static void TestKeptFiles()
{
    static const struct {
        const char *name;
        const char *log;
        std::vector<const char *> kept;
        const char *edited;
    } cases[] = {
        {"one kept of two",
         "[ZV Packages]\r\nNumberInstalled=1\r\n1=ZV-001 Strider for Quake3\r\n"
         "[ZV-001 Strider for Quake3]\r\nFiles=2\r\n1=C:\\Q\\ZV-001.txt\r\n"
         "2=C:\\Q\\baseq3\\PakZV01.pk3\r\n",
         {"C:\\Q\\baseq3\\PakZV01.pk3"},
         "[ZV Packages]\r\nNumberInstalled=1\r\n1=ZV-001 Strider for Quake3\r\n"
         "[ZV-001 Strider for Quake3]\r\nFiles=1\r\n1=C:\\Q\\baseq3\\PakZV01.pk3\r\n"},
        {"two installations, others around, two sections and other case",
         "[ZV Packages]\r\nNumberInstalled=4\r\n1=A\r\n2=zv-001 strider for quake3\r\n"
         "3=ZV-001 Strider for Quake3\r\n4=B\r\n[A]\r\n1=C:\\Q\\a.txt\r\n"
         "[zv-001 STRIDER for Quake3]\r\n1=C:\\Q\\ZV-001.txt\r\n2=\\\\host\\x\r\n[B]\r\nk=v\r\n"
         "[ZV-001 Strider for Quake3]\r\n1=C:\\Q\\baseq3\\PakZV02.pk3\r\n",
         {"C:\\Q\\baseq3\\PakZV02.pk3", "C:\\Q\\ZV-001.txt"},
         "[ZV Packages]\r\nNumberInstalled=3\r\n1=A\r\n2=zv-001 strider for quake3\r\n3=B\r\n"
         "[A]\r\n1=C:\\Q\\a.txt\r\n"
         "[ZV-001 Strider for Quake3]\r\nFiles=2\r\n1=C:\\Q\\baseq3\\PakZV02.pk3\r\n"
         "2=C:\\Q\\ZV-001.txt\r\n[B]\r\nk=v\r\n"},
        {"a section but no list entry: none is added",
         "[X]\r\na=1\r\n[ZV-001 Strider for Quake3]\r\n1=C:\\Q\\ZV-001.txt\r\n",
         {"C:\\Q\\ZV-001.txt"},
         "[X]\r\na=1\r\n[ZV-001 Strider for Quake3]\r\nFiles=1\r\n1=C:\\Q\\ZV-001.txt\r\n"},
    };
    for (const auto &c : cases) {
        std::string edited = Edited(c.log, c.kept);
        CHECK(edited == c.edited, "%s: edited log reads \"%s\"", c.name, edited.c_str());
        CHECK(!IsBlankText(edited.data(), edited.size()), "%s: blank", c.name);
    }
}

int main()
{
    TestAsInstalled();
    TestOtherPackagesKept();
    TestHowEntriesAreRead();
    TestLongList();
    TestHostileList();
    TestKeptFiles();
    return CheckDone();
}
