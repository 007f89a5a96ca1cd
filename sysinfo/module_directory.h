// The directory of the library's own file, without a trailing backslash,
// taken once per process on first use.
#pragma once

#include <windows.h>

namespace sysinfo {

// The library's instance handle, recorded by the entry point at process attach.
void SetModuleInstance(HMODULE instance) noexcept;
HMODULE ModuleInstance() noexcept;

const char* ModuleDirectory() noexcept;

// Forgets the cached directory, as an unload of the library does.
void ForgetModuleDirectory() noexcept;

}  // namespace sysinfo
