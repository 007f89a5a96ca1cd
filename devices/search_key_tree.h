// SearchKeyTree: how the NT family finds a routed class's devices.
#pragma once

#include <windows.h>

namespace devices {

// Depth-first search below root for keys whose valueName is non-empty and,
// when expected is not null, equal to expected without regard to case. Every
// such key that is not "Hidden" counts; the one met while *counter is 0 is the
// device, and its path goes to keyBuffer (keyBufferSize bytes). True when found.
bool SearchKeyTree(LONG* counter, const char* root, const char* valueName, const char* expected,
                   char* keyBuffer, DWORD keyBufferSize) noexcept;

}  // namespace devices
