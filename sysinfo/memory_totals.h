// The machine's memory in bytes, whole: GlobalMemoryStatusEx where the system
// has it (Windows 2000 and later, looked up by name), else GlobalMemoryStatus,
// whose 32-bit fields cap the totals (2 GB for a process that is not
// large-address-aware, 4 GB otherwise, all ones on overflow).
#pragma once

namespace sysinfo {

struct MemoryTotals {
    unsigned long long totalPhys, availPhys, totalPageFile, availPageFile, totalVirtual,
        availVirtual;
};

// Fills out and returns true when either call gave a record; false, with out
// zeroed, when neither did (the older call's record is known by its length).
bool ReadMemoryTotals(MemoryTotals& out) noexcept;

}  // namespace sysinfo
