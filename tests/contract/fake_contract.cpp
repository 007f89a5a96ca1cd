// The fake machine against Windows: every row makes the same calls once through
// the fake machine and once through platform/win32.cpp, on the same scratch key
// and folder, and the two transcripts must match: the result, the sizes and
// types written, the last error, the bytes written and the sentinel bytes a
// call must leave alone. Run under Wine, whose registry and INI files stand in
// for Windows'; the scratch content is written with the real API first.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/contract/seam.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using contract::Seam;

constexpr char kRoot[] = "Software\\DeZIVero contract";
constexpr char kFolder[] = "C:\\dezivero-contract";
constexpr char kIni[] = "C:\\dezivero-contract\\OEMINFO.INI";
constexpr char kNet[] = "{4d36e972-e325-11ce-bfc1-08002be10318}";
constexpr char kSystem[] = "{4d36e97d-e325-11ce-bfc1-08002be10318}";

// The scratch registry below kRoot. Values of one key stand in name order:
// Windows enumerates values in the order they were set, Wine by name.
struct ValueRow {
    const char* key;
    const char* name;
    DWORD type;
    const char* bytes;
    DWORD size;  // bytes, terminators included
};

#define TEXT_VALUE(key, name, type, text) {key, name, type, text, sizeof text}
constexpr ValueRow kValues[] = {
    {"Values", "Bytes", REG_BINARY, "\x01\x02\x03", 3},
    TEXT_VALUE("Values", "Empty", REG_SZ, ""),
    TEXT_VALUE("Values", "Expand", REG_EXPAND_SZ, "%SystemRoot%\\inf"),
    TEXT_VALUE("Values", "Multi", REG_MULTI_SZ, "PCI\\VEN_8086&DEV_100E\0PCI\\VEN_8086\0"),
    {"Values", "Number", REG_DWORD, "\x78\x56\x34\x12", 4},
    TEXT_VALUE("Values", "Text", REG_SZ, "Orvane"),
    // A device tree as the device search walks it on Windows 2000 and later:
    // Enum\<bus>\<device>\<instance> with the class's GUID and hardware IDs,
    // and Control\Class\{guid} naming the class.
    TEXT_VALUE("Enum\\PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086\\3&267A616A&0&18", "ClassGUID", REG_SZ,
               "{4d36e972-e325-11ce-bfc1-08002be10318}"),
    TEXT_VALUE("Enum\\PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086\\3&267A616A&0&18", "DeviceDesc", REG_SZ,
               "Intel(R) PRO/1000 MT Network Connection"),
    TEXT_VALUE("Enum\\PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086\\3&267A616A&0&18", "HardwareID",
               REG_MULTI_SZ, "PCI\\VEN_8086&DEV_100E&SUBSYS_001E8086&REV_02\0PCI\\VEN_8086&DEV_100E\0"),
    TEXT_VALUE("Enum\\PCI\\VEN_8086&DEV_7000&SUBSYS_00000000\\3&267A616A&0&08", "ClassGUID", REG_SZ,
               "{4d36e97d-e325-11ce-bfc1-08002be10318}"),
    TEXT_VALUE("Enum\\Root\\LEGACY_BEEP\\0000", "Service", REG_SZ, "Beep"),
    TEXT_VALUE("Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}", "Class", REG_SZ, "Net"),
    TEXT_VALUE("Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0000", "DriverDesc",
               REG_SZ, "Intel(R) PRO/1000 MT Network Connection"),
    TEXT_VALUE("Control\\Class\\{4d36e97d-e325-11ce-bfc1-08002be10318}", "Class", REG_SZ, "System"),
};
#undef TEXT_VALUE

struct IniRow {
    const char* section;
    const char* key;
    const char* value;
};

constexpr IniRow kIniLines[] = {
    {"General", "Manufacturer", "Orvane Systems"},
    {"General", "Model", "ZEKO 7"},
    {"Support Information", "Line1", "Call us"},
};

std::string Path(const char* key) { return std::string(kRoot) + "\\" + key; }

// ---- The scratch content, once in the prefix and once in the described machine ----------

bool WriteWindowsScratch() {
    HKEY root = nullptr;
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
    for (const ValueRow& v : kValues) {
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, Path(v.key).c_str(), 0, nullptr, 0, KEY_WRITE,
                              nullptr, &root, nullptr) != ERROR_SUCCESS)
            return false;
        const LONG status = ::RegSetValueExA(root, v.name, 0, v.type,
                                             reinterpret_cast<const BYTE*>(v.bytes), v.size);
        ::RegCloseKey(root);
        if (status != ERROR_SUCCESS) return false;
    }
    // A key with neither values nor subkeys.
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, Path("Empty key").c_str(), 0, nullptr, 0, KEY_WRITE,
                          nullptr, &root, nullptr) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(root);
    ::CreateDirectoryA(kFolder, nullptr);
    ::DeleteFileA(kIni);
    for (const IniRow& line : kIniLines)
        if (!::WritePrivateProfileStringA(line.section, line.key, line.value, kIni)) return false;
    return true;
}

