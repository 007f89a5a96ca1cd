// The 9x family's device list: which entries count for a class, the status
// written, the key returned, and values read from hardware and driver keys.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "device_database_test_support.h"
#include "devices/device_database_9x.h"
#include "devices/device_query.h"
#include "test_support.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using device_database_test::DriverPathRow;
using device_database_test::FindRow;
using device_database_test::ReadRow;
using platform::fake::Machine;
using test_support::kFill;
using test_support::kLongSentinel;

const std::string kList = "HKDD\\Config Manager\\Enum\\";
const std::string kEnum = "HKLM\\Enum\\";
const std::string kClass = "HKLM\\System\\CurrentControlSet\\Services\\Class\\";

// A machine of the 9x family with eight device nodes, listed in this order:
// a floppy drive, a disk in lower-case class, a display adapter, a node
// without hardware key, a disk without "Problem" or description, a display
// whose class only its driver key knows, a modem and a SCSI adapter.
std::unique_ptr<Machine> DeviceList9x() {
    auto m = Machine::Win9x();
    auto node = [&](const std::string& entry, const char* hardwareKey, const LONG* problem) {
        m->Key(kList + entry);
        if (hardwareKey) m->Sz(kList + entry, "HardwareKey", hardwareKey);
        if (problem) m->Dword(kList + entry, "Problem", static_cast<DWORD>(*problem));
    };
    const LONG p0 = 0, p3 = 3, p5 = 5, p7 = 7, p9 = 9, p11 = 11;
    node("C1", "FLOP\\GENERIC\\0000", &p0);
    node("C2", "ESDI\\GENERIC\\0001", &p5);
    node("C3", "PCI\\VEN_1\\0000", &p7);
    node("C4", nullptr, &p9);
    node("C5", "ESDI\\GENERIC\\0002", nullptr);
    node("C6", "PCI\\VEN_2\\0000", &p3);
    node("C7", "MODEM\\0000", &p0);
    node("C8", "SCSI\\X\\0000", &p11);

    m->Sz(kEnum + "FLOP\\GENERIC\\0000", "Class", "DiskDrive")
        .Sz(kEnum + "FLOP\\GENERIC\\0000", "DeviceDesc", "GENERIC NEC FLOPPY DISK")
        .Sz(kEnum + "ESDI\\GENERIC\\0001", "Class", "diskdrive")
        .Sz(kEnum + "ESDI\\GENERIC\\0001", "DeviceDesc", "Generic IDE Disk")
        .Sz(kEnum + "PCI\\VEN_1\\0000", "Class", "Display")
        .Sz(kEnum + "PCI\\VEN_1\\0000", "DeviceDesc", "Fast AGP Card")
        .Sz(kEnum + "PCI\\VEN_1\\0000", "Driver", "DISPLAY\\0000")
        .Sz(kEnum + "ESDI\\GENERIC\\0002", "Class", "DiskDrive")
        .Sz(kEnum + "PCI\\VEN_2\\0000", "DeviceDesc", "Plain VGA")
        .Sz(kEnum + "PCI\\VEN_2\\0000", "Driver", "DISPLAY\\0001")
        .Sz(kEnum + "MODEM\\0000", "Class", "Modem")
        .Sz(kEnum + "MODEM\\0000", "DeviceDesc", "Standard 28800 bps Modem")
        .Sz(kEnum + "MODEM\\0000", "Driver", "MODEM\\0000")
        .Dword(kEnum + "MODEM\\0000", "Flags", 0x1234)
        .Sz(kEnum + "MODEM\\0000", "Empty", "")
        .Sz(kEnum + "SCSI\\X\\0000", "Class", "SCSIAdapter")
        .Sz(kEnum + "SCSI\\X\\0000", "DeviceDesc", "Adaptec SCSI");

    m->Sz(kClass + "DISPLAY\\0000", "DriverDesc", "AGP driver")
        .Sz(kClass + "DISPLAY\\0000\\Modes", "Mode", "1024x768")
        .Sz(kClass + "DISPLAY\\0001", "Class", "Display")
        .Sz(kClass + "MODEM\\0000", "DriverDesc", "Modem driver")
        .Sz(kClass + "MODEM\\0000", "Empty", "from driver key");
    return m;
}

using Device9xTest = test_support::BoundMachineTest<DeviceList9x>;

