// Finding the N-th device of a class and reading values below its key, on
// either platform family: the running family's database, chosen once per call.
//
// A device key is a path relative to HKEY_LOCAL_MACHINE: "Enum\..." on the
// 9x family; a key below a class route's root or "System\CurrentControlSet\Enum\..."
// on the NT family.
#pragma once

#include <windows.h>

namespace devices {

// True when device deviceNumber (from 0) of deviceClass was found; keyBuffer
// then holds its key. Refused arguments (empty class, null buffer, size 0,
// negative number) return false and write nothing.
bool FindDeviceKey(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                   DWORD keyBufferSize, LONG* status) noexcept;

// True when valueName (or a value derived by DevicePseudoValueTable, such as
// the modem "Speed" from "DeviceDesc") was read below deviceKey; type, buffer
// and size as RegQueryValueExA fills them, except that a text of the later
// systems' indirect forms comes back as its words (indirect_text.h). A key that is no device key of the
// running family, or a non-empty subkey that is no plain relative path, fails
// as a missing value does.
bool QueryDeviceValue(const char* deviceKey, const char* subkey, const char* valueName,
                      DWORD* type, BYTE* buffer, DWORD* size) noexcept;

}  // namespace devices
