// The battery's remaining charge, read from the power status at every call.
#pragma once

#include <windows.h>

namespace sysinfo {

// 0 to 100; -1 when the status cannot be read, the system has no battery, or the charge
// is unknown (255) or out of range.
LONG BatteryLifePercent() noexcept;

}  // namespace sysinfo
