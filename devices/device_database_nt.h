// The device database of the NT family: its entry point and its descriptor.
#pragma once

#include <windows.h>

#include "devices/device_family.h"
#include "devices/device_key_roots.h"

namespace devices {

// Device deviceNumber (from 0) of deviceClass: searched below the class
// route's root, or among the services' instances for a class without a
// route. Its key goes to keyBuffer; a services instance's "Problem" code to
// status. True when found.
bool FindDeviceKeyNt(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                     DWORD keyBufferSize, LONG* status) noexcept;

inline constexpr DeviceFamily kFamilyNt = DescribeFamily(
    kDriverPrefixNt, RowsOf(DeviceValueRemapTable), RowsOf(DeviceKeyRootTableNt), FindDeviceKeyNt);
static_assert(kFamilyNt.driverRoom == 220, "driver text room");

}  // namespace devices
