// A static object whose constructor the runtime would have run before DllMain.
#include <windows.h>

struct StartTime {
    StartTime() : ticks(GetTickCount()) {}
    DWORD ticks;
};

StartTime g_start;

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return g_start.ticks != 0; }
