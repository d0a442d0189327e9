// zvuninst.exe, the package's uninstaller: run from the game directory (the system's list of
// programs runs it there), it asks once, removes the package and says in one box what it did.
#include "uninstall.h"
#include "../common/names.h"
#include "../common/program_dir.h"
#include "../common/text.h"

#include <windows.h>
#include <stdlib.h>
#include <string.h>

static const char kCaption[] = "ZV-001 Uninstall";

// The program's own path and its directory, with short names spelled out.
static bool FindOwnDirectory(char *self, size_t selfSize, char *dir, size_t dirSize)
{
    DWORD length = GetModuleFileNameA(NULL, self, (DWORD)selfSize);
    char *own = SourceDirectory(self, length, selfSize);
    if (!own)
        return false;
    DWORD longLength = GetLongPathNameA(own, dir, (DWORD)dirSize);
    if (longLength == 0 || longLength >= dirSize)
        FormatText(dir, dirSize, "%s", own);
    free(own);
    return true;
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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH], dir[MAX_PATH];
    if (!FindOwnDirectory(self, sizeof self, dir, sizeof dir)) {
        MessageBoxA(NULL, "The uninstaller cannot find the directory it was started from.",
                    kCaption, MB_ICONERROR | MB_SETFOREGROUND);
        return 0;
    }
    if (!AskToRemove(dir))
        return 0;
    Report report;
    InitReport(&report);
    RemovePackage(dir, self, &report);
    char *text = ReportText(&report);
    UINT icon = ReportHasKept(&report) ? MB_ICONWARNING : MB_ICONINFORMATION;
    MessageBoxA(NULL, text ? text : "The uninstaller ran out of memory.", kCaption,
                MB_OK | icon | MB_SETFOREGROUND);
    free(text);
    FreeReport(&report);
    return 0;
}
