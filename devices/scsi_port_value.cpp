#include "devices/scsi_port_value.h"

#include "devices/device_registry_paths.h"
#include "devices/registry_value.h"

namespace devices {

bool ReadScsiPortValue(const char* deviceKey, const char*, const char* valueName, DWORD* type,
                       BYTE* buffer, DWORD* size) noexcept {
    if (!deviceKey || !valueName || !buffer || !size) return false;
    char port[kKeyPathSize] = {};
    if (!AppendToPath(port, deviceKey)) return false;

    // Past the separator behind the root and the first character of the port
    // component, the next backslash ends the port key's path.
    const DWORD length = static_cast<DWORD>(lstrlenA(port));
    for (DWORD i = sizeof kScsiDeviceMap + 1; i < length; ++i) {
        if (port[i] == '\\') {
            port[i] = '\0';
            break;
        }
    }
    return ReadKeyValue(port, valueName, type, buffer, size);
}

}  // namespace devices
