// Self-registration. The class entries run the registration script (resource
// "REGISTRY" IDR_DEZIVERO of this file, with %MODULE% standing for its
// path); the type library, a resource of the same file, is registered after
// them and unregistered through oleaut32's UnRegisterTypeLib, looked up by
// name because the oldest systems lack it. Beside the other build on 64-bit
// Windows, unregistration spares what the two share (registry_view.h).
#include "server/registration.h"

#include <oleauto.h>

#include "platform/owned.h"
#include "platform/platform.h"
#include "platform/system_function.h"
#include "resources/resource.h"
#include "server/class_table.h"
#include "server/module_path.h"
#include "server/registrar/registrar.h"
#include "server/registry_view.h"
#include "server/server_module.h"

namespace server {

namespace {

using TypeLib = platform::ComInterface<ITypeLib>;

// Loads the type library from the module, or from the .tlb file beside it;
// path receives the path that worked.
HRESULT LocateTypeLib(TypeLib& library, wchar_t (&path)[kTypeLibPathSize]) noexcept {
    wchar_t modulePath[kModulePathSize];
    HRESULT hr = ReadModulePath(TheModule().Instance(), modulePath);
    if (FAILED(hr)) return hr;
    wcscpy(path, modulePath);
    hr = LoadTypeLib(path, &library);
    if (SUCCEEDED(hr) && library.Get()) return S_OK;
    if (!TypeLibFallbackPath(modulePath, path)) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    hr = LoadTypeLib(path, &library);
    if (FAILED(hr)) return hr;
    return library.Get() ? S_OK : TYPE_E_CANTLOADLIBRARY;
}

HRESULT RegisterTypeLibrary() noexcept {
    TypeLib library;
    wchar_t path[kTypeLibPathSize];
    HRESULT hr = LocateTypeLib(library, path);
    if (FAILED(hr)) return hr;
    wchar_t directory[kTypeLibPathSize];
    DirectoryOf(path, directory);
    return RegisterTypeLib(library.Get(), path, directory);
}

platform::SystemFunction<decltype(&::UnRegisterTypeLib)> g_unRegisterTypeLib{"oleaut32.dll",
                                                                         "UnRegisterTypeLib"};

void CallUnRegisterTypeLib(const TLIBATTR& attributes) noexcept {
    const auto unregister = g_unRegisterTypeLib.Get();
    if (unregister) {
        unregister(attributes.guid, attributes.wMajorVerNum, attributes.wMinorVerNum,
                   attributes.lcid, attributes.syskind);
    }
}

// UnRegisterTypeLib also deletes the interface keys, in both registry views,
// which the other build's callers still need while it stays registered; then
// only this build's path of the library goes.
void UnregisterTypeLibrary(bool otherBuildStays) noexcept {
    TypeLib library;
    wchar_t path[kTypeLibPathSize];
    if (FAILED(LocateTypeLib(library, path))) return;
    TLIBATTR* attributes = nullptr;
    if (FAILED(library.Get()->GetLibAttr(&attributes)) || !attributes) return;
    if (otherBuildStays) {
        DeleteOwnTypeLibPath(*attributes);
    } else {
        CallUnRegisterTypeLib(*attributes);
    }
    library.Get()->ReleaseTLibAttr(attributes);
}

}  // namespace

HRESULT RegisterCoDeZiVero(bool doRegister) noexcept {
    wchar_t path[kModulePathSize];
    HRESULT hr = ReadModulePath(TheModule().Instance(), path);
    if (FAILED(hr)) return hr;
    // Inside the script the path stands in a quoted token, where a quote is written twice.
    wchar_t quoted[kQuotedPathSize];
    if (!DoubleSingleQuotes(path, quoted)) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    ReplacementMap map;
    hr = map.Add(L"Module", quoted);
    if (FAILED(hr)) return hr;
    hr = RunRegistrar(path, IDR_DEZIVERO, L"REGISTRY", doRegister, map);
    map.Clear();
    return hr;
}

HRESULT RegisterServer() noexcept {
    for (const ClassEntry& entry : ClassTable) {
        const HRESULT hr = entry.registerClass(true);
        if (FAILED(hr)) return hr;
    }
    return RegisterTypeLibrary();
}

// A class that the other build registers in its registry view keeps the
// keys both views share (its ProgIDs): only this view's class key goes.
// Unregistration removes what it can reach and always reports success, as
// regsvr32 /u and uninstallers expect of it: its steps fail only where the
// module's own path or file can no longer be read, which no retry mends, and
// a failure would stop an uninstall that can otherwise go on.
HRESULT UnregisterServer() noexcept {
    bool otherBuildStays = false;
    for (const ClassEntry& entry : ClassTable) {
        if (OtherViewHoldsClass(*entry.clsid)) {
            DeleteOwnClassKey(*entry.clsid);
            otherBuildStays = true;
        } else {
            entry.registerClass(false);
        }
    }
    UnregisterTypeLibrary(otherBuildStays);
    return S_OK;
}

}  // namespace server
