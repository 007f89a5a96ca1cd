// An instruction written as bytes (0F AE F8, sfence of the Pentium III) in
// code compiled for the i486.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    __asm__ volatile(".byte 0x0f, 0xae, 0xf8");
    return TRUE;
}
