// Reads HKEY_CLASSES_ROOT of the running prefix and compares it with what
// the library's registration must leave there.
//
//   server_registry_check registered <module path>
//       every key of the registration with exactly its values (all strings)
//       and exactly its subkeys; the type library registered.
//   server_registry_check unregistered
//       none of those keys except the shared CLSID key; no type library.
//
// Prints every failed check and a final "server_registry: N passed, N failed"
// line; exits 1 when a check failed.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int passed = 0;
int failed = 0;

void Check(bool ok, const char* what, const char* detail) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    std::printf("FAILED: %s: %s\n", what, detail);
}

#define CLSID_TEXT "{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}"
#define LIBID_TEXT "{7A31C480-52E6-4B1F-A0D7-3C94E18B6F25}"
#define CLASS_KEY "CLSID\\" CLSID_TEXT

constexpr const char* kModuleMarker = "<module>";

struct ValueRow {
    const char* name;  // "" for the key's default value
    const char* text;  // kModuleMarker for the module path
};

struct KeyRow {
    const char* path;
    ValueRow values[2];
    int valueCount;
    const char* subkeys[5];  // in the sorted order the registry enumerates them
    int subkeyCount;
};

const KeyRow kRegisteredKeys[] = {
    {"Orvane.VXR.ZEKO.HWInfo.1", {{"", "Orvane Hardware Finder Control"}}, 1, {"CLSID"}, 1},
    {"Orvane.VXR.ZEKO.HWInfo.1\\CLSID", {{"", CLSID_TEXT}}, 1, {}, 0},
    {"Orvane.VXR.ZEKO.HWInfo", {{"", "Orvane Hardware Finder Control"}}, 1, {"CLSID", "CurVer"}, 2},
    {"Orvane.VXR.ZEKO.HWInfo\\CLSID", {{"", CLSID_TEXT}}, 1, {}, 0},
    {"Orvane.VXR.ZEKO.HWInfo\\CurVer", {{"", "Orvane.VXR.ZEKO.HWInfo.1"}}, 1, {}, 0},
    {CLASS_KEY,
     {{"", "Orvane Hardware Finder Control"}},
     1,
     {"InprocServer32", "ProgID", "Programmable", "TypeLib", "VersionIndependentProgID"},
     5},
    {CLASS_KEY "\\ProgID", {{"", "Orvane.VXR.ZEKO.HWInfo.1"}}, 1, {}, 0},
    {CLASS_KEY "\\VersionIndependentProgID", {{"", "Orvane.VXR.ZEKO.HWInfo"}}, 1, {}, 0},
    {CLASS_KEY "\\Programmable", {}, 0, {}, 0},
    {CLASS_KEY "\\InprocServer32", {{"", kModuleMarker}, {"ThreadingModel", "Apartment"}}, 2, {}, 0},
    {CLASS_KEY "\\TypeLib", {{"", LIBID_TEXT}}, 1, {}, 0},
};

// Keys the unregistration removes (the shared CLSID key stays).
const char* const kRemovedKeys[] = {
    "Orvane.VXR.ZEKO.HWInfo.1",
    "Orvane.VXR.ZEKO.HWInfo",
    CLASS_KEY,
    "TypeLib\\" LIBID_TEXT,
};

class Key {
public:
    explicit Key(const char* path) {
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

void CheckValues(const KeyRow& row, HKEY key, const char* modulePath) {
    char detail[1200];
    for (int i = 0; i < row.valueCount; ++i) {
        const ValueRow& value = row.values[i];
        const char* expected = std::strcmp(value.text, kModuleMarker) == 0 ? modulePath : value.text;
        char data[1024] = {};
        DWORD type = REG_NONE;
        DWORD size = sizeof data - 1;
        const LONG status =
            RegQueryValueExA(key, value.name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
        std::snprintf(detail, sizeof detail, "%s value \"%s\": status %ld, type %lu, \"%s\", expected \"%s\"",
                      row.path, value.name, status, type, data, expected);
        Check(status == ERROR_SUCCESS && type == REG_SZ && std::strcmp(data, expected) == 0,
              "value as registered", detail);
    }
    DWORD valueCount = 0;
    DWORD subkeyCount = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr, &valueCount, nullptr,
                     nullptr, nullptr, nullptr);
    std::snprintf(detail, sizeof detail, "%s holds %lu values, expected %d", row.path, valueCount,
                  row.valueCount);
    Check(valueCount == static_cast<DWORD>(row.valueCount), "no other values", detail);
    std::snprintf(detail, sizeof detail, "%s holds %lu subkeys, expected %d", row.path, subkeyCount,
                  row.subkeyCount);
    Check(subkeyCount == static_cast<DWORD>(row.subkeyCount), "no other subkeys", detail);
    for (int i = 0; i < row.subkeyCount; ++i) {
        char name[256] = {};
        RegEnumKeyA(key, static_cast<DWORD>(i), name, sizeof name);
        std::snprintf(detail, sizeof detail, "%s subkey %d is \"%s\", expected \"%s\"", row.path, i, name,
                      row.subkeys[i]);
        Check(lstrcmpiA(name, row.subkeys[i]) == 0, "subkey as registered", detail);
    }
}

void CheckRegistered(const char* modulePath) {
    for (const KeyRow& row : kRegisteredKeys) {
        Key key(row.path);
        Check(key.get() != nullptr, "key present", row.path);
        if (key.get()) CheckValues(row, key.get(), modulePath);
    }
    Key typeLib("TypeLib\\" LIBID_TEXT "\\1.0");
    Check(typeLib.get() != nullptr, "type library registered", "TypeLib\\" LIBID_TEXT "\\1.0");
}

void CheckUnregistered() {
    for (const char* path : kRemovedKeys) {
        Key key(path);
        Check(key.get() == nullptr, "key removed", path);
    }
    Key shared("CLSID");
    Check(shared.get() != nullptr, "the shared CLSID key stays", "CLSID");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "registered") == 0) {
        CheckRegistered(argv[2]);
    } else if (argc >= 2 && std::strcmp(argv[1], "unregistered") == 0) {
        CheckUnregistered();
    } else {
        std::printf("usage: server_registry_check registered <module path> | unregistered\n");
        return 2;
    }
    std::printf("server_registry: %d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
