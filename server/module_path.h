// The library's own path as registration needs it: read through the
// platform, checked for truncation, widened, quoted for the registration
// script, and turned into the type library's fallback path and directory.
// Every buffer carries its size; nothing is written past it.
#pragma once

#include <windows.h>

#include <cstddef>

namespace server {

constexpr DWORD kModulePathSize = MAX_PATH;
// Room for a path of kModulePathSize - 1 characters with every character a
// doubled quote.
constexpr size_t kQuotedPathSize = 2 * kModulePathSize;
// Room for a path with ".tlb" appended.
constexpr size_t kTypeLibPathSize = kModulePathSize + 4;

// The module's path, zero-terminated, in the system ANSI code page and
// widened. Fails with the system's error, or ERROR_INSUFFICIENT_BUFFER when
// the path did not fit (a truncated path must not be registered).
HRESULT ReadModulePath(HMODULE module, wchar_t (&path)[kModulePathSize]) noexcept;

// Copies text with every single quote doubled. False (out emptied) when the
// result does not fit.
bool DoubleSingleQuotes(const wchar_t* text, wchar_t* out, size_t outSize) noexcept;

// The path with everything from the last '.' of its file name replaced by
// ".tlb", or ".tlb" appended when the file name has no '.'. False (out
// emptied) when the result does not fit.
bool TypeLibFallbackPath(const wchar_t* path, wchar_t* out, size_t outSize) noexcept;

// The path up to and including its last backslash, slash or colon; empty
// when it has none. out must hold the path.
void DirectoryOf(const wchar_t* path, wchar_t* out, size_t outSize) noexcept;

template <size_t N>
bool DoubleSingleQuotes(const wchar_t* text, wchar_t (&out)[N]) noexcept {
    return DoubleSingleQuotes(text, out, N);
}
template <size_t N>
bool TypeLibFallbackPath(const wchar_t* path, wchar_t (&out)[N]) noexcept {
    return TypeLibFallbackPath(path, out, N);
}
template <size_t N>
void DirectoryOf(const wchar_t* path, wchar_t (&out)[N]) noexcept {
    DirectoryOf(path, out, N);
}

}  // namespace server
