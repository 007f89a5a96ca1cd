// Hostile shapes of the device trees: chains of keys far deeper than a key
// path can reach, and ten thousand devices of one class. The searches must end
// without exhausting the stack, open only what lies within reach, and cost in
// proportion to the devices they pass.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include "member_calls.h"
#include "devices/device_query.h"
#include "object/co_dezivero.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/module_directory.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::Narrow;

const std::string kMediaRoot = "SYSTEM\\CurrentControlSet\\Control\\MediaResources";
const std::string kEnumRoot = "System\\CurrentControlSet\\Enum";

class HostileTreeTest : public ::testing::Test {
protected:
    void SetUp() override { Forget(); }
    void TearDown() override { Forget(); }
    static void Forget() {
        sysinfo::ForgetPlatformRecord();
        sysinfo::ForgetModuleDirectory();
    }
};

// FindDevice through the object, then the description of the key it found.
// "<none>" when nothing was found.
std::string FindAndDescribe(Machine& machine, const char* deviceClass, LONG number) {
    Scope scope(machine);
    sysinfo::ForgetPlatformRecord();
    sysinfo::ForgetModuleDirectory();
    auto object = std::make_unique<object::CoDeZiVero>(nullptr);
    const std::wstring wideClass(deviceClass, deviceClass + std::strlen(deviceClass));
    BSTR cls = SysAllocString(wideClass.c_str());
    VARIANT_BOOL found = VARIANT_FALSE;
    EXPECT_EQ(S_OK, object->FindDevice(number, cls, &found));
    SysFreeString(cls);
    if (found != VARIANT_TRUE) return "<none>";
    BSTR key = nullptr;
    EXPECT_EQ(S_OK, object->get_HWKey(&key));
    BSTR subkey = SysAllocString(L"");
    BSTR name = SysAllocString(L"DeviceDesc");
    VARIANT value;
    VariantInit(&value);
    EXPECT_EQ(S_OK, object->GetDeviceInfo(key, subkey, name, &value));
    const std::string text = V_VT(&value) == VT_BSTR ? Narrow(V_BSTR(&value)) : "<not text>";
    VariantClear(&value);
    SysFreeString(key);
    SysFreeString(subkey);
    SysFreeString(name);
    return text;
}

// ---- Deep chains ------------------------------------------------------------------------

enum class Route { Media, Monitor, HardwareKey9x };

struct DeepRow {
    const char* name;
    Route route;
    int depth;           // levels of the chain below the root
    int candidateLevel;  // the level that holds the device
    bool found;
};

void PrintTo(const DeepRow& row, std::ostream* os) { *os << row.name; }

// Below "...\MediaResources" (47 characters) each level adds "\d": level 106
// is the last whose path fits 259 characters. Below "...\Enum" (29) it is 115.
// A 9x hardware key goes behind "Enum\" into 1034 bytes: 517 levels of "d\".
const DeepRow kDeepRows[] = {
    {"MediaAt100Of200", Route::Media, 200, 100, true},
    {"MediaAtLastReachableLevel", Route::Media, 200, 106, true},
    {"MediaOneLevelTooDeep", Route::Media, 200, 107, false},
    {"MediaAtBottomOf1000", Route::Media, 1000, 1000, false},
    {"MediaNearTopOf5000", Route::Media, 5000, 3, true},
    {"MonitorAt115Of200", Route::Monitor, 200, 115, true},
    {"MonitorAt116Of200", Route::Monitor, 200, 116, false},
    {"MonitorAtBottomOf1000", Route::Monitor, 1000, 1000, false},
    {"HardwareKey9x200Levels", Route::HardwareKey9x, 200, 200, true},
    {"HardwareKey9x517Levels", Route::HardwareKey9x, 517, 517, true},
    {"HardwareKey9x518Levels", Route::HardwareKey9x, 518, 518, false},
    {"HardwareKey9x1000Levels", Route::HardwareKey9x, 1000, 1000, false},
};

class HostileDeepTest : public HostileTreeTest, public ::testing::WithParamInterface<DeepRow> {};

