// Size texts of the progress dialog at the unit boundaries, and for files of 2 GiB and more.
#include "check.h"
#include "install/size_text.h"

#include <string>

static void TestSizeTexts()
{
    static const char *const units[] = {"Bytes", "KB", "MB", "GB"};
    static const struct {
        unsigned long long bytes;
        const char *text;
    } cases[] = {
        {0, "0 Bytes"},
        {1499, "1499 Bytes"},
        {1500, "1.46 KB"},
        {589855, "576.03 KB"},
        {1535999, "1500.00 KB"},
        {1536000, "1.46 MB"},
        {67108864, "64.00 MB"},
        {1572863999, "1500.00 MB"},
        {1572864000, "1.46 GB"},
        {2147483648ULL, "2.00 GB"},                 // would be negative as a signed 32-bit size
        {4294967295ULL, "4.00 GB"},                 // the largest low word alone
        {4294967296ULL + 1610612736ULL, "5.50 GB"}, // needs the high word
    };
    for (const auto &c : cases) {
        char text[16];
        FormatSizeText(text, sizeof text, c.bytes, units[UnitOfSize(c.bytes)]);
        CHECK(std::string(text) == c.text, "%llu bytes read \"%s\", expected \"%s\"", c.bytes, text,
              c.text);
    }
}

int main()
{
    TestSizeTexts();
    return CheckDone();
}
