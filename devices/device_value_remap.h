// Values the NT family stores under another name than the one a caller asks
// for, by the kind of key. A row applies when the device key begins with its
// prefix (without regard to case) and the name asked for is its asked name;
// the first such row renames the value. When the renamed value is missing, a
// row with a fallback reads it there instead of in the driver key. From
// Windows 2000 on a network card may have a "Description" and no "Title".
#pragma once

#include <windows.h>

#include "devices/device_registry_paths.h"
#include "devices/scsi_port_value.h"

namespace devices {

using DeviceValueFallback = bool (*)(const char* deviceKey, const char* subkey,
                                     const char* valueName, DWORD* type, BYTE* buffer,
                                     DWORD* size) noexcept;

struct DeviceValueRemap {
    const char* keyPrefix;
    const char* askedName;
    const char* nameRead;
    DeviceValueFallback fallback;  // null: the driver-key retry
    // From Windows 2000 on, read from the device key when nameRead is missing.
    const char* laterName = nullptr;
};

constexpr DeviceValueRemap DeviceValueRemapTable[] = {
    {kScsiDeviceMap, "DeviceDesc", "Identifier", nullptr},
    {kScsiDeviceMap, "DriverDesc", "Driver", ReadScsiPortValue},
    {kScsiDeviceMap, "DMACurrentlyUsed", "DMAEnabled", ReadScsiPortValue},
    {kNetworkCards, "DeviceDesc", "Title", nullptr, "Description"},
    {kNetworkCards, "Mfg", "Manufacturer", nullptr},
    {kPrinters, "DeviceDesc", "Name", nullptr},
    {kPrinters, "DriverDesc", "Printer Driver", nullptr},
    {kMediaResources, "DeviceDesc", "Description", nullptr},
};

}  // namespace devices
