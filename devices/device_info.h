// GetDeviceInfo's value and the SCSI and AGP probes, in plain text and numbers.
#pragma once

#include <windows.h>

namespace devices {

// Room for a device value's bytes; one more byte always holds a terminator.
constexpr DWORD kDeviceValueSize = 1040;

// A device value as a caller receives it: by the registry type read.
struct DeviceValue {
    enum class Kind { None, Text, Number, TextList };
    Kind kind = Kind::None;
    LONG number = 0;  // Number
    // Text: terminated. TextList: size bytes of strings, each ending at a
    // zero byte, the list at an empty string or at size; bytes[size] is 0.
    DWORD size = 0;
    char bytes[kDeviceValueSize + 1];
};

// Reads askFor below subkey of the device key; value->kind None when there is
// nothing a caller can be given.
void ReadDeviceInfo(const char* key, const char* subkey, const char* askFor,
                    DeviceValue* value) noexcept;

bool HasSCSIBus() noexcept;
bool HasAGPBus() noexcept;

}  // namespace devices
