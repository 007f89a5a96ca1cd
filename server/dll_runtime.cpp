// The few C and C++ runtime functions the component's code calls, for the DLL,
// which carries no C runtime (no system has to offer msvcrt.dll or any other).
// The unit tests link the same code with the toolchain's runtime instead.
//
// Compiled without loop-pattern recognition, so the compiler does not turn
// these loops back into calls of themselves.
#include <cstddef>

extern "C" {

void* memcpy(void* target, const void* source, size_t bytes) {
    auto* to = static_cast<unsigned char*>(target);
    const auto* from = static_cast<const unsigned char*>(source);
    while (bytes--) *to++ = *from++;
    return target;
}

void* memset(void* target, int value, size_t bytes) {
    auto* to = static_cast<unsigned char*>(target);
    while (bytes--) *to++ = static_cast<unsigned char>(value);
    return target;
}

size_t strlen(const char* text) {
    const char* end = text;
    while (*end) ++end;
    return static_cast<size_t>(end - text);
}

size_t wcslen(const wchar_t* text) {
    const wchar_t* end = text;
    while (*end) ++end;
    return static_cast<size_t>(end - text);
}

wchar_t* wcscpy(wchar_t* target, const wchar_t* source) {
    wchar_t* to = target;
    while ((*to++ = *source++) != L'\0') {
    }
    return target;
}

}  // extern "C"

// Named only by the deleting destructors of classes with a virtual destructor.
// Nothing in the component allocates with new (the DLL has no operator new),
// so no block ever reaches it.
void operator delete(void*) noexcept {}
void operator delete(void*, size_t) noexcept {}
