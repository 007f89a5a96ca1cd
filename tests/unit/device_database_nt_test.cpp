// The NT family's device database: class routes and the order of the tree
// search, the services walk and the status it writes, the value remaps, the
// SCSI port fallback and the driver-key retry.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include "device_database_test_support.h"
#include "devices/device_database_nt.h"
#include "devices/device_query.h"
#include "devices/scsi_port_value.h"
#include "devices/search_key_tree.h"
#include "sysinfo/platform_family.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using device_database_test::DriverPathRow;
using device_database_test::FindRow;
using device_database_test::ReadRow;
using platform::fake::Machine;
using test_support::kFill;
using test_support::kLongSentinel;

const std::string kScsi = "HKLM\\HARDWARE\\DEVICEMAP\\SCSI\\";
const std::string kEnum = "HKLM\\System\\CurrentControlSet\\Enum\\";
const std::string kServices = "HKLM\\System\\CurrentControlSet\\Services\\";
const std::string kNet = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
const std::string kPrinters = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
const std::string kMedia = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\MediaResources\\";
const std::string kDriverClass = "HKLM\\System\\CurrentControlSet\\Control\\Class\\";

const std::string kLun00 = "Scsi Port 0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0";
const std::string kLun01 = "Scsi Port 0\\Scsi Bus 0\\Target Id 1\\Logical Unit Id 0";
const std::string kLun10 = "Scsi Port 1\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0";
const std::string kLun12 = "Scsi Port 1\\Scsi Bus 0\\Target Id 2\\Logical Unit Id 0";

void AddService(Machine& m, const std::string& service, const char* const* instances,
                int count, const DWORD* countValue) {
    const std::string key = kServices + service + "\\Enum";
    m.Key(key);
    if (countValue) m.Dword(key, "Count", *countValue);
    for (int i = 0; i < count; ++i) m.Sz(key, std::to_string(i), instances[i]);
}

void AddInstance(Machine& m, const std::string& path, const char* cls, const DWORD* flags,
                 const DWORD* problem, const char* description = nullptr) {
    m.Sz(kEnum + path, "Class", cls);
    if (flags) m.Dword(kEnum + path, "StatusFlags", *flags);
    if (problem) m.Dword(kEnum + path, "Problem", *problem);
    if (description) m.Sz(kEnum + path, "DeviceDesc", description);
}

