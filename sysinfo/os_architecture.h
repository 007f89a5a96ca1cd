// The machine's own processor architecture, whatever the process's is: a
// 32-bit process on 64-bit Windows answers for the machine.
#pragma once

namespace sysinfo {

// "x86", "x64" or "ARM64"; "" for any other architecture or when no source answers.
// Asked afresh at every call: IsWow64Process2 (Windows 10 1709 and later), then
// GetNativeSystemInfo (XP and later), then GetSystemInfo.
const char* OSArchitecture() noexcept;

}  // namespace sysinfo
