// NameCache: the member names of one interface's type information with their
// DISPIDs, so that dispatch by name resolves exact-case names without asking
// the type information.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>

namespace server {

class NameCache {
public:
    constexpr NameCache() noexcept = default;
    NameCache(const NameCache&) = delete;
    NameCache& operator=(const NameCache&) = delete;

    // One entry per function of info. An entry whose name cannot be read
    // stays empty and matches nothing. On failure the cache stays empty.
    HRESULT Build(ITypeInfo* info) noexcept;
    // Frees every name, last to first, and the array.
    void Clear() noexcept;

    // The DISPID of the name of exactly `length` characters, compared with
    // regard to case; the last matching entry wins.
    bool Find(const wchar_t* name, size_t length, DISPID* dispid) const noexcept;
    // Whether dispid belongs to a restricted function (the inherited IUnknown
    // and IDispatch members), which callers by DISPID must not reach.
    bool IsRestricted(DISPID dispid) const noexcept;
    UINT Count() const noexcept { return count_; }

private:
    struct Entry {
        BSTR name;
        UINT length;
        DISPID dispid;
        bool restricted;
    };

    Entry* entries_ = nullptr;
    UINT count_ = 0;
};

}  // namespace server