const FindRow kFindRows[] = {
    {"FloppySkippedForExactDiskDrive", "DiskDrive", 0, 1, "Enum\\ESDI\\GENERIC\\0001", 5},
    {"EntryWithoutProblemKeepsPreviousStatus", "DiskDrive", 1, 1, "Enum\\ESDI\\GENERIC\\0002", 9},
    {"PastLastDiskLeavesLastEntryRead", "DiskDrive", 2, 0, "Enum\\SCSI\\X\\0000", 11},
    {"OtherSpellingCountsFloppy", "diskdrive", 0, 1, "Enum\\FLOP\\GENERIC\\0000", 0},
    {"OtherSpellingCountsAllThree", "DISKDRIVE", 2, 1, "Enum\\ESDI\\GENERIC\\0002", 9},
    {"OtherSpellingPastLast", "diskDrive", 3, 0, "Enum\\SCSI\\X\\0000", 11},
    {"ClassComparedWithoutCase", "display", 0, 1, "Enum\\PCI\\VEN_1\\0000", 7},
    {"ClassFromDriverKey", "Display", 1, 1, "Enum\\PCI\\VEN_2\\0000", 3},
    {"OnlyTwoDisplays", "Display", 2, 0, "Enum\\SCSI\\X\\0000", 11},
    {"Modem", "MODEM", 0, 1, "Enum\\MODEM\\0000", 0},
    {"ScsiAdapter", "scsiadapter", 0, 1, "Enum\\SCSI\\X\\0000", 11},
    {"UnknownClassNotFound", "Sound", 0, 0, "Enum\\SCSI\\X\\0000", 11},
};

class Device9xFindTest : public Device9xTest, public ::testing::WithParamInterface<FindRow> {};

