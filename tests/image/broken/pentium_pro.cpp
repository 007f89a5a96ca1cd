// A routine compiled for the Pentium Pro, whose conditional moves an i486 lacks.
#include <windows.h>

volatile int g_left = 1;
volatile int g_right = 2;

__attribute__((target("arch=pentiumpro"))) int Larger(int left, int right) {
    return left > right ? left : right;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return Larger(g_left, g_right) > 0; }
