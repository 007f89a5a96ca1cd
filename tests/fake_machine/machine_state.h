// The inside of a described machine, shared by the files that answer the seam.
//
// Each seam function takes the machine of the innermost Scope, locks it, counts the call under
// its function name and answers from the machine's registry tree, INI files, records, drives and
// devices with the results, out-values and last errors the Win32 function gives. Registry and
// device handles are small numbers drawn from one process-wide counter, so a handle of one
// machine never names a key of another. A handle keeps its key node alive: a key deleted while
// open is only marked, and later use of the handle fails with ERROR_KEY_DELETED.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "tests/fake_machine/fake_machine.h"

namespace platform::fake {

inline char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string UpperText(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = Upper(c);
    return out;
}

inline bool SameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

struct RootName {
    const char* shortName;
    const char* longName;
    DWORD number;
};

inline constexpr RootName kRoots[] = {
    {"HKCR", "HKEY_CLASSES_ROOT", 0x80000000},
    {"HKCU", "HKEY_CURRENT_USER", 0x80000001},
    {"HKLM", "HKEY_LOCAL_MACHINE", 0x80000002},
    {"HKU", "HKEY_USERS", 0x80000003},
    {"HKPD", "HKEY_PERFORMANCE_DATA", 0x80000004},
    {"HKCC", "HKEY_CURRENT_CONFIG", 0x80000005},
    {"HKDD", "HKEY_DYN_DATA", 0x80000006},
};
inline constexpr int kRootCount = sizeof(kRoots) / sizeof(kRoots[0]);

inline int RootIndexOfHandle(HKEY key) {
    for (int i = 0; i < kRootCount; ++i)
        if (platform::PredefinedKey(kRoots[i].number) == key) return i;
    return -1;
}

inline int RootIndexOfName(const std::string& name) {
    for (int i = 0; i < kRootCount; ++i)
        if (SameNoCase(name, kRoots[i].shortName) || SameNoCase(name, kRoots[i].longName))
            return i;
    return -1;
}

struct Node {
    std::string name;
    Node* parent = nullptr;  // valid while the node is in the tree
    std::map<std::string, std::shared_ptr<Node>> children;  // by upper-case name
    std::vector<std::pair<std::string, Value>> values;      // in the order they were set
    bool deleted = false;

    Node* Child(const std::string& childName) const {
        auto it = children.find(UpperText(childName));
        return it == children.end() ? nullptr : it->second.get();
    }
    Node* AddChild(const std::string& childName) {
        auto& slot = children[UpperText(childName)];
        if (!slot) {
            slot = std::make_shared<Node>();
            slot->name = childName;
            slot->parent = this;
        }
        return slot.get();
    }
    std::shared_ptr<Node> Shared(const Node* child) const {
        auto it = children.find(UpperText(child->name));
        return it == children.end() ? nullptr : it->second;
    }
    const Value* FindValue(const std::string& valueName) const {
        for (const auto& v : values)
            if (SameNoCase(v.first, valueName)) return &v.second;
        return nullptr;
    }
    void SetValue(const std::string& valueName, const Value& value) {
        for (auto& v : values)
            if (SameNoCase(v.first, valueName)) {
                v.second = value;
                return;
            }
        values.emplace_back(valueName, value);
    }
    bool RemoveValue(const std::string& valueName) {
        for (auto it = values.begin(); it != values.end(); ++it)
            if (SameNoCase(it->first, valueName)) {
                values.erase(it);
                return true;
            }
        return false;
    }
};

// Marks node and everything below it deleted.
void MarkDeleted(Node& node);
// Takes node out of its parent; open handles keep it, marked deleted.
void Unlink(Node& node);

struct OpenKey {
    std::shared_ptr<Node> node;
    REGSAM access = 0;
};

enum class DeviceKind { Disk, SpeedDriver };

struct OpenDevice {
    DeviceKind kind = DeviceKind::Disk;
    int drive = 0;
    std::string driverPath;
};

struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

struct IniFile {
    std::string path;
    std::vector<IniSection> sections;
};

// A new registry or device handle value, never handed out before in this process.
ULONG_PTR NewHandleValue();

struct Machine::Impl {
    mutable std::mutex mutex;
    std::shared_ptr<Node> roots[kRootCount];
    std::map<ULONG_PTR, OpenKey> keys;
    std::map<ULONG_PTR, OpenDevice> devices;
    std::map<std::string, int> calls;
    std::vector<std::string> openedFiles;
    std::vector<IniFile> inis;

    Impl() {
        for (int i = 0; i < kRootCount; ++i) {
            roots[i] = std::make_shared<Node>();
            roots[i]->name = kRoots[i].shortName;
        }
    }

    // A fixture path: root name, then components; empty components are skipped so a
    // trailing backslash does no harm. A root this machine does not know is a fault in the
    // test itself, reported at once.
    Node* Walk(const std::string& path, bool create) const;

    IniFile* FindIni(const std::string& path);
};

// One seam call: the current machine, locked for the length of the call, with the call
// counted under the function's name. `m` is null outside every Scope.
class Call {
public:
    explicit Call(const char* function) : m(Current()) {
        if (!m) return;
        lock_ = std::unique_lock<std::mutex>(m->impl->mutex);
        ++m->impl->calls[function];
    }
    Machine* const m;

private:
    std::unique_lock<std::mutex> lock_;
};

inline void SetFailure(DWORD error) { ::SetLastError(error); }

BOOL WINAPI FakeGlobalMemoryStatusEx(LPMEMORYSTATUSEX status);

}  // namespace platform::fake
