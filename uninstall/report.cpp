// Collects the outcome of each step of the uninstaller and lays them out for its one box.
#include "report.h"

#include <string.h>

static void InitList(ReportList *list)
{
    InitTextBuffer(&list->lines);
    list->count = 0;
}

void InitReport(Report *report)
{
    InitTextBuffer(&report->notes);
    InitList(&report->removed);
    InitList(&report->missing);
    InitList(&report->notRemoved);
    report->alone = false;
    report->outcome = OUTCOME_REMOVED;
    report->beforeUninstaller = NULL;
}

void ReportStays(Report *report, ReportOutcome outcome)
{
    if (report->outcome == OUTCOME_REMOVED)
        report->outcome = outcome;
}

void ReportNote(Report *report, const char *text)
{
    AppendString(&report->notes, text);
    AppendString(&report->notes, "\n\n");
}

static void AddLine(ReportList *list, const char *what, const char *reason)
{
    if (list->count++ >= kReportListLines)
        return;
    AppendString(&list->lines, what);
    if (reason) {
        AppendString(&list->lines, ": ");
        AppendString(&list->lines, reason);
    }
    AppendString(&list->lines, "\n");
}

void ReportRemoved(Report *report, const char *what)
{
    AddLine(&report->removed, what, NULL);
}

void ReportMissing(Report *report, const char *what)
{
    AddLine(&report->missing, what, NULL);
}

void ReportNotRemoved(Report *report, const char *what, const char *reason)
{
    AddLine(&report->notRemoved, what, reason);
}

void ReportOnly(Report *report, const char *text)
{
    FreeReport(report);
    InitReport(report);
    ReportNote(report, text);
    report->alone = true;
}

bool ReportHasNotRemoved(const Report *report)
{
    return report->notRemoved.count > 0 || report->alone;
}

static bool EndsWith(const TextBuffer *text, const char *tail, size_t length)
{
    return text->length >= length && memcmp(text->data + text->length - length, tail, length) == 0;
}

// Each block of the message stands apart from the one before by one blank line.
static void AppendList(TextBuffer *text, const char *title, const ReportList *list)
{
    if (list->count == 0)
        return;
    if (text->length && !EndsWith(text, "\n\n", 2))
        AppendString(text, "\n");
    AppendString(text, title);
    AppendString(text, "\n");
    if (list->lines.data)
        AppendText(text, list->lines.data, list->lines.length);
    if (list->count > kReportListLines) {
        AppendString(text, "and ");
        AppendNumber(text, (unsigned long)(list->count - kReportListLines));
        AppendString(text, " more\n");
    }
}

char *ReportText(const Report *report)
{
    TextBuffer text;
    InitTextBuffer(&text);
    if (report->notes.data)
        AppendText(&text, report->notes.data, report->notes.length);
    AppendList(&text, "Removed:", &report->removed);
    AppendList(&text, "Already gone:", &report->missing);
    AppendList(&text, "Not removed:", &report->notRemoved);
    // No line feed after the last line: the box would show it as an empty line.
    while (text.length && text.data[text.length - 1] == '\n')
        text.data[--text.length] = 0;
    if (text.failed || !text.data) {
        FreeTextBuffer(&text);
        return NULL;
    }
    return text.data;
}

static void FreeList(ReportList *list)
{
    FreeTextBuffer(&list->lines);
    list->count = 0;
}

void FreeReport(Report *report)
{
    FreeTextBuffer(&report->notes);
    FreeList(&report->removed);
    FreeList(&report->missing);
    FreeList(&report->notRemoved);
}
