// Entry point and exports of DeZIVero.DLL.
#include <windows.h>
#include <ole2.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

STDAPI DllCanUnloadNow() { return S_FALSE; }
STDAPI DllGetClassObject(REFCLSID, REFIID, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
}
STDAPI DllRegisterServer() { return E_NOTIMPL; }
STDAPI DllUnregisterServer() { return E_NOTIMPL; }
