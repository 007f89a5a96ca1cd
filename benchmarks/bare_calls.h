// The platform calls that each member's answer makes afresh on the NT
// family, made directly by the benchmark program: the same registry reads
// (each an open, a query and a close of the key the component reads, in its
// order), INI reads, system calls, device requests and walks, without the
// component around them. The benchmark sets each beside its member.
#pragma once

#include <windows.h>

namespace bare {

using Routine = void (*)();

// The arguments both sides use, in the seeded prefix: processor 1, physical
// disk 0, and a display adapter that the services walk finds as device 0.
constexpr LONG kProcessor = 1;
constexpr LONG kDisk = 0;
constexpr char kDeviceClass[] = "Display";
constexpr char kDeviceKey[] = "System\\CurrentControlSet\\Enum\\PCI\\VEN_1002&DEV_5246\\4&2";
constexpr char kDeviceValue[] = "DeviceDesc";

// True when the processor record taken at creation names the processor, so
// that ProcessorId reads nothing afresh.
bool ProcessorNamedByRecord();

void OSName();
void OSVersion();
void ComputerName();
void BootMode();
void SysDir();
void WinDir();
void DebugEnabled();
void RegOwnerName();
void RegOrganization();
void RegID();
void MfgName();
void MfgComputerModel();
void ProcessorId();
void ProcessorMMXId();
void ProcessorVendorId();
void ProcessorSpeed();
void GetDeviceInfo();
void FindDevice();
void FixedDiskSizeInMB();
void FixedDisksSizeInMB();
void FixedDisksFreeSpaceInMB();
void HasSCSIBus();
void HasAGPBus();
void MemoryStatusEx();
void OSBuild();
void OSDisplayVersion();
void OSEdition();
void OSArchitecture();
void ProcessorName();
void ProcessorCoreCount();
void ProcessorLogicalCount();
void BIOSVendor();
void BIOSVersion();
void BIOSReleaseDate();
void SystemFamily();
void BaseBoardManufacturer();
void BaseBoardProduct();
void BatteryLifePercent();

// The key the last walk found, for checking that it found what the member did.
const char* FoundKey();

}  // namespace bare