TEST_P(HostileDeepTest, DeepChainEndsAndOpensOnlyWhatIsInReach) {
    const DeepRow& row = GetParam();
    const bool nt = row.route != Route::HardwareKey9x;
    // NT 4.0 keeps media devices in the key tree of the media resources.
    auto machine = nt ? Machine::Nt4() : Machine::Win9x();
    std::string chain;
    std::string candidate;
    for (int level = 1; level <= row.depth; ++level) {
        chain += level == 1 ? "d" : "\\d";
        if (level == row.candidateLevel) candidate = chain;
    }
    const char* deviceClass = "Media";
    switch (row.route) {
    case Route::Media:
        machine->Key("HKLM\\" + kMediaRoot + "\\" + chain)
            .Sz("HKLM\\" + kMediaRoot + "\\" + candidate, "Active", "1")
            .Sz("HKLM\\" + kMediaRoot + "\\" + candidate, "Description", "deep device");
        break;
    case Route::Monitor:
        deviceClass = "Monitor";
        machine->Key("HKLM\\" + kEnumRoot + "\\" + chain)
            .Sz("HKLM\\" + kEnumRoot + "\\" + candidate, "Class", "Monitor")
            .Sz("HKLM\\" + kEnumRoot + "\\" + candidate, "DeviceDesc", "deep device");
        break;
    case Route::HardwareKey9x:
        deviceClass = "Orv";
        machine->Sz("HKDD\\Config Manager\\Enum\\C0", "HardwareKey", chain)
            .Sz("HKLM\\Enum\\" + chain, "Class", "Orv")
            .Sz("HKLM\\Enum\\" + chain, "DeviceDesc", "deep device");
        break;
    }
    machine->ResetCounts();
    EXPECT_EQ(row.found ? "deep device" : "<none>", FindAndDescribe(*machine, deviceClass, 0));
    EXPECT_EQ(0, machine->OpenKeys());

    // A failing search opens each reachable level once, whatever lies beyond.
    machine->ResetCounts();
    EXPECT_EQ("<none>", FindAndDescribe(*machine, deviceClass, 1));
    EXPECT_LE(machine->Calls("RegOpenKeyExA"), 130);
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileDeepTest, ::testing::ValuesIn(kDeepRows),
                         test_support::RowName());

// ---- Ten thousand devices of one class --------------------------------------------------

enum class ManyRoute { NetworkCards, Services, DeviceList9x };

struct ManyRow {
    const char* name;
    ManyRoute route;
    const char* deviceClass;
};

void PrintTo(const ManyRow& row, std::ostream* os) { *os << row.name; }

const ManyRow kManyRows[] = {
    {"NetworkCards", ManyRoute::NetworkCards, "Net"},
    {"ServicesInstances", ManyRoute::Services, "Orv"},
    {"DeviceList9x", ManyRoute::DeviceList9x, "Orv"},
};

constexpr int kManyDevices = 10000;

std::string Numbered(int i) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d", i);
    return text;
}

std::unique_ptr<Machine> ManyDevices(ManyRoute route) {
    auto m = route == ManyRoute::DeviceList9x ? Machine::Win9x() : Machine::Nt();
    const std::string svc = "HKLM\\System\\CurrentControlSet\\Services\\orv\\Enum";
    if (route == ManyRoute::Services) m->Dword(svc, "Count", kManyDevices);
    for (int i = 0; i < kManyDevices; ++i) {
        const std::string n = Numbered(i);
        switch (route) {
        case ManyRoute::NetworkCards:
            m->Sz("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\" + n,
                  "Title", "card " + n);
            break;
        case ManyRoute::Services:
            m->Sz(svc, std::to_string(i), "ROOT\\ORV\\" + n)
                .Sz("HKLM\\" + kEnumRoot + "\\ROOT\\ORV\\" + n, "Class", "Orv")
                .Dword("HKLM\\" + kEnumRoot + "\\ROOT\\ORV\\" + n, "StatusFlags", 1);
            break;
        case ManyRoute::DeviceList9x:
            m->Sz("HKDD\\Config Manager\\Enum\\C" + n, "HardwareKey", "ROOT\\ORV\\" + n)
                .Sz("HKLM\\Enum\\ROOT\\ORV\\" + n, "Class", "Orv");
            break;
        }
    }
    return m;
}

int RegistryCalls(const Machine& m) {
    int calls = 0;
    for (const char* f : {"RegOpenKeyExA", "RegQueryValueExA", "RegEnumKeyA", "RegCloseKey",
                          "RegQueryInfoKeyA"})
        calls += m.Calls(f);
    return calls;
}

class HostileManyTest : public HostileTreeTest, public ::testing::WithParamInterface<ManyRow> {};

// Every device passed costs the same number of registry calls, so the calls
// for device 0, 100 and 9999 lie on one line.
TEST_P(HostileManyTest, CostGrowsWithTheDevicesPassed) {
    const ManyRow& row = GetParam();
    auto machine = ManyDevices(row.route);
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    int calls[3] = {};
    const LONG numbers[3] = {0, 100, kManyDevices - 1};
    for (int i = 0; i < 3; ++i) {
        char key[1040];
        LONG status = 0;
        machine->ResetCounts();
        ASSERT_TRUE(devices::FindDeviceKey(numbers[i], row.deviceClass, key, sizeof key, &status));
        calls[i] = RegistryCalls(*machine);
        EXPECT_NE(nullptr, std::strstr(key, Numbered(numbers[i]).c_str())) << key;
    }
    EXPECT_LE(calls[0], 40);
    EXPECT_GT(calls[1], calls[0]);
    EXPECT_EQ(static_cast<long long>(calls[2] - calls[0]) * numbers[1],
              static_cast<long long>(calls[1] - calls[0]) * numbers[2])
        << calls[0] << " " << calls[1] << " " << calls[2];

    char key[1040];
    LONG status = 0;
    EXPECT_FALSE(devices::FindDeviceKey(kManyDevices, row.deviceClass, key, sizeof key, &status));
    EXPECT_EQ(0, machine->OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileManyTest, ::testing::ValuesIn(kManyRows),
                         test_support::RowName());

}  // namespace
