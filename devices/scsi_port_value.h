// The SCSI port key: where the NT family keeps what a SCSI unit's own key
// lacks (its port driver, whether DMA is on).
#pragma once

#include <windows.h>

namespace devices {

// Reads valueName from the SCSI port key that holds deviceKey (the subkey is
// not used): the device map's root, a backslash and the port's own component.
// type, buffer and size as RegQueryValueExA fills them.
bool ReadScsiPortValue(const char* deviceKey, const char* subkey, const char* valueName,
                       DWORD* type, BYTE* buffer, DWORD* size) noexcept;

}  // namespace devices