// NT 4.0's layout: flags and problems in the registry, titled network cards,
// active media resources (device_layouts_test.cpp has the later layouts).
std::unique_ptr<Machine> DeviceDatabaseNt() {
    auto m = Machine::Nt4();
    // SCSI device map: two ports; a hidden unit with a counting key below it.
    m->Sz(kScsi + "Scsi Port 0", "Driver", "atapi")
        .Dword(kScsi + "Scsi Port 0", "DMAEnabled", 1)
        .Sz(kScsi + kLun00, "Type", "DiskPeripheral")
        .Sz(kScsi + kLun00, "Identifier", "WDC WD800")
        .Sz(kScsi + kLun00 + "\\Child", "Type", "DiskPeripheral")
        .Sz(kScsi + kLun01, "Type", "CdRomPeripheral")
        .Sz(kScsi + kLun01, "Identifier", "HL-DT-ST DVD")
        .Sz(kScsi + kLun01, "Driver", "cdrom-own")
        .Sz(kScsi + "Scsi Port 1", "Driver", "aic78xx")
        .Sz(kScsi + kLun10, "Type", "DiskPeripheral")
        .Dword(kScsi + kLun10, "Hidden", 1)
        .Sz(kScsi + kLun10 + "\\Sub", "Type", "diskperipheral")
        .Sz(kScsi + kLun12, "Type", "DiskPeripheral")
        .Sz(kScsi + kLun12, "Driver", "{4D36E967}\\0001")
        .Sz(kScsi + "Scsi Port 2", "Type", "")
        .Sz("HKLM\\HARDWARE\\DEVICEMAP\\SCSI", "Driver", "root-driver");
    m->Sz(kDriverClass + "{4D36E967}\\0001", "Identifier", "From driver key")
        .Sz(kDriverClass + "{4D36E967}\\0001\\Settings", "Identifier", "From driver subkey");

    // Network cards, printers, media.
    m->Sz(kNet + "1", "Title", "Intel Pro").Sz(kNet + "1", "Manufacturer", "Intel");
    m->Key(kNet + "2");
    m->Sz(kNet + "3", "Title", "");
    m->Sz(kNet + "4", "Title", "Realtek");
    m->Sz(kPrinters + "HP LaserJet", "Name", "HP LaserJet")
        .Sz(kPrinters + "HP LaserJet", "Printer Driver", "HP PCL")
        .Sz(kPrinters + "Nameless", "Name", "")
        .Sz(kPrinters + "Zebra", "Name", "Zebra");
    m->Sz(kMedia + "wave\\SB16", "Active", "1")
        .Sz(kMedia + "wave\\SB16", "Description", "Sound Blaster")
        .Sz(kMedia + "midi\\Synth", "Active", "0")
        .Sz(kMedia + "mci\\cdaudio", "Active", "1");

    // Enumeration tree monitors (also instances of the services below).
    m->Sz(kEnum + "DISPLAY\\Default_Monitor\\4&1", "Class", "Monitor")
        .Sz(kEnum + "DISPLAY\\ACME\\5&2", "Class", "monitor");

    // Services and their instances.
    const DWORD f0 = 0, f0A = 0x0A, f0B = 0x0B, f100 = 0x100;
    const DWORD p0 = 0, p5 = 5, p22 = 22, p21 = 0x21;
    const DWORD one = 1, two = 2, three = 3, zero = 0;
    const char* atapi[] = {"PCI\\VEN_IDE\\3&1"};
    AddService(*m, "atapi", atapi, 1, &one);
    AddInstance(*m, "PCI\\VEN_IDE\\3&1", "hdc", &f0A, nullptr);
    const char* aic[] = {"PCI\\VEN_9004\\3&2", "PCI\\VEN_9005\\3&3", "PCI\\VEN_9006\\3&4"};
    AddService(*m, "aic78xx", aic, 3, &three);
    AddInstance(*m, aic[0], "SCSIAdapter", &f0B, &p0, "Adaptec AIC-7880 Ultra");
    AddInstance(*m, aic[1], "scsiadapter", &f0B, &p5, "Second scsi controller");
    AddInstance(*m, aic[2], "SCSIAdapter", &f100, &p0, "Disabled SCSI controller");
    m->Key(kServices + "Cdrom");
    const char* empty[] = {"PCI\\VEN_X\\1"};
    AddService(*m, "EmptySvc", empty, 1, &zero);
    AddInstance(*m, "PCI\\VEN_X\\1", "hdc", &f0A, &p0);
    const char* noCount[] = {"PCI\\VEN_Y\\1"};
    AddService(*m, "NoCount", noCount, 1, nullptr);
    AddInstance(*m, "PCI\\VEN_Y\\1", "hdc", &f0A, &p0);
    const char* modem[] = {"Root\\MODEM\\0000", "Root\\MODEM\\0001"};
    AddService(*m, "Modem", modem, 2, &two);
    AddInstance(*m, modem[0], "Modem", nullptr, &p22, "V.90 33.6 Data Fax");
    AddInstance(*m, modem[1], "Modem", &f0, nullptr);
    const char* usb[] = {"USB\\ROOT\\1", "USB\\ROOT\\2"};
    AddService(*m, "usbhub", usb, 2, &two);
    AddInstance(*m, usb[0], "USB", &f0A, &p21);
    AddInstance(*m, usb[1], "USB", nullptr, &p5);
    const char* vga[] = {"PCI\\VEN_VGA\\1"};
    AddService(*m, "vga", vga, 1, &one);
    AddInstance(*m, vga[0], "Display", &f0, &p0, "Super AGP Accelerator");
    m->Sz(kEnum + vga[0], "Driver", "{4D36E968}\\0000");
    m->Sz(kDriverClass + "{4D36E968}\\0000", "DriverDesc", "VGA driver")
        .Sz(kDriverClass + "{4D36E968}\\0000\\Settings", "Mode", "1024x768");
    return m;
}

