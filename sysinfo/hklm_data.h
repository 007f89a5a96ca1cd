// One value under HKEY_LOCAL_MACHINE into a caller's buffer: the reader behind
// HwInfoCore::ReadHklmValue and the building blocks that read one key each.
#pragma once

#include <windows.h>

namespace sysinfo {

// Reads valueName of subKey under HKEY_LOCAL_MACHINE, opened with KEY_READ and
// the view flag given (0, KEY_WOW64_32KEY or KEY_WOW64_64KEY), into
// destination. True when the read succeeded with more than one byte; then
// *type (when asked for) holds the value's registry type. Destination always
// ends up zero-terminated (all zero after any failure) unless it was refused
// (null, size <= 0, no value name), in which case it is not touched.
bool ReadHklmData(const char* subKey, const char* valueName, void* destination, int size,
                  REGSAM view = 0, DWORD* type = nullptr) noexcept;

// The same for a text value (REG_SZ or REG_EXPAND_SZ) only: any other type is a failure.
bool ReadHklmText(const char* subKey, const char* valueName, char* destination, int size,
                  REGSAM view = 0) noexcept;

}  // namespace sysinfo
