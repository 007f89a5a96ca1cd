// Class objects are created once per class, by the first fill of their
// entry, and cached by the module, which keeps the reference they were
// created with until termination.
#include "server/exports.h"

#include <unknwn.h>

#include "platform/owned.h"
#include "server/class_factory.h"
#include "server/class_table.h"
#include "server/server_module.h"

namespace server {

HRESULT CanUnloadNow() noexcept { return TheModule().LockCount() == 0 ? S_OK : S_FALSE; }

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    ServerModule& module = TheModule();
    HRESULT hr = S_OK;
    for (size_t i = 0; i < kClassCount; ++i) {
        const ClassEntry& entry = ClassTable[i];
        if (!IsEqualCLSID(clsid, *entry.clsid)) continue;
        IUnknown*& cached = module.ClassObject(i);
        module.ClassObjectFill(i).Ensure([&]() noexcept {
            platform::ComInterface<IUnknown> created;
            hr = ClassFactory::Create(entry.createInstance, IID_IUnknown,
                                      reinterpret_cast<void**>(&created));
            if (FAILED(hr) || !created) return false;
            cached = created.Detach();
            return true;
        });
        if (cached) hr = cached->QueryInterface(iid, out);
        break;
    }
    if (!*out && hr == S_OK) return CLASS_E_CLASSNOTAVAILABLE;
    return hr;
}

}  // namespace server
