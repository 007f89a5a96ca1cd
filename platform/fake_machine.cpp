// The described machine behind the platform seam.
//
// Each seam function takes the machine of the innermost Scope, locks it, counts the call under
// its function name and answers from the machine's registry tree, INI files, records, drives and
// devices with the results, out-values and last errors the Win32 function gives. Registry and
// device handles are small numbers drawn from one process-wide counter, so a handle of one
// machine never names a key of another. A handle keeps its key node alive: a key deleted while
// open is only marked, and later use of the handle fails with ERROR_KEY_DELETED.
#include "platform/fake_machine.h"

#include "platform/platform.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace platform::fake {
namespace {

std::atomic<Machine*> gCurrent{nullptr};
std::atomic<ULONG_PTR> gNextHandle{0x1000};

ULONG_PTR NewHandleValue() { return gNextHandle.fetch_add(4); }

// The address of this byte is the module handle of the described "Kernel32.dll"; it is never
// handed to the real loader.
char gKernel32Marker;
HMODULE FakeKernel32() { return reinterpret_cast<HMODULE>(&gKernel32Marker); }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperText(const std::string& text) {
    std::string out(text);
    for (char& c : out) c = Upper(c);
    return out;
}

bool SameNoCase(const std::string& a, const std::string& b) {
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

constexpr RootName kRoots[] = {
    {"HKCR", "HKEY_CLASSES_ROOT", 0x80000000},
    {"HKCU", "HKEY_CURRENT_USER", 0x80000001},
    {"HKLM", "HKEY_LOCAL_MACHINE", 0x80000002},
    {"HKU", "HKEY_USERS", 0x80000003},
    {"HKPD", "HKEY_PERFORMANCE_DATA", 0x80000004},
    {"HKCC", "HKEY_CURRENT_CONFIG", 0x80000005},
    {"HKDD", "HKEY_DYN_DATA", 0x80000006},
};
constexpr int kRootCount = sizeof(kRoots) / sizeof(kRoots[0]);

int RootIndexOfHandle(HKEY key) {
    for (int i = 0; i < kRootCount; ++i)
        if (platform::PredefinedKey(kRoots[i].number) == key) return i;
    return -1;
}

int RootIndexOfName(const std::string& name) {
    for (int i = 0; i < kRootCount; ++i)
        if (SameNoCase(name, kRoots[i].shortName) || SameNoCase(name, kRoots[i].longName))
            return i;
    return -1;
}

struct TypeName {
    DWORD type;
    const char* name;
};

constexpr TypeName kTypeNames[] = {
    {REG_NONE, "REG_NONE"},
    {REG_SZ, "REG_SZ"},
    {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
    {REG_BINARY, "REG_BINARY"},
    {REG_DWORD, "REG_DWORD"},
    {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
    {REG_LINK, "REG_LINK"},
    {REG_MULTI_SZ, "REG_MULTI_SZ"},
    {REG_RESOURCE_LIST, "REG_RESOURCE_LIST"},
    {REG_QWORD, "REG_QWORD"},
};

std::string TypeText(DWORD type) {
    for (const TypeName& t : kTypeNames)
        if (t.type == type) return t.name;
    char text[32];
    std::snprintf(text, sizeof text, "REG_TYPE_%lu", static_cast<unsigned long>(type));
    return text;
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

void MarkDeleted(Node& node) {
    node.deleted = true;
    for (auto& child : node.children) MarkDeleted(*child.second);
}

void Unlink(Node& node) {
    MarkDeleted(node);
    if (node.parent) node.parent->children.erase(UpperText(node.name));
    node.parent = nullptr;
}

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

}  // namespace

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
    Node* Walk(const std::string& path, bool create) const {
        size_t start = path.find('\\');
        const std::string rootName = path.substr(0, start);
        const int root = RootIndexOfName(rootName);
        if (root < 0) {
            std::fprintf(stderr, "fake machine: unknown registry root in \"%s\"\n", path.c_str());
            std::abort();
        }
        Node* node = roots[root].get();
        while (start != std::string::npos && node) {
            const size_t end = path.find('\\', start + 1);
            const std::string part = path.substr(start + 1, end == std::string::npos
                                                                ? std::string::npos
                                                                : end - start - 1);
            start = end;
            if (part.empty()) continue;
            node = create ? node->AddChild(part) : node->Child(part);
        }
        return node;
    }

    IniFile* FindIni(const std::string& path) {
        for (IniFile& f : inis)
            if (SameNoCase(f.path, path)) return &f;
        return nullptr;
    }
};

Machine::Machine() : impl(std::make_unique<Impl>()) {
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    version.dwMajorVersion = 5;
    version.dwMinorVersion = 1;
    version.dwBuildNumber = 2600;
    version.dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::strcpy(version.szCSDVersion, "Service Pack 2");
    servicePackMajor = 2;

    systemInfo.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
    systemInfo.dwPageSize = 4096;
    systemInfo.lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(0x00010000);
    systemInfo.lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(0x7FFEFFFF);
    systemInfo.dwActiveProcessorMask = 1;
    systemInfo.dwNumberOfProcessors = 1;
    systemInfo.dwProcessorType = PROCESSOR_INTEL_PENTIUM;
    systemInfo.dwAllocationGranularity = 0x10000;
    systemInfo.wProcessorLevel = 6;
    systemInfo.wProcessorRevision = 0x0801;

    memory.dwLength = sizeof(MEMORYSTATUS);
    memory.dwMemoryLoad = 45;
    memory.dwTotalPhys = 512u * 1024 * 1024;
    memory.dwAvailPhys = 280u * 1024 * 1024;
    memory.dwTotalPageFile = 1248u * 1024 * 1024;
    memory.dwAvailPageFile = 900u * 1024 * 1024;
    memory.dwTotalVirtual = 0x7FFE0000;
    memory.dwAvailVirtual = 0x7FE00000;

    power.ACLineStatus = 1;
    power.BatteryFlag = 1;
    power.BatteryLifePercent = 80;
    power.BatteryLifeTime = 7200;
    power.BatteryFullLifeTime = 9000;
}

Machine::~Machine() = default;

std::unique_ptr<Machine> Machine::Nt() { return std::make_unique<Machine>(); }

std::unique_ptr<Machine> Machine::Win9x() {
    auto m = std::make_unique<Machine>();
    m->version.dwMajorVersion = 4;
    m->version.dwMinorVersion = 10;
    m->version.dwBuildNumber = 0x040A08AE;
    m->version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    std::memset(m->version.szCSDVersion, 0, sizeof m->version.szCSDVersion);
    std::strcpy(m->version.szCSDVersion, " A ");
    m->versionExAccepted = false;
    m->servicePackMajor = 0;
    m->productType = 0;
    m->memory.dwMemoryLoad = 30;
    m->memory.dwTotalPhys = 128u * 1024 * 1024;
    m->memory.dwAvailPhys = 60u * 1024 * 1024;
    m->memory.dwTotalPageFile = 512u * 1024 * 1024;
    m->memory.dwAvailPageFile = 400u * 1024 * 1024;
    m->memory.dwTotalVirtual = 0x7FC00000;
    m->memory.dwAvailVirtual = 0x7F000000;
    m->systemDirectory = "C:\\WINDOWS\\SYSTEM";
    m->windowsDirectory = "C:\\WINDOWS";
    return m;
}

Machine& Machine::Key(const std::string& path) {
    std::lock_guard<std::mutex> lock(impl->mutex);
    impl->Walk(path, true);
    return *this;
}

Machine& Machine::Raw(const std::string& path, const std::string& name, DWORD type,
                      const std::string& bytes) {
    std::lock_guard<std::mutex> lock(impl->mutex);
    Value value;
    value.type = type;
    value.bytes = bytes;
    impl->Walk(path, true)->SetValue(name, value);
    return *this;
}

Machine& Machine::Sz(const std::string& path, const std::string& name, const std::string& text) {
    return Raw(path, name, REG_SZ, text + std::string(1, '\0'));
}

Machine& Machine::ExpandSz(const std::string& path, const std::string& name,
                           const std::string& text) {
    return Raw(path, name, REG_EXPAND_SZ, text + std::string(1, '\0'));
}

Machine& Machine::Dword(const std::string& path, const std::string& name, DWORD value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return Raw(path, name, REG_DWORD, bytes);
}

Machine& Machine::RemoveKey(const std::string& path) {
    std::lock_guard<std::mutex> lock(impl->mutex);
    Node* node = impl->Walk(path, false);
    if (!node) return *this;
    if (node->parent) {
        Unlink(*node);
        return *this;
    }
    // A root stays, emptied.
    for (auto& child : node->children) MarkDeleted(*child.second);
    node->children.clear();
    node->values.clear();
    return *this;
}

bool Machine::HasKey(const std::string& path) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    return impl->Walk(path, false) != nullptr;
}

const Value* Machine::FindValue(const std::string& path, const std::string& name) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    const Node* node = impl->Walk(path, false);
    return node ? node->FindValue(name) : nullptr;
}

std::vector<std::string> Machine::Subkeys(const std::string& path) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    std::vector<std::string> names;
    if (const Node* node = impl->Walk(path, false))
        for (const auto& child : node->children) names.push_back(child.second->name);
    return names;
}

