// What the configuration manager knows of a device instance. Since Windows
// 2000 a device's presence and problem live there, not in the registry; its
// functions are looked up by name, as Windows 95 and NT 4.0 lack them.
#pragma once

#include <windows.h>

namespace devices {

enum class Presence { Present, Absent, Unknown };

struct DeviceNodeState {
    Presence presence;
    LONG problem;  // when present: the problem number, 0 without a problem
};

// The state of the device node of instancePath (relative to the enumeration
// tree). Unknown when the functions cannot be had, or when the configuration
// manager answers neither "present" nor "no such device node".
DeviceNodeState AskConfigManager(const char* instancePath) noexcept;

}  // namespace devices
