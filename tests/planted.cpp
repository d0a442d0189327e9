// A DLL that someone dropped beside the program: the programs must never load it.
#include <windows.h>

extern "C" __declspec(dllexport) int Planted()
{
    return 1;
}
