// Case-insensitive matching of narrow text. Each byte is upper-cased on its
// own as a value from 0 to 255 of the system ANSI code page, so bytes from 128
// up compare by what that code page makes of them, never as negative chars.
#include "devices/text_match.h"

namespace devices {

namespace {

// Every ANSI code page keeps ASCII as it is, and upper-cases there only 'a' to
// 'z': those bytes need no call into the system, which costs far more than the
// compare itself.
int UpperByte(char c) noexcept {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x80) return byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte;
    const ULONG_PTR value = byte;
    return static_cast<unsigned char>(
        reinterpret_cast<ULONG_PTR>(CharUpperA(reinterpret_cast<LPSTR>(value))));
}

}  // namespace

int CompareNoCaseN(const char* first, const char* second, DWORD count) noexcept {
    for (;; ++first, ++second) {
        if (*first == '\0' && *second == '\0') return 0;
        if (count == 0) return 0;
        --count;
        if (*first == *second) continue;
        const int difference = UpperByte(*first) - UpperByte(*second);
        if (difference != 0) return difference;
    }
}

const char* FindSubstringNoCase(const char* text, const char* needle) noexcept {
    if (!text || !needle) return nullptr;
    const int textLength = lstrlenA(text);
    const int needleLength = lstrlenA(needle);
    // Scanning from the end makes the answer the last occurrence.
    for (int position = textLength - needleLength; position >= 0; --position) {
        if (CompareNoCaseN(text + position, needle, static_cast<DWORD>(needleLength)) == 0)
            return text + position;
    }
    return nullptr;
}

}  // namespace devices
