// The installer's entry point: the backdrop, the pages in their fixed order, then the final
// message.
#include <windows.h>

#include "info_page.h"
#include "table_string.h"
#include "../backdrop/backdrop.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
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
    RunInfoPages(backdrop->GetBackdropWindow());
    backdrop->CloseBackdrop();
    delete backdrop;
    return 0;
}
