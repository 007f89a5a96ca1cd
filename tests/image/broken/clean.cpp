// A DLL of the floor without a fault: it imports one function of the lists.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    GetTickCount();
    return TRUE;
}