using DeviceNtTest = test_support::BoundMachineTest<DeviceDatabaseNt>;

const std::string kScsiKey = "HARDWARE\\DEVICEMAP\\SCSI\\";
const std::string kEnumKey = "System\\CurrentControlSet\\Enum\\";
const std::string kNetKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\";
const std::string kPrinterKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
const std::string kMediaKey = "SYSTEM\\CurrentControlSet\\Control\\MediaResources\\";

// A services walk that finds nothing leaves the last instance it tried.
const std::string kLastInstance = kEnumKey + "PCI\\VEN_VGA\\1";

const FindRow kFindRows[] = {
    {"DiskFirstInDepthFirstOrder", "DiskDrive", 0, 1, kScsiKey + kLun00, 0},
    {"CountingKeyThenItsSubkey", "diskdrive", 1, 1, kScsiKey + kLun00 + "\\Child", 0},
    {"HiddenKeySkippedButSearchedBelow", "DISKDRIVE", 2, 1, kScsiKey + kLun10 + "\\Sub", 0},
    {"DiskAfterHiddenUnit", "DiskDrive", 3, 1, kScsiKey + kLun12, 0},
    {"PastLastDisk", "DiskDrive", 4, 0, "", 0},
    {"CdRom", "cdrom", 0, 1, kScsiKey + kLun01, 0},
    {"OnlyOneCdRom", "CDROM", 1, 0, "", 0},
    {"MonitorsInEnumerationOrder", "Monitor", 0, 1, kEnumKey + "DISPLAY\\ACME\\5&2", 0},
    {"SecondMonitor", "MONITOR", 1, 1, kEnumKey + "DISPLAY\\Default_Monitor\\4&1", 0},
    {"NetCardWithTitle", "Net", 0, 1, kNetKey + "1", 0},
    {"NetCardsWithoutOrEmptyTitleSkipped", "net", 1, 1, kNetKey + "4", 0},
    {"PrinterWithName", "Printer", 0, 1, kPrinterKey + "HP LaserJet", 0},
    {"PrinterWithEmptyNameSkipped", "Printer", 1, 1, kPrinterKey + "Zebra", 0},
    {"MediaActiveOnly", "Media", 0, 1, kMediaKey + "mci\\cdaudio", 0},
    {"MediaInactiveSkipped", "MEDIA", 1, 1, kMediaKey + "wave\\SB16", 0},
    {"NoThirdMedia", "Media", 2, 0, "", 0},
    {"ServiceInstanceWithoutProblem", "hdc", 0, 1, kEnumKey + "PCI\\VEN_IDE\\3&1", 0},
    {"CountZeroAndMissingCountContributeNothing", "hdc", 1, 0, kLastInstance, 0},
    {"ScsiAdapterStatusIsProblem", "SCSIAdapter", 1, 1, kEnumKey + "PCI\\VEN_9005\\3&3", 5},
    {"ScsiAdapterWithFlagsLowByteZeroSkipped", "SCSIAdapter", 2, 0, kLastInstance, 0x100},
    {"ModemWithoutStatusFlagsCounts", "modem", 0, 1, kEnumKey + "Root\\MODEM\\0000", 22},
    {"ModemWithFlagsZeroCounts", "Modem", 1, 1, kEnumKey + "Root\\MODEM\\0001", 0},
    {"DisplayWithFlagsZeroCounts", "display", 0, 1, kEnumKey + "PCI\\VEN_VGA\\1", 0},
    {"InstanceWithFlags", "USB", 0, 1, kEnumKey + "USB\\ROOT\\1", 0x21},
    {"InstanceWithoutFlagsNotJudgedByPreviousStatus", "usb", 1, 0, kLastInstance, 0},
};

