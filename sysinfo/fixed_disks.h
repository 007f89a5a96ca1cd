// Disk capacities in megabytes (2^20 bytes, rounded down), computed from the
// system at every call: one physical disk's geometry, and the sums over the
// fixed drive letters.
#pragma once

#include <windows.h>
#include <winioctl.h>

namespace sysinfo {

// True when physical disk n opened and answered the geometry request.
bool QueryDiskGeometry(LONG disk, DISK_GEOMETRY* geometry) noexcept;
// True when the space query of the drive root succeeded.
bool QueryDriveSpace(const char* root, ULONGLONG* freeBytes, ULONGLONG* totalBytes) noexcept;

// False, with size untouched, when disk is missing or no fixed disk.
bool FixedDiskSizeInMB(LONG disk, LONG* size) noexcept;
LONG FixedDisksSizeInMB() noexcept;
LONG FixedDisksFreeSpaceInMB() noexcept;

}  // namespace sysinfo
