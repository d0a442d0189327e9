// The string loader: every entry's exact text, missing entries, the shared buffer.
#include "check.h"
#include "common/names.h"
#include "setup/table_string.h"
#include "resources/resource.h"

#include <string.h>

static void TestBeforeInstance()
{
    CHECK(GetTableString(IDS_HEADER) == NULL, "a string before the instance is known");
}

static void TestEntries()
{
    static const struct {
        UINT number;
        const char *text;
    } entries[] = {
        {1, "Plug-in Player Model \"ZV-001\""},
        {2, "\n\nThis program will install a new Plug-in Player Model for Quake3: Arena. To use "
            "the model, \nyou must have the final commercial release version of Quake3: Arena by "
            "ID Software.\nUsing this model with any other version of Q3:A may be illegal, "
            "depending upon your license agreements."},
        {4, "Currently Installing File: %s\nTo Location: %s\nFile Size: %s"},
        {5, "Bytes"},
        {6, "KB"},
        {7, "MB"},
        {8, "GB"},
        {9, "ZV-001 Strider for Quake3"},
        {10, "ZV Models for Quake3"},
        {50, "ZV-001 Strider Plug-in Player Model"},
        {99, "zvuninst.exe"},
        {100, "ZV-001.txt"},
        {101, "PakZV01.pk3"},
        {150, "baseq3\\PakZV%02i.pk3"},
    };
    for (const auto &entry : entries) {
        const char *text = GetTableString(entry.number);
        CHECK(text != NULL, "string %u missing", entry.number);
        if (text)
            CHECK(strcmp(text, entry.text) == 0, "string %u reads \"%s\"", entry.number, text);
    }
}

// The uninstaller knows these names only from the shared header: they must be the table's.
static void TestSharedNames()
{
    static const struct {
        UINT number;
        const char *name;
    } names[] = {
        {IDS_PACKAGE_NAME, kPackageName},
        {IDS_DISPLAY_NAME, kUninstallDisplayName},
        {IDS_UNINSTALLER_FILE, kUninstallerFile},
        {IDS_LICENCE_FILE, kLicenceFile},
        {IDS_PACK_FILE, kPackFile},
        {IDS_PACK_TARGET, kPackSlotFormat},
    };
    for (const auto &n : names) {
        const char *text = GetTableString(n.number);
        CHECK(text && strcmp(text, n.name) == 0, "string %u is not the shared name \"%s\"",
              n.number, n.name);
    }
}

static void TestTerms()
{
    const char *terms = GetTableString(IDS_TERMS);
    CHECK(terms != NULL, "string 3 missing");
    if (!terms)
        return;
    size_t length = strlen(terms);
    CHECK(length > 300 && length < 1023, "string 3 has %u characters", (unsigned)length);
    CHECK(strstr(terms, "ZV-001.TXT") != NULL, "string 3 does not name the licence file");
    CHECK(strstr(terms, "\n\n") != NULL, "string 3 has no blank line between paragraphs");
    for (const char *word : {"free", "voluntary", "post", "e-mail", "rights"})
        CHECK(strstr(terms, word) != NULL, "string 3 does not say \"%s\"", word);
}

static void TestMissingAndShared()
{
    CHECK(GetTableString(11) == NULL, "string 11 exists");
    CHECK(GetTableString(51) == NULL, "string 51 exists");
    CHECK(GetTableString(0) == NULL, "string 0 exists");
    const char *first = GetTableString(IDS_UNIT_KB);
    const char *second = GetTableString(IDS_UNIT_BYTES);
    CHECK(first == second, "two fetches gave two buffers");
    CHECK(strcmp(first, "Bytes") == 0, "the first text was not overwritten: %s", first);
}

int main()
{
    TestBeforeInstance();
    g_hInstance = GetModuleHandleA(NULL);
    TestEntries();
    TestSharedNames();
    TestTerms();
    TestMissingAndShared();
    return CheckDone();
}
