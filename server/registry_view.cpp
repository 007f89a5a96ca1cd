#include "server/registry_view.h"

#include "platform/platform.h"
#include "platform/registry_key.h"
#include "server/registrar_delete.h"
#include "sysinfo/scoped_handles.h"

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

using IsWow64ProcessRoutine = BOOL(WINAPI*)(HANDLE, PBOOL);

struct SysKindName {
    SYSKIND kind;
    const char* name;
};

constexpr SysKindName kSysKindNames[] = {
    {SYS_WIN16, "win16"},
    {SYS_WIN32, "win32"},
    {SYS_MAC, "mac"},
    {SYS_WIN64, "win64"},
};

void FormatGuid(const GUID& guid, char (&text)[kGuidTextSize]) noexcept {
    wsprintfA(text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1,
              guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
              guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
}

// IsWow64Process came with Windows XP SP2; without it the process is no
// 32-bit one on 64-bit Windows. Looked up through the platform seam, as
// GetDiskFreeSpaceExA is, so that a test can describe a process under WoW64.
bool RunsUnderWow64() noexcept {
    sysinfo::ScopedLibrary kernel32(platform::LoadLibraryA("Kernel32.dll"));
    if (!kernel32.get()) return false;
    const FARPROC proc = platform::GetProcAddress(kernel32.get(), "IsWow64Process");
    if (!proc) return false;
    const auto isWow64Process =
        reinterpret_cast<IsWow64ProcessRoutine>(reinterpret_cast<void (*)()>(proc));
    BOOL wow64 = FALSE;
    return isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

REGSAM OtherRegistryView() noexcept {
    if constexpr (sizeof(void*) == 8) return KEY_WOW64_32KEY;
    return RunsUnderWow64() ? KEY_WOW64_64KEY : 0;
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
    const char* kind = nullptr;
    for (const SysKindName& row : kSysKindNames)
        if (row.kind == attributes.syskind) kind = row.name;
    if (!kind) return;
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
