#include "server/registrar/registrar_text.h"

#include "server/module_allocator.h"
#include "server/registrar/replacement_map.h"

#include <cstring>

namespace server::registrar {

const TextHeap& ModuleTextHeap() noexcept {
    static constexpr TextHeap heap{ModuleAlloc, ModuleRealloc, ModuleFree};
    return heap;
}

ExpandedText::~ExpandedText() {
    if (data_) heap_.free(data_);
}

HRESULT ExpandedText::Expand(const char* script, const ReplacementMap& map) noexcept {
    const size_t scriptLength = std::strlen(script);
    if (scriptLength >= static_cast<size_t>(-1) / 4) return E_OUTOFMEMORY;
    capacity_ = scriptLength * 2 + 1;
    data_ = static_cast<char*>(heap_.alloc(capacity_));
    if (!data_) {
        capacity_ = 0;
        return E_OUTOFMEMORY;
    }
    data_[0] = '\0';

    HRESULT hr;
    const char* p = script;
    while (*p != '\0') {
        if (*p != '%') {
            const char* next = CharNextA(p);
            if (FAILED(hr = Append(p, static_cast<size_t>(next - p)))) return hr;
            p = next;
            continue;
        }
        if (p[1] == '%') {
            if (FAILED(hr = Append(p, 1))) return hr;
            p += 2;
            continue;
        }
        const char* name = p + 1;
        const char* close = name;
        while (*close != '\0' && *close != '%') close = CharNextA(close);
        if (*close == '\0') return DISP_E_EXCEPTION;
        const size_t nameLength = static_cast<size_t>(close - name);
        if (nameLength > kMaxMarkerName) return E_FAIL;
        const wchar_t* value = map.Find(name, nameLength);
        if (!value) return DISP_E_EXCEPTION;
        if (FAILED(hr = AppendWide(value))) return hr;
        p = close + 1;
    }
    return S_OK;
}

// Keeps room for `more` bytes and the terminator.
HRESULT ExpandedText::Reserve(size_t more) noexcept {
    if (more > capacity_ || length_ + 1 > capacity_ - more) {
        size_t capacity = capacity_;
        while (more > capacity || length_ + 1 > capacity - more) {
            if (capacity > static_cast<size_t>(-1) / 2) return E_OUTOFMEMORY;
            capacity *= 2;
        }
        void* grown = heap_.realloc(data_, capacity);
        if (!grown) return E_OUTOFMEMORY;
        data_ = static_cast<char*>(grown);
        capacity_ = capacity;
    }
    return S_OK;
}

HRESULT ExpandedText::Append(const char* bytes, size_t count) noexcept {
    const HRESULT hr = Reserve(count);
    if (FAILED(hr)) return hr;
    std::memcpy(data_ + length_, bytes, count);
    length_ += count;
    data_[length_] = '\0';
    return S_OK;
}

HRESULT ExpandedText::AppendWide(const wchar_t* text) noexcept {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return E_FAIL;
    const size_t count = static_cast<size_t>(size) - 1;
    const HRESULT hr = Reserve(count);
    if (FAILED(hr)) return hr;
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, data_ + length_, size, nullptr, nullptr) != size)
        return E_FAIL;
    length_ += count;
    return S_OK;
}

}  // namespace server::registrar
