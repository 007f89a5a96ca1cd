// Placeholder bodies so that the object links while the queries are written.
#include "sysinfo/fixed_disks.h"
#include "sysinfo/hw_info_core.h"
#include "sysinfo/module_directory.h"

namespace sysinfo {

bool IsNtPlatform() noexcept { return false; }
void ForgetPlatformRecord() noexcept {}

HwInfoCore::HwInfoCore() noexcept
    : computerName_{}, sysDir_{}, winDir_{}, owner_{}, organization_{}, productId_{},
      oemMaker_{}, oemModel_{}, processorId_{}, processorMmx_{}, processorVendor_{},
      systemInfo_{}, osName_{}, osVersion_{}, csd_{}, version_{}, memory_{}, power_{} {}
HwInfoCore::~HwInfoCore() = default;

int HwInfoCore::ReadHklmValue(const char*, const char*, void*, int) noexcept { return 0; }
const char* HwInfoCore::SysDir() noexcept { return sysDir_; }
const char* HwInfoCore::WinDir() noexcept { return winDir_; }
const char* HwInfoCore::ComputerName() noexcept { return computerName_; }
const char* HwInfoCore::CSD() noexcept { return csd_; }
LONG HwInfoCore::BootMode() noexcept { return 0; }
LONG HwInfoCore::DebugEnabled() noexcept { return 0; }
LONG HwInfoCore::NumberOfProcessors() noexcept { return 0; }
LONG HwInfoCore::MemoryTotalPhys() noexcept { return 0; }
LONG HwInfoCore::MemoryTotalPageFile() noexcept { return 0; }
LONG HwInfoCore::MemoryTotalVirtual() noexcept { return 0; }
LONG HwInfoCore::PowerStatus() noexcept { return 0; }
LONG HwInfoCore::BatteryStatus() noexcept { return 0; }
LONG HwInfoCore::BatteryLifeTime() noexcept { return 0; }
LONG HwInfoCore::BatteryFullLifeTime() noexcept { return 0; }
LONG HwInfoCore::DockedInfo() noexcept { return 4; }
const char* HwInfoCore::CurrentHWProfile() noexcept { return ""; }
const char* HwInfoCore::OSName() noexcept { return osName_; }
const char* HwInfoCore::OSVersion() noexcept { return osVersion_; }
const char* HwInfoCore::RegOwnerName() noexcept { return owner_; }
const char* HwInfoCore::RegOrganization() noexcept { return organization_; }
const char* HwInfoCore::RegID() noexcept { return productId_; }
const char* HwInfoCore::MfgName() noexcept { return oemMaker_; }
const char* HwInfoCore::MfgComputerModel() noexcept { return oemModel_; }
const char* HwInfoCore::ProcessorId(LONG) noexcept { return processorId_; }
const char* HwInfoCore::ProcessorMMXId(LONG) noexcept { return processorMmx_; }
const char* HwInfoCore::ProcessorVendorId(LONG) noexcept { return processorVendor_; }
LONG HwInfoCore::ProcessorSpeed(LONG) noexcept { return 0; }

namespace {
HMODULE g_instance = nullptr;
char g_directory[MAX_PATH] = {};
}  // namespace
void SetModuleInstance(HMODULE instance) noexcept { g_instance = instance; }
HMODULE ModuleInstance() noexcept { return g_instance; }
const char* ModuleDirectory() noexcept { return g_directory; }
void ForgetModuleDirectory() noexcept { g_directory[0] = 0; }

int QueryDiskGeometry(LONG, DISK_GEOMETRY*) noexcept { return 0; }
int QueryDriveSpace(const char*, ULONGLONG*, ULONGLONG*) noexcept { return 0; }
HRESULT FixedDiskSizeInMB(LONG, LONG* plSize) noexcept { return plSize ? E_FAIL : E_POINTER; }
HRESULT FixedDisksSizeInMB(LONG* pVal) noexcept { return pVal ? E_NOTIMPL : E_POINTER; }
HRESULT FixedDisksFreeSpaceInMB(LONG* pVal) noexcept { return pVal ? E_NOTIMPL : E_POINTER; }

}  // namespace sysinfo
