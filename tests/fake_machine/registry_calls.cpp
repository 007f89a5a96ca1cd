// The registry functions of the seam over the described tree, with the statuses and out-values
// of advapi32. A handle keeps the rights it was opened with; the predefined roots are always open
// with every right.
#include "platform/platform.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "tests/fake_machine/machine_state.h"

namespace platform {
namespace {

using fake::Call;
using fake::Machine;
using fake::Node;
using fake::OpenKey;

REGSAM Effective(REGSAM access) {
    access &= ~static_cast<REGSAM>(KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    if (access & (MAXIMUM_ALLOWED | GENERIC_ALL)) access |= KEY_ALL_ACCESS;
    if (access & GENERIC_READ) access |= KEY_READ;
    if (access & GENERIC_WRITE) access |= KEY_WRITE;
    if (access & GENERIC_EXECUTE) access |= KEY_EXECUTE;
    return access;
}

// The key behind a handle and the rights it was opened with. The predefined roots are always
// open with every right.
struct KeyRef {
    LONG status = ERROR_INVALID_HANDLE;
    std::shared_ptr<Node> node;
    REGSAM access = 0;
};

KeyRef Resolve(Machine& m, HKEY key) {
    KeyRef ref;
    const int root = fake::RootIndexOfHandle(key);
    if (root >= 0) {
        ref.node = m.impl->roots[root];
        ref.access = KEY_ALL_ACCESS;
    } else {
        auto it = m.impl->keys.find(reinterpret_cast<ULONG_PTR>(key));
        if (it == m.impl->keys.end()) return ref;
        ref.node = it->second.node;
        ref.access = it->second.access;
    }
    ref.status = ref.node->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
    return ref;
}

KeyRef ResolveFor(Machine& m, HKEY key, REGSAM needed) {
    KeyRef ref = Resolve(m, key);
    if (ref.status == ERROR_SUCCESS && !(ref.access & needed)) ref.status = ERROR_ACCESS_DENIED;
    return ref;
}

// Splits a subkey path. A leading backslash is refused as Windows does; one trailing
// backslash is accepted; an empty component inside the path names no key.
LONG SplitSubKey(LPCSTR subKey, std::vector<std::string>& parts) {
    parts.clear();
    if (!subKey || !*subKey) return ERROR_SUCCESS;
    if (*subKey == '\\') return ERROR_BAD_PATHNAME;
    std::string path(subKey);
    if (path.back() == '\\') path.pop_back();
    size_t start = 0;
    for (;;) {
        const size_t end = path.find('\\', start);
        parts.push_back(path.substr(start, end == std::string::npos ? end : end - start));
        if (parts.back().empty()) return ERROR_BAD_PATHNAME;
        if (end == std::string::npos) return ERROR_SUCCESS;
        start = end + 1;
    }
}

HKEY NewKeyHandle(Machine& m, const std::shared_ptr<Node>& node, REGSAM access) {
    const ULONG_PTR value = fake::NewHandleValue();
    m.impl->keys[value] = OpenKey{node, Effective(access)};
    return reinterpret_cast<HKEY>(value);
}

std::shared_ptr<Node> Descend(std::shared_ptr<Node> node, const std::vector<std::string>& parts) {
    for (const std::string& part : parts) {
        Node* child = node->Child(part);
        if (!child) return nullptr;
        node = node->Shared(child);
    }
    return node;
}

std::string ValueNameOf(LPCSTR name) { return name ? std::string(name) : std::string(); }

constexpr FILETIME kLastWrite = {0x5B2E8000, 0x01C47A1E};

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
    Call call("RegOpenKeyExA");
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (!call.m) return ERROR_FILE_NOT_FOUND;
    KeyRef ref = Resolve(*call.m, key);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    std::vector<std::string> parts;
    if (LONG status = SplitSubKey(subKey, parts); status != ERROR_SUCCESS) return status;
    if ((access & (KEY_WOW64_32KEY | KEY_WOW64_64KEY)) && fake::RootIndexOfHandle(key) >= 0)
        parts.insert(parts.begin(), "Wow6432Node");
    std::shared_ptr<Node> node = Descend(ref.node, parts);
    if (!node) return ERROR_FILE_NOT_FOUND;
    *result = NewKeyHandle(*call.m, node, access);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access,
                     LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    Call call("RegCreateKeyExA");
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (!call.m) return ERROR_FILE_NOT_FOUND;
    KeyRef ref = Resolve(*call.m, key);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    std::vector<std::string> parts;
    if (LONG status = SplitSubKey(subKey, parts); status != ERROR_SUCCESS) return status;
    std::shared_ptr<Node> node = Descend(ref.node, parts);
    const bool existed = node != nullptr;
    if (!existed) {
        if (!(ref.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        Node* walk = ref.node.get();
        for (const std::string& part : parts) walk = walk->AddChild(part);
        node = Descend(ref.node, parts);
    }
    *result = NewKeyHandle(*call.m, node, access);
    if (disposition) *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    Call call("RegQueryValueExA");
    if (!call.m) return ERROR_FILE_NOT_FOUND;
    KeyRef ref = ResolveFor(*call.m, key, KEY_QUERY_VALUE);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    if (reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    const fake::Value* value = ref.node->FindValue(ValueNameOf(valueName));
    if (!value) return ERROR_FILE_NOT_FOUND;
    const DWORD needed = static_cast<DWORD>(value->bytes.size());
    if (type) *type = value->type;
    if (!dataSize) return ERROR_SUCCESS;
    if (data && *dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    if (data) std::memcpy(data, value->bytes.data(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    Call call("RegSetValueExA");
    if (!call.m) return ERROR_FILE_NOT_FOUND;
    KeyRef ref = ResolveFor(*call.m, key, KEY_SET_VALUE);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    if (!data && dataSize) return ERROR_NOACCESS;
    fake::Value value;
    value.type = type;
    if (data) value.bytes.assign(reinterpret_cast<const char*>(data), dataSize);
    ref.node->SetValue(ValueNameOf(valueName), value);
    return ERROR_SUCCESS;
}

namespace {

// The index-th subkey name, or null past the end.
const Node* SubkeyAt(const Node& node, DWORD index) {
    if (index >= node.children.size()) return nullptr;
    auto it = node.children.begin();
    std::advance(it, index);
    return it->second.get();
}

}  // namespace

LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
    Call call("RegEnumKeyA");
    if (!call.m) return ERROR_FILE_NOT_FOUND;
    KeyRef ref = ResolveFor(*call.m, key, KEY_ENUMERATE_SUB_KEYS);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    const Node* child = SubkeyAt(*ref.node, index);
    if (!child) return ERROR_NO_MORE_ITEMS;
    if (!name) return ERROR_INVALID_PARAMETER;
    if (child->name.size() + 1 > nameSize) return ERROR_MORE_DATA;
    std::memcpy(name, child->name.c_str(), child->name.size() + 1);
    return ERROR_SUCCESS;
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPSTR keyClass, LPDWORD classSize, PFILETIME lastWrite) {
    Call call("RegEnumKeyExA");
    if (!call.m) return ERROR_FILE_NOT_FOUND;
    KeyRef ref = ResolveFor(*call.m, key, KEY_ENUMERATE_SUB_KEYS);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    if (reserved || !name || !nameSize || (keyClass && !classSize)) return ERROR_INVALID_PARAMETER;
    const Node* child = SubkeyAt(*ref.node, index);
    if (!child) return ERROR_NO_MORE_ITEMS;
    if (child->name.size() + 1 > *nameSize) return ERROR_MORE_DATA;
    if (keyClass && *classSize < 1) return ERROR_MORE_DATA;
    std::memcpy(name, child->name.c_str(), child->name.size() + 1);
    *nameSize = static_cast<DWORD>(child->name.size());
    if (keyClass) *keyClass = '\0';
    if (classSize) *classSize = 0;
    if (lastWrite) *lastWrite = kLastWrite;
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    Call call("RegEnumValueA");
    if (!call.m) return ERROR_FILE_NOT_FOUND;
    KeyRef ref = ResolveFor(*call.m, key, KEY_QUERY_VALUE);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    if (reserved || !name || !nameSize || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    const auto& values = ref.node->values;
    if (index >= values.size()) return ERROR_NO_MORE_ITEMS;
    const std::string& valueName = values[index].first;
    const fake::Value& value = values[index].second;
    const DWORD needed = static_cast<DWORD>(value.bytes.size());
    if (valueName.size() + 1 > *nameSize) return ERROR_MORE_DATA;
    if (type) *type = value.type;
    if (data && *dataSize < needed) {
        *dataSize = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, valueName.c_str(), valueName.size() + 1);
    *nameSize = static_cast<DWORD>(valueName.size());
    if (data) std::memcpy(data, value.bytes.data(), needed);
    if (dataSize) *dataSize = needed;
    return ERROR_SUCCESS;
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved,
                      LPDWORD subKeys, LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values,
                      LPDWORD maxValueNameLen, LPDWORD maxValueLen, LPDWORD securityDescriptor,
                      PFILETIME lastWrite) {
    Call call("RegQueryInfoKeyA");
    if (!call.m) return ERROR_FILE_NOT_FOUND;
    KeyRef ref = ResolveFor(*call.m, key, KEY_QUERY_VALUE);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    if (reserved || (keyClass && !classSize)) return ERROR_INVALID_PARAMETER;
    const Node& node = *ref.node;
    DWORD longestKey = 0, longestName = 0, longestData = 0;
    for (const auto& child : node.children)
        longestKey = std::max(longestKey, static_cast<DWORD>(child.second->name.size()));
    for (const auto& v : node.values) {
        longestName = std::max(longestName, static_cast<DWORD>(v.first.size()));
        longestData = std::max(longestData, static_cast<DWORD>(v.second.bytes.size()));
    }
    if (keyClass) {
        if (*classSize < 1) return ERROR_MORE_DATA;
        *keyClass = '\0';
    }
    if (classSize) *classSize = 0;
    if (subKeys) *subKeys = static_cast<DWORD>(node.children.size());
    if (maxSubKeyLen) *maxSubKeyLen = longestKey;
    if (maxClassLen) *maxClassLen = 0;
    if (values) *values = static_cast<DWORD>(node.values.size());
    if (maxValueNameLen) *maxValueNameLen = longestName;
    if (maxValueLen) *maxValueLen = longestData;
    if (securityDescriptor) *securityDescriptor = 0;
    if (lastWrite) *lastWrite = kLastWrite;
    return ERROR_SUCCESS;
}

// Deleting through a read-only parent handle works on Windows, since the key to delete is
// opened afresh for deletion; so only the target's own state is checked.
LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    Call call("RegDeleteKeyA");
    if (!call.m) return ERROR_FILE_NOT_FOUND;
    KeyRef ref = Resolve(*call.m, key);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    if (!subKey) return ERROR_INVALID_PARAMETER;
    std::vector<std::string> parts;
    if (LONG status = SplitSubKey(subKey, parts); status != ERROR_SUCCESS) return status;
    std::shared_ptr<Node> node = Descend(ref.node, parts);
    if (!node) return ERROR_FILE_NOT_FOUND;
    if (!node->parent || !node->children.empty()) return ERROR_ACCESS_DENIED;
    fake::Unlink(*node);
    return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
    Call call("RegDeleteValueA");
    if (!call.m) return ERROR_FILE_NOT_FOUND;
    KeyRef ref = ResolveFor(*call.m, key, KEY_SET_VALUE);
    if (ref.status != ERROR_SUCCESS) return ref.status;
    return ref.node->RemoveValue(ValueNameOf(valueName)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG RegCloseKey(HKEY key) {
    Call call("RegCloseKey");
    if (fake::RootIndexOfHandle(key) >= 0) return ERROR_SUCCESS;
    if (!call.m) return ERROR_INVALID_HANDLE;
    return call.m->impl->keys.erase(reinterpret_cast<ULONG_PTR>(key)) ? ERROR_SUCCESS
                                                                      : ERROR_INVALID_HANDLE;
}

}  // namespace platform
