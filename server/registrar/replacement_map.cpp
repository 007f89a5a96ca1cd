// ReplacementMap: the (name, value) records that stand in for %NAME% markers.
// Each record also keeps its name in the ANSI code page, so the expansion can
// compare marker names, which it reads from ANSI text, without converting.
#include "server/registrar/replacement_map.h"

#include "server/registrar/ansi_copy.h"
#include "server/module_allocator.h"

#include <cwchar>

namespace server {

struct ReplacementMap::Record {
    wchar_t* name;
    wchar_t* value;
    char* ansiName;
    int ansiLength;  // without the terminator
};

namespace {

constexpr size_t kInitialCapacity = 10;

wchar_t* CopyWide(const wchar_t* text) noexcept {
    const size_t length = std::wcslen(text);
    auto* copy = static_cast<wchar_t*>(ModuleAlloc((length + 1) * sizeof(wchar_t)));
    if (!copy) return nullptr;
    std::wmemcpy(copy, text, length + 1);
    return copy;
}

}  // namespace

ReplacementMap::~ReplacementMap() { Clear(); }

HRESULT ReplacementMap::Add(const wchar_t* name, const wchar_t* value) noexcept {
    if (!name || !value) return E_POINTER;
    if (count_ == capacity_) {
        const size_t capacity = capacity_ ? capacity_ * 2 : kInitialCapacity;
        if (capacity > static_cast<size_t>(-1) / sizeof(Record)) return E_OUTOFMEMORY;
        void* grown = records_ ? ModuleRealloc(records_, capacity * sizeof(Record))
                               : ModuleAlloc(capacity * sizeof(Record));
        if (!grown) return E_OUTOFMEMORY;
        records_ = static_cast<Record*>(grown);
        capacity_ = capacity;
    }
    Record record{CopyWide(name), CopyWide(value), nullptr, 0};
    if (record.name) record.ansiName = NewAnsiCopy(name, &record.ansiLength);
    if (!record.name || !record.value || !record.ansiName) {
        FreeRecord(record);
        return E_OUTOFMEMORY;
    }
    records_[count_++] = record;
    return S_OK;
}

const wchar_t* ReplacementMap::Find(const char* name, size_t length) const noexcept {
    if (!name || length > 0x7FFFFFFF) return nullptr;
    for (size_t i = 0; i < count_; ++i) {
        const Record& record = records_[i];
        if (CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, record.ansiName,
                           record.ansiLength, name, static_cast<int>(length)) == CSTR_EQUAL)
            return record.value;
    }
    return nullptr;
}

void ReplacementMap::Clear() noexcept {
    for (size_t i = 0; i < count_; ++i) FreeRecord(records_[i]);
    if (records_) ModuleFree(records_);
    records_ = nullptr;
    count_ = 0;
    capacity_ = 0;
}

void ReplacementMap::FreeRecord(Record& record) noexcept {
    if (record.name) ModuleFree(record.name);
    if (record.value) ModuleFree(record.value);
    if (record.ansiName) ModuleFree(record.ansiName);
}

}  // namespace server