class DeviceNtFindTest : public DeviceNtTest, public ::testing::WithParamInterface<FindRow> {};

TEST_P(DeviceNtFindTest, FindsKeyAndStatus) { device_database_test::ExpectFind(GetParam()); }

INSTANTIATE_TEST_SUITE_P(DeviceNt, DeviceNtFindTest, ::testing::ValuesIn(kFindRows),
                         test_support::RowName());

TEST_F(DeviceNtTest, UnknownFailsAtOnceWithoutStatus) {
    for (const char* cls : {"Unknown", "UNKNOWN", "unknown"}) {
        char key[260];
        std::memset(key, kFill, sizeof key);
        LONG status = kLongSentinel;
        machine->ResetCounts();
        EXPECT_FALSE(devices::FindDeviceKey(0, cls, key, sizeof key, &status)) << cls;
        EXPECT_EQ(kLongSentinel, status) << cls;
        EXPECT_EQ(0, key[0]) << cls;
        EXPECT_EQ(0, machine->Calls("RegOpenKeyExA")) << cls;
    }
}

TEST_F(DeviceNtTest, FailedTreeSearchWritesNoKey) {
    char key[260];
    std::memset(key, kFill, sizeof key);
    key[0] = 'x';
    LONG counter = 4;
    EXPECT_FALSE(devices::SearchKeyTree(&counter, "HARDWARE\\DEVICEMAP\\SCSI", "Type",
                                        "DiskPeripheral", key, sizeof key));
    EXPECT_EQ('x', key[0]);
    EXPECT_EQ(0, counter);  // four disks counted down
}

TEST_F(DeviceNtTest, FailedServicesWalkLeavesLastInstanceTried) {
    char key[1040];
    LONG status = 0;
    EXPECT_FALSE(devices::FindDeviceKey(1, "usb", key, sizeof key, &status));
    EXPECT_EQ(kLastInstance, std::string(key));
}

TEST_F(DeviceNtTest, MissingRootFindsNothing) {
    machine->RemoveKey("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print");
    machine->RemoveKey("HKLM\\System\\CurrentControlSet\\Services");
    char key[260];
    LONG status = kLongSentinel;
    EXPECT_FALSE(devices::FindDeviceKey(0, "Printer", key, sizeof key, &status));
    EXPECT_EQ(0, status);
    status = kLongSentinel;
    EXPECT_FALSE(devices::FindDeviceKey(0, "Modem", key, sizeof key, &status));
    EXPECT_EQ(kLongSentinel, status);
}

