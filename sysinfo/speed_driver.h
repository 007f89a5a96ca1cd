// The processor-speed driver "Rurovezo.zuv" beside the library (9x family).
#pragma once

#include <windows.h>

namespace sysinfo {

// Sets value to 0, then to the driver's clock rate in MHz when the request
// succeeds. True when the request succeeded.
bool QuerySpeedDriver(LONG* value) noexcept;

}  // namespace sysinfo
