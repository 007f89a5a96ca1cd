#include "sysinfo/memory_in_mb.h"

#include "sysinfo/memory_totals.h"

namespace sysinfo {

namespace {

constexpr unsigned long long kBytesPerMB = 1024ULL * 1024ULL;
constexpr unsigned long long kLargestLong = 0x7FFFFFFFULL;

}  // namespace

LONG MemoryInMB(MemoryFigure figure) noexcept {
    MemoryTotals totals{};
    if (!ReadMemoryTotals(totals)) return -1;
    unsigned long long bytes = 0;
    switch (figure) {
    case MemoryFigure::TotalPhys: bytes = totals.totalPhys; break;
    case MemoryFigure::AvailPhys: bytes = totals.availPhys; break;
    case MemoryFigure::TotalPageFile: bytes = totals.totalPageFile; break;
    case MemoryFigure::AvailPageFile: bytes = totals.availPageFile; break;
    }
    const unsigned long long megabytes = bytes / kBytesPerMB;
    return static_cast<LONG>(megabytes > kLargestLong ? kLargestLong : megabytes);
}

}  // namespace sysinfo
