// The processor-topology functions fill a caller's buffer with variable
// records. The buffer is on the stack and fixed: a machine whose records do
// not fit (more than about 300 cores) is answered by the next source down.
#include "sysinfo/processor_counts.h"

#include "platform/platform.h"
#include "platform/system_function.h"

namespace sysinfo {

namespace {

using GetActiveProcessorCountFunction = DWORD(WINAPI*)(WORD);
using GetLogicalProcessorInformationFunction = BOOL(WINAPI*)(SYSTEM_LOGICAL_PROCESSOR_INFORMATION*,
                                                             DWORD*);
using GetLogicalProcessorInformationExFunction =
    BOOL(WINAPI*)(LOGICAL_PROCESSOR_RELATIONSHIP, SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*,
                  DWORD*);

platform::SystemFunction<GetActiveProcessorCountFunction> getActiveProcessorCount{
    "kernel32.dll", "GetActiveProcessorCount"};
platform::SystemFunction<GetLogicalProcessorInformationFunction> getLogicalProcessorInformation{
    "kernel32.dll", "GetLogicalProcessorInformation"};
platform::SystemFunction<GetLogicalProcessorInformationExFunction>
    getLogicalProcessorInformationEx{"kernel32.dll", "GetLogicalProcessorInformationEx"};

constexpr WORD kAllProcessorGroups = 0xFFFF;
constexpr DWORD kTopologyBufferSize = 16384;

// A record buffer aligned for the records' pointer-sized masks.
union TopologyBuffer {
    ULONG_PTR align;
    unsigned char bytes[kTopologyBufferSize];
};

LONG CountBits(ULONG_PTR mask) noexcept {
    LONG count = 0;
    for (; mask; mask &= mask - 1) ++count;
    return count;
}

// The records a topology query writes into buffer, as a byte count; 0 when the
// function is missing or fails, or its records do not fit.
template <typename Record, typename Function, typename... Leading>
DWORD ReadTopology(platform::SystemFunction<Function>& slot, TopologyBuffer& buffer,
                   Leading... leading) noexcept {
    const Function query = slot.Get();
    if (!query) return 0;
    DWORD size = sizeof buffer.bytes;
    auto* records = reinterpret_cast<Record*>(buffer.bytes);
    if (!query(leading..., records, &size) || size > sizeof buffer.bytes) return 0;
    return size;
}

struct CoreTally {
    LONG cores = 0;
    LONG logical = 0;
};

// Every group's cores; false when the function is missing, fails or its records do not fit.
// The logical processors of every group come from GetActiveProcessorCount, which every
// system with this function has.
bool CountAllGroupsCores(LONG& cores) noexcept {
    TopologyBuffer buffer;
    const DWORD size = ReadTopology<SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX>(
        getLogicalProcessorInformationEx, buffer, RelationProcessorCore);
    for (DWORD offset = 0; offset < size;) {
        const auto* record =
            reinterpret_cast<const SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX*>(buffer.bytes + offset);
        // A record must at least hold its own header and move the walk on.
        if (size - offset < offsetof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX, Processor) ||
            record->Size == 0 || record->Size > size - offset)
            return false;
        if (record->Relationship == RelationProcessorCore) ++cores;
        offset += record->Size;
    }
    return cores > 0;
}

// The caller's group's cores (the only group before Windows 7).
bool TallyOwnGroup(CoreTally& tally) noexcept {
    TopologyBuffer buffer;
    const DWORD size =
        ReadTopology<SYSTEM_LOGICAL_PROCESSOR_INFORMATION>(getLogicalProcessorInformation, buffer);
    const auto* records = reinterpret_cast<const SYSTEM_LOGICAL_PROCESSOR_INFORMATION*>(buffer.bytes);
    const DWORD count = size / sizeof(SYSTEM_LOGICAL_PROCESSOR_INFORMATION);
    for (DWORD i = 0; i < count; ++i) {
        if (records[i].Relationship != RelationProcessorCore) continue;
        ++tally.cores;
        tally.logical += CountBits(records[i].ProcessorMask);
    }
    return tally.cores > 0;
}

LONG RecordCount() noexcept {
    SYSTEM_INFO info{};
    platform::GetSystemInfo(&info);
    return static_cast<LONG>(info.dwNumberOfProcessors);
}

}  // namespace

LONG ProcessorCoreCount() noexcept {
    LONG cores = 0;
    if (CountAllGroupsCores(cores)) return cores;
    CoreTally tally;
    if (TallyOwnGroup(tally)) return tally.cores;
    return RecordCount();
}

LONG ProcessorLogicalCount() noexcept {
    if (const GetActiveProcessorCountFunction query = getActiveProcessorCount.Get()) {
        const DWORD count = query(kAllProcessorGroups);
        if (count > 0) return static_cast<LONG>(count);
    }
    CoreTally tally;
    if (TallyOwnGroup(tally) && tally.logical > 0) return tally.logical;
    return RecordCount();
}

}  // namespace sysinfo
