// The class object. Its count changes atomically and the module-lock
// decision (count reaching 2, falling back to 1) is made under its own lock,
// so AddRef and Release racing on two threads keep exactly one module lock
// for all client references together.
#include "server/class_factory.h"

#include <new>

#include "server/module_allocator.h"
#include "server/server_module.h"

namespace server {

ClassFactory::ClassFactory(CreateInstanceRoutine createInstance) noexcept
    : createInstance_(createInstance) {
    InitializeCriticalSection(&lock_);
}

ClassFactory::~ClassFactory() { DeleteCriticalSection(&lock_); }

void ClassFactory::Destroy() noexcept {
    this->~ClassFactory();
    ModuleFree(this);
}

HRESULT ClassFactory::Create(CreateInstanceRoutine createInstance, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    void* memory = ModuleAlloc(sizeof(ClassFactory));
    if (!memory) return E_OUTOFMEMORY;
    auto* factory = new (memory) ClassFactory(createInstance);
    const HRESULT hr = factory->QueryInterface(iid, out);
    if (hr != S_OK) factory->Destroy();
    return hr;
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    AddRef();
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
}

ULONG ClassFactory::AddRef() noexcept {
    EnterCriticalSection(&lock_);
    const LONG count = InterlockedIncrement(&count_);
    if (count == 2) TheModule().Lock();
    LeaveCriticalSection(&lock_);
    return static_cast<ULONG>(count);
}

ULONG ClassFactory::Release() noexcept {
    EnterCriticalSection(&lock_);
    const LONG count = InterlockedDecrement(&count_);
    LeaveCriticalSection(&lock_);
    if (count == 0) {
        Destroy();
    } else if (count == 1) {
        TheModule().Unlock();
    }
    return static_cast<ULONG>(count);
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return createInstance_(outer, iid, out);
}

HRESULT ClassFactory::LockServer(BOOL lock) noexcept {
    if (lock) {
        TheModule().Lock();
    } else {
        TheModule().Unlock();
    }
    return S_OK;
}

}  // namespace server
