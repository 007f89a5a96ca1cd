// Which caller-given keys the device queries read (device_key_check.cpp).
#pragma once

#include "devices/device_family.h"

namespace devices {

// True when deviceKey lies plainly below one of the family's device roots:
// the root (without regard to case), a backslash, and one or more non-empty
// components, none of them "." or "..".
bool IsDeviceKeyOfFamily(const char* deviceKey, const DeviceFamily& family) noexcept;

// True when path is one or more non-empty components joined by backslashes,
// none of them "." or ".." (nor such a piece between forward slashes).
bool IsPlainRelativePath(const char* path) noexcept;

}  // namespace devices
