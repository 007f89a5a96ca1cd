// The library's own file: its instance handle, recorded once at process
// attach, the one reader of its path, and its directory, taken once per
// process on first use.
#pragma once

#include <windows.h>

namespace sysinfo {

// The library's instance handle, recorded by the server module when the library starts.
void SetModuleInstance(HMODULE instance) noexcept;
HMODULE ModuleInstance() noexcept;

// The module's file name, zero-terminated; its length, or 0 with the last error set when the
// system gives none or the name did not fit (ERROR_INSUFFICIENT_BUFFER: a cut name names
// some other file).
DWORD ReadModuleFileName(HMODULE module, char (&path)[MAX_PATH]) noexcept;

// The directory of the library's file without a trailing separator ("C:" for a file in the
// root), empty when the name is unavailable or names no directory.
const char* ModuleDirectory() noexcept;

// Forgets the cached directory, as an unload of the library does.
void ForgetModuleDirectory() noexcept;

}  // namespace sysinfo
