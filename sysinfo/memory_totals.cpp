#include "sysinfo/memory_totals.h"

#include <windows.h>

#include "platform/platform.h"
#include "platform/system_function.h"

namespace sysinfo {

namespace {

platform::SystemFunction<BOOL(WINAPI*)(LPMEMORYSTATUSEX)> gGlobalMemoryStatusEx{
    "kernel32.dll", "GlobalMemoryStatusEx"};

bool ReadExtended(MemoryTotals& out) noexcept {
    const auto globalMemoryStatusEx = gGlobalMemoryStatusEx.Get();
    if (!globalMemoryStatusEx) return false;
    MEMORYSTATUSEX record{};
    record.dwLength = sizeof record;
    if (!globalMemoryStatusEx(&record)) return false;
    out = {record.ullTotalPhys,     record.ullAvailPhys,    record.ullTotalPageFile,
           record.ullAvailPageFile, record.ullTotalVirtual, record.ullAvailVirtual};
    return true;
}

// The call reports no failure; a record whose length is not its own was not filled.
bool ReadCapped(MemoryTotals& out) noexcept {
    MEMORYSTATUS record{};
    record.dwLength = sizeof record;
    platform::GlobalMemoryStatus(&record);
    if (record.dwLength != sizeof record) return false;
    out = {record.dwTotalPhys,     record.dwAvailPhys,    record.dwTotalPageFile,
           record.dwAvailPageFile, record.dwTotalVirtual, record.dwAvailVirtual};
    return true;
}

}  // namespace

bool ReadMemoryTotals(MemoryTotals& out) noexcept {
    out = MemoryTotals{};
    if (ReadExtended(out) || ReadCapped(out)) return true;
    out = MemoryTotals{};
    return false;
}

}  // namespace sysinfo
