// ServicesEnumWalk: how the NT family finds the devices of a class without a
// route of its own.
#pragma once

#include <windows.h>

namespace devices {

// Finds device deviceNumber of deviceClass among the instances that the
// services list in their "Enum" keys. True when found.
bool ServicesEnumWalk(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                      DWORD keyBufferSize, LONG* status) noexcept;

}  // namespace devices
