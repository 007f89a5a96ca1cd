// Writing and removing registry trees from a test program running in a Wine
// prefix: keys created one component at a time (volatile where the parent
// demands it, as the device map and the network cards are in Wine), and trees
// removed through relative handles, since Wine opens no key path longer than
// 259 characters.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace registry_tree {

// Creates path below root and returns the open key, or null after printing why.
inline HKEY CreateKey(HKEY root, const std::string& path) {
    HKEY parent = root;
    HKEY key = nullptr;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        HKEY child = nullptr;
        LONG r = RegCreateKeyExA(parent, part.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &child, nullptr);
        if (r == ERROR_CHILD_MUST_BE_VOLATILE)
            r = RegCreateKeyExA(parent, part.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &child, nullptr);
        if (parent != root) RegCloseKey(parent);
        if (r != ERROR_SUCCESS) {
            std::printf("cannot create %s (error %ld)\n", path.c_str(), r);
            return nullptr;
        }
        parent = child;
        key = child;
        start = end + 1;
    }
    return key;
}

inline void DeleteChildren(HKEY key) {
    char name[256];
    while (RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS) {
        HKEY child = nullptr;
        if (RegOpenKeyExA(key, name, 0, KEY_ALL_ACCESS, &child) != ERROR_SUCCESS) return;
        DeleteChildren(child);
        RegCloseKey(child);
        if (RegDeleteKeyA(key, name) != ERROR_SUCCESS) return;
    }
}

inline void DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    DeleteChildren(key);
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
}

}  // namespace registry_tree
