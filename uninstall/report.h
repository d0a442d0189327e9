// The uninstaller's final message: a few sentences, then what was removed, what was already
// gone and what was not removed, each list cut short with a count when it grows long.
#ifndef ZV_UNINSTALL_REPORT_H
#define ZV_UNINSTALL_REPORT_H

#include "../common/text_buffer.h"

// Lines a list shows before the rest is only counted, so the box fits on the screen.
const int kReportListLines = 12;

struct ReportList {
    TextBuffer lines;
    int count;
};

struct Report {
    TextBuffer notes;
    ReportList removed, missing, notRemoved;
    bool alone; // the notes are the whole message
};

void InitReport(Report *report);
// A sentence of its own, shown before the lists in the order given.
void ReportNote(Report *report, const char *text);
void ReportRemoved(Report *report, const char *what);
// Something the log or the registry named that was not there to remove.
void ReportMissing(Report *report, const char *what);
// Something left in place, with the reason.
void ReportNotRemoved(Report *report, const char *what, const char *reason);
// The whole message is text alone, told as a warning: nothing was done.
void ReportOnly(Report *report, const char *text);
// True when something was left in place, or nothing was done.
bool ReportHasNotRemoved(const Report *report);
// The whole message as a new heap string, or null when memory ran out.
char *ReportText(const Report *report);
void FreeReport(Report *report);

#endif
