// The members that ask later systems' functions about the machine itself:
// its architecture, its cores and logical processors, its battery. Each table
// runs through the sources from the newest system's down to the record every
// Windows has; the fakes answer from the described machine as the platform
// documentation says the real functions do.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sysinfo/battery_percent.h"
#include "sysinfo/os_architecture.h"
#include "sysinfo/processor_counts.h"
#include "test_support.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Current;
using platform::fake::Machine;
using Describe = std::unique_ptr<Machine> (*)();

// ---- Fakes of the later systems' functions --------------------------------

BOOL WINAPI FakeIsWow64Process2(HANDLE, USHORT* process, USHORT* native) {
    const Machine& m = *Current();
    if (m.nativeMachine == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *process = 0x014C;  // this test program's own machine does not matter to the answer
    *native = m.nativeMachine;
    return TRUE;
}

void WINAPI FakeGetNativeSystemInfo(SYSTEM_INFO* info) { *info = Current()->nativeSystemInfo; }

DWORD WINAPI FakeGetActiveProcessorCount(WORD group) {
    return group == 0xFFFF ? Current()->activeProcessorCount : 0;
}

// Fills what fits of the records, or answers ERROR_INSUFFICIENT_BUFFER with the size needed.
BOOL Answer(const std::vector<unsigned char>& records, void* buffer, DWORD* length) {
    const DWORD needed = static_cast<DWORD>(records.size());
    if (*length < needed) {
        *length = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, records.data(), needed);
    *length = needed;
    return TRUE;
}

// Only the caller's group, group 0, as on systems without processor groups.
BOOL WINAPI FakeGetLogicalProcessorInformation(SYSTEM_LOGICAL_PROCESSOR_INFORMATION* buffer,
                                               DWORD* length) {
    std::vector<unsigned char> records;
    for (const Machine::ProcessorCore& core : Current()->processorCores) {
        if (core.group != 0) continue;
        SYSTEM_LOGICAL_PROCESSOR_INFORMATION record{};
        record.ProcessorMask = core.mask;
        record.Relationship = RelationProcessorCore;
        const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
        records.insert(records.end(), bytes, bytes + sizeof record);
    }
    // A cache record in between, which the count must skip.
    SYSTEM_LOGICAL_PROCESSOR_INFORMATION cache{};
    cache.ProcessorMask = 1;
    cache.Relationship = RelationCache;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&cache);
    records.insert(records.begin(), bytes, bytes + sizeof cache);
    return Answer(records, buffer, length);
}

BOOL WINAPI FakeGetLogicalProcessorInformationEx(LOGICAL_PROCESSOR_RELATIONSHIP relation,
                                                 SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX* buffer,
                                                 DWORD* length) {
    std::vector<unsigned char> records;
    if (relation == RelationProcessorCore) {
        for (const Machine::ProcessorCore& core : Current()->processorCores) {
            SYSTEM_LOGICAL_PROCESSOR_INFORMATION_EX record{};
            record.Relationship = RelationProcessorCore;
            record.Size = sizeof record;
            record.Processor.GroupCount = 1;
            record.Processor.GroupMask[0].Group = core.group;
            record.Processor.GroupMask[0].Mask = core.mask;
            const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
            records.insert(records.end(), bytes, bytes + sizeof record);
        }
    }
    return Answer(records, buffer, length);
}

enum Offers : unsigned {
    kNone = 0,
    kIsWow64Process2 = 1,
    kNativeSystemInfo = 2,
    kActiveProcessorCount = 4,
    kProcessorInformation = 8,
    kProcessorInformationEx = 16,
};

void OfferFunctions(Machine& m, unsigned offers) {
    if (offers & kIsWow64Process2) m.Offer("kernel32.dll", "IsWow64Process2", &FakeIsWow64Process2);
    if (offers & kNativeSystemInfo)
        m.Offer("kernel32.dll", "GetNativeSystemInfo", &FakeGetNativeSystemInfo);
    if (offers & kActiveProcessorCount)
        m.Offer("kernel32.dll", "GetActiveProcessorCount", &FakeGetActiveProcessorCount);
    if (offers & kProcessorInformation)
        m.Offer("kernel32.dll", "GetLogicalProcessorInformation", &FakeGetLogicalProcessorInformation);
    if (offers & kProcessorInformationEx)
        m.Offer("kernel32.dll", "GetLogicalProcessorInformationEx",
                &FakeGetLogicalProcessorInformationEx);
}

// ---- OSArchitecture --------------------------------------------------------

