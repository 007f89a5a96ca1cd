#include "sysinfo/wow64.h"

#include "platform/system_function.h"

namespace sysinfo {

namespace {

platform::SystemFunction<BOOL(WINAPI*)(HANDLE, PBOOL)> gIsWow64Process{"kernel32.dll",
                                                                        "IsWow64Process"};

}  // namespace

bool RunsUnderWow64() noexcept {
    if constexpr (sizeof(void*) == 8) return false;
    const auto isWow64Process = gIsWow64Process.Get();
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

REGSAM NativeRegistryView() noexcept { return RunsUnderWow64() ? KEY_WOW64_64KEY : 0; }

}  // namespace sysinfo
