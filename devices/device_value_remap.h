// Values the NT family stores under another name than the one a caller asks
// for, by the kind of key. A row applies when the device key begins with its
// prefix (without regard to case) and the name asked for is its asked name;
// the first such row renames the value. When the renamed value is missing, a
// row with a fallback reads it there instead of in the driver key.
#pragma once

#include <windows.h>

#include "devices/device_database_nt.h"

namespace devices {

using DeviceValueFallback = int (*)(const char*, const char*, const char*, DWORD*, BYTE*,
                                    DWORD*) noexcept;

struct DeviceValueRemap {
    const char* keyPrefix;
    const char* askedName;
    const char* nameRead;
    DeviceValueFallback fallback;  // null: the driver-key retry
};

constexpr DeviceValueRemap DeviceValueRemapTable[] = {
    {"HARDWARE\\DEVICEMAP\\SCSI", "DeviceDesc", "Identifier", nullptr},
    {"HARDWARE\\DEVICEMAP\\SCSI", "DriverDesc", "Driver", ReadScsiPortValue},
    {"HARDWARE\\DEVICEMAP\\SCSI", "DMACurrentlyUsed", "DMAEnabled", ReadScsiPortValue},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards", "DeviceDesc", "Title",
     nullptr},
    {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards", "Mfg", "Manufacturer",
     nullptr},
    {"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers", "DeviceDesc", "Name", nullptr},
    {"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers", "DriverDesc", "Printer Driver",
     nullptr},
    {"SYSTEM\\CurrentControlSet\\Control\\MediaResources", "DeviceDesc", "Description", nullptr},
};

}  // namespace devices
