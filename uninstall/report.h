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

// How the removal ended, as the quiet uninstall's exit code tells it (README, "Uninstalling").
enum ReportOutcome {
    OUTCOME_REMOVED = 0,     // the package, the uninstaller and the entry are gone
    OUTCOME_FILE_KEPT = 2,   // a file of the package, the uninstaller or the entry stayed
    OUTCOME_LOG_KEPT = 3,    // the install log could not be read or rewritten
    OUTCOME_BUSY = 4,        // an installation or uninstall held the directory's lock
    OUTCOME_OTHER_ENTRY = 5, // the entry in the list of programs names another uninstaller
    OUTCOME_FAILED = 6       // the uninstaller could not run: nothing was removed
};

struct Report {
    TextBuffer notes;
    ReportList removed, missing, notRemoved;
    bool alone; // the notes are the whole message
    ReportOutcome outcome;
    // Called, when set, once everything but the installed uninstaller is done and that is
    // about to go: a quiet run's starter, which runs from that file, ends here.
    void (*beforeUninstaller)(const Report *report);
};

void InitReport(Report *report);
// Keeps the first way that something stays; later ones follow from it.
void ReportStays(Report *report, ReportOutcome outcome);
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
