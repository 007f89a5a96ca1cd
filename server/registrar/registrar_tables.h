// The names a registration script may use: root keys, keywords, value types,
// and the keys that are never deleted with everything under them. Every name
// compares without regard to case.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace server::registrar {

// The predefined handles are pointer casts, which a constant expression
// cannot hold; the table keeps their numbers and FindRootKey turns them back.
struct RootKeyName {
    const char* name;
    DWORD key;
};

inline constexpr RootKeyName RootKeyTable[] = {
    {"HKCR", 0x80000000},
    {"HKCU", 0x80000001},
    {"HKLM", 0x80000002},
    {"HKU", 0x80000003},
    {"HKPD", 0x80000004},
    {"HKDD", 0x80000006},
    {"HKCC", 0x80000005},
    {"HKEY_CLASSES_ROOT", 0x80000000},
    {"HKEY_CURRENT_USER", 0x80000001},
    {"HKEY_LOCAL_MACHINE", 0x80000002},
    {"HKEY_USERS", 0x80000003},
    {"HKEY_PERFORMANCE_DATA", 0x80000004},
    {"HKEY_DYN_DATA", 0x80000006},
    {"HKEY_CURRENT_CONFIG", 0x80000005},
};

enum class Keyword { None, ForceRemove, NoRemove, Delete, Val };

struct KeywordName {
    const char* name;
    Keyword keyword;
};

inline constexpr KeywordName KeywordTable[] = {
    {"ForceRemove", Keyword::ForceRemove},
    {"NoRemove", Keyword::NoRemove},
    {"Delete", Keyword::Delete},
    {"Val", Keyword::Val},
};

struct ValueTypeName {
    const char* name;
    DWORD type;
};

inline constexpr ValueTypeName ValueTypeTable[] = {
    {"S", REG_SZ},
    {"D", REG_DWORD},
    {"B", REG_BINARY},
};

inline constexpr const char* NeverDeletedTable[] = {"CLSID", "TYPELIB"};

// Null when the name is not a root key.
inline HKEY FindRootKey(const char* name) noexcept {
    for (const RootKeyName& root : RootKeyTable)
        if (lstrcmpiA(root.name, name) == 0) return platform::PredefinedKey(root.key);
    return nullptr;
}

inline Keyword FindKeyword(const char* token) noexcept {
    for (const KeywordName& entry : KeywordTable)
        if (lstrcmpiA(entry.name, token) == 0) return entry.keyword;
    return Keyword::None;
}

// False when the token names no value type.
inline bool FindValueType(const char* token, DWORD* type) noexcept {
    for (const ValueTypeName& entry : ValueTypeTable) {
        if (lstrcmpiA(entry.name, token) == 0) {
            *type = entry.type;
            return true;
        }
    }
    return false;
}

inline bool IsNeverDeleted(const char* keyName) noexcept {
    for (const char* name : NeverDeletedTable)
        if (lstrcmpiA(name, keyName) == 0) return true;
    return false;
}

}  // namespace server::registrar
