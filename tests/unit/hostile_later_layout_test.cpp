// Hostile data on the paths of the later layouts: class GUIDs that name no
// class, class keys of any length, more GUIDs than a walk keeps, and instance
// paths at the edge of a key buffer, with the configuration manager asked.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "device_layouts.h"
#include "devices/device_query.h"
#include "sysinfo/platform_family.h"
#include "test_support.h"

namespace {

using device_layouts::ConfigManager;
using platform::fake::Machine;
using platform::fake::Scope;

const std::string kEnum = "HKLM\\System\\CurrentControlSet\\Enum\\";
const std::string kEnumKey = "System\\CurrentControlSet\\Enum\\";
const std::string kEnumList = "HKLM\\System\\CurrentControlSet\\Services\\hostile\\Enum";
const std::string kClass = "HKLM\\System\\CurrentControlSet\\Control\\Class\\";
const std::string kGuid = "{4d36e96b-e325-11ce-bfc1-08002be10318}";

// One service listing one instance whose "ClassGUID" is guid, on Windows 10.
struct GuidRow {
    const char* name;
    std::string guid;
    std::string classKey;   // the class key written, below Control\Class
    std::string className;  // its "Class"
    bool found;
};

void PrintTo(const GuidRow& row, std::ostream* os) { *os << row.name; }

const GuidRow kGuidRows[] = {
    {"GuidNamingTheClass", kGuid, kGuid, "Keyboard", true},
    {"GuidInOtherCase", "{4D36E96B-E325-11CE-BFC1-08002BE10318}", kGuid, "keyboard", true},
    {"GuidNamingNoClassKey", kGuid, "{00000000-0000-0000-0000-000000000000}", "Keyboard", false},
    {"GuidOf10000Characters", "{" + std::string(9998, '4') + "}", kGuid, "Keyboard", false},
    {"GuidOneCharacterTooLong", kGuid + "x", kGuid + "x", "Keyboard", false},
    {"GuidNamingAKeyBelowAClass", "{x}\\0000", "{x}\\0000", "Keyboard", false},
    {"EmptyGuid", "", kGuid, "Keyboard", false},
    {"ClassNameOf10000Characters", kGuid, kGuid, std::string(10000, 'K'), false},
};

class HostileGuidTest : public ::testing::TestWithParam<GuidRow> {};

TEST_P(HostileGuidTest, MatchesOnlyANamedClass) {
    const GuidRow& row = GetParam();
    auto machine = Machine::Win10();
    device_layouts::OfferConfigManager(*machine, ConfigManager::Answers);
    machine->Dword(kEnumList, "Count", 1).Sz(kEnumList, "0", "ROOT\\HOSTILE\\0000");
    machine->Sz(kEnum + "ROOT\\HOSTILE\\0000", "ClassGUID", row.guid);
    machine->Sz(kClass + row.classKey, "Class", row.className);
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    char key[1040];
    LONG status = test_support::kLongSentinel;
    EXPECT_EQ(row.found, devices::FindDeviceKey(0, "Keyboard", key, sizeof key, &status));
    if (row.found) {
        EXPECT_EQ(0, status);
    }
    EXPECT_EQ(0, machine->OpenKeys());
    sysinfo::ForgetPlatformRecord();
}

INSTANTIATE_TEST_SUITE_P(HostileLater, HostileGuidTest, ::testing::ValuesIn(kGuidRows),
                         test_support::RowName());

// More distinct GUIDs than a walk keeps: the ones past the cache are still
// looked up, and each class key once per instance at most.
TEST(HostileLater, MoreGuidsThanTheWalkKeeps) {
    auto machine = Machine::Win10();
    const DWORD instances = 150;
    machine->Dword(kEnumList, "Count", instances);
    for (DWORD i = 0; i < instances; ++i) {
        char guid[40];
        wsprintfA(guid, "{%08lx-0000-0000-0000-000000000000}", static_cast<unsigned long>(i));
        const std::string path = "ROOT\\MANY\\" + std::to_string(i);
        machine->Sz(kEnumList, std::to_string(i), path).Sz(kEnum + path, "ClassGUID", guid);
        machine->Sz(kClass + guid, "Class", i % 50 == 49 ? "Keyboard" : "Other");
    }
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    char key[1040];
    LONG status = 0;
    for (LONG n = 0; n < 3; ++n) {
        ASSERT_TRUE(devices::FindDeviceKey(n, "Keyboard", key, sizeof key, &status)) << n;
        EXPECT_EQ(kEnumKey + "ROOT\\MANY\\" + std::to_string(49 + 50 * n), std::string(key));
    }
    EXPECT_FALSE(devices::FindDeviceKey(3, "Keyboard", key, sizeof key, &status));
    EXPECT_EQ(0, machine->OpenKeys());
    sysinfo::ForgetPlatformRecord();
}

// A walk looks each class key up once, however many instances name it.
TEST(HostileLater, ClassKeyLookedUpOncePerWalk) {
    auto machine = Machine::Win10();
    const DWORD instances = 40;
    machine->Dword(kEnumList, "Count", instances);
    for (DWORD i = 0; i < instances; ++i) {
        const std::string path = "ROOT\\SAME\\" + std::to_string(i);
        machine->Sz(kEnumList, std::to_string(i), path).Sz(kEnum + path, "ClassGUID", kGuid);
    }
    machine->Sz(kClass + kGuid, "Class", "Other");
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    char key[1040];
    LONG status = 0;
    machine->ResetCounts();
    EXPECT_FALSE(devices::FindDeviceKey(0, "Keyboard", key, sizeof key, &status));
    // The services key, the Enum list, each instance's key once, and the class key once.
    EXPECT_EQ(2 + static_cast<int>(instances) + 1, machine->Calls("RegOpenKeyExA"));
    sysinfo::ForgetPlatformRecord();
}

// The configuration manager gets the instance path of any length that fits a
// key buffer; the walk neither overruns nor asks with a cut path.
TEST(HostileLater, LongInstancePathAskedWhole) {
    auto machine = Machine::Win10();
    device_layouts::OfferConfigManager(*machine, ConfigManager::Answers);
    const std::string path(228, 'p');
    machine->Dword(kEnumList, "Count", 1).Sz(kEnumList, "0", path);
    machine->Sz(kEnum + path, "Class", "Keyboard");
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    char key[260 + 8];
    std::memset(key, test_support::kFill, sizeof key);
    LONG status = test_support::kLongSentinel;
    ASSERT_TRUE(devices::FindDeviceKey(0, "Keyboard", key, 260, &status));
    EXPECT_EQ(kEnumKey + path, std::string(key));
    EXPECT_EQ(0, status);
    EXPECT_TRUE(test_support::Untouched(key + 260, 8));
    sysinfo::ForgetPlatformRecord();
}

}  // namespace