const ReadRow kValueRows[] = {
    {"ScsiDeviceDescIsIdentifier", kScsiKey + kLun00, nullptr, "DeviceDesc", 1, REG_SZ,
     "WDC WD800", 0},
    {"ScsiPrefixWithoutCase", "hardware\\devicemap\\scsi\\" + kLun00, nullptr, "devicedesc", 1,
     REG_SZ, "WDC WD800", 0},
    {"ScsiIdentifierFromDriverKey", kScsiKey + kLun12, nullptr, "DeviceDesc", 1, REG_SZ,
     "From driver key", 0},
    {"ScsiIdentifierFromDriverSubkey", kScsiKey + kLun12, "Settings", "DeviceDesc", 1, REG_SZ,
     "From driver subkey", 0},
    {"ScsiDriverDescFromOwnDriver", kScsiKey + kLun01, nullptr, "DriverDesc", 1, REG_SZ,
     "cdrom-own", 0},
    {"ScsiDriverDescFromPortKey", kScsiKey + kLun00, nullptr, "DriverDesc", 1, REG_SZ, "atapi",
     0},
    {"ScsiDriverDescFromOtherPort", kScsiKey + kLun10, nullptr, "DriverDesc", 1, REG_SZ,
     "aic78xx", 0},
    {"ScsiDmaFromPortKey", kScsiKey + kLun01, nullptr, "DMACurrentlyUsed", 1, REG_DWORD, nullptr,
     1},
    {"ScsiDmaMissingInPortFails", kScsiKey + kLun10, nullptr, "DMACurrentlyUsed", 0, 0, nullptr,
     0},
    // The root is no device: a caller may not name it.
    {"ScsiRootKeyIsRefused", "HARDWARE\\DEVICEMAP\\SCSI", nullptr, "DriverDesc", 0, 0, nullptr,
     0},
    {"ScsiPortKeyReadsItself", kScsiKey + "Scsi Port 1", nullptr, "DriverDesc", 1, REG_SZ,
     "aic78xx", 0},
    {"NetDeviceDescIsTitle", kNetKey + "1", nullptr, "DeviceDesc", 1, REG_SZ, "Intel Pro", 0},
    {"NetMfgIsManufacturer", kNetKey + "1", nullptr, "Mfg", 1, REG_SZ, "Intel", 0},
    {"PrinterDeviceDescIsName", kPrinterKey + "HP LaserJet", nullptr, "DeviceDesc", 1, REG_SZ,
     "HP LaserJet", 0},
    {"PrinterDriverDescIsPrinterDriver", kPrinterKey + "HP LaserJet", nullptr, "DriverDesc", 1,
     REG_SZ, "HP PCL", 0},
    {"MediaDeviceDescIsDescription", kMediaKey + "wave\\SB16", nullptr, "DeviceDesc", 1, REG_SZ,
     "Sound Blaster", 0},
    {"EnumDeviceDescReadAsAsked", kEnumKey + "PCI\\VEN_VGA\\1", nullptr, "DeviceDesc", 1, REG_SZ,
     "Super AGP Accelerator", 0},
    {"EnumValueFromDriverKey", kEnumKey + "PCI\\VEN_VGA\\1", nullptr, "DriverDesc", 1, REG_SZ,
     "VGA driver", 0},
    {"EnumValueFromDriverSubkey", kEnumKey + "PCI\\VEN_VGA\\1", "Settings", "Mode", 1, REG_SZ,
     "1024x768", 0},
    {"EnumEmptySubkeyReadsDriverKey", kEnumKey + "PCI\\VEN_VGA\\1", "", "DriverDesc", 1, REG_SZ,
     "VGA driver", 0},
    {"EnumWithoutDriverFails", kEnumKey + "USB\\ROOT\\1", nullptr, "DriverDesc", 0, 0, nullptr, 0},
    {"MissingDeviceKeyFails", kEnumKey + "NOPE", nullptr, "DeviceDesc", 0, 0, nullptr, 0},
    {"StatusFlagsAsDword", kEnumKey + "USB\\ROOT\\1", nullptr, "StatusFlags", 1, REG_DWORD,
     nullptr, 0x0A},
};

class DeviceNtValueTest : public DeviceNtTest, public ::testing::WithParamInterface<ReadRow> {};

TEST_P(DeviceNtValueTest, ReadsRemappedValue) { device_database_test::ExpectRead(GetParam()); }

INSTANTIATE_TEST_SUITE_P(DeviceNt, DeviceNtValueTest, ::testing::ValuesIn(kValueRows),
                         test_support::RowName());

// A key like "HARDWARE\DEVICEMAP\SCSI\S" (just past the prefix, separator and
// one character, without a further backslash) stays whole.
TEST_F(DeviceNtTest, ScsiPortCutNeedsABackslashPastTheFirstCharacter) {
    machine->Sz(kScsi + "S", "Driver", "short-port");
    BYTE buffer[64] = {};
    DWORD type = 0, size = sizeof buffer;
    ASSERT_TRUE(devices::ReadScsiPortValue("HARDWARE\\DEVICEMAP\\SCSI\\S", nullptr, "Driver",
                                            &type, buffer, &size));
    EXPECT_STREQ("short-port", reinterpret_cast<const char*>(buffer));
}

