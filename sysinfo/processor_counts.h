// Physical cores and logical processors of the whole machine, over every
// processor group.
#pragma once

#include <windows.h>

namespace sysinfo {

// Asked afresh at every call. Cores: GetLogicalProcessorInformationEx (Windows 7 and
// later, every group), else GetLogicalProcessorInformation (XP SP3 and later), else the
// system-information record's processor count. Logical processors: GetActiveProcessorCount
// (Windows 7 and later, every group), else the processors of the cores
// GetLogicalProcessorInformation lists, else the same record's count.
LONG ProcessorCoreCount() noexcept;
LONG ProcessorLogicalCount() noexcept;

}  // namespace sysinfo
