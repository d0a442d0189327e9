// zvuninst.exe, the package's uninstaller. Started from the game directory (the system's list
// of programs runs it there), it starts a temporary copy of itself and ends; the copy asks
// once, removes the package and the installed uninstaller, and says in one box what it did.
// Started with /S it shows nothing and waits for its copy, whose outcome is its exit code.
#include "copy_command.h"
#include "self_copy.h"
#include "uninstall.h"
#include "../common/dll_search.h"
#include "../common/names.h"
#include "../common/program_dir.h"
#include "../common/system_error.h"
#include "../common/text.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

static const char kCaption[] = "ZV-001 Uninstall";

// The program's own directory, full, as the installer recorded it.
static bool FindOwnDirectory(char *dir, size_t size)
{
    char *own = ProgramDirectory();
    char *full = own ? FullDirectory(own) : NULL;
    bool ok = full && FormatText(dir, size, "%s", full);
    free(full);
    free(own);
    return ok;
}

static bool AskToRemove(const char *dir)
{
    TextBuffer question;
    InitTextBuffer(&question);
    AppendString(&question, "Remove ");
    AppendString(&question, kPackageName);
    AppendString(&question, " from ");
    AppendString(&question, dir);
    AppendString(&question, "?\n\nThis removes the licence text and the packs that ZVFiles.log "
                            "records for it, and its entry in the list of programs. Nothing "
                            "else is touched.");
    int answer = MessageBoxA(NULL, question.failed ? "Remove the ZV-001 models?" : question.data,
                             kCaption, MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND);
    FreeTextBuffer(&question);
    return answer == IDYES;
}

// Exit codes besides the removal's own (report.h), as the README's table gives them.
static const int kExitForgedCopy = 1;
static const int kExitUnknownCommand = 7;

// The installed uninstaller's role: make and start the copy, then end, so its own file is
// free to be removed. A quiet run waits for the copy's outcome and ends with it; an
// interactive one ends at once, with 0.
static int StartCopy(bool quiet)
{
    char dir[MAX_PATH];
    if (!FindOwnDirectory(dir, sizeof dir)) {
        if (!quiet)
            MessageBoxA(NULL, "The uninstaller cannot find the directory it was started from.",
                        kCaption, MB_ICONERROR | MB_SETFOREGROUND);
        return quiet ? OUTCOME_FAILED : 0;
    }
    DWORD error = 0, code = OUTCOME_FAILED;
    HANDLE outcome = NULL;
    if (StartTemporaryCopy(dir, quiet ? &outcome : NULL, &error)) {
        if (quiet && !WaitForCopy(outcome, &code))
            code = OUTCOME_FAILED;
        return quiet ? (int)code : 0;
    }
    if (quiet)
        return OUTCOME_FAILED;
    char reason[256], text[512];
    SystemErrorText(error, reason, sizeof reason);
    FormatText(text, sizeof text,
               "The uninstaller could not start its temporary copy in the TEMP folder, so "
               "nothing was removed.\n\n%s",
               reason);
    MessageBoxA(NULL, text, kCaption, MB_ICONERROR | MB_SETFOREGROUND);
    return 0;
}

static void RunAsked(HANDLE original, const char *dir)
{
    WaitForOriginal(original);
    ScheduleOwnRemoval();
    if (!AskToRemove(dir))
        return;
    Report report;
    InitReport(&report);
    RemovePackage(dir, &report);
    char *text = ReportText(&report);
    UINT icon = ReportHasNotRemoved(&report) ? MB_ICONWARNING : MB_ICONINFORMATION;
    MessageBoxA(NULL, text ? text : "The uninstaller ran out of memory.", kCaption,
                MB_OK | icon | MB_SETFOREGROUND);
    free(text);
    FreeReport(&report);
}

// A quiet run's starter and the pipe it reads the outcome from; set once, on the main thread.
static HANDLE s_starter, s_outcome;

// Tells the starter the outcome, then waits for it to end, so that its file can go.
static void ReleaseStarter(const Report *report)
{
    if (!s_outcome)
        return;
    DWORD code = (DWORD)report->outcome, written;
    WriteFile(s_outcome, &code, sizeof code, &written, NULL);
    CloseHandle(s_outcome);
    s_outcome = NULL;
    WaitForOriginal(s_starter);
}

static int RunQuiet(HANDLE original, HANDLE outcome, const char *dir)
{
    s_starter = original;
    s_outcome = outcome;
    ScheduleOwnRemoval();
    Report report;
    InitReport(&report);
    report.beforeUninstaller = ReleaseStarter;
    RemovePackage(dir, &report);
    // Where nothing came to the uninstaller's turn, the starter hears the outcome now.
    ReleaseStarter(&report);
    int code = report.outcome;
    FreeReport(&report);
    return code;
}

// The temporary copy's role: only started as the installed uninstaller starts it; it waits
// for that to end, unless the run is quiet, whose starter waits for it instead.
static int RunCopy(const char *arguments)
{
    unsigned long original = 0, outcome = 0;
    char dir[MAX_PATH];
    HANDLE starter = ParseCopyCommand(arguments, &original, &outcome, dir, sizeof dir)
                         ? OriginalProcess(original)
                         : NULL;
    HANDLE pipe = (HANDLE)(ULONG_PTR)outcome;
    if (starter && (!outcome || GetFileType(pipe) == FILE_TYPE_PIPE)) {
        if (outcome)
            return RunQuiet(starter, pipe, dir);
        RunAsked(starter, dir);
        return 0;
    }
    if (starter)
        CloseHandle(starter);
    if (!outcome)
        MessageBoxA(NULL,
                    "This copy of the uninstaller only runs when zvuninst.exe starts it. To "
                    "remove the models, run zvuninst.exe from the game directory.",
                    kCaption, MB_ICONERROR | MB_SETFOREGROUND);
    return kExitForgedCopy;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // First of all: the copy runs from %TEMP%, where others may leave DLLs.
    RestrictDllSearch();
    // A log may name a drive without a disk in it: the look-up fails quietly instead of the
    // system asking the user to insert one.
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS);
    const char *arguments = CommandArguments(GetCommandLineA());
    if (IsCopyCommand(arguments))
        return RunCopy(arguments);
    // Anything else changes nothing: a deployment script's mistyped switch must not remove.
    if (*arguments && !IsQuietCommand(arguments))
        return kExitUnknownCommand;
    return StartCopy(*arguments != 0);
}
