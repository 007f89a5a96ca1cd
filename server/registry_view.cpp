#include "server/registry_view.h"

#include "platform/owned.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "server/registrar/registrar_delete.h"
#include "sysinfo/wow64.h"

namespace server {

namespace {

// "{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}" and its terminator.
constexpr int kGuidTextSize = 39;
constexpr int kKeyPathSize = 96;
static_assert(sizeof "TypeLib\\" + kGuidTextSize + sizeof "\\65535.65535\\ffffffff\\win64" <=
                  kKeyPathSize,
              "a type library path fits");
static_assert(sizeof "CLSID\\" + kGuidTextSize + sizeof "\\InprocServer32" <= kKeyPathSize,
              "a class key path fits");

// The names of the system kinds, in the order of their values.
constexpr const char* SysKindNameTable[] = {"win16", "win32", "mac", "win64"};
static_assert(SYS_WIN16 == 0 && SYS_WIN32 == 1 && SYS_MAC == 2 && SYS_WIN64 == 3,
              "the names stand at their kinds' values");

void FormatGuid(const GUID& guid, char (&text)[kGuidTextSize]) noexcept {
    wsprintfA(text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1,
              guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
              guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
}

}  // namespace

REGSAM OtherRegistryView() noexcept {
    if constexpr (sizeof(void*) == 8) return KEY_WOW64_32KEY;
    return sysinfo::NativeRegistryView();
}

bool OtherViewHoldsClass(const CLSID& clsid) noexcept {
    const REGSAM view = OtherRegistryView();
    if (view == 0) return false;
    char guid[kGuidTextSize];
    FormatGuid(clsid, guid);
    char path[kKeyPathSize];
    wsprintfA(path, "CLSID\\%s\\InprocServer32", guid);
    platform::RegistryKey key;
    return key.Open(HKEY_CLASSES_ROOT, path, KEY_QUERY_VALUE | view);
}

void DeleteOwnClassKey(const CLSID& clsid) noexcept {
    platform::RegistryKey classes;
    if (!classes.Open(HKEY_CLASSES_ROOT, "CLSID", KEY_READ | KEY_WRITE)) return;
    char guid[kGuidTextSize];
    FormatGuid(clsid, guid);
    registrar::DeleteKeyTree(classes.Get(), guid);
}

void DeleteOwnTypeLibPath(const TLIBATTR& attributes) noexcept {
    const auto index = static_cast<unsigned>(attributes.syskind);
    if (index >= sizeof SysKindNameTable / sizeof SysKindNameTable[0]) return;
    const char* kind = SysKindNameTable[index];
    char guid[kGuidTextSize];
    FormatGuid(attributes.guid, guid);
    char locale[kKeyPathSize];
    wsprintfA(locale, "TypeLib\\%s\\%u.%u\\%lx", guid, attributes.wMajorVerNum,
              attributes.wMinorVerNum, attributes.lcid);
    char path[kKeyPathSize];
    wsprintfA(path, "%s\\%s", locale, kind);
    if (platform::RegDeleteKeyA(HKEY_CLASSES_ROOT, path) != ERROR_SUCCESS) return;
    // Fails, as it should, while the other system kind's path is below it.
    platform::RegDeleteKeyA(HKEY_CLASSES_ROOT, locale);
}

}  // namespace server
