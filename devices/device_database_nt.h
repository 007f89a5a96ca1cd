// The pieces of the NT family's device database that its two entry points
// (FindDeviceKeyNt and ReadDeviceValueNt, declared with the device queries)
// are built from.
#pragma once

#include <windows.h>

namespace devices {

// Depth-first search below root for keys whose valueName is non-empty and,
// when expected is not null, equal to expected without regard to case. Every
// such key that is not "Hidden" counts; the one met while *counter is 0 is the
// device, and its path goes to keyBuffer (keyBufferSize bytes). 1 when found.
int SearchKeyTree(LONG* counter, const char* root, const char* valueName, const char* expected,
                  char* keyBuffer, DWORD keyBufferSize) noexcept;

// Finds device deviceNumber of deviceClass among the instances that the
// services list in their "Enum" keys. 1 when found.
int ServicesEnumWalk(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                     DWORD keyBufferSize, LONG* status) noexcept;

// Reads valueName from the SCSI port key that holds deviceKey (subkey unused).
int ReadScsiPortValue(const char* deviceKey, const char* subkey, const char* valueName,
                      DWORD* type, BYTE* buffer, DWORD* size) noexcept;

}  // namespace devices
