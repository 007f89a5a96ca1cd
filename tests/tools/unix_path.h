// Test programs get the build folder's paths from CTest as Unix paths; Wine
// maps the Unix root to drive Z:.
#pragma once

#include <cstddef>

// "/a/b" becomes "Z:\a\b"; a Windows path passes unchanged. Cut to size.
inline void WidenPath(const char* argument, wchar_t* path, size_t size) {
    size_t used = 0;
    if (argument[0] == '/' && size > 2) {
        path[used++] = L'Z';
        path[used++] = L':';
    }
    for (const char* c = argument; *c && used + 1 < size; ++c) {
        path[used++] = *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    path[used] = L'\0';
}
