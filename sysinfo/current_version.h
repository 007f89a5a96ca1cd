// Values of the NT family's current-version key, read from the native registry
// view: under WOW64 the 32-bit copy of this key is not refreshed by feature
// updates, so it may name an older version than the one running.
#pragma once

namespace sysinfo {

// "SOFTWARE\Microsoft\Windows NT\CurrentVersion" under HKEY_LOCAL_MACHINE.
extern const char kNtCurrentVersionKey[];

// Reads valueName into out (size bytes), with KEY_WOW64_64KEY only where
// IsWow64Process says the process runs under WOW64. True when more than one
// byte was read; then *type (when not null) holds the registry type. out is
// zero-terminated after every call it was not refused (null, size 0, no name).
bool ReadCurrentVersionValue(const char* valueName, void* out, unsigned size,
                             unsigned long* type) noexcept;

// A text value (REG_SZ or REG_EXPAND_SZ) of the key; empty text and false otherwise.
bool ReadCurrentVersionText(const char* valueName, char* out, unsigned size) noexcept;

// A REG_DWORD value of the key; false (out untouched) when missing or of another type.
bool ReadCurrentVersionNumber(const char* valueName, unsigned long& out) noexcept;

}  // namespace sysinfo
