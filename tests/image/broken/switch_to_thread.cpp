// Imports SwitchToThread, which the kernel32 of the 9x family does not export.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    SwitchToThread();
    return TRUE;
}
