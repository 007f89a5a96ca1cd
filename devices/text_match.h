// Case-insensitive matching of narrow text in the system ANSI code page, as
// the device databases compare classes, key prefixes and descriptions.
#pragma once

#include <windows.h>

namespace devices {

// Last occurrence of needle in text, compared without regard to case, or null.
const char* FindSubstringNoCase(const char* text, const char* needle) noexcept;

// At most count characters compared without regard to case: 0 when equal,
// otherwise the difference of the first upper-cased pair that differs.
int CompareNoCaseN(const char* first, const char* second, DWORD count) noexcept;

}  // namespace devices
