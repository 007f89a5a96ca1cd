// The memory figures of the machine in megabytes, read at every call.
#pragma once

#include <windows.h>

namespace sysinfo {

enum class MemoryFigure { TotalPhys, AvailPhys, TotalPageFile, AvailPageFile };

// Whole megabytes (rounded down), at most the largest long; -1 when the memory status
// cannot be read.
LONG MemoryInMB(MemoryFigure figure) noexcept;

}  // namespace sysinfo