// Machine codes and processor architectures as winnt.h defines them.
constexpr USHORT kI386 = 0x014C, kAmd64 = 0x8664, kArm64 = 0xAA64;
constexpr WORD kIntel = 0, kIa64 = 6, kAmd64Arch = 9, kArm64Arch = 12;

struct ArchitectureRow {
    const char* name;
    Describe describe;
    unsigned offers;
    USHORT nativeMachine;
    WORD nativeArchitecture;  // GetNativeSystemInfo
    WORD processArchitecture; // GetSystemInfo: the process's view
    const char* expected;
};

constexpr ArchitectureRow kArchitectureRows[] = {
    {"Windows11OnArmNamesTheMachineNotTheEmulatedProcess", &Machine::Win11,
     kIsWow64Process2 | kNativeSystemInfo, kArm64, kIntel, kIntel, "ARM64"},
    {"Windows10Wow64NamesX64FromIsWow64Process2", &Machine::Win10,
     kIsWow64Process2 | kNativeSystemInfo, kAmd64, kAmd64Arch, kIntel, "x64"},
    {"Windows10On32BitWindowsIsX86", &Machine::Win10, kIsWow64Process2 | kNativeSystemInfo, kI386,
     kIntel, kIntel, "x86"},
    {"FailingIsWow64Process2FallsToTheNativeRecord", &Machine::Win10,
     kIsWow64Process2 | kNativeSystemInfo, 0, kAmd64Arch, kIntel, "x64"},
    {"Windows7Wow64NamesX64FromTheNativeRecord", &Machine::Win7, kNativeSystemInfo, 0, kAmd64Arch,
     kIntel, "x64"},
    {"XpOnItaniumIsNoneOfTheThree", &Machine::Xp, kNativeSystemInfo, 0, kIa64, kIntel, ""},
    {"Windows2000HasOnlyTheProcessRecord", &Machine::Win2000, kNone, 0, kAmd64Arch, kIntel, "x86"},
    {"Nt4HasOnlyTheProcessRecord", &Machine::Nt4, kNone, 0, kArm64Arch, kIntel, "x86"},
    {"Windows98HasOnlyTheProcessRecord", &Machine::Win9x, kNone, 0, kAmd64Arch, kIntel, "x86"},
    {"A64BitProcessOnASystemWithoutTheNewerCallsIsX64", &Machine::Win2000, kNone, 0, kIntel,
     kAmd64Arch, "x64"},
};

TEST(OSArchitecture, EachSourceInTurnNamesTheMachinesOwnArchitecture) {
    for (const ArchitectureRow& row : kArchitectureRows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<Machine> machine = row.describe();
        OfferFunctions(*machine, row.offers);
        machine->nativeMachine = row.nativeMachine;
        machine->nativeSystemInfo.wProcessorArchitecture = row.nativeArchitecture;
        machine->systemInfo.wProcessorArchitecture = row.processArchitecture;
        platform::fake::Scope scope(*machine);
        EXPECT_STREQ(row.expected, sysinfo::OSArchitecture());
    }
}

// ---- ProcessorCoreCount and ProcessorLogicalCount --------------------------

struct TopologyRow {
    const char* name;
    Describe describe;
    unsigned offers;
    std::vector<Machine::ProcessorCore> cores;
    DWORD activeCount;
    DWORD recordCount;  // the system-information record's processors
    LONG expected;
};

// Two groups of a large machine: 2 cores of 2 threads in group 0, 1 core of 2 in group 1.
const std::vector<Machine::ProcessorCore> kTwoGroups = {{0, 0x3}, {0, 0xC}, {1, 0x3}};
// Four cores without hyper-threading.
const std::vector<Machine::ProcessorCore> kFourCores = {{0, 0x1}, {0, 0x2}, {0, 0x4}, {0, 0x8}};
constexpr unsigned kWindows7Set = kActiveProcessorCount | kProcessorInformation |
                                  kProcessorInformationEx;

const TopologyRow kCoreRows[] = {
    {"Windows7CountsTheCoresOfEveryGroup", &Machine::Win7, kWindows7Set, kTwoGroups, 6, 4, 3},
    {"XpSp3CountsTheCoresOfItsOneGroup", &Machine::Xp, kProcessorInformation, kTwoGroups, 0, 4, 2},
    {"CoresWithoutHyperThreadingCountOnce", &Machine::Win10, kWindows7Set, kFourCores, 4, 4, 4},
    {"NoCoreRecordsFallToTheSystemRecord", &Machine::Win7, kWindows7Set, {}, 0, 2, 2},
    {"Windows2000CountsTheSystemRecord", &Machine::Win2000, kNone, kTwoGroups, 6, 2, 2},
    {"Windows98CountsTheSystemRecord", &Machine::Win9x, kNone, kTwoGroups, 6, 1, 1},
};

