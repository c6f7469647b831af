// A library that exists only to be looked for: the test of the restricted DLL
// search loads it by its bare name from the current folder.
#include <windows.h>

extern "C" __declspec(dllexport) int frame_dll_probe()
{
    return 1;
}