// A device key of 259 characters is cut to its port; one of 260 fails.
TEST_F(DeviceNtTest, ScsiPortKeyNear259Characters) {
    const std::string port = kScsiKey + "Scsi Port 9";
    const std::string head = port + "\\";
    machine->Sz("HKLM\\" + port, "Driver", "far-port");
    for (size_t length : {size_t{259}, size_t{260}, size_t{1000}}) {
        const std::string key = head + std::string(length - head.size(), 'u');
        machine->Key("HKLM\\" + key);
        BYTE buffer[64] = {};
        DWORD type = 0, size = sizeof buffer;
        const bool ok = devices::QueryDeviceValue(key.c_str(), nullptr, "DriverDesc", &type,
                                                 buffer, &size);
        EXPECT_EQ(length <= 259, ok) << length;
        if (ok) {
            EXPECT_STREQ("far-port", reinterpret_cast<const char*>(buffer));
        }
    }
}

// "System\CurrentControlSet\Control\Class\" is 39 characters; "Driver" gets
// 220 bytes, and the path 259 characters.
class DeviceNtDriverPathTest : public DeviceNtTest,
                               public ::testing::WithParamInterface<DriverPathRow> {};

TEST_P(DeviceNtDriverPathTest, LongPathsFailInsteadOfOverrunning) {
    device_database_test::ExpectDriverPath(
        *machine, {devices::kFamilyNt, 220, kEnumKey + "LONG\\DRV", kDriverClass}, GetParam());
}

INSTANTIATE_TEST_SUITE_P(DeviceNt, DeviceNtDriverPathTest,
                         ::testing::ValuesIn(device_database_test::kDriverPathRows),
                         test_support::RowName());

// The instance path goes behind "System\CurrentControlSet\Enum\" with the
// last byte of the key buffer kept free.
TEST_F(DeviceNtTest, InstancePathFillingKeyBuffer) {
    const std::string fits(229, 'i');
    const std::string tooLong(230, 'j');
    const char* instances[] = {fits.c_str(), tooLong.c_str()};
    machine->RemoveKey("HKLM\\System\\CurrentControlSet\\Services");
    const DWORD two = 2, flags = 1;
    const std::string key = kServices + "long\\Enum";
    machine->Dword(key, "Count", two)
        .Raw(key, "0", REG_SZ, instances[0])
        .Raw(key, "1", REG_SZ, instances[1]);
    AddInstance(*machine, fits, "Wide", &flags, nullptr);
    AddInstance(*machine, tooLong, "Wide", &flags, nullptr);
    char buffer[260 + 8];
    std::memset(buffer, kFill, sizeof buffer);
    LONG status = 0;
    ASSERT_TRUE(devices::FindDeviceKey(0, "Wide", buffer, 260, &status));
    EXPECT_EQ(kEnumKey + fits, std::string(buffer));
    EXPECT_FALSE(devices::FindDeviceKey(1, "Wide", buffer, 260, &status));
    EXPECT_EQ(kEnumKey, std::string(buffer));
    for (size_t i = 260; i < sizeof buffer; ++i)
        EXPECT_EQ(static_cast<char>(kFill), buffer[i]) << i;
}

TEST_F(DeviceNtTest, ServicesWalkRefusesBufferWithoutRoomForPrefix) {
    char buffer[40];
    std::memset(buffer, kFill, sizeof buffer);
    LONG status = kLongSentinel;
    EXPECT_FALSE(devices::FindDeviceKey(0, "modem", buffer, 31, &status));
    EXPECT_EQ(kLongSentinel, status);
    EXPECT_EQ(static_cast<char>(kFill), buffer[1]);
}

// A hostile tree: a chain of single-letter keys far deeper than a path of
// 259 characters can reach. Keys within reach are found in depth-first
// order; keys beyond it are skipped, and the walk still ends.
struct DeepRow {
    const char* name;
    int depth;          // chain length below the root
    int candidateDepth; // level carrying the disk type
    int found;
};

void PrintTo(const DeepRow& row, std::ostream* os) { *os << row.name; }

