// IsWow64Process2 names the native machine by its image-file machine code;
// the system-information records name it by processor architecture. Both map
// to one name through the tables below.
#include "sysinfo/os_architecture.h"

#include <windows.h>

#include "platform/platform.h"
#include "platform/system_function.h"

namespace sysinfo {

namespace {

struct ArchitectureName {
    unsigned short code;
    const char* name;
};

// IMAGE_FILE_MACHINE_I386, _AMD64 and _ARM64.
constexpr ArchitectureName kMachineNames[] = {
    {0x014C, "x86"},
    {0x8664, "x64"},
    {0xAA64, "ARM64"},
};

// PROCESSOR_ARCHITECTURE_INTEL, _AMD64 and _ARM64.
constexpr ArchitectureName kProcessorNames[] = {
    {0, "x86"},
    {9, "x64"},
    {12, "ARM64"},
};

template <size_t N>
const char* NameOf(const ArchitectureName (&table)[N], unsigned short code) noexcept {
    for (const ArchitectureName& row : table) {
        if (row.code == code) return row.name;
    }
    return "";
}

using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
using GetNativeSystemInfoFunction = void(WINAPI*)(SYSTEM_INFO*);

platform::SystemFunction<IsWow64Process2Function> isWow64Process2{"kernel32.dll",
                                                                  "IsWow64Process2"};
platform::SystemFunction<GetNativeSystemInfoFunction> getNativeSystemInfo{"kernel32.dll",
                                                                          "GetNativeSystemInfo"};

// The pseudo-handle GetCurrentProcess answers on every Windows.
const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));

}  // namespace

const char* OSArchitecture() noexcept {
    if (const IsWow64Process2Function query = isWow64Process2.Get()) {
        USHORT process = 0;
        USHORT native = 0;
        if (query(kCurrentProcess, &process, &native)) return NameOf(kMachineNames, native);
    }
    SYSTEM_INFO info{};
    if (const GetNativeSystemInfoFunction query = getNativeSystemInfo.Get()) {
        query(&info);
    } else {
        platform::GetSystemInfo(&info);
    }
    return NameOf(kProcessorNames, info.wProcessorArchitecture);
}

}  // namespace sysinfo
