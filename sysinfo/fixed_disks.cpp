// Disk capacities in megabytes: one physical disk from its geometry, and the
// sums of total and free space over the fixed drive letters.
//
// Nothing is kept between calls: every call opens, asks and closes what it
// needs. Each drive letter counts in whole kilobytes (rounded down) and the
// sum once more in whole megabytes, so three drives of 1.5 MB give 4 MB.
#include "sysinfo/fixed_disks.h"

#include "platform/owned.h"
#include "platform/platform.h"
#include "platform/system_function.h"

namespace sysinfo {

namespace {

constexpr DWORD kPhysicalDriveNameSize = 32;
constexpr WORD kLastBuildWithoutSpaceEx = 1000;

// Kernel32 of early 9x systems lacks GetDiskFreeSpaceExA.
platform::SystemFunction<BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER)>
    g_getDiskFreeSpaceEx{"kernel32.dll", "GetDiskFreeSpaceExA"};

enum class DriveCount { TotalBytes, FreeBytes };

bool QueryDriveSpaceByClusters(const char* root, ULONGLONG* freeBytes,
                               ULONGLONG* totalBytes) noexcept {
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD totalClusters = 0;
    const BOOL ok = platform::GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector,
                                                &freeClusters, &totalClusters);
    if (!ok) return false;
    const ULONGLONG bytesPerCluster =
        static_cast<ULONGLONG>(sectorsPerCluster) * static_cast<ULONGLONG>(bytesPerSector);
    if (totalBytes != nullptr) *totalBytes = bytesPerCluster * totalClusters;
    if (freeBytes != nullptr) *freeBytes = bytesPerCluster * freeClusters;
    return true;
}

bool QueryDriveSpaceEx(const char* root, ULONGLONG* freeBytes, ULONGLONG* totalBytes) noexcept {
    const auto getDiskFreeSpaceEx = g_getDiskFreeSpaceEx.Get();
    if (getDiskFreeSpaceEx == nullptr) return false;

    ULARGE_INTEGER availableToCaller{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER totalFree{};
    if (!getDiskFreeSpaceEx(root, &availableToCaller, &total, &totalFree)) return false;
    // The volume's free space, not the caller's quota.
    if (totalBytes != nullptr) *totalBytes = total.QuadPart;
    if (freeBytes != nullptr) *freeBytes = totalFree.QuadPart;
    return true;
}

LONG SumFixedDrives(DriveCount count) noexcept {
    ULONGLONG kilobytes = 0;
    // One call names every letter that has a root directory; only those are asked their type.
    const DWORD present = platform::GetLogicalDrives();
    char root[] = "A:\\";
    for (int letter = 0; letter < 26; ++letter) {
        if ((present & (1u << letter)) == 0) continue;
        root[0] = static_cast<char>('A' + letter);
        if (platform::GetDriveTypeA(root) != DRIVE_FIXED) continue;
        ULONGLONG freeBytes = 0;
        ULONGLONG totalBytes = 0;
        if (!QueryDriveSpace(root, &freeBytes, &totalBytes)) continue;
        kilobytes += (count == DriveCount::TotalBytes ? totalBytes : freeBytes) >> 10;
    }
    return static_cast<LONG>(static_cast<DWORD>(kilobytes >> 10));
}

}  // namespace

bool QueryDiskGeometry(LONG disk, DISK_GEOMETRY* geometry) noexcept {
    if (geometry == nullptr) return false;
    // "\\.\physicaldrive" and at most 11 characters of a signed number always fit.
    char name[kPhysicalDriveNameSize];
    wsprintfA(name, "\\\\.\\physicaldrive%d", static_cast<int>(disk));

    // No data access: the geometry request needs none, and reading a physical
    // drive is for administrators only, while asking its geometry is for everyone.
    platform::DeviceFile device(platform::CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device) return false;
    ZeroMemory(geometry, sizeof(*geometry));
    DWORD returned = 0;
    const BOOL ok = platform::DeviceIoControl(device.Get(), IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr,
                                              0, geometry, sizeof(*geometry), &returned, nullptr);
    return ok != FALSE;
}

bool QueryDriveSpace(const char* root, ULONGLONG* freeBytes, ULONGLONG* totalBytes) noexcept {
    if (root == nullptr || root[0] == '\0') return false;

    // Asked anew at every call, as the space query of the 9x family depends on its build.
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    platform::GetVersionExA(&version);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS &&
        LOWORD(version.dwBuildNumber) <= kLastBuildWithoutSpaceEx)
        return QueryDriveSpaceByClusters(root, freeBytes, totalBytes);
    return QueryDriveSpaceEx(root, freeBytes, totalBytes);
}

// Reports the disk asked for itself, never a later disk of the same run of fixed disks.
bool FixedDiskSizeInMB(LONG disk, LONG* size) noexcept {
    DISK_GEOMETRY geometry{};
    if (!QueryDiskGeometry(disk, &geometry)) return false;
    if (geometry.MediaType != FixedMedia) return false;
    // Multiplied without sign so that an absurd geometry wraps instead of overflowing.
    const ULONGLONG product = static_cast<ULONGLONG>(geometry.Cylinders.QuadPart) *
                              geometry.TracksPerCylinder * geometry.SectorsPerTrack *
                              geometry.BytesPerSector;
    const LONGLONG megabytes = static_cast<LONGLONG>(product) >> 20;
    *size = static_cast<LONG>(static_cast<DWORD>(static_cast<ULONGLONG>(megabytes)));
    return true;
}

LONG FixedDisksSizeInMB() noexcept { return SumFixedDrives(DriveCount::TotalBytes); }

LONG FixedDisksFreeSpaceInMB() noexcept { return SumFixedDrives(DriveCount::FreeBytes); }

}  // namespace sysinfo
