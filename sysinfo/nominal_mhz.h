// Nominal processor clock rates and the lookup that rounds a measured rate to one.
#pragma once

#include <windows.h>

namespace sysinfo {

// Ends with 0. A measured rate within a twentieth (whole MHz, rounded down)
// of a rate is given as that rate; the first such rate in this order wins.
constexpr LONG NominalMhzTable[] = {12,  16,  20,  25,  33,  40,  50,  60,  66,
                                    75,  80,  90,  100, 120, 133, 150, 166, 200,
                                    233, 266, 300, 333, 400, 450, 500, 550, 0};

// The nominal rate whose window holds measured, or measured unchanged.
LONG NominalMhz(LONG measured) noexcept;

}  // namespace sysinfo