std::vector<std::string> Machine::ValueNames(const std::string& path) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    std::vector<std::string> names;
    if (const Node* node = impl->Walk(path, false))
        for (const auto& v : node->values) names.push_back(v.first);
    return names;
}

namespace {

std::string ValueText(const Value& value) {
    std::string out = TypeText(value.type) + " ";
    const std::string& b = value.bytes;
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        const bool terminated = !b.empty() && b.back() == '\0';
        const std::string text = terminated ? b.substr(0, b.size() - 1) : b;
        out += '"';
        for (unsigned char c : text) {
            if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\x%02X", c);
            out += esc;
        }
        out += '"';
        if (!terminated) out += " (no terminator)";
        return out;
    }
    if (value.type == REG_DWORD && b.size() == 4) {
        DWORD v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[i]);
        char text[40];
        std::snprintf(text, sizeof text, "0x%08lX (%lu)", static_cast<unsigned long>(v),
                      static_cast<unsigned long>(v));
        return out + text;
    }
    out += "hex:";
    for (unsigned char c : b) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", c);
        out += hex;
    }
    return out;
}

void DumpNode(const Node& node, const std::string& path, std::vector<std::string>& lines) {
    lines.push_back(path);
    for (const auto& v : node.values)
        lines.push_back(path + " :" + (v.first.empty() ? "@" : v.first) + " = " +
                        ValueText(v.second));
    for (const auto& child : node.children)
        DumpNode(*child.second, path + "\\" + child.second->name, lines);
}

}  // namespace