const TopologyRow kLogicalRows[] = {
    {"Windows7CountsTheActiveProcessorsOfEveryGroup", &Machine::Win7, kWindows7Set, kTwoGroups, 6, 4, 6},
    {"XpSp3CountsTheThreadsOfItsGroupsCores", &Machine::Xp, kProcessorInformation, kTwoGroups, 0, 4, 4},
    {"NoActiveCountFallsToTheCoresThreads", &Machine::Win7, kWindows7Set, kFourCores, 0, 2, 4},
    {"NoCoreRecordsFallToTheSystemRecord", &Machine::Xp, kProcessorInformation, {}, 0, 2, 2},
    {"Windows2000CountsTheSystemRecord", &Machine::Win2000, kNone, kTwoGroups, 6, 2, 2},
    {"Nt4CountsTheSystemRecord", &Machine::Nt4, kNone, kTwoGroups, 6, 4, 4},
};

template <size_t N>
void RunTopology(const TopologyRow (&rows)[N], LONG (*member)() noexcept) {
    for (const TopologyRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<Machine> machine = row.describe();
        OfferFunctions(*machine, row.offers);
        machine->processorCores = row.cores;
        machine->activeProcessorCount = row.activeCount;
        machine->systemInfo.dwNumberOfProcessors = row.recordCount;
        platform::fake::Scope scope(*machine);
        EXPECT_EQ(row.expected, member());
    }
}

TEST(ProcessorCoreCount, EachSourceInTurnCountsTheWholeMachinesCores) {
    RunTopology(kCoreRows, &sysinfo::ProcessorCoreCount);
}

TEST(ProcessorLogicalCount, EachSourceInTurnCountsTheWholeMachinesProcessors) {
    RunTopology(kLogicalRows, &sysinfo::ProcessorLogicalCount);
}

// Asked afresh: a processor brought online between two calls is counted by the second.
TEST(ProcessorLogicalCount, IsAskedAtEveryCall) {
    std::unique_ptr<Machine> machine = Machine::Win10();
    OfferFunctions(*machine, kWindows7Set);
    machine->activeProcessorCount = 4;
    platform::fake::Scope scope(*machine);
    EXPECT_EQ(4, sysinfo::ProcessorLogicalCount());
    machine->activeProcessorCount = 5;
    EXPECT_EQ(5, sysinfo::ProcessorLogicalCount());
}

// ---- BatteryLifePercent ----------------------------------------------------

struct BatteryRow {
    const char* name;
    bool succeeds;
    BYTE flag;
    BYTE percent;
    LONG expected;
};

// BatteryFlag: 1 high, 2 low, 4 critical, 8 charging, 128 no system battery, 255 unknown.
constexpr BatteryRow kBatteryRows[] = {
    {"AHighBatteryAnswersItsCharge", true, 1, 87, 87},
    {"AChargingBatteryAnswersItsCharge", true, 8 | 2, 12, 12},
    {"AnEmptyBatteryAnswersZero", true, 4, 0, 0},
    {"AFullBatteryAnswersOneHundred", true, 1, 100, 100},
    {"UnknownChargeIsMinusOne", true, 1, 255, -1},
    {"NoSystemBatteryIsMinusOneWhateverThePercent", true, 128, 100, -1},
    {"UnknownStatusWithAKnownChargeAnswersTheCharge", true, 255, 40, 40},
    {"AChargeAboveOneHundredIsMinusOne", true, 1, 101, -1},
    {"AFailedPowerQueryIsMinusOne", false, 1, 50, -1},
};

TEST(BatteryLifePercent, AnswersTheChargeOrMinusOne) {
    for (const BatteryRow& row : kBatteryRows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<Machine> machine = Machine::Win10();
        machine->powerSucceeds = row.succeeds;
        machine->power.BatteryFlag = row.flag;
        machine->power.BatteryLifePercent = row.percent;
        platform::fake::Scope scope(*machine);
        EXPECT_EQ(row.expected, sysinfo::BatteryLifePercent());
    }
}

// Read at the call, not at the object's creation.
TEST(BatteryLifePercent, IsReadAtEveryCall) {
    std::unique_ptr<Machine> machine = Machine::Win10();
    machine->power.BatteryFlag = 8;
    machine->power.BatteryLifePercent = 30;
    platform::fake::Scope scope(*machine);
    EXPECT_EQ(30, sysinfo::BatteryLifePercent());
    machine->power.BatteryLifePercent = 31;
    EXPECT_EQ(31, sysinfo::BatteryLifePercent());
}

}  // namespace