const DeepRow kDeepRows[] = {
    {"CandidateAtDepth100Of200", 200, 100, 1},
    {"CandidateAtLastReachableLevel", 200, 118, 1},
    {"CandidateOneLevelTooDeep", 200, 119, 0},
    {"CandidateAtDepth150Of600", 600, 150, 0},
};

class DeviceNtDeepTest : public DeviceNtTest, public ::testing::WithParamInterface<DeepRow> {};

TEST_P(DeviceNtDeepTest, DeepTreeNeitherOverrunsNorExhaustsTheStack) {
    const DeepRow& row = GetParam();
    machine->RemoveKey("HKLM\\HARDWARE\\DEVICEMAP\\SCSI");
    std::string path = "HKLM\\HARDWARE\\DEVICEMAP\\SCSI";
    std::string candidate;
    for (int level = 1; level <= row.depth; ++level) {
        path += "\\d";
        if (level == row.candidateDepth) candidate = path;
    }
    machine->Key(path);
    machine->Sz(candidate, "Type", "DiskPeripheral");
    char key[1040];
    std::memset(key, kFill, sizeof key);
    LONG status = kLongSentinel;
    EXPECT_EQ(row.found, devices::FindDeviceKey(0, "DiskDrive", key, sizeof key, &status));
    if (row.found) {
        EXPECT_EQ(candidate.substr(5), std::string(key));
        EXPECT_LE(std::strlen(key), 259u);
    }
    EXPECT_EQ(0, status);
}

INSTANTIATE_TEST_SUITE_P(DeviceNt, DeviceNtDeepTest, ::testing::ValuesIn(kDeepRows),
                         test_support::RowName());

// A candidate whose path would pass 259 characters is neither tested nor
// searched below; one of exactly 259 is found.
TEST_F(DeviceNtTest, LongSubkeyNameNear259Characters) {
    for (size_t nameLength : {size_t{233}, size_t{234}}) {
        machine->RemoveKey("HKLM\\HARDWARE\\DEVICEMAP\\SCSI");
        const std::string longName(nameLength, 'n');
        machine->Sz(kScsi + "A\\" + longName, "Type", "CdRomPeripheral")
            .Sz(kScsi + "A\\" + longName + "\\x", "Type", "CdRomPeripheral")
            .Sz(kScsi + "B", "Type", "CdRomPeripheral");
        char key[1040];
        LONG status = 0;
        ASSERT_TRUE(devices::FindDeviceKey(0, "CDROM", key, sizeof key, &status));
        const std::string expected =
            nameLength == 233 ? kScsiKey + "A\\" + longName : kScsiKey + "B";
        EXPECT_EQ(expected, std::string(key)) << nameLength;
        const int secondFound = devices::FindDeviceKey(1, "CDROM", key, sizeof key, &status);
        if (nameLength == 233) {
            ASSERT_EQ(1, secondFound);
            EXPECT_EQ(kScsiKey + "B", std::string(key));
        } else {
            EXPECT_EQ(0, secondFound);
        }
    }
}

// A device key longer than a key buffer of 260 bytes can take is not
// reported in part.
TEST_F(DeviceNtTest, FoundPathLongerThanKeyBufferIsNotTruncated) {
    char key[64];
    std::memset(key, kFill, sizeof key);
    LONG status = 0;
    EXPECT_FALSE(devices::FindDeviceKey(0, "DiskDrive", key, sizeof key, &status));
    EXPECT_EQ(0, key[0]);
}

TEST_F(DeviceNtTest, ScsiRootReadsItsOwnValue) {
    BYTE buffer[64] = {};
    DWORD type = 0, size = sizeof buffer;
    ASSERT_TRUE(devices::ReadScsiPortValue("HARDWARE\\DEVICEMAP\\SCSI", nullptr, "Driver",
                                            &type, buffer, &size));
    EXPECT_STREQ("root-driver", reinterpret_cast<const char*>(buffer));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
}

}  // namespace
