// The object's IUnknown. A plain object counts its own references (plainly:
// it lives in one apartment). An aggregated object forwards AddRef and
// Release to its outer unknown and asks the outer unknown first in
// QueryInterface, falling back to its own interface table; its own count is
// kept by the non-delegating unknown its outer object holds. The safety
// options part answers for the object.
#include "object/co_dezivero.h"

namespace object {

namespace {

using InterfaceGetter = IUnknown* (*)(CoDeZiVero* object) noexcept;

struct InterfaceEntry {
    const IID* iid;
    InterfaceGetter get;
};

IUnknown* Primary(CoDeZiVero* object) noexcept { return static_cast<IDeZiVero2*>(object); }
IUnknown* Safety(CoDeZiVero* object) noexcept { return object->Safety(); }

constexpr InterfaceEntry InterfaceTable[] = {
    {&IID_IDeZiVero2, Primary},
    {&IID_IDeZiVero, Primary},
    {&IID_IDispatch, Primary},
    {&IID_IObjectSafety, Safety},
};

}  // namespace

HRESULT CoDeZiVero::InnerQueryInterface(REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    IUnknown* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) found = Primary(this);
    for (const InterfaceEntry& entry : InterfaceTable) {
        if (found) break;
        if (IsEqualIID(iid, *entry.iid)) found = entry.get(this);
    }
    if (!found) return E_NOINTERFACE;
    found->AddRef();
    *out = found;
    return S_OK;
}

HRESULT CoDeZiVero::QueryInterface(REFIID iid, void** out) noexcept {
    if (!outer_) return InnerQueryInterface(iid, out);
    if (!out) return E_POINTER;
    *out = nullptr;
    const HRESULT hr = outer_->QueryInterface(iid, out);
    if (SUCCEEDED(hr) && *out) return hr;
    if (outer_ == Primary(this)) return hr;
    return InnerQueryInterface(iid, out);
}

ULONG CoDeZiVero::AddRef() noexcept { return outer_ ? outer_->AddRef() : CountUp(); }

ULONG CoDeZiVero::Release() noexcept { return outer_ ? outer_->Release() : CountDown(); }

ULONG CoDeZiVero::CountUp() noexcept { return static_cast<ULONG>(++refCount_); }

ULONG CoDeZiVero::CountDown() noexcept {
    const LONG count = --refCount_;
    if (count != 0) return static_cast<ULONG>(count);
    Destroy();
    return 0;
}

HRESULT CoDeZiVero::NonDelegatingUnknown::QueryInterface(REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown)) return owner_->InnerQueryInterface(iid, out);
    AddRef();
    *out = static_cast<IUnknown*>(this);
    return S_OK;
}

ULONG CoDeZiVero::NonDelegatingUnknown::AddRef() noexcept { return owner_->CountUp(); }

ULONG CoDeZiVero::NonDelegatingUnknown::Release() noexcept { return owner_->CountDown(); }

HRESULT CoDeZiVero::SafetyOptions::QueryInterface(REFIID iid, void** out) noexcept {
    return OwnerOf(this)->QueryInterface(iid, out);
}

ULONG CoDeZiVero::SafetyOptions::AddRef() noexcept { return OwnerOf(this)->AddRef(); }

ULONG CoDeZiVero::SafetyOptions::Release() noexcept { return OwnerOf(this)->Release(); }

}  // namespace object
