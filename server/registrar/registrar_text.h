// ExpandedText: the registration script with its %NAME% markers replaced,
// built in a buffer that starts at twice the script's length and doubles
// when full. The parser only ever reads this copy.
#pragma once

#include <windows.h>

#include <cstddef>

namespace server {
class ReplacementMap;
}

namespace server::registrar {

// Where the expanded text and the parser state live; the module's allocator
// unless a test hands in another.
struct TextHeap {
    void* (*alloc)(size_t bytes) noexcept;
    void* (*realloc)(void* block, size_t bytes) noexcept;
    void (*free)(void* block) noexcept;
};

const TextHeap& ModuleTextHeap() noexcept;

constexpr size_t kMaxMarkerName = 31;

class ExpandedText {
public:
    explicit ExpandedText(const TextHeap& heap) noexcept : heap_(heap) {}
    ~ExpandedText();
    ExpandedText(const ExpandedText&) = delete;
    ExpandedText& operator=(const ExpandedText&) = delete;

    // S_OK; E_OUTOFMEMORY when the buffer cannot be had or grown;
    // DISP_E_EXCEPTION for a "%" without its closing "%" or a name not in the
    // map; E_FAIL for a marker name over 31 bytes.
    HRESULT Expand(const char* script, const ReplacementMap& map) noexcept;

    const char* Text() const noexcept { return data_; }
    size_t Length() const noexcept { return length_; }

private:
    HRESULT Reserve(size_t more) noexcept;
    HRESULT Append(const char* bytes, size_t count) noexcept;
    HRESULT AppendWide(const wchar_t* text) noexcept;

    const TextHeap& heap_;
    char* data_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
};

}  // namespace server::registrar
