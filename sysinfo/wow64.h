// Whether the library runs as a 32-bit process on 64-bit Windows, where the
// registry and the system folder it sees are the redirected 32-bit copies.
#pragma once

#include <windows.h>

namespace sysinfo {

// True only where IsWow64Process (XP SP2 and later, looked up by name) says so;
// always false in the 64-bit build.
bool RunsUnderWow64() noexcept;

// KEY_WOW64_64KEY under WOW64, else 0: Windows 2000 refuses the flag.
REGSAM NativeRegistryView() noexcept;

}  // namespace sysinfo
