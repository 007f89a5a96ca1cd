// TypeInfoHolder: the type information of one interface, taken from the
// registered type library once per process and shared by every object of
// every apartment; dispatch by name and by DISPID goes through it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "server/name_cache.h"

namespace server {

class TypeInfoHolder {
public:
    constexpr TypeInfoHolder(const IID* iid, const GUID* libid, WORD major, WORD minor) noexcept
        : iid_(iid), libid_(libid), major_(major), minor_(minor) {}
    TypeInfoHolder(const TypeInfoHolder&) = delete;
    TypeInfoHolder& operator=(const TypeInfoHolder&) = delete;

    // S_OK once loaded; else the failure of opening the registered library
    // or of finding the interface in it. A failed load is tried again by the
    // next call.
    HRESULT EnsureLoaded(LCID locale) noexcept;
    bool IsLoaded() const noexcept { return info_ != nullptr; }

    HRESULT GetTypeInfo(LCID locale, ITypeInfo** info) noexcept;
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, LCID locale, DISPID* dispids) noexcept;
    HRESULT Invoke(IDispatch* instance, DISPID dispid, LCID locale, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* exception, UINT* argError) noexcept;

    // Releases the type information and empties the name cache; harmless
    // when run more than once. Module termination runs it.
    void Cleanup() noexcept;

    const NameCache& Names() const noexcept { return names_; }

private:
    HRESULT Load(LCID locale) noexcept;
    void AddCleanupOnce() noexcept;
    static void CleanupRoutine(DWORD_PTR holder) noexcept;

    const IID* iid_;
    const GUID* libid_;
    WORD major_;
    WORD minor_;
    ITypeInfo* volatile info_ = nullptr;
    NameCache names_;
    volatile LONG cleanupAdded_ = 0;
};

// The holder of IDeZiVero2 (whose dispatch side lists IDeZiVero's members
// too), type library version 1.0.
TypeInfoHolder& DeZiVeroTypeInfo() noexcept;

}  // namespace server
