// A modem's speed, derived from its description by ModemSpeedTable.
#pragma once

#include <windows.h>

namespace devices {

// The description just read into buffer (count bytes returned, bufferSize
// bytes of room) becomes the speed of the first ModemSpeedTable row whose
// pattern it holds: a 32-bit little-endian number in the buffer's first four
// bytes, with type REG_DWORD. A value that is no text is left as it was read.
// False when no pattern occurs or the buffer cannot hold four bytes.
bool ModemSpeedFromDescription(DWORD bufferSize, DWORD count, DWORD* type, BYTE* buffer) noexcept;

}  // namespace devices
