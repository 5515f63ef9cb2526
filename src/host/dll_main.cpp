#include <windows.h>

// Nothing to set up or tear down: every export finds the module and its
// settings file again when it is called.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
