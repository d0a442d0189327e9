// zvuninst.exe, the package's uninstaller. Started from the game directory (the system's list
// of programs runs it there), it starts a temporary copy of itself and ends; the copy asks
// once, removes the package and the installed uninstaller, and says in one box what it did.
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

// The installed uninstaller's role: make and start the copy, then end, so its own file is
// free to be removed.
static int StartCopy()
{
    char dir[MAX_PATH];
    if (!FindOwnDirectory(dir, sizeof dir)) {
        MessageBoxA(NULL, "The uninstaller cannot find the directory it was started from.",
                    kCaption, MB_ICONERROR | MB_SETFOREGROUND);
        return 0;
    }
    DWORD error = 0;
    if (StartTemporaryCopy(dir, &error))
        return 0;
    char reason[256], text[512];
    SystemErrorText(error, reason, sizeof reason);
    FormatText(text, sizeof text,
               "The uninstaller could not start its temporary copy in the TEMP folder, so "
               "nothing was removed.\n\n%s",
               reason);
    MessageBoxA(NULL, text, kCaption, MB_ICONERROR | MB_SETFOREGROUND);
    return 0;
}

// The temporary copy's role: only started as the installed uninstaller starts it, and then
// only after it has ended.
static int RunCopy(const char *arguments)
{
    unsigned long original = 0;
    char dir[MAX_PATH];
    if (!ParseCopyCommand(arguments, &original, dir, sizeof dir) || !WaitForOriginal(original)) {
        MessageBoxA(NULL,
                    "This copy of the uninstaller only runs when zvuninst.exe starts it. To "
                    "remove the models, run zvuninst.exe from the game directory.",
                    kCaption, MB_ICONERROR | MB_SETFOREGROUND);
        return 1;
    }
    ScheduleOwnRemoval();
    if (!AskToRemove(dir))
        return 0;
    Report report;
    InitReport(&report);
    RemovePackage(dir, &report);
    char *text = ReportText(&report);
    UINT icon = ReportHasNotRemoved(&report) ? MB_ICONWARNING : MB_ICONINFORMATION;
    MessageBoxA(NULL, text ? text : "The uninstaller ran out of memory.", kCaption,
                MB_OK | icon | MB_SETFOREGROUND);
    free(text);
    FreeReport(&report);
    return 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // First of all: the copy runs from %TEMP%, where others may leave DLLs.
    RestrictDllSearch();
    // A log may name a drive without a disk in it: the look-up fails quietly instead of the
    // system asking the user to insert one.
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS);
    const char *arguments = CommandArguments(GetCommandLineA());
    return IsCopyCommand(arguments) ? RunCopy(arguments) : StartCopy();
}
