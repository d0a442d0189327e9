// The installer's entry point: the pages in their fixed order, then the final message.
#include <windows.h>

#include "info_page.h"
#include "table_string.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_hInstance = instance;
    RunInfoPages(NULL);
    return 0;
}
