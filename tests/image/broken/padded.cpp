// 132 KB of read-only data, beyond the 128 KB the DLL may take.
#include <windows.h>

extern const char g_padding[132 * 1024];
const char g_padding[132 * 1024] = {1};

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    return g_padding[reason % sizeof g_padding] >= 0;
}
