// Calls a function of the C runtime DLL, which retail Windows 95 does not have.
#include <windows.h>

#include <cstdlib>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return std::rand() >= 0; }
