// The device database of the 9x family: its entry point and its descriptor.
#pragma once

#include <windows.h>

#include "devices/device_family.h"
#include "devices/device_key_roots.h"

namespace devices {

// Device deviceNumber (from 0) of deviceClass in the live device list; its
// hardware key goes to keyBuffer and its "Problem" code to status. True when found.
bool FindDeviceKey9x(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                     DWORD keyBufferSize, LONG* status) noexcept;

// No value of the 9x family goes by another name.
inline constexpr DeviceFamily kFamily9x =
    DescribeFamily(kDriverPrefix9x, {}, RowsOf(DeviceKeyRootTable9x), FindDeviceKey9x);
static_assert(kFamily9x.driverRoom == 219, "driver text room");

}  // namespace devices
