// The program starts here rather than in the C runtime's start-up code: that code parses a
// command line, runs static constructors and sets up thread-local storage, none of which the
// installer uses, and it would add a third to the size of the executable.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

extern "C" void WINAPI WinMainCRTStartup(void)
{
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOWDEFAULT));
}
