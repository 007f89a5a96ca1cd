// Values that no device key holds: each is asked for by a name of its own and
// derived from another value, read in its place. The byte count handed back
// stays that of the value read.
#pragma once

#include <windows.h>

#include "devices/modem_speed.h"

namespace devices {

// (room of the buffer, bytes read, type, buffer) -> whether the derived value stands
using PseudoValueDerivation = bool (*)(DWORD bufferSize, DWORD count, DWORD* type,
                                       BYTE* buffer) noexcept;

struct DevicePseudoValue {
    const char* askedName;  // compared without regard to case
    const char* nameRead;
    PseudoValueDerivation derive;
};

constexpr DevicePseudoValue DevicePseudoValueTable[] = {
    {"Speed", "DeviceDesc", ModemSpeedFromDescription},
};

}  // namespace devices