TEST_P(Device9xFindTest, FindsKeyAndStatus) { device_database_test::ExpectFind(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Device9x, Device9xFindTest, ::testing::ValuesIn(kFindRows),
                         test_support::RowName());

TEST_F(Device9xTest, DiskWithoutDescriptionCountsAsDisk) {
    char key[260];
    LONG status = 0;
    ASSERT_TRUE(devices::FindDeviceKey(1, "DiskDrive", key, sizeof key, &status));
    EXPECT_EQ(nullptr, machine->FindValue(kEnum + "ESDI\\GENERIC\\0002", "DeviceDesc"));
    EXPECT_STREQ("Enum\\ESDI\\GENERIC\\0002", key);
}

TEST_F(Device9xTest, MissingDeviceListFindsNothingAndWritesNoStatus) {
    machine->RemoveKey("HKDD\\Config Manager");
    char key[64];
    std::memset(key, kFill, sizeof key);
    LONG status = kLongSentinel;
    EXPECT_FALSE(devices::FindDeviceKey(0, "Display", key, sizeof key, &status));
    EXPECT_EQ(0, key[0]);
    EXPECT_EQ(static_cast<char>(kFill), key[1]);
    EXPECT_EQ(kLongSentinel, status);
}

// A hardware key that fills the room behind "Enum\" exactly, without a
// terminator, is cut at the last byte; one a byte longer is not read at all.
TEST_F(Device9xTest, HardwareKeyFillingTheBufferEndsTerminated) {
    const std::string longKey = "LONG\\" + std::string(249, 'K');  // 254 bytes
    machine->RemoveKey("HKDD\\Config Manager");
    machine->Raw(kList + "L1", "HardwareKey", REG_SZ, longKey)
        .Raw(kList + "L2", "HardwareKey", REG_SZ, longKey + "X")
        .Sz(kEnum + longKey, "Class", "Long");
    char key[260 + 16];
    std::memset(key, kFill, sizeof key);
    LONG status = 0;
    ASSERT_TRUE(devices::FindDeviceKey(0, "Long", key, 260, &status));
    EXPECT_EQ("Enum\\" + longKey, std::string(key));
    EXPECT_FALSE(devices::FindDeviceKey(1, "Long", key, 260, &status));
    EXPECT_STREQ("Enum\\", key);
    for (size_t i = 260; i < sizeof key; ++i) EXPECT_EQ(static_cast<char>(kFill), key[i]) << i;
}

TEST_F(Device9xTest, HardwareKeyLongerThanHWKeyIsNotRead) {
    machine->RemoveKey("HKDD\\Config Manager");
    machine->Sz(kList + "L1", "HardwareKey", std::string(1100, 'H'));
    char key[1040 + 16];
    std::memset(key, kFill, sizeof key);
    LONG status = 0;
    EXPECT_FALSE(devices::FindDeviceKey(0, "Long", key, 1040, &status));
    EXPECT_STREQ("Enum\\", key);
    EXPECT_EQ(static_cast<char>(kFill), key[1040]);
}

TEST_F(Device9xTest, KeyBufferTooSmallForPrefixIsRefused) {
    char key[8];
    std::memset(key, kFill, sizeof key);
    LONG status = kLongSentinel;
    EXPECT_FALSE(devices::FindDeviceKey(0, "Display", key, 6, &status));
    EXPECT_EQ(0, key[0]);
    EXPECT_EQ(static_cast<char>(kFill), key[1]);
    EXPECT_EQ(kLongSentinel, status);
}

const ReadRow kReadRows[] = {
    {"ValueInHardwareKey", "Enum\\PCI\\VEN_1\\0000", nullptr, "DeviceDesc", 1, REG_SZ,
     "Fast AGP Card"},
    {"ValueOnlyInDriverKey", "Enum\\PCI\\VEN_1\\0000", nullptr, "DriverDesc", 1, REG_SZ,
     "AGP driver"},
    {"ValueInDriverSubkey", "Enum\\PCI\\VEN_1\\0000", "Modes", "Mode", 1, REG_SZ, "1024x768"},
    {"EmptySubkeyReadsDriverKeyThroughTrailingBackslash", "Enum\\PCI\\VEN_1\\0000", "",
     "DriverDesc", 1, REG_SZ, "AGP driver"},
    {"MissingSubkeyFails", "Enum\\PCI\\VEN_1\\0000", "NoSuch", "Mode", 0, 0, nullptr},
    {"NoDriverValueFails", "Enum\\ESDI\\GENERIC\\0001", nullptr, "DriverDesc", 0, 0, nullptr},
    {"DriverKeyLacksValueFails", "Enum\\PCI\\VEN_1\\0000", nullptr, "NoSuchValue", 0, 0,
     nullptr},
    {"MissingDeviceKeyFails", "Enum\\NOPE", nullptr, "DeviceDesc", 0, 0, nullptr},
    {"EmptyValueInHardwareKeyWins", "Enum\\MODEM\\0000", nullptr, "Empty", 1, REG_SZ, ""},
    {"HardwareKeyValueOfAnyType", "Enum\\MODEM\\0000", nullptr, "Flags", 1, REG_DWORD, nullptr,
     0x1234},
    // An empty last component: not plainly a device key, though the registry would open it.
    {"KeyWithTrailingBackslashIsRefused", "Enum\\MODEM\\0000\\", nullptr, "DeviceDesc", 0, 0,
     nullptr},
};

class Device9xReadTest : public Device9xTest, public ::testing::WithParamInterface<ReadRow> {};

TEST_P(Device9xReadTest, ReadsHardwareThenDriverKey) { device_database_test::ExpectRead(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Device9x, Device9xReadTest, ::testing::ValuesIn(kReadRows),
                         test_support::RowName());

TEST_F(Device9xTest, DwordReadFromHardwareKey) {
    BYTE buffer[8] = {};
    DWORD type = 0, size = sizeof buffer;
    ASSERT_TRUE(devices::ReadDeviceValue(devices::kFamily9x, "Enum\\MODEM\\0000", nullptr, "Flags",
                                          &type, buffer, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0x34, buffer[0]);
    EXPECT_EQ(0x12, buffer[1]);
}

// "System\CurrentControlSet\Services\Class\" is 40 characters; the driver
// text gets 219 bytes, and the whole path 259 characters.
class Device9xDriverPathTest : public Device9xTest,
                               public ::testing::WithParamInterface<DriverPathRow> {};

TEST_P(Device9xDriverPathTest, LongPathsFailInsteadOfOverrunning) {
    device_database_test::ExpectDriverPath(
        *machine, {devices::kFamily9x, 219, "Enum\\LONGDRV", kClass}, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Device9x, Device9xDriverPathTest,
                         ::testing::ValuesIn(device_database_test::kDriverPathRows),
                         test_support::RowName());

TEST_F(Device9xTest, SpeedFromModemDescription) {
    BYTE buffer[1040] = {};
    DWORD type = 0, size = sizeof buffer;
    ASSERT_TRUE(devices::QueryDeviceValue("Enum\\MODEM\\0000", "", "Speed", &type, buffer, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    DWORD speed = 0;
    std::memcpy(&speed, buffer, 4);
    EXPECT_EQ(28800u, speed);
    EXPECT_EQ(sizeof "Standard 28800 bps Modem", size);
}

}  // namespace
