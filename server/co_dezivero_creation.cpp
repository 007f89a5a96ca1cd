// Instance creation. A plain object counts its own references. An aggregated
// object lives inside a wrapper whose IUnknown is the non-delegating unknown
// handed to the outer object; the wrapper's count alone decides destruction,
// while the embedded object's interfaces count on the outer unknown.
// Either way each living object holds one module lock.
#include "server/co_dezivero_creation.h"

#include <new>

#include "object/co_dezivero.h"
#include "server/module_allocator.h"
#include "server/object_lifetime.h"
#include "server/server_module.h"

namespace server {

namespace {

class AggregateObject final : public IUnknown {
public:
    explicit AggregateObject(IUnknown* outer) noexcept : object_(outer) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown)) return object_.InnerQueryInterface(iid, out);
        AddRef();
        *out = static_cast<IUnknown*>(this);
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return static_cast<ULONG>(++count_); }

    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const LONG count = --count_;
        if (count != 0) return static_cast<ULONG>(count);
        count_ = 1;  // releases made during destruction must not destroy it again
        Destroy();
        return 0;
    }

    void Destroy() noexcept {
        TheModule().Unlock();
        this->~AggregateObject();
        ModuleFree(this);
    }

private:
    ~AggregateObject() = default;

    LONG count_ = 0;
    object::CoDeZiVero object_;
};

HRESULT CreatePlain(REFIID iid, void** out) noexcept {
    void* memory = ModuleAlloc(sizeof(object::CoDeZiVero));
    if (!memory) return E_OUTOFMEMORY;
    auto* object = new (memory) object::CoDeZiVero(nullptr);
    TheModule().Lock();
    const HRESULT hr = object->QueryInterface(iid, out);
    if (hr != S_OK) DestroyObject(object);
    return hr;
}

HRESULT CreateAggregated(IUnknown* outer, REFIID iid, void** out) noexcept {
    void* memory = ModuleAlloc(sizeof(AggregateObject));
    if (!memory) return E_OUTOFMEMORY;
    auto* wrapper = new (memory) AggregateObject(outer);
    TheModule().Lock();
    const HRESULT hr = wrapper->QueryInterface(iid, out);
    if (hr != S_OK) wrapper->Destroy();
    return hr;
}

}  // namespace

HRESULT CreateCoDeZiVero(IUnknown* outer, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    return outer ? CreateAggregated(outer, iid, out) : CreatePlain(iid, out);
}

}  // namespace server
