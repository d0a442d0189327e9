// The installer's entry point: the backdrop, the pages in their fixed order, the installation,
// then the final message.
#include <windows.h>
#include <stdlib.h>

#include "info_page.h"
#include "../backdrop/backdrop.h"
#include "../gamedir/details_page.h"
#include "../install/install.h"
#include "../setup/startup_marks.h"
#include "../setup/table_string.h"
#include "../common/dll_search.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    MarkStartup("winmain");
    // Before anything loads a library: the installer often runs from a Downloads folder.
    RestrictDllSearch();
    // A drive without a disk, typed, browsed to or searched, fails quietly instead of the
    // system asking the user to insert one.
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS);
    g_hInstance = instance;
    // No memory for the record: the heap is exhausted, so stop as when the backdrop fails.
    Backdrop *backdrop = new Backdrop(instance);
    if (!backdrop) {
        MessageBoxA(NULL, "Cannot continue", "Error", MB_ICONERROR);
        return 0;
    }
    backdrop->SetGradient(0x00FF0000, 0, 0, 0, 0);
    if (!backdrop->StartBackdrop(true)) {
        MessageBoxA(backdrop->GetBackdropWindow(), "Cannot continue", "Error", MB_ICONERROR);
        // Its thread has ended already: closing only releases the thread handle.
        backdrop->CloseBackdrop();
        delete backdrop;
        return 0;
    }
    // Every page and box is owned by the backdrop window as it is at that moment.
    char *gameDir = NULL;
    if (RunInfoPages(backdrop->GetBackdropWindow()) &&
        RunDetailsPage(backdrop->GetBackdropWindow(), &gameDir)) {
        bool done = InstallPackage(backdrop->GetBackdropWindow(), gameDir);
        // "Installation aborted" is both the text and the caption.
        MessageBoxA(backdrop->GetBackdropWindow(),
                    done ? "Installation is complete" : "Installation aborted",
                    done ? "Happy Fragging" : "Installation aborted", MB_OK);
    }
    free(gameDir);
    // A backdrop thread that hangs may still use the record; the process ends right after.
    if (backdrop->CloseBackdrop())
        delete backdrop;
    return 0;
}
