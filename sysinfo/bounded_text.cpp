#include "sysinfo/bounded_text.h"

#include <windows.h>

#include <cstring>

namespace sysinfo {

namespace {

// Appends whole characters of source at offset used, reading no byte at or
// past end (null: the source is terminated); stops before the character that
// would leave no room for the terminator.
bool AppendCharacters(char* destination, std::size_t size, std::size_t used,
                      const char* source, const char* end) noexcept {
    const char* p = source;
    while ((end == nullptr || p < end) && *p != '\0') {
        std::size_t width = 1;
        if (IsDBCSLeadByte(static_cast<BYTE>(*p))) {
            // A lead byte without its trail byte within the source is no whole character.
            if ((end != nullptr && p + 1 >= end) || p[1] == '\0') break;
            width = 2;
        }
        if (used + width >= size) {
            destination[used] = '\0';
            return false;
        }
        std::memcpy(destination + used, p, width);
        used += width;
        p += width;
    }
    destination[used] = '\0';
    return (end != nullptr && p >= end) || *p == '\0';
}

}  // namespace

std::size_t BoundedLength(const char* text, std::size_t limit) noexcept {
    std::size_t n = 0;
    while (n < limit && text[n] != '\0') ++n;
    return n;
}

bool AppendText(char* destination, std::size_t size, const char* text) noexcept {
    if (destination == nullptr || size == 0) return false;
    const std::size_t used = BoundedLength(destination, size);
    if (used == size) {
        // Unterminated content: terminate it rather than read past the buffer.
        destination[size - 1] = '\0';
        return false;
    }
    if (text == nullptr) return true;
    return AppendCharacters(destination, size, used, text, nullptr);
}

bool CopyText(char* destination, std::size_t size, const char* text) noexcept {
    if (destination == nullptr || size == 0) return false;
    destination[0] = '\0';
    if (text == nullptr) return true;
    return AppendCharacters(destination, size, 0, text, nullptr);
}

bool CopyTextField(char* destination, std::size_t size, const char* source,
                   std::size_t sourceLimit) noexcept {
    if (destination == nullptr || size == 0) return false;
    destination[0] = '\0';
    if (source == nullptr) return true;
    return AppendCharacters(destination, size, 0, source, source + sourceLimit);
}

}  // namespace sysinfo
