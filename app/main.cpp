// The installer's entry point: the pages in their fixed order, the installation, then the
// final message.
#include <windows.h>
#include <stdlib.h>

#include "info_page.h"
#include "table_string.h"
#include "../gamedir/details_page.h"
#include "../install/install.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_hInstance = instance;
    char *gameDir = NULL;
    if (RunInfoPages(NULL) && RunDetailsPage(NULL, &gameDir)) {
        bool done = InstallPackage(NULL, gameDir);
        // "Installation aborted" is both the text and the caption.
        MessageBoxA(NULL, done ? "Installation is complete" : "Installation aborted",
                    done ? "Happy Fragging" : "Installation aborted", MB_OK);
    }
    free(gameDir);
    return 0;
}
