// A static TLS directory. The toolchain keeps __thread variables in emulated
// TLS, whose library does not link without the runtime at all; with the
// runtime, its startup code brings this directory (as _tls_used) instead.
#include <windows.h>

extern "C" {
ULONG _tls_index = 0;
char _tls_start __attribute__((section(".tls"))) = 0;
char _tls_end __attribute__((section(".tls$ZZZ"))) = 0;
__attribute__((used)) IMAGE_TLS_DIRECTORY _tls_used = {
    reinterpret_cast<ULONG_PTR>(&_tls_start), reinterpret_cast<ULONG_PTR>(&_tls_end),
    reinterpret_cast<ULONG_PTR>(&_tls_index), 0, 0, 0};
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
}