std::string Machine::Dump(const std::string& path) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    const Node* node = impl->Walk(path, false);
    if (!node) return std::string();
    std::string start;
    for (const Node* n = node; n; n = n->parent)
        start = start.empty() ? n->name : n->name + "\\" + start;
    std::vector<std::string> lines;
    DumpNode(*node, start, lines);
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

Machine& Machine::Ini(const std::string& file, const std::string& section,
                      const std::string& key, const std::string& value) {
    std::lock_guard<std::mutex> lock(impl->mutex);
    IniFile* f = impl->FindIni(file);
    if (!f) {
        impl->inis.push_back(IniFile{file, {}});
        f = &impl->inis.back();
    }
    IniSection* s = nullptr;
    for (IniSection& candidate : f->sections)
        if (SameNoCase(candidate.name, section)) s = &candidate;
    if (!s) {
        f->sections.push_back(IniSection{section, {}});
        s = &f->sections.back();
    }
    for (auto& entry : s->entries)
        if (SameNoCase(entry.first, key)) {
            entry.second = value;
            return *this;
        }
    s->entries.emplace_back(key, value);
    return *this;
}

Machine& Machine::RemoveIni(const std::string& file) {
    std::lock_guard<std::mutex> lock(impl->mutex);
    auto& inis = impl->inis;
    inis.erase(std::remove_if(inis.begin(), inis.end(),
                              [&](const IniFile& f) { return SameNoCase(f.path, file); }),
               inis.end());
    return *this;
}

