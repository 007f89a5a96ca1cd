// Construction of HwInfoCore and the routines that answer from its snapshot
// records or from one system call.
//
// The system-information, memory and version records are taken once, here,
// and never refreshed; the power record too, since nothing else fills it.
// Directory and computer-name texts are asked again at every call.
#include "sysinfo/hw_info_core.h"

#include <climits>
#include <cstring>
#include <initializer_list>

#include "platform/platform.h"
#include "sysinfo/bounded_text.h"

namespace sysinfo {

namespace {

constexpr LONG kBootModeUnknown = 3;
constexpr LONG kDockInfoUnknown = 4;
constexpr BYTE kAcLineUnknown = 255;

const char kEmptyText[] = "";

// A directory query answers the length it wrote, or the size it needs when
// the buffer is too small; only the first kind leaves text worth keeping.
void KeepDirectoryIfItFit(char* buffer, UINT size, UINT answered) noexcept {
    if (answered == 0 || answered >= size) buffer[0] = '\0';
    buffer[size - 1] = '\0';
}

}  // namespace

HwInfoCore::HwInfoCore() noexcept {
    for (char* text : {computerName_, sysDir_, winDir_, owner_, organization_, productId_,
                       oemMaker_, oemModel_, processorId_, processorMmx_, processorVendor_,
                       osName_, osVersion_, csd_})
        text[0] = '\0';

    std::memset(&systemInfo_, 0, sizeof(systemInfo_));
    std::memset(&version_, 0, sizeof(version_));
    version_.dwOSVersionInfoSize = sizeof(version_);
    std::memset(&power_, 0, sizeof(power_));

    platform::GetSystemInfo(&systemInfo_);
    memoryTaken_ = ReadMemoryTotals(memory_);
    platform::GetVersionExA(&version_);
    if (!platform::GetSystemPowerStatus(&power_)) std::memset(&power_, 0, sizeof(power_));
}

const char* HwInfoCore::SysDir() noexcept {
    sysDir_[0] = '\0';
    KeepDirectoryIfItFit(sysDir_, kDirSize, platform::GetSystemDirectoryA(sysDir_, kDirSize));
    return sysDir_;
}

const char* HwInfoCore::WinDir() noexcept {
    winDir_[0] = '\0';
    KeepDirectoryIfItFit(winDir_, kDirSize, platform::GetWindowsDirectoryA(winDir_, kDirSize));
    return winDir_;
}

const char* HwInfoCore::ComputerName() noexcept {
    computerName_[0] = '\0';
    DWORD size = kComputerNameSize;
    if (!platform::GetComputerNameA(computerName_, &size)) computerName_[0] = '\0';
    computerName_[kComputerNameSize - 1] = '\0';
    return computerName_;
}

const char* HwInfoCore::CSD() noexcept {
    csd_[0] = '\0';
    if (version_.dwOSVersionInfoSize == sizeof(OSVERSIONINFOA))
        CopyTextField(csd_, sizeof(csd_), version_.szCSDVersion, sizeof(version_.szCSDVersion));
    return csd_;
}

LONG HwInfoCore::BootMode() noexcept {
    const int mode = platform::GetSystemMetrics(SM_CLEANBOOT);
    return mode < kBootModeUnknown ? mode : kBootModeUnknown;
}

LONG HwInfoCore::DebugEnabled() noexcept { return platform::GetSystemMetrics(SM_DEBUG); }

LONG HwInfoCore::NumberOfProcessors() noexcept {
    return static_cast<LONG>(systemInfo_.dwNumberOfProcessors);
}

LONG HwInfoCore::MemoryTotalPhys() noexcept { return MemoryTotal(memory_.totalPhys); }

LONG HwInfoCore::MemoryTotalPageFile() noexcept { return MemoryTotal(memory_.totalPageFile); }

LONG HwInfoCore::MemoryTotalVirtual() noexcept { return MemoryTotal(memory_.totalVirtual); }

// The members answer a long: a total of 2 GB or more is reported as the
// largest long, never wrapped to a negative number or to the -1 that means
// "no record".
LONG HwInfoCore::MemoryTotal(unsigned long long total) const noexcept {
    if (!memoryTaken_) return -1;
    return total > static_cast<unsigned long long>(LONG_MAX) ? LONG_MAX : static_cast<LONG>(total);
}

LONG HwInfoCore::PowerStatus() noexcept {
    return power_.ACLineStatus == kAcLineUnknown ? -1 : static_cast<LONG>(power_.ACLineStatus);
}

LONG HwInfoCore::BatteryStatus() noexcept { return static_cast<LONG>(power_.BatteryFlag); }

LONG HwInfoCore::BatteryLifeTime() noexcept { return static_cast<LONG>(power_.BatteryLifeTime); }

LONG HwInfoCore::BatteryFullLifeTime() noexcept {
    return static_cast<LONG>(power_.BatteryFullLifeTime);
}

LONG HwInfoCore::DockedInfo() noexcept { return kDockInfoUnknown; }

const char* HwInfoCore::CurrentHWProfile() noexcept { return kEmptyText; }

}  // namespace sysinfo
