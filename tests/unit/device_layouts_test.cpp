// The same devices found and described on the 9x family, NT 4.0, XP, 7 and
// 10/11, each in its own registry layout, with the configuration manager
// answering present, absent, disabled, nothing, or garbage.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "device_layouts.h"
#include "member_calls.h"
#include "devices/device_query.h"
#include "sysinfo/platform_family.h"
#include "test_support.h"

namespace {

using device_layouts::ConfigManager;
using device_layouts::Layout;
using platform::fake::Machine;
using platform::fake::Scope;
using test_support::kFill;
using test_support::kLongSentinel;

const std::string kEnum = "System\\CurrentControlSet\\Enum\\";
const std::string kNet = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
const std::string k9x = "Enum\\";

struct LayoutFindRow {
    const char* name;
    Layout layout;
    ConfigManager cm;
    const char* deviceClass;
    LONG number;
    std::string key;  // empty: not found
    LONG status;
};

constexpr auto A = ConfigManager::Answers;
constexpr auto None = ConfigManager::None;

const std::string kKeyboard = kEnum + device_layouts::kKeyboard;
const std::string kUsbKeyboard = kEnum + device_layouts::kUsbKeyboard;
const std::string kScsi = kEnum + device_layouts::kScsiAdapter;
const std::string kSound = kEnum + device_layouts::kSound;
const std::string kMonitor = kEnum + device_layouts::kMonitor;
const std::string kOldMonitor = kEnum + device_layouts::kOldMonitor;

const LayoutFindRow kFindRows[] = {
    // The 9x family: the live list, as before.
    {"Win9xKeyboard", Layout::Win9x, None, "Keyboard", 0, k9x + device_layouts::kKeyboard, 0},
    {"Win9xDisabledKeyboardHasProblem22", Layout::Win9x, None, "keyboard", 1,
     k9x + device_layouts::kUsbKeyboard, 22},
    {"Win9xMediaIsItsClass", Layout::Win9x, None, "Media", 0, k9x + device_layouts::kSound, 0},
    {"Win9xNet", Layout::Win9x, None, "Net", 0, k9x + device_layouts::kNetCard, 0},
    {"Win9xRemovedMonitorNotListed", Layout::Win9x, None, "Monitor", 1, "", 0},
    // NT 4.0: flags, titles and active media resources, as before.
    {"Nt4Keyboard", Layout::Nt4, None, "Keyboard", 0, kKeyboard, 0},
    {"Nt4KeyboardWithFlagsZeroSkipped", Layout::Nt4, None, "Keyboard", 1, "", 0},
    {"Nt4ScsiAdapter", Layout::Nt4, None, "SCSIAdapter", 0, kScsi, 0},
    {"Nt4NetByTitle", Layout::Nt4, None, "Net", 0, kNet + "1", 0},
    {"Nt4MediaActiveResource", Layout::Nt4, None, "Media", 0,
     "SYSTEM\\CurrentControlSet\\Control\\MediaResources\\wave\\orvaud.sys", 0},
    {"Nt4EveryMonitorKeyCounts", Layout::Nt4, None, "Monitor", 1, kOldMonitor, 0},
    // XP, 7, 10 and 11: instances without flags, counted by the configuration manager.
    {"XpKeyboardWithoutFlags", Layout::Xp, A, "Keyboard", 0, kKeyboard, 0},
    {"XpDisabledKeyboardHasProblem22", Layout::Xp, A, "Keyboard", 1, kUsbKeyboard, 22},
    {"XpScsiAdapter", Layout::Xp, A, "SCSIAdapter", 0, kScsi, 0},
    {"XpNetByDescription", Layout::Xp, A, "Net", 0, kNet + "7", 0},
    {"XpMediaIsClassMedia", Layout::Xp, A, "media", 0, kSound, 0},
    {"XpMonitor", Layout::Xp, A, "Monitor", 0, kMonitor, 0},
    {"XpAbsentMonitorNotCounted", Layout::Xp, A, "Monitor", 1, "", 0},
    {"Win7DisabledKeyboardHasProblem22", Layout::Win7, A, "Keyboard", 1, kUsbKeyboard, 22},
    {"Win7ScsiAdapter", Layout::Win7, A, "SCSIAdapter", 0, kScsi, 0},
    {"Win7NetByDescription", Layout::Win7, A, "Net", 0, kNet + "7", 0},
    {"Win7MediaIsClassMedia", Layout::Win7, A, "Media", 0, kSound, 0},
    {"Win7AbsentMonitorNotCounted", Layout::Win7, A, "Monitor", 1, "", 0},
    {"Win10KeyboardByClassGuid", Layout::Win10, A, "keyboard", 0, kKeyboard, 0},
    {"Win10DisabledKeyboardHasProblem22", Layout::Win10, A, "Keyboard", 1, kUsbKeyboard, 22},
    {"Win10NoThirdKeyboard", Layout::Win10, A, "Keyboard", 2, "", 0},
    {"Win10ScsiAdapterByClassGuid", Layout::Win10, A, "SCSIAdapter", 0, kScsi, 0},
    {"Win10NetByDescription", Layout::Win10, A, "Net", 0, kNet + "7", 0},
    {"Win10MediaByClassGuid", Layout::Win10, A, "Media", 0, kSound, 0},
    {"Win10MonitorByClassGuid", Layout::Win10, A, "Monitor", 0, kMonitor, 0},
    {"Win11DisabledKeyboardHasProblem22", Layout::Win11, A, "Keyboard", 1, kUsbKeyboard, 22},
    {"Win11MediaByClassGuid", Layout::Win11, A, "Media", 0, kSound, 0},
    {"Win11NetByDescription", Layout::Win11, A, "Net", 0, kNet + "7", 0},
    {"Win11AbsentMonitorNotCounted", Layout::Win11, A, "Monitor", 1, "", 0},
    {"Win9xScsiAdapter", Layout::Win9x, None, "SCSIAdapter", 0, k9x + device_layouts::kScsiAdapter,
     0},
    {"Win10AbsentMonitorNotCounted", Layout::Win10, A, "Monitor", 1, "", 0},
    {"Win10GuidOfAnotherClassIsNoMatch", Layout::Win10, A, "Mouse", 0, "", 0},
    // The configuration manager missing, failing or talking nonsense: every instance counts.
    {"Win10WithoutFunctionsCountsAbsentMonitor", Layout::Win10, None, "Monitor", 1, kOldMonitor,
     0},
    {"Win10WithoutFunctionsDisabledHasStatus0", Layout::Win10, None, "Keyboard", 1, kUsbKeyboard,
     0},
    {"Win10FailingLocateCountsWithStatus0", Layout::Win10, ConfigManager::Fails, "Keyboard", 1,
     kUsbKeyboard, 0},
    {"Win10FailingLocateCountsAbsentMonitor", Layout::Win10, ConfigManager::Fails, "Monitor", 1,
     kOldMonitor, 0},
    {"Win10UnknownCodeCountsMonitor", Layout::Win10, ConfigManager::Garbage, "Monitor", 1,
     kOldMonitor, 0},
    {"Win10GarbageProblemPassedOn", Layout::Win10, ConfigManager::Garbage, "Keyboard", 0,
     kKeyboard, -1},
    {"Win2000AnswersFromSetupApi", Layout::Xp, ConfigManager::Answers2000, "Keyboard", 1,
     kUsbKeyboard, 22},
};

void PrintTo(const LayoutFindRow& row, std::ostream* os) { *os << row.name; }

class LayoutFindTest : public ::testing::TestWithParam<LayoutFindRow> {};

TEST_P(LayoutFindTest, FindsDeviceAndStatus) {
    const LayoutFindRow& row = GetParam();
    auto machine = device_layouts::MachineWith(row.layout, row.cm);
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    char key[1040];
    std::memset(key, kFill, sizeof key);
    LONG status = kLongSentinel;
    const bool found = devices::FindDeviceKey(row.number, row.deviceClass, key, sizeof key, &status);
    EXPECT_EQ(!row.key.empty(), found);
    if (found) {
        EXPECT_EQ(row.key, std::string(key));
        EXPECT_EQ(row.status, status);
    }
    EXPECT_EQ(0, machine->OpenKeys());
    sysinfo::ForgetPlatformRecord();
}

INSTANTIATE_TEST_SUITE_P(DeviceLayouts, LayoutFindTest, ::testing::ValuesIn(kFindRows),
                         test_support::RowName());

// GetDeviceInfo of the devices found, on each layout: the words a user reads.
struct LayoutInfoRow {
    const char* name;
    Layout layout;
    std::string key;
    const char* valueName;
    VARTYPE vt;
    std::vector<std::string> texts;  // one for VT_BSTR, each item of an array
};

const LayoutInfoRow kInfoRows[] = {
    {"Nt4PlainDescription", Layout::Nt4, kKeyboard, "DeviceDesc", VT_BSTR,
     {"Standard PS/2 Keyboard"}},
    {"Nt4NetDescriptionIsTitle", Layout::Nt4, kNet + "1", "DeviceDesc", VT_BSTR,
     {"[1] Orvane Fast Ethernet"}},
    {"XpNetDescriptionWithoutTitle", Layout::Xp, kNet + "7", "DeviceDesc", VT_BSTR,
     {"Orvane Fast Ethernet"}},
    {"XpPlainLocation", Layout::Xp, kSound, "LocationInformation", VT_BSTR,
     {"PCI bus 0, device 5, function 0"}},
    {"XpHardwareIdsAsArray", Layout::Xp, kSound, "HardwareID", VT_ARRAY | VT_VARIANT,
     {"PCI\\VEN_8086&DEV_2415&SUBSYS_00008086&REV_01", "PCI\\CC_040100"}},
    {"Win7IndirectDescription", Layout::Win7, kScsi, "DeviceDesc", VT_BSTR,
     {"Orvane Ultra SCSI Controller"}},
    {"Win10IndirectDescription", Layout::Win10, kMonitor, "DeviceDesc", VT_BSTR,
     {"Generic Non-PnP Monitor"}},
    {"Win10LocationWithItems", Layout::Win10, kSound, "LocationInformation", VT_BSTR,
     {"PCI bus 0, device 5, function 0"}},
    {"Win10OneHardwareId", Layout::Win10, kMonitor, "HardwareID", VT_ARRAY | VT_VARIANT,
     {"MONITOR\\Default_Monitor"}},
};

void PrintTo(const LayoutInfoRow& row, std::ostream* os) { *os << row.name; }

class LayoutInfoTest : public ::testing::TestWithParam<LayoutInfoRow> {};

TEST_P(LayoutInfoTest, AnswersWords) {
    const LayoutInfoRow& row = GetParam();
    auto machine = device_layouts::TypicalMachine(row.layout);
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    test_support::Bstr key(row.key), subkey(""), askFor(row.valueName);
    VARIANT value;
    VariantInit(&value);
    ASSERT_EQ(S_OK, test_support::DeviceInfo(key, subkey, askFor, &value));
    ASSERT_EQ(row.vt, V_VT(&value));
    std::vector<std::string> texts;
    if (V_VT(&value) == VT_BSTR) texts.push_back(test_support::Narrow(V_BSTR(&value)));
    if (V_VT(&value) == (VT_ARRAY | VT_VARIANT)) {
        SAFEARRAY* array = V_ARRAY(&value);
        EXPECT_EQ(1u, SafeArrayGetDim(array));
        LONG low = -1, high = -2;
        SafeArrayGetLBound(array, 1, &low);
        SafeArrayGetUBound(array, 1, &high);
        EXPECT_EQ(0, low);
        for (LONG i = low; i <= high; ++i) {
            VARIANT item;
            VariantInit(&item);
            ASSERT_EQ(S_OK, SafeArrayGetElement(array, &i, &item));
            ASSERT_EQ(VT_BSTR, V_VT(&item));
            texts.push_back(test_support::Narrow(V_BSTR(&item)));
            VariantClear(&item);
        }
    }
    EXPECT_EQ(row.texts, texts);
    VariantClear(&value);
    sysinfo::ForgetPlatformRecord();
}

INSTANTIATE_TEST_SUITE_P(DeviceLayouts, LayoutInfoTest, ::testing::ValuesIn(kInfoRows),
                         test_support::RowName());

TEST(DeviceLayouts, ScsiBusOnEveryLayout) {
    for (Layout layout :
         {Layout::Win9x, Layout::Nt4, Layout::Xp, Layout::Win7, Layout::Win10, Layout::Win11}) {
        auto machine = device_layouts::TypicalMachine(layout);
        Scope scope(*machine);
        sysinfo::ForgetPlatformRecord();
        VARIANT_BOOL scsi = VARIANT_FALSE;
        ASSERT_EQ(S_OK, test_support::HasSCSIBus(&scsi));
        EXPECT_EQ(VARIANT_TRUE, scsi) << static_cast<int>(layout);
        sysinfo::ForgetPlatformRecord();
    }
}

}  // namespace