int Machine::OpenKeys() const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    return static_cast<int>(impl->keys.size());
}

int Machine::OpenHandles() const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    return static_cast<int>(impl->devices.size());
}

int Machine::Calls(const std::string& function) const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    auto it = impl->calls.find(function);
    return it == impl->calls.end() ? 0 : it->second;
}

std::vector<std::string> Machine::OpenedFiles() const {
    std::lock_guard<std::mutex> lock(impl->mutex);
    return impl->openedFiles;
}

void Machine::ResetCounts() {
    std::lock_guard<std::mutex> lock(impl->mutex);
    impl->calls.clear();
    impl->openedFiles.clear();
}

Scope::Scope(Machine& machine) : previous_(gCurrent.exchange(&machine)) {}

Scope::~Scope() { gCurrent.store(previous_); }

Machine* Current() { return gCurrent.load(); }

}  // namespace platform::fake

namespace platform {
namespace {

using fake::Machine;
using fake::Node;
using fake::OpenDevice;
using fake::OpenKey;

// One seam call: the current machine, locked for the length of the call, with the call
// counted under the function's name. `m` is null outside every Scope.
class Call {
public:
    explicit Call(const char* function) : m(fake::Current()) {
        if (!m) return;
        lock_ = std::unique_lock<std::mutex>(m->impl->mutex);
        ++m->impl->calls[function];
    }
    Machine* const m;

private:
    std::unique_lock<std::mutex> lock_;
};

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

void SetFailure(DWORD error) { ::SetLastError(error); }

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

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    Call call("GetVersionExA");
    if (!info) {
        SetFailure(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD size = info->dwOSVersionInfoSize;
    const bool extended = size == sizeof(OSVERSIONINFOEXA);
    if (!call.m || !call.m->versionSucceeds || (size != sizeof(OSVERSIONINFOA) && !extended) ||
        (extended && !call.m->versionExAccepted)) {
        SetFailure(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    *info = call.m->version;
    info->dwOSVersionInfoSize = size;
    if (extended) {
        auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        ex->wServicePackMajor = call.m->servicePackMajor;
        ex->wServicePackMinor = call.m->servicePackMinor;
        ex->wSuiteMask = call.m->suiteMask;
        ex->wProductType = call.m->productType;
        ex->wReserved = 0;
    }
    return TRUE;
}

void GetSystemInfo(SYSTEM_INFO* info) {
    Call call("GetSystemInfo");
    if (!info) return;
    if (!call.m) {
        std::memset(info, 0, sizeof *info);
        return;
    }
    *info = call.m->systemInfo;
}

void GlobalMemoryStatus(MEMORYSTATUS* status) {
    Call call("GlobalMemoryStatus");
    if (!status) return;
    if (!call.m) {
        std::memset(status, 0, sizeof *status);
        return;
    }
    *status = call.m->memory;
}

BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    Call call("GetSystemPowerStatus");
    if (!status) {
        SetFailure(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!call.m || !call.m->powerSucceeds) {
        SetFailure(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    *status = call.m->power;
    return TRUE;
}

int GetSystemMetrics(int index) {
    Call call("GetSystemMetrics");
    if (!call.m) return 0;
    auto it = call.m->metrics.find(index);
    return it == call.m->metrics.end() ? 0 : it->second;
}

namespace {

// The directory functions: the length without terminator when the text fits, otherwise the
// size needed with the terminator, and nothing written.
UINT CopyDirectory(const std::string& text, LPSTR buffer, UINT size) {
    const UINT length = static_cast<UINT>(text.size());
    if (!buffer || size <= length) return length + 1;
    std::memcpy(buffer, text.c_str(), length + 1);
    return length;
}

}  // namespace

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
    Call call("GetSystemDirectoryA");
    if (!call.m) {
        SetFailure(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return CopyDirectory(call.m->systemDirectory, buffer, size);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    Call call("GetWindowsDirectoryA");
    if (!call.m) {
        SetFailure(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return CopyDirectory(call.m->windowsDirectory, buffer, size);
}

BOOL GetComputerNameA(LPSTR buffer, LPDWORD size) {
    Call call("GetComputerNameA");
    if (!size) {
        SetFailure(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!call.m) {
        SetFailure(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    const std::string& name = call.m->computerName;
    const DWORD length = static_cast<DWORD>(name.size());
    if (!buffer || *size <= length) {
        *size = length + 1;
        SetFailure(ERROR_BUFFER_OVERFLOW);
        return FALSE;
    }
    std::memcpy(buffer, name.c_str(), length + 1);
    *size = length;
    return TRUE;
}

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    Call call("GetModuleFileNameA");
    if (!call.m) {
        SetFailure(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    const std::string& path = call.m->modulePath;
    const DWORD length = static_cast<DWORD>(path.size());
    if (!buffer || size == 0) {
        SetFailure(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (length < size) {
        std::memcpy(buffer, path.c_str(), length + 1);
        return length;
    }
    if (call.m->moduleNameTerminatedWhenTruncated) {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
    } else {
        std::memcpy(buffer, path.data(), size);
    }
    SetFailure(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

namespace {

// Copies text truncated to size-1 characters with a terminator; the count copied.
DWORD CopyTruncated(const std::string& text, LPSTR buffer, DWORD size) {
    const DWORD length = std::min(static_cast<DWORD>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return length;
}

// A list of names, each terminated, the whole ended by one more terminator; a list that does
// not fit is cut and ended with two terminators, and the count is size - 2.
DWORD CopyNameList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
    std::string list;
    for (const std::string& name : names) list += name + std::string(1, '\0');
    if (list.size() + 1 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<DWORD>(list.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultText, LPSTR buffer,
                               DWORD size, LPCSTR fileName) {
    Call call("GetPrivateProfileStringA");
    if (!buffer || size == 0) return 0;
    const fake::IniFile* file =
        (call.m && fileName) ? call.m->impl->FindIni(fileName) : nullptr;
    const fake::IniSection* found = nullptr;
    if (file && section)
        for (const auto& s : file->sections)
            if (fake::SameNoCase(s.name, section)) found = &s;
    if (!section) {
        std::vector<std::string> names;
        if (file)
            for (const auto& s : file->sections) names.push_back(s.name);
        return CopyNameList(names, buffer, size);
    }
    if (!key) {
        std::vector<std::string> names;
        if (found)
            for (const auto& e : found->entries) names.push_back(e.first);
        return CopyNameList(names, buffer, size);
    }
    if (found)
        for (const auto& e : found->entries)
            if (fake::SameNoCase(e.first, key)) return CopyTruncated(e.second, buffer, size);
    std::string fallback = defaultText ? defaultText : "";
    while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
    SetFailure(ERROR_FILE_NOT_FOUND);
    return CopyTruncated(fallback, buffer, size);
}

namespace {

constexpr char kPhysicalDrivePrefix[] = "\\\\.\\physicaldrive";

// "\\.\physicaldriveN" with N a signed decimal number that fits an int.
bool ParsePhysicalDrive(const std::string& path, int& number) {
    const size_t prefix = sizeof(kPhysicalDrivePrefix) - 1;
    if (path.size() <= prefix || !fake::SameNoCase(path.substr(0, prefix), kPhysicalDrivePrefix))
        return false;
    size_t i = prefix;
    const bool negative = path[i] == '-';
    if (path[i] == '-' || path[i] == '+') ++i;
    if (i == path.size()) return false;
    long long value = 0;
    for (; i < path.size(); ++i) {
        if (path[i] < '0' || path[i] > '9') return false;
        value = value * 10 + (path[i] - '0');
        if (value > 0x80000000LL) return false;
    }
    if (negative) value = -value;
    if (value > 0x7FFFFFFFLL) return false;
    number = static_cast<int>(value);
    return true;
}

HANDLE NewDeviceHandle(Machine& m, const OpenDevice& device) {
    const ULONG_PTR value = fake::NewHandleValue();
    m.impl->devices[value] = device;
    return reinterpret_cast<HANDLE>(value);
}

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    Call call("CreateFileA");
    if (!fileName) {
        SetFailure(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (!call.m) {
        SetFailure(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Machine& m = *call.m;
    const std::string path(fileName);
    m.impl->openedFiles.push_back(path);
    int number = 0;
    if (ParsePhysicalDrive(path, number)) {
        auto it = m.physicalDrives.find(number);
        if (it != m.physicalDrives.end()) {
            if (!it->second.opens) {
                SetFailure(ERROR_ACCESS_DENIED);
                return INVALID_HANDLE_VALUE;
            }
            OpenDevice device;
            device.kind = fake::DeviceKind::Disk;
            device.drive = number;
            return NewDeviceHandle(m, device);
        }
    }
    for (const auto& driver : m.speedDrivers) {
        if (!fake::SameNoCase(driver.first, path)) continue;
        OpenDevice device;
        device.kind = fake::DeviceKind::SpeedDriver;
        device.driverPath = driver.first;
        return NewDeviceHandle(m, device);
    }
    SetFailure(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID, DWORD, LPVOID out, DWORD outSize,
                     LPDWORD returned, LPOVERLAPPED overlapped) {
    Call call("DeviceIoControl");
    if (!call.m) {
        SetFailure(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto& devices = call.m->impl->devices;
    auto it = devices.find(reinterpret_cast<ULONG_PTR>(device));
    if (it == devices.end()) {
        SetFailure(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!returned && !overlapped) {
        SetFailure(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (returned) *returned = 0;
    Machine& m = *call.m;
    const OpenDevice& open = it->second;
    if (open.kind == fake::DeviceKind::Disk && code == IOCTL_DISK_GET_DRIVE_GEOMETRY) {
        auto drive = m.physicalDrives.find(open.drive);
        if (drive == m.physicalDrives.end() || !drive->second.answers) {
            SetFailure(ERROR_NOT_READY);
            return FALSE;
        }
        if (!out || outSize < sizeof(DISK_GEOMETRY)) {
            SetFailure(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        std::memcpy(out, &drive->second.geometry, sizeof(DISK_GEOMETRY));
        if (returned) *returned = sizeof(DISK_GEOMETRY);
        return TRUE;
    }
    if (open.kind == fake::DeviceKind::SpeedDriver && code == 0x8000) {
        auto driver = m.speedDrivers.find(open.driverPath);
        if (driver == m.speedDrivers.end() || !m.speedRequestSucceeds) {
            SetFailure(ERROR_GEN_FAILURE);
            return FALSE;
        }
        if (!out || outSize < sizeof(LONG)) {
            SetFailure(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        const LONG speed = driver->second;
        std::memcpy(out, &speed, sizeof speed);
        if (returned) *returned = sizeof speed;
        return TRUE;
    }
    SetFailure(ERROR_INVALID_FUNCTION);
    return FALSE;
}

BOOL CloseHandle(HANDLE handle) {
    Call call("CloseHandle");
    if (!call.m || !call.m->impl->devices.erase(reinterpret_cast<ULONG_PTR>(handle))) {
        SetFailure(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

namespace {

// The drive a root or directory path names by its "X:" start; null when the machine lacks it.
const fake::Drive* DriveOf(Machine& m, LPCSTR path, bool rootOnly) {
    if (!path || !path[0] || path[1] != ':') return nullptr;
    if (rootOnly && path[2] && !(path[2] == '\\' && !path[3])) return nullptr;
    const char letter = fake::Upper(path[0]);
    if (letter < 'A' || letter > 'Z') return nullptr;
    auto it = m.drives.find(letter);
    if (it == m.drives.end()) it = m.drives.find(static_cast<char>(letter - 'A' + 'a'));
    if (it == m.drives.end() || it->second.type == DRIVE_NO_ROOT_DIR) return nullptr;
    return &it->second;
}

DWORD ClampToDword(unsigned long long value) {
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(value);
}

BOOL WINAPI FakeGetDiskFreeSpaceExA(LPCSTR directory, PULARGE_INTEGER freeToCaller,
                                    PULARGE_INTEGER total, PULARGE_INTEGER totalFree) {
    Call call("GetDiskFreeSpaceExA");
    const fake::Drive* drive = call.m ? DriveOf(*call.m, directory, false) : nullptr;
    if (!drive) {
        SetFailure(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (!drive->spaceQuerySucceeds) {
        SetFailure(ERROR_NOT_READY);
        return FALSE;
    }
    if (freeToCaller) freeToCaller->QuadPart = drive->freeBytes;
    if (total) total->QuadPart = drive->totalBytes;
    if (totalFree) totalFree->QuadPart = drive->freeBytes;
    return TRUE;
}

BOOL WINAPI FakeIsWow64Process(HANDLE, PBOOL wow64) {
    Call call("IsWow64Process");
    if (wow64) *wow64 = TRUE;
    return TRUE;
}

}  // namespace

UINT GetDriveTypeA(LPCSTR root) {
    Call call("GetDriveTypeA");
    const fake::Drive* drive = call.m ? DriveOf(*call.m, root, true) : nullptr;
    return drive ? drive->type : DRIVE_NO_ROOT_DIR;
}

BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                       LPDWORD freeClusters, LPDWORD totalClusters) {
    Call call("GetDiskFreeSpaceA");
    const fake::Drive* drive = call.m ? DriveOf(*call.m, root, true) : nullptr;
    if (!drive) {
        SetFailure(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const unsigned long long cluster =
        static_cast<unsigned long long>(drive->sectorsPerCluster) * drive->bytesPerSector;
    if (!drive->spaceQuerySucceeds || cluster == 0) {
        SetFailure(ERROR_NOT_READY);
        return FALSE;
    }
    if (sectorsPerCluster) *sectorsPerCluster = drive->sectorsPerCluster;
    if (bytesPerSector) *bytesPerSector = drive->bytesPerSector;
    if (freeClusters) *freeClusters = ClampToDword(drive->freeBytes / cluster);
    if (totalClusters) *totalClusters = ClampToDword(drive->totalBytes / cluster);
    return TRUE;
}

namespace {

bool IsKernel32(const std::string& name) {
    return fake::SameNoCase(name, "kernel32.dll") || fake::SameNoCase(name, "kernel32");
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR fileName) {
    Call call("LoadLibraryA");
    if (!fileName || !IsKernel32(fileName)) return ::LoadLibraryA(fileName);
    if (!call.m || !call.m->kernel32Loads) {
        SetFailure(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return fake::FakeKernel32();
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    Call call("GetProcAddress");
    if (module != fake::FakeKernel32()) return ::GetProcAddress(module, name);
    const bool byName = name && (reinterpret_cast<ULONG_PTR>(name) >> 16) != 0;
    // Through void (*)(): the caller casts back to the real signature.
    if (call.m && byName && call.m->hasGetDiskFreeSpaceEx &&
        std::strcmp(name, "GetDiskFreeSpaceExA") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeGetDiskFreeSpaceExA));
    if (call.m && byName && call.m->wow64 && std::strcmp(name, "IsWow64Process") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&FakeIsWow64Process));
    SetFailure(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    Call call("FreeLibrary");
    if (module == fake::FakeKernel32()) return TRUE;
    return ::FreeLibrary(module);
}

}  // namespace platform
