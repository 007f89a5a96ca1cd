#include "server/name_cache.h"

#include <cwchar>

#include "server/module_allocator.h"

namespace server {

namespace {

// Reads the member id, name and restriction of function `index` into entry fields.
void ReadFunction(ITypeInfo* info, UINT index, BSTR* name, DISPID* dispid,
                  bool* restricted) noexcept {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(index, &function)) || !function) return;
    *dispid = function->memid;
    *restricted = (function->wFuncFlags & FUNCFLAG_FRESTRICTED) != 0;
    if (FAILED(info->GetDocumentation(function->memid, name, nullptr, nullptr, nullptr))) {
        *name = nullptr;
    }
    info->ReleaseFuncDesc(function);
}

}  // namespace

HRESULT NameCache::Build(ITypeInfo* info) noexcept {
    Clear();
    TYPEATTR* attributes = nullptr;
    HRESULT hr = info->GetTypeAttr(&attributes);
    if (FAILED(hr)) return hr;
    if (!attributes) return E_FAIL;
    const UINT count = attributes->cFuncs;
    info->ReleaseTypeAttr(attributes);
    if (count == 0) return S_OK;

    auto* entries = static_cast<Entry*>(ModuleAlloc(count * sizeof(Entry)));
    if (!entries) return E_OUTOFMEMORY;
    for (UINT i = 0; i < count; ++i) {
        Entry& entry = entries[i];
        entry = Entry{nullptr, 0, DISPID_UNKNOWN, false};
        ReadFunction(info, i, &entry.name, &entry.dispid, &entry.restricted);
        entry.length = entry.name ? SysStringLen(entry.name) : 0;
    }
    entries_ = entries;
    count_ = count;
    return S_OK;
}

void NameCache::Clear() noexcept {
    for (UINT i = count_; i > 0; --i) SysFreeString(entries_[i - 1].name);
    ModuleFree(entries_);
    entries_ = nullptr;
    count_ = 0;
}

bool NameCache::Find(const wchar_t* name, size_t length, DISPID* dispid) const noexcept {
    for (UINT i = count_; i > 0; --i) {
        const Entry& entry = entries_[i - 1];
        if (!entry.name || entry.length != length) continue;
        if (wmemcmp(entry.name, name, length) != 0) continue;
        *dispid = entry.dispid;
        return true;
    }
    return false;
}

bool NameCache::IsRestricted(DISPID dispid) const noexcept {
    for (UINT i = 0; i < count_; ++i) {
        if (entries_[i].dispid == dispid) return entries_[i].restricted;
    }
    return false;
}

}  // namespace server
