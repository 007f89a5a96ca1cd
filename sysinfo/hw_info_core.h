// HwInfoCore: the query engine embedded in every hardware-information object.
//
// It owns the fixed result buffers that its text routines answer in and three
// records taken from the system once, at construction (system information,
// version, memory), plus the power record. Text routines return a pointer to
// their own buffer; the next call of the same routine overwrites it. Nothing
// here allocates: every buffer is a member or on the stack.
#pragma once

#include <windows.h>

#include "sysinfo/memory_totals.h"

namespace sysinfo {

// A text the members answer from a registry value or an INI entry, terminator included.
constexpr DWORD kAnswerTextSize = 1040;
constexpr DWORD kDirSize = MAX_PATH;
constexpr DWORD kComputerNameSize = 16;

class HwInfoCore {
public:
    HwInfoCore() noexcept;
    HwInfoCore(const HwInfoCore&) = delete;
    HwInfoCore& operator=(const HwInfoCore&) = delete;

    // Reads valueName of subKey under HKEY_LOCAL_MACHINE into destination.
    // True when the read succeeded with more than one byte; destination always
    // ends up zero-terminated (empty after any failure) unless it was refused
    // (null, size <= 0, no value name), in which case it is not touched.
    bool ReadHklmValue(const char* subKey, const char* valueName, void* destination,
                       int size) noexcept;

    // Direct routines.
    const char* SysDir() noexcept;
    const char* WinDir() noexcept;
    const char* ComputerName() noexcept;
    const char* CSD() noexcept;
    LONG BootMode() noexcept;
    LONG DebugEnabled() noexcept;
    LONG NumberOfProcessors() noexcept;
    LONG MemoryTotalPhys() noexcept;
    LONG MemoryTotalPageFile() noexcept;
    LONG MemoryTotalVirtual() noexcept;
    // One total of the memory record as a long, saturated at 0x7FFFFFFF, or -1
    // when no record was taken.
    LONG MemoryTotal(unsigned long long total) const noexcept;
    LONG PowerStatus() noexcept;
    LONG BatteryStatus() noexcept;
    LONG BatteryLifeTime() noexcept;
    LONG BatteryFullLifeTime() noexcept;
    LONG DockedInfo() noexcept;
    const char* CurrentHWProfile() noexcept;

    // Operating-system and owner identity.
    const char* OSName() noexcept;
    const char* OSVersion() noexcept;
    const char* RegOwnerName() noexcept;
    const char* RegOrganization() noexcept;
    const char* RegID() noexcept;
    const char* MfgName() noexcept;
    const char* MfgComputerModel() noexcept;

    // Processors, numbered from 1.
    const char* ProcessorId(LONG processor) noexcept;
    const char* ProcessorMMXId(LONG processor) noexcept;
    const char* ProcessorVendorId(LONG processor) noexcept;
    LONG ProcessorSpeed(LONG processor) noexcept;

    // The snapshot records, in the order and layout the object keeps them.
    char computerName_[kComputerNameSize];
    char sysDir_[kDirSize];
    char winDir_[kDirSize];
    char owner_[kAnswerTextSize];
    char organization_[kAnswerTextSize];
    char productId_[kAnswerTextSize];
    char oemMaker_[kAnswerTextSize];
    char oemModel_[kAnswerTextSize];
    char processorId_[kAnswerTextSize];
    char processorMmx_[kAnswerTextSize];
    char processorVendor_[kAnswerTextSize];
    SYSTEM_INFO systemInfo_;
    char osName_[kAnswerTextSize];
    char osVersion_[kAnswerTextSize];
    char csd_[kAnswerTextSize];
    OSVERSIONINFOA version_;
    MemoryTotals memory_;
    bool memoryTaken_;
    SYSTEM_POWER_STATUS power_;
};

}  // namespace sysinfo
