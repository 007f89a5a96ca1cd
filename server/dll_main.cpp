// Entry point and exports of DeZIVero.DLL.
//
// DllMain is the library's entry point itself: no C runtime starts before it.
// The component needs nothing that a runtime's startup would do: it has no
// static constructors to run (the image checks keep their list empty), no
// TLS, no floating point, and no pseudo-relocations (the link refuses them).
#include <windows.h>
#include <ole2.h>

#include "platform/system_function.h"
#include "server/exports.h"
#include "server/registration.h"
#include "server/server_module.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/module_directory.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        server::TheModule().Start(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        server::TheModule().Terminate();
        sysinfo::ForgetPlatformRecord();
        sysinfo::ForgetModuleDirectory();
        // While the process ends (reserved set) the loader frees libraries in its own order.
        platform::ForgetSystemFunctions(reserved == nullptr);
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() { return server::CanUnloadNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return server::GetClassObject(clsid, iid, out);
}

STDAPI DllRegisterServer() { return server::RegisterServer(); }

STDAPI DllUnregisterServer() { return server::UnregisterServer(); }
