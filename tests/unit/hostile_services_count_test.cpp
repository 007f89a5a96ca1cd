// A service's "Enum" key with a hostile or damaged "Count": the instance loop
// is bounded by the values the key holds, so one search costs what the key
// contains, never what its "Count" claims.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "devices/device_query.h"
#include "sysinfo/platform_family.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;

const std::string kEnumKey = "HKLM\\System\\CurrentControlSet\\Services\\orv\\Enum";
const std::string kInstances = "HKLM\\System\\CurrentControlSet\\Enum\\ROOT\\ORV\\";

struct CountRow {
    const char* name;
    bool hasCount;
    DWORD countType;
    std::string countBytes;
    std::vector<int> present;  // numbered instance values the key holds
    int devices;               // devices the search finds
};

void PrintTo(const CountRow& row, std::ostream* os) { *os << row.name; }

std::string Le(DWORD value) {
    return std::string{static_cast<char>(value), static_cast<char>(value >> 8),
                       static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
}

const CountRow kCountRows[] = {
    {"ExactCount", true, REG_DWORD, Le(3), {0, 1, 2}, 3},
    {"HugeCountTriesOnlyTheValuesPresent", true, REG_DWORD, Le(0xFFFFFFFF), {0, 1, 2}, 3},
    {"CountOfAHundredThousand", true, REG_DWORD, Le(100000), {0, 1, 2}, 3},
    {"NegativeLookingCount", true, REG_DWORD, Le(0x80000000), {0}, 1},
    {"SmallerCountStillDecides", true, REG_DWORD, Le(2), {0, 1, 2}, 2},
    {"ZeroCount", true, REG_DWORD, Le(0), {0, 1, 2}, 0},
    {"MissingCount", false, REG_NONE, "", {0, 1, 2}, 0},
    // "2" and its terminator read as the number 0x32, still bounded by the values.
    {"CountAsText", true, REG_SZ, std::string("2\0", 2), {0, 1, 2}, 3},
    {"CountAsOneByteBinary", true, REG_BINARY, std::string("\x02", 1), {0, 1, 2}, 2},
    {"CountAsTwoByteBinary", true, REG_BINARY, std::string("\x01\x00", 2), {0, 1, 2}, 1},
    {"CountAsEightByteBinaryIsUnreadable", true, REG_BINARY, std::string(8, '\x01'), {0, 1, 2},
     0},
    {"CountAsMultiSz", true, REG_MULTI_SZ, std::string("3\0\0", 3), {0, 1, 2}, 3},
    // "Count", "0" and "2": three values, so instances 0 to 2 are tried.
    {"GapWithinTheValuesIsCrossed", true, REG_DWORD, Le(3), {0, 2}, 2},
    // "Count", "0" and "5": instance 5 lies past a gap the system never leaves.
    {"InstanceBeyondTheValueCountIsNotReached", true, REG_DWORD, Le(6), {0, 5}, 1},
};

class HostileCountTest : public ::testing::TestWithParam<CountRow> {
protected:
    void SetUp() override { sysinfo::ForgetPlatformRecord(); }
    void TearDown() override { sysinfo::ForgetPlatformRecord(); }
};

TEST_P(HostileCountTest, InstanceLoopBoundedByValuesHeld) {
    const CountRow& row = GetParam();
    auto machine = Machine::Nt();
    machine->Key(kEnumKey);
    if (row.hasCount) machine->Raw(kEnumKey, "Count", row.countType, row.countBytes);
    for (int i : row.present) {
        const std::string n = std::to_string(i);
        machine->Sz(kEnumKey, n, "ROOT\\ORV\\" + n)
            .Sz(kInstances + n, "Class", "Orv")
            .Dword(kInstances + n, "StatusFlags", 1);
    }
    Scope scope(*machine);

    char key[1040];
    LONG status = 0;
    int found = 0;
    while (found <= 10 && devices::FindDeviceKey(found, "Orv", key, sizeof key, &status)) ++found;
    EXPECT_EQ(row.devices, found);

    // A failing search tries every instance the bound allows: a handful of
    // reads per value, whatever the count claims.
    machine->ResetCounts();
    EXPECT_FALSE(devices::FindDeviceKey(1000, "Orv", key, sizeof key, &status));
    EXPECT_LE(machine->Calls("RegQueryValueExA"), 40);
    EXPECT_LE(machine->Calls("RegOpenKeyExA"), 40);
    EXPECT_EQ(0, machine->OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileCountTest, ::testing::ValuesIn(kCountRows),
                         test_support::RowName());

}  // namespace
