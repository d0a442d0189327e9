// The uninstaller's final message: notes first, then the three lists in a fixed order, each
// part apart from the next by one blank line, long lists cut with a count.
#include "check.h"
#include "uninstall/report.h"

#include <stdlib.h>
#include <string>

static std::string TextOf(const Report &report)
{
    char *text = ReportText(&report);
    std::string result = text ? text : "<null>";
    free(text);
    return result;
}

static void TestLayout()
{
    Report report;
    InitReport(&report);
    ReportNote(&report, "Removing X from C:\\Q.");
    ReportNotRemoved(&report, "C:\\Windows\\win.ini", "not a file of this package");
    ReportRemoved(&report, "C:\\Q\\ZV-001.txt");
    ReportMissing(&report, "C:\\Q\\baseq3\\PakZV02.pk3");
    ReportRemoved(&report, "the entry");
    CHECK_TEXT(TextOf(report), "Removing X from C:\\Q.\n\n"
                               "Removed:\nC:\\Q\\ZV-001.txt\nthe entry\n\n"
                               "Already gone:\nC:\\Q\\baseq3\\PakZV02.pk3\n\n"
                               "Not removed:\nC:\\Windows\\win.ini: not a file of this package");
    CHECK(ReportHasNotRemoved(&report), "a kept file is not known");
    FreeReport(&report);

    InitReport(&report);
    ReportNote(&report, "First.");
    ReportNote(&report, "Second.");
    CHECK_TEXT(TextOf(report), "First.\n\nSecond.");
    CHECK(!ReportHasNotRemoved(&report), "nothing kept, yet told so");
    FreeReport(&report);

    InitReport(&report);
    ReportRemoved(&report, "a");
    CHECK_TEXT(TextOf(report), "Removed:\na");
    // A message alone takes the place of everything before it, and tells that nothing was done.
    ReportOnly(&report, "Busy.");
    CHECK_TEXT(TextOf(report), "Busy.");
    CHECK(ReportHasNotRemoved(&report), "a message alone is not told as a warning");
    FreeReport(&report);
}

// A log with hundreds of foreign paths must not make a box taller than the screen.
static void TestLongLists()
{
    Report report;
    InitReport(&report);
    std::string want = "Not removed:\n";
    for (int i = 1; i <= kReportListLines + 3; i++) {
        std::string path = "C:\\f" + std::to_string(i);
        ReportNotRemoved(&report, path.c_str(), "no");
        if (i <= kReportListLines)
            want += path + ": no\n";
    }
    ReportRemoved(&report, "r");
    want = "Removed:\nr\n\n" + want + "and 3 more";
    CHECK_TEXT(TextOf(report), want);
    FreeReport(&report);
}

int main()
{
    TestLayout();
    TestLongLists();
    return CheckDone();
}
