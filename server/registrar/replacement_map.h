// ReplacementMap: the values that stand in for the %NAME% markers of a
// registration script.
#pragma once

#include <windows.h>

#include <cstddef>

namespace server {

class ReplacementMap {
public:
    ReplacementMap() noexcept = default;
    ~ReplacementMap();
    ReplacementMap(const ReplacementMap&) = delete;
    ReplacementMap& operator=(const ReplacementMap&) = delete;

    // S_OK, or E_OUTOFMEMORY when a record or a copy cannot be allocated.
    HRESULT Add(const wchar_t* name, const wchar_t* value) noexcept;
    // The value of name (compared without regard to case in the ANSI code
    // page), or null.
    const wchar_t* Find(const char* name, size_t length) const noexcept;
    void Clear() noexcept;

private:
    struct Record;
    static void FreeRecord(Record& record) noexcept;
    Record* records_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

}  // namespace server
