// The processor-speed driver "Rurovezo.zuv" beside the library (9x family).
#pragma once

#include <windows.h>

namespace sysinfo {

// Sets value to 0, then to the driver's clock rate in MHz when the request
// succeeds. Non-zero when the request succeeded.
int QuerySpeedDriver(LONG* value) noexcept;

}  // namespace sysinfo
