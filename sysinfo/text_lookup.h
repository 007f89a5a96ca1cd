// Tables that give one text for another (a product type's system name, a
// vendor identifier's vendor), walked by one loop.
#pragma once

#include <windows.h>

#include <cstddef>

namespace sysinfo {

struct TextRow {
    const char* from;
    const char* to;
};

using TextCompare = int(WINAPI*)(LPCSTR, LPCSTR);

// The text that the first row whose `from` equals text under compare
// (lstrcmpA: exactly; lstrcmpiA: without regard to case) gives, or null.
template <std::size_t N>
const char* LookUp(const TextRow (&table)[N], const char* text, TextCompare compare) noexcept {
    for (const TextRow& row : table)
        if (compare(text, row.from) == 0) return row.to;
    return nullptr;
}

}  // namespace sysinfo
