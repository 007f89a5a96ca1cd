// Copying and joining zero-terminated ANSI text into fixed buffers.
//
// Every copy is bounded by the destination's size and always leaves the
// destination terminated. Truncation happens on character boundaries of the
// system ANSI code page, so a double-byte character is never cut in half.
#pragma once

#include <cstddef>

namespace sysinfo {

// Length of text, looking at no more than limit bytes.
std::size_t BoundedLength(const char* text, std::size_t limit) noexcept;

// Appends text after the zero-terminated content of destination (size bytes in
// all). Returns false when not all of text fit; what fit has been appended.
bool AppendText(char* destination, std::size_t size, const char* text) noexcept;

// Replaces destination's content with text; false when text was truncated.
bool CopyText(char* destination, std::size_t size, const char* text) noexcept;

// Copies at most sourceLimit bytes of source, which need not be terminated
// within them (a fixed text field of a system record).
bool CopyTextField(char* destination, std::size_t size, const char* source,
                   std::size_t sourceLimit) noexcept;

template <std::size_t N>
bool AppendText(char (&destination)[N], const char* text) noexcept {
    return AppendText(destination, N, text);
}
template <std::size_t N>
bool CopyText(char (&destination)[N], const char* text) noexcept {
    return CopyText(destination, N, text);
}

}  // namespace sysinfo
