// Creation and destruction of the hardware-information object. The core
// takes its system, memory and version records while it is constructed; the
// device fields start as "nothing found yet". The record comes from the
// module's allocator and each living object holds one module lock, plain or
// aggregated alike.
#include "object/co_dezivero.h"

#include <new>

#include "server/module_allocator.h"
#include "server/server_module.h"

namespace object {

CoDeZiVero::CoDeZiVero(IUnknown* outer) noexcept : outer_(outer) {
    HWKey_[0] = '\0';
    DeviceStatus_ = -1;
}

// Nothing to give back: the object holds no key, handle or allocation
// between calls.
CoDeZiVero::~CoDeZiVero() = default;

HRESULT CoDeZiVero::Create(IUnknown* outer, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    void* memory = server::ModuleAlloc(sizeof(CoDeZiVero));
    if (!memory) return E_OUTOFMEMORY;
    auto* object = new (memory) CoDeZiVero(outer);
    server::TheModule().Lock();
    // An aggregate hands its outer object the non-delegating unknown.
    const HRESULT hr = outer ? object->inner_.QueryInterface(iid, out)
                             : object->QueryInterface(iid, out);
    if (hr != S_OK) object->Destroy();
    return hr;
}

void CoDeZiVero::Destroy() noexcept {
    refCount_ = 1;  // releases made during destruction must not destroy it again
    server::TheModule().Unlock();
    this->~CoDeZiVero();
    server::ModuleFree(this);
}

}  // namespace object