std::unique_ptr<platform::fake::Machine> DescribeMachine() {
    auto m = platform::fake::Machine::Win10();
    for (const ValueRow& v : kValues)
        m->Raw("HKCU\\" + Path(v.key), v.name, v.type, std::string(v.bytes, v.size));
    m->Key("HKCU\\" + Path("Empty key"));
    for (const IniRow& line : kIniLines) m->Ini(kIni, line.section, line.key, line.value);
    // What the Wine prefix has: its Windows folder and one fixed drive, C:.
    m->windowsDirectory = "C:\\windows";
    m->drives['C'] = platform::fake::Drive{};
    return m;
}

// ---- What a call answered ----------------------------------------------------------------

constexpr size_t kBufferSize = 96;
constexpr BYTE kSentinel = 0xCC;

class Transcript {
public:
    Transcript& Note(const char* what, long long value) {
        text_ += std::string(what) + "=" + std::to_string(value) + " ";
        return *this;
    }
    // The first `used` bytes as written; past them, only whether the sentinel stands.
    Transcript& Buffer(const void* buffer, size_t used, size_t size) {
        const auto* bytes = static_cast<const BYTE*>(buffer);
        text_ += "bytes='";
        for (size_t i = 0; i < used && i < size; ++i) {
            char hex[8];
            if (bytes[i] >= 0x20 && bytes[i] < 0x7F && bytes[i] != '\'')
                std::snprintf(hex, sizeof hex, "%c", bytes[i]);
            else
                std::snprintf(hex, sizeof hex, "\\x%02X", bytes[i]);
            text_ += hex;
        }
        text_ += "' ";
        for (size_t i = used; i < size; ++i) {
            if (bytes[i] == kSentinel) continue;
            text_ += "sentinel overwritten at " + std::to_string(i) + " ";
            break;
        }
        return *this;
    }
    Transcript& LastError() { return Note("error", static_cast<long long>(::GetLastError())); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

struct Buffer {
    Buffer() { std::memset(bytes, kSentinel, sizeof bytes); }
    BYTE bytes[kBufferSize];
    char* Text() { return reinterpret_cast<char*>(bytes); }
};

// Opens a scratch key for reading; the handle is noted only as opened or not.
HKEY Open(const Seam& s, Transcript& t, const char* key) {
    HKEY handle = nullptr;
    t.Note("open", s.RegOpenKeyExA(HKEY_CURRENT_USER, Path(key).c_str(), 0, KEY_READ, &handle));
    return handle;
}

void Close(const Seam& s, Transcript& t, HKEY key) {
    if (key) t.Note("close", s.RegCloseKey(key));
}

constexpr long kNoData = -1;         // data null, its size asked
constexpr long kNoSize = -2;         // a buffer but no size: refused
constexpr long kNoDataNoSize = -3;   // only the type asked

// RegQueryValueExA of one value into a buffer of `size` bytes, or as the constants above say.
void Query(const Seam& s, Transcript& t, const char* key, const char* name, long size) {
    HKEY k = Open(s, t, key);
    Buffer b;
    DWORD type = 0xCCCC;
    DWORD dataSize = size < 0 ? 0 : static_cast<DWORD>(size);
    const bool data = size >= 0 || size == kNoSize;
    const bool sized = size != kNoSize && size != kNoDataNoSize;
    const LONG status = s.RegQueryValueExA(k, name, nullptr, &type, data ? b.bytes : nullptr,
                                           sized ? &dataSize : nullptr);
    t.Note("status", status).Note("size", dataSize);
    // The type is an answer only where the value was found.
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) t.Note("type", type);
    // Windows leaves the buffer's content undefined when it is too small.
    t.Buffer(b.bytes, status == ERROR_SUCCESS && size > 0 ? dataSize : 0,
             status == ERROR_MORE_DATA ? 0 : kBufferSize);
    Close(s, t, k);
}

constexpr int kAmple = 1000;

// Every subkey of a key by RegEnumKeyExA, each name asked again with a buffer of `slack`
// characters more than it needs (negative: fewer; kAmple: asked once, in 64), then the index
// past the end.
void EnumKeysEx(const Seam& s, Transcript& t, const char* key, int slack) {
    HKEY k = Open(s, t, key);
    for (DWORD index = 0; index < 8; ++index) {
        Buffer b;
        DWORD size = 64;
        LONG status = s.RegEnumKeyExA(k, index, b.Text(), &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_SUCCESS && slack != kAmple) {
            size = static_cast<DWORD>(static_cast<long>(std::strlen(b.Text())) + 1 + slack);
            b = Buffer();
            status = s.RegEnumKeyExA(k, index, b.Text(), &size, nullptr, nullptr, nullptr, nullptr);
        }
        t.Note("status", status).Note("size", size);
        // Windows leaves the buffer's content undefined when it is too small.
        t.Buffer(b.bytes, status == ERROR_SUCCESS ? size + 1 : 0,
                 status == ERROR_MORE_DATA ? 0 : kBufferSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
    }
    Close(s, t, k);
}

void EnumKeys(const Seam& s, Transcript& t, const char* key, DWORD nameSize) {
    HKEY k = Open(s, t, key);
    for (DWORD index = 0; index < 8; ++index) {
        Buffer b;
        const LONG status = s.RegEnumKeyA(k, index, b.Text(), nameSize);
        t.Note("status", status);
        t.Buffer(b.bytes, status == ERROR_SUCCESS ? std::strlen(b.Text()) + 1 : 0,
                 status == ERROR_MORE_DATA ? 0 : kBufferSize);
        if (status == ERROR_NO_MORE_ITEMS) break;
    }
    Close(s, t, k);
}

// Every value of a key by RegEnumValueA: its name, type and data.
void EnumValues(const Seam& s, Transcript& t, const char* key, DWORD dataRoom) {
    HKEY k = Open(s, t, key);
    for (DWORD index = 0; index < 12; ++index) {
        Buffer name;
        Buffer data;
        DWORD nameSize = 32;
        DWORD dataSize = dataRoom;
        DWORD type = 0xCCCC;
        const LONG status = s.RegEnumValueA(k, index, name.Text(), &nameSize, nullptr, &type,
                                            data.bytes, &dataSize);
        t.Note("status", status).Note("nameSize", nameSize).Note("type", type).Note("size", dataSize);
        if (status == ERROR_SUCCESS) {
            t.Buffer(name.bytes, nameSize + 1, kBufferSize).Buffer(data.bytes, dataSize, kBufferSize);
        }
        if (status == ERROR_NO_MORE_ITEMS) break;
    }
    Close(s, t, k);
}

void QueryInfo(const Seam& s, Transcript& t, const char* key) {
    HKEY k = Open(s, t, key);
    DWORD subKeys = 0xCCCC, maxSubKey = 0xCCCC, values = 0xCCCC, maxName = 0xCCCC;
    t.Note("status", s.RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &subKeys, &maxSubKey,
                                        nullptr, &values, &maxName, nullptr, nullptr, nullptr));
    t.Note("subKeys", subKeys).Note("maxSubKeyLen", maxSubKey).Note("values", values);
    t.Note("maxValueNameLen", maxName);
    Close(s, t, k);
}

// The walk of the device search on Windows 2000 and later: every instance key below
// Enum\<bus>\<device>, its ClassGUID and HardwareID, and the class's name under Control\Class.
void WalkDevices(const Seam& s, Transcript& t) {
    HKEY enumKey = Open(s, t, "Enum");
    char bus[64], device[128], instance[64];
    for (DWORD i = 0; s.RegEnumKeyA(enumKey, i, bus, sizeof bus) == ERROR_SUCCESS; ++i) {
        HKEY busKey = nullptr;
        t.Note(bus, s.RegOpenKeyExA(enumKey, bus, 0, KEY_READ, &busKey));
        for (DWORD j = 0; s.RegEnumKeyA(busKey, j, device, sizeof device) == ERROR_SUCCESS; ++j) {
            HKEY deviceKey = nullptr;
            t.Note(device, s.RegOpenKeyExA(busKey, device, 0, KEY_READ, &deviceKey));
            for (DWORD n = 0; s.RegEnumKeyA(deviceKey, n, instance, sizeof instance) == ERROR_SUCCESS;
                 ++n) {
                const std::string path = std::string("Enum\\") + bus + "\\" + device + "\\" + instance;
                Query(s, t, path.c_str(), "ClassGUID", kBufferSize);
                Query(s, t, path.c_str(), "HardwareID", kBufferSize);
            }
            Close(s, t, deviceKey);
        }
        Close(s, t, busKey);
    }
    Close(s, t, enumKey);
    Query(s, t, (std::string("Control\\Class\\") + kNet).c_str(), "Class", kBufferSize);
    Query(s, t, (std::string("Control\\Class\\") + kSystem).c_str(), "Class", kBufferSize);
}

void Profile(const Seam& s, Transcript& t, const char* section, const char* key,
             const char* fallback, DWORD size, const char* file) {
    Buffer b;
    ::SetLastError(0xC0DE);
    const DWORD copied = s.GetPrivateProfileStringA(section, key, fallback, b.Text(), size, file);
    t.Note("copied", copied).LastError();
    t.Buffer(b.bytes, size == 0 ? 0 : copied + 1, kBufferSize);
}

struct Row {
    const char* name;
    void (*run)(const Seam&, Transcript&);
};

constexpr Row kRows[] = {
    // Opening keys.
    {"open an existing key", [](const Seam& s, Transcript& t) { Close(s, t, Open(s, t, "Values")); }},
    {"open a missing key", [](const Seam& s, Transcript& t) { Close(s, t, Open(s, t, "Absent")); }},
    {"open a key below a missing key",
     [](const Seam& s, Transcript& t) { Close(s, t, Open(s, t, "Absent\\Values")); }},
    {"open with a trailing backslash",
     [](const Seam& s, Transcript& t) { Close(s, t, Open(s, t, "Values\\")); }},
    {"open a key in other case",
     [](const Seam& s, Transcript& t) { Close(s, t, Open(s, t, "VALUES")); }},
    // Reading values: every type, exact fit, one byte short, no buffer, no size.
    {"text into a large buffer",
     [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Text", kBufferSize); }},
    {"text into an exact fit", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Text", 7); }},
    {"text one byte short", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Text", 6); }},
    {"text size without a buffer",
     [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Text", kNoData); }},
    {"a buffer without its size is refused",
     [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Text", kNoSize); }},
    {"text type without buffer or size",
     [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Text", kNoDataNoSize); }},
    {"empty text", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Empty", kBufferSize); }},
    {"empty text into no room", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Empty", 0); }},
    {"expandable text stays unexpanded",
     [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Expand", kBufferSize); }},
    {"expandable text one byte short",
     [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Expand", 17); }},
    {"multi-string whole", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Multi", kBufferSize); }},
    {"multi-string exact fit", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Multi", 36); }},
    {"multi-string one byte short", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Multi", 35); }},
    {"number", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Number", kBufferSize); }},
    {"number into three bytes", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Number", 3); }},
    {"binary", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Bytes", kBufferSize); }},
    {"name in other case", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "TEXT", kBufferSize); }},
    {"missing value", [](const Seam& s, Transcript& t) { Query(s, t, "Values", "Absent", kBufferSize); }},
    {"default value never set",
     [](const Seam& s, Transcript& t) { Query(s, t, "Values", nullptr, kBufferSize); }},
    {"default value by empty name",
     [](const Seam& s, Transcript& t) { Query(s, t, "Values", "", kBufferSize); }},
    // Enumerating keys and values.
    {"subkeys by RegEnumKeyExA", [](const Seam& s, Transcript& t) { EnumKeysEx(s, t, "Enum\\PCI", kAmple); }},
    {"subkeys by RegEnumKeyExA, exact fit",
     [](const Seam& s, Transcript& t) { EnumKeysEx(s, t, "Enum\\PCI", 0); }},
    {"subkeys by RegEnumKeyExA, one character short",
     [](const Seam& s, Transcript& t) { EnumKeysEx(s, t, "Enum\\PCI", -1); }},
    {"subkeys by RegEnumKeyExA, room to spare",
     [](const Seam& s, Transcript& t) { EnumKeysEx(s, t, "Enum\\PCI", 5); }},
    {"subkeys of a key without any",
     [](const Seam& s, Transcript& t) { EnumKeysEx(s, t, "Empty key", kAmple); }},
    {"subkeys by RegEnumKeyA", [](const Seam& s, Transcript& t) { EnumKeys(s, t, "Enum", 64); }},
    {"subkeys by RegEnumKeyA, names too long for the buffer",
     [](const Seam& s, Transcript& t) { EnumKeys(s, t, "Enum", 4); }},
    {"values by RegEnumValueA", [](const Seam& s, Transcript& t) { EnumValues(s, t, "Values", 64); }},
    {"values by RegEnumValueA, data room short",
     [](const Seam& s, Transcript& t) { EnumValues(s, t, "Values", 4); }},
    {"key counts by RegQueryInfoKeyA", [](const Seam& s, Transcript& t) { QueryInfo(s, t, "Values"); }},
    {"key counts of an empty key", [](const Seam& s, Transcript& t) { QueryInfo(s, t, "Empty key"); }},
    {"key counts of a class key",
     [](const Seam& s, Transcript& t) { QueryInfo(s, t, "Control\\Class"); }},
    {"device search walk", &WalkDevices},
    // INI files.
    {"profile text", [](const Seam& s, Transcript& t) {
         Profile(s, t, "General", "Manufacturer", "", kBufferSize, kIni); }},
    {"profile names in other case", [](const Seam& s, Transcript& t) {
         Profile(s, t, "GENERAL", "model", "", kBufferSize, kIni); }},
    {"profile text into an exact fit", [](const Seam& s, Transcript& t) {
         Profile(s, t, "General", "Manufacturer", "", 15, kIni); }},
    {"profile text one character short", [](const Seam& s, Transcript& t) {
         Profile(s, t, "General", "Manufacturer", "", 14, kIni); }},
    {"profile missing key gives the default", [](const Seam& s, Transcript& t) {
         Profile(s, t, "General", "Absent", "none", kBufferSize, kIni); }},
    {"profile missing section", [](const Seam& s, Transcript& t) {
         Profile(s, t, "Absent", "Model", "", kBufferSize, kIni); }},
    {"profile of a missing file", [](const Seam& s, Transcript& t) {
         Profile(s, t, "General", "Model", "x", kBufferSize, "C:\\dezivero-contract\\ABSENT.INI"); }},
    {"profile of a key in a section with a space", [](const Seam& s, Transcript& t) {
         Profile(s, t, "Support Information", "Line1", "", kBufferSize, kIni); }},
    // System queries and files.
    {"Windows folder", [](const Seam& s, Transcript& t) {
         Buffer b;
         const UINT length = s.GetWindowsDirectoryA(b.Text(), kBufferSize);
         t.Note("length", length).Buffer(b.bytes, length + 1, kBufferSize); }},
    {"Windows folder into a short buffer", [](const Seam& s, Transcript& t) {
         Buffer b;
         t.Note("length", s.GetWindowsDirectoryA(b.Text(), 4)); }},
    {"fixed drive", [](const Seam& s, Transcript& t) { t.Note("type", s.GetDriveTypeA("C:\\")); }},
    {"drive letter without a root", [](const Seam& s, Transcript& t) {
         t.Note("type", s.GetDriveTypeA("Q:\\")); }},
    {"open a missing file", [](const Seam& s, Transcript& t) {
         ::SetLastError(0);
         const HANDLE h = s.CreateFileA("C:\\dezivero-contract\\absent.zuv", 0, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
         t.Note("invalid", h == INVALID_HANDLE_VALUE).LastError(); }},
    // Functions looked up by name.
    {"kernel32 offers GetDiskFreeSpaceExA", [](const Seam& s, Transcript& t) {
         const HMODULE k = s.LoadLibraryA("kernel32.dll");
         t.Note("loaded", k != nullptr);
         t.Note("found", s.GetProcAddress(k, "GetDiskFreeSpaceExA") != nullptr);
         t.Note("freed", s.FreeLibrary(k)); }},
    {"kernel32 lacks a function", [](const Seam& s, Transcript& t) {
         const HMODULE k = s.LoadLibraryA("kernel32.dll");
         ::SetLastError(0);
         t.Note("found", s.GetProcAddress(k, "DeZIVeroAbsentFunction") != nullptr).LastError();
         s.FreeLibrary(k); }},
    {"a library the system lacks", [](const Seam& s, Transcript& t) {
         ::SetLastError(0);
         t.Note("loaded", s.LoadLibraryA("dezivero_absent.dll") != nullptr).LastError(); }},
};

}  // namespace

int main() {
    if (!WriteWindowsScratch()) {
        std::printf("the scratch key or folder could not be written\n");
        return 1;
    }
    auto machine = DescribeMachine();
    platform::fake::Scope scope(*machine);
    int passed = 0;
    int failed = 0;
    for (const Row& row : kRows) {
        Transcript fake;
        Transcript windows;
        row.run(contract::FakeSeam(), fake);
        row.run(contract::WindowsSeam(), windows);
        if (fake.Text() == windows.Text()) {
            ++passed;
            continue;
        }
        ++failed;
        std::printf("FAILED: %s\n  fake:    %s\n  Windows: %s\n", row.name, fake.Text().c_str(),
                    windows.Text().c_str());
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
    std::printf("fake_contract: %d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
