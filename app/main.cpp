// The installer's entry point: the pages in their fixed order, then the final message.
#include <windows.h>

#include "info_page.h"
#include "table_string.h"
#include "../gamedir/details_page.h"

#include <stdlib.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_hInstance = instance;
    char *gameDirectory = NULL;
    if (RunInfoPages(NULL) && RunDetailsPage(NULL, &gameDirectory)) {
        // the installation comes here
    }
    free(gameDirectory);
    return 0;
}
