// The type information is loaded under the module's type-information lock
// and tested before and again after taking it. The name cache is complete
// before the type information is published, so a reader that sees the
// information loaded also sees its names.
#include "server/type_info_holder.h"

#include "DeZIVero_h.h"
#include "platform/owned.h"
#include "server/server_module.h"

namespace server {

HRESULT TypeInfoHolder::Load(LCID locale) noexcept {
    platform::ComInterface<ITypeInfo> info;
    {
        platform::ComInterface<ITypeLib> library;
        HRESULT hr = LoadRegTypeLib(*libid_, major_, minor_, locale, &library);
        if (FAILED(hr)) return hr;
        hr = library.Get()->GetTypeInfoOfGuid(*iid_, &info);
        if (FAILED(hr)) return hr;
    }
    if (!info) return E_FAIL;

    platform::ComInterface<ITypeInfo2> extended;
    if (SUCCEEDED(
            info.Get()->QueryInterface(IID_ITypeInfo2, reinterpret_cast<void**>(&extended))) &&
        extended)
        info.Reset(extended.Detach());
    names_.Build(info.Get());  // without names every lookup goes to the type information
    InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&info_), info.Detach());
    return S_OK;
}

HRESULT TypeInfoHolder::EnsureLoaded(LCID locale) noexcept {
    if (info_) return S_OK;
    HRESULT hr = E_FAIL;
    {
        ModuleLockGuard guard(TheModule().typeInfoLock);
        hr = info_ ? S_OK : Load(locale);
    }
    AddCleanupOnce();
    return hr;
}

// One clean-up node per holder: repeated failed loads (a script calling
// before the library is registered) must not grow the termination list.
void TypeInfoHolder::AddCleanupOnce() noexcept {
    if (InterlockedCompareExchange(&cleanupAdded_, 1, 0) != 0) return;
    if (FAILED(TheModule().AddTermination(CleanupRoutine, reinterpret_cast<DWORD_PTR>(this)))) {
        InterlockedExchange(&cleanupAdded_, 0);
    }
}

void TypeInfoHolder::CleanupRoutine(DWORD_PTR holder) noexcept {
    reinterpret_cast<TypeInfoHolder*>(holder)->Cleanup();
}

void TypeInfoHolder::Cleanup() noexcept {
    platform::ComInterface<ITypeInfo> info(static_cast<ITypeInfo*>(
        InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&info_), nullptr)));
    info.Reset();
    names_.Clear();
    InterlockedExchange(&cleanupAdded_, 0);
}

HRESULT TypeInfoHolder::GetTypeInfo(LCID locale, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    const HRESULT hr = EnsureLoaded(locale);
    if (FAILED(hr)) return hr;
    ITypeInfo* loaded = info_;
    loaded->AddRef();
    *info = loaded;
    return S_OK;
}

// Only the first name is a member name; the others name its parameters and
// are left to the type information, which also settles every cache miss.
HRESULT TypeInfoHolder::GetIDsOfNames(LPOLESTR* names, UINT count, LCID locale,
                                      DISPID* dispids) noexcept {
    const HRESULT hr = EnsureLoaded(locale);
    if (FAILED(hr)) return hr;
    if (count == 0) return S_OK;
    if (!names || !dispids || !names[0]) return E_POINTER;
    if (count == 1 && names_.Find(names[0], wcslen(names[0]), &dispids[0])) return S_OK;
    return info_->GetIDsOfNames(names, count, dispids);
}

HRESULT TypeInfoHolder::Invoke(IDispatch* instance, DISPID dispid, LCID locale, WORD flags,
                               DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                               UINT* argError) noexcept {
    const HRESULT hr = EnsureLoaded(locale);
    if (FAILED(hr)) return hr;
    // The type information reads the argument arrays without checking them.
    if (!params || (params->cArgs && !params->rgvarg) ||
        (params->cNamedArgs && !params->rgdispidNamedArgs))
        return E_INVALIDARG;
    // A page must not reach AddRef, Release or QueryInterface by DISPID.
    if (names_.IsRestricted(dispid)) return DISP_E_MEMBERNOTFOUND;
    return info_->Invoke(instance, dispid, flags, params, result, exception, argError);
}

TypeInfoHolder& DeZiVeroTypeInfo() noexcept {
    static TypeInfoHolder holder(&IID_IDeZiVero2, &LIBID_DEZIVEROLib, 1, 0);
    return holder;
}

}  // namespace server
