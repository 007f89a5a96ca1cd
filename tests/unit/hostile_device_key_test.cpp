// Device keys from an untrusted caller: only keys plainly below the running
// family's device roots are read; every other key fails before the registry
// is asked, as a missing value does. Keys that FindDevice hands out still
// come back through GetDeviceInfo on every route of both families.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include "member_calls.h"
#include "devices/device_key_check.h"
#include "devices/device_query.h"
#include "object/co_dezivero.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/module_directory.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::Bstr;
using test_support::kSentinel;
using test_support::Narrow;
using test_support::Widen;

// GetDeviceInfo of text: the text, "<empty>" for VT_EMPTY, "<vt N>" otherwise.
std::string InfoText(const std::string& key, const std::string& subkey, const std::string& name) {
    VARIANT value;
    VariantInit(&value);  // as the object does before the device search
    Bstr k(key), s(subkey), n(name);
    if (test_support::DeviceInfo(k, s, n, &value) != S_OK) return "<failed>";
    std::string out;
    if (V_VT(&value) == VT_EMPTY)
        out = "<empty>";
    else if (V_VT(&value) == VT_BSTR)
        out = Narrow(V_BSTR(&value));
    else
        out = "<vt " + std::to_string(V_VT(&value)) + ">";
    VariantClear(&value);
    return out;
}

class HostileKeyTest : public ::testing::Test {
protected:
    void SetUp() override { sysinfo::ForgetPlatformRecord(); }
    void TearDown() override { sysinfo::ForgetPlatformRecord(); }
};

struct KeyRow {
    const char* name;
    bool nt;
    const char* key;
    bool accepted;
};

void PrintTo(const KeyRow& row, std::ostream* os) { *os << row.name; }

const KeyRow kKeyRows[] = {
    // 9x family: "Enum\" and at least one component.
    {"Win9xHardwareKey", false, "Enum\\Root\\*PNP0500\\0000", true},
    {"Win9xRootInAnyCase", false, "eNUM\\root\\x", true},
    {"Win9xOneComponent", false, "Enum\\x", true},
    {"Win9xThreeDotsIsAName", false, "Enum\\x\\...", true},
    {"Win9xDotsInsideAName", false, "Enum\\x..y\\.z", true},
    {"Win9xForwardSlashInsideAName", false, "Enum\\LaserJet 4/4M", true},
    {"Win9xRootAlone", false, "Enum", false},
    {"Win9xRootWithSeparatorOnly", false, "Enum\\", false},
    {"Win9xRootWithDoubleSeparator", false, "Enum\\\\", false},
    {"Win9xEmptyFirstComponent", false, "Enum\\\\x", false},
    {"Win9xEmptyInnerComponent", false, "Enum\\x\\\\y", false},
    {"Win9xTrailingSeparator", false, "Enum\\x\\", false},
    {"Win9xLeadingSeparator", false, "\\Enum\\x", false},
    {"Win9xLeadingSpace", false, " Enum\\x", false},
    {"Win9xForwardSlashAfterRoot", false, "Enum/x", false},
    {"Win9xDotDotClimbs", false, "Enum\\..\\Software", false},
    {"Win9xDotDotAfterComponents", false, "Enum\\x\\y\\..\\..\\..\\Software", false},
    {"Win9xDotDotLast", false, "Enum\\x\\..", false},
    {"Win9xDot", false, "Enum\\.", false},
    {"Win9xDotDotBetweenSlashes", false, "Enum\\x/../y", false},
    {"Win9xDotBetweenSlashes", false, "Enum\\x/./y", false},
    {"Win9xPrefixSharedOnly", false, "EnumX\\x", false},
    {"Win9xRootCutShort", false, "Enu", false},
    {"Win9xDeviceListIsNoDeviceKey", false, "Config Manager\\Enum\\x", false},
    {"Win9xNtRootRefused", false, "System\\CurrentControlSet\\Enum\\Root\\x", false},
    {"Win9xOwnerKeyRefused", false, "Software\\Microsoft\\Windows\\CurrentVersion", false},
    {"Win9xDriverKeyRefused", false, "System\\CurrentControlSet\\Services\\Class\\Modem\\0000",
     false},
    // NT family: every route's root and the enumeration tree.
    {"NtEnumInstance", true, "System\\CurrentControlSet\\Enum\\PCI\\VEN_1\\3&1", true},
    {"NtScsiUnit", true, "HARDWARE\\DEVICEMAP\\SCSI\\Scsi Port 0\\Scsi Bus 0", true},
    {"NtNetworkCard", true, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\1",
     true},
    {"NtPrinter", true, "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\HP 4/4M", true},
    {"NtMedia", true, "SYSTEM\\CurrentControlSet\\Control\\MediaResources\\wave\\x", true},
    {"NtRootInAnyCase", true, "system\\currentcontrolset\\ENUM\\x", true},
    {"NtEnumRootAlone", true, "System\\CurrentControlSet\\Enum", false},
    {"NtEnumRootWithSeparatorOnly", true, "System\\CurrentControlSet\\Enum\\", false},
    {"NtEnumRootWithDoubleSeparator", true, "System\\CurrentControlSet\\Enum\\\\", false},
    {"NtScsiRootAlone", true, "HARDWARE\\DEVICEMAP\\SCSI", false},
    {"NtScsiPrefixSharedOnly", true, "HARDWARE\\DEVICEMAP\\SCSIX\\x", false},
    {"NtEnumPrefixSharedOnly", true, "System\\CurrentControlSet\\Enumerator\\x", false},
    {"NtEmptyComponent", true, "System\\CurrentControlSet\\Enum\\\\PCI", false},
    {"NtDotDotClimbsOut", true,
     "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\..\\..\\Winlogon", false},
    {"NtForwardSlashSeparators", true, "System/CurrentControlSet/Enum/x", false},
    {"NtLeadingSeparator", true, "\\System\\CurrentControlSet\\Enum\\x", false},
    {"Nt9xRootRefused", true, "Enum\\Root\\x", false},
    {"NtServicesRefused", true, "System\\CurrentControlSet\\Services\\svc\\Enum", false},
    {"NtDriverKeyRefused", true, "System\\CurrentControlSet\\Control\\Class\\{x}\\0000", false},
    {"NtCurrentVersionRefused", true, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", false},
    {"NtSamRefused", true, "SAM\\SAM\\Domains", false},
};

class HostileKeyRowTest : public HostileKeyTest, public ::testing::WithParamInterface<KeyRow> {};

// A refusal shows as no registry access at all, whether or not a key of that
// name could exist.
TEST_P(HostileKeyRowTest, AcceptedKeysAnswerRefusedKeysAskNothing) {
    const KeyRow& row = GetParam();
    auto machine = row.nt ? Machine::Nt() : Machine::Win9x();
    if (row.accepted) machine->Sz(std::string("HKLM\\") + row.key, "Value", "present");
    Scope scope(*machine);
    machine->ResetCounts();

    BYTE buffer[64];
    std::memset(buffer, 0xCC, sizeof buffer);
    DWORD type = kSentinel;
    DWORD size = sizeof buffer;
    const bool ok = devices::QueryDeviceValue(row.key, nullptr, "Value", &type, buffer, &size);
    if (row.accepted) {
        ASSERT_NE(0, ok);
        EXPECT_STREQ("present", reinterpret_cast<const char*>(buffer));
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        EXPECT_EQ("present", InfoText(row.key, "", "Value"));
    } else {
        EXPECT_EQ(0, ok);
        EXPECT_EQ(0, buffer[0]);
        EXPECT_EQ(0xCC, buffer[1]);
        EXPECT_EQ(kSentinel, type);
        EXPECT_EQ(sizeof buffer, size);
        EXPECT_EQ(0, machine->Calls("RegOpenKeyExA"));
        EXPECT_EQ("<empty>", InfoText(row.key, "", "Value"));
        EXPECT_EQ("<empty>", InfoText(row.key, "", "Speed"));
        EXPECT_EQ(0, machine->Calls("RegOpenKeyExA"));
    }
    EXPECT_EQ(0, machine->OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileKeyRowTest, ::testing::ValuesIn(kKeyRows),
                         test_support::RowName());

// The check itself, apart from the registry: the same table gives the same
// answers, and a family's keys are never the other family's.
TEST(HostileKeyCheck, FamilyDecidesTheRoots) {
    for (const KeyRow& row : kKeyRows) {
        EXPECT_EQ(row.accepted, devices::IsDeviceKeyOfFamily(row.key, devices::FamilyOf(row.nt))) << row.name;
        if (row.accepted) {
            EXPECT_FALSE(devices::IsDeviceKeyOfFamily(row.key, devices::FamilyOf(!row.nt))) << row.name;
        }
    }
    EXPECT_FALSE(devices::IsDeviceKeyOfFamily(nullptr, devices::FamilyOf(true)));
    EXPECT_FALSE(devices::IsDeviceKeyOfFamily(nullptr, devices::FamilyOf(false)));
    EXPECT_FALSE(devices::IsDeviceKeyOfFamily("", devices::FamilyOf(false)));
}

// A value outside every device root, which the caller names directly.
TEST_F(HostileKeyTest, SecretOutsideTheRootsStaysUnread) {
    for (bool nt : {true, false}) {
        auto machine = nt ? Machine::Nt() : Machine::Win9x();
        machine->Sz("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductId", "SECRET")
            .Sz("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion", "ProductId", "SECRET")
            .Sz("HKLM\\Enum\\Root\\x", "Driver", "..\\..\\..\\..\\Software")
            .Sz("HKLM\\System\\CurrentControlSet\\Enum\\Root\\x", "Driver", "{x}\\0000");
        Scope scope(*machine);
        sysinfo::ForgetPlatformRecord();
        const char* keys[] = {
            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
            "Software\\Microsoft\\Windows\\CurrentVersion",
            "Enum\\..\\Software\\Microsoft\\Windows\\CurrentVersion",
            "System\\CurrentControlSet\\Enum\\..\\..\\..\\SOFTWARE\\Microsoft\\Windows NT\\"
            "CurrentVersion",
        };
        for (const char* key : keys) EXPECT_EQ("<empty>", InfoText(key, "", "ProductId")) << key;
        EXPECT_EQ(0, machine->OpenKeys());
    }
}

// The subkey is appended to the driver key: the same rules hold for it,
// except that an empty subkey stays allowed.
struct SubkeyRow {
    const char* name;
    const char* subkey;
    const char* expected;
};

void PrintTo(const SubkeyRow& row, std::ostream* os) { *os << row.name; }

const SubkeyRow kSubkeyRows[] = {
    {"EmptyReadsDriverKey", "", "driver"},
    {"PlainSubkey", "Modes", "mode"},
    {"TwoComponents", "Modes\\Deep", "deep"},
    {"DotDotRefused", "..\\0001", "<empty>"},
    {"DotDotInsideRefused", "Modes\\..\\..\\Other", "<empty>"},
    {"LeadingSeparatorRefused", "\\Modes", "<empty>"},
    {"DoubleSeparatorRefused", "Modes\\\\Deep", "<empty>"},
    {"TrailingSeparatorRefused", "Modes\\", "<empty>"},
    {"DotSlashRefused", "./Modes", "<empty>"},
};

class HostileSubkeyTest : public HostileKeyTest, public ::testing::WithParamInterface<SubkeyRow> {
};

TEST_P(HostileSubkeyTest, SubkeyBelowTheDriverKeyOnly) {
    const SubkeyRow& row = GetParam();
    for (bool nt : {true, false}) {
        auto machine = nt ? Machine::Nt() : Machine::Win9x();
        const std::string device =
            nt ? "System\\CurrentControlSet\\Enum\\PCI\\VEN_1\\0" : "Enum\\PCI\\VEN_1\\0";
        const std::string driver = nt ? "HKLM\\System\\CurrentControlSet\\Control\\Class\\{d}\\0000"
                                      : "HKLM\\System\\CurrentControlSet\\Services\\Class\\D\\0000";
        machine->Sz("HKLM\\" + device, "Driver", nt ? "{d}\\0000" : "D\\0000")
            .Sz(driver, "Setting", "driver")
            .Sz(driver + "\\Modes", "Setting", "mode")
            .Sz(driver + "\\Modes\\Deep", "Setting", "deep");
        Scope scope(*machine);
        sysinfo::ForgetPlatformRecord();
        EXPECT_EQ(row.expected, InfoText(device, row.subkey, "Setting")) << nt;
        EXPECT_EQ(0, machine->OpenKeys());
    }
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileSubkeyTest, ::testing::ValuesIn(kSubkeyRows),
                         test_support::RowName());

// FindDevice, then HWKey, then GetDeviceInfo with that key, through the
// object, for every route: the keys the search hands out are device keys.
struct RoundTripRow {
    const char* name;
    bool nt;
    const char* deviceClass;
    const char* valueName;
    const char* expected;
};

void PrintTo(const RoundTripRow& row, std::ostream* os) { *os << row.name; }

const RoundTripRow kRoundTripRows[] = {
    {"ScsiDiskDescription", true, "DiskDrive", "DeviceDesc", "ORVANE DISK"},
    {"ScsiDiskDriverFromPortKey", true, "DiskDrive", "DriverDesc", "orvscsi"},
    {"ScsiDiskDmaFromPortKey", true, "DiskDrive", "DMACurrentlyUsed", "<vt 3>"},
    {"ScsiCdRomDescription", true, "CDROM", "DeviceDesc", "ORVANE CD"},
    {"MonitorDescription", true, "Monitor", "DeviceDesc", "Plug and Play Monitor"},
    {"MonitorDriverKeyRetry", true, "Monitor", "DriverDesc", "Monitor driver"},
    {"NetTitle", true, "Net", "DeviceDesc", "Orvane NIC"},
    {"NetManufacturer", true, "Net", "Mfg", "Orvane"},
    {"PrinterNameWithSlash", true, "Printer", "DeviceDesc", "LaserJet 4/4M"},
    {"PrinterDriver", true, "Printer", "DriverDesc", "PCL 5"},
    {"MediaDescription", true, "Media", "DeviceDesc", "Orvane Wave"},
    {"ServicesModemSpeed", true, "modem", "Speed", "<vt 3>"},
    {"ServicesModemDriverKeyRetry", true, "modem", "DriverDesc", "Modem driver"},
    {"Win9xModemDescription", false, "modem", "DeviceDesc", "Orvane V.90 Modem"},
    {"Win9xModemDriverKeyRetry", false, "modem", "DriverDesc", "Modem driver"},
    {"Win9xModemSpeed", false, "Modem", "Speed", "<vt 3>"},
};

std::unique_ptr<Machine> RouteMachine(bool nt) {
    if (!nt) {
        auto m = Machine::Win9x();
        m->Sz("HKDD\\Config Manager\\Enum\\C0", "HardwareKey", "Root\\*PNPC031\\0000")
            .Dword("HKDD\\Config Manager\\Enum\\C0", "Problem", 0)
            .Sz("HKLM\\Enum\\Root\\*PNPC031\\0000", "Class", "Ports")
            .Sz("HKDD\\Config Manager\\Enum\\C1", "HardwareKey", "ISAPNP\\ORV0001\\0")
            .Dword("HKDD\\Config Manager\\Enum\\C1", "Problem", 0)
            .Sz("HKLM\\Enum\\ISAPNP\\ORV0001\\0", "Class", "Modem")
            .Sz("HKLM\\Enum\\ISAPNP\\ORV0001\\0", "DeviceDesc", "Orvane V.90 Modem")
            .Sz("HKLM\\Enum\\ISAPNP\\ORV0001\\0", "Driver", "Modem\\0000")
            .Sz("HKLM\\System\\CurrentControlSet\\Services\\Class\\Modem\\0000", "DriverDesc",
                "Modem driver");
        return m;
    }
    const std::string scsi = "HKLM\\HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 0";
    const std::string enumRoot = "HKLM\\System\\CurrentControlSet\\Enum\\";
    const std::string classRoot = "HKLM\\System\\CurrentControlSet\\Control\\Class\\";
    // Every route of NT 4.0's layout, the media resources' among them.
    auto m = Machine::Nt4();
    m->Sz(scsi, "Driver", "orvscsi")
        .Dword(scsi, "DMAEnabled", 1)
        .Sz(scsi + "\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "Type", "DiskPeripheral")
        .Sz(scsi + "\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0", "Identifier", "ORVANE DISK")
        .Sz(scsi + "\\Scsi Bus 0\\Target Id 1\\Logical Unit Id 0", "Type", "CdRomPeripheral")
        .Sz(scsi + "\\Scsi Bus 0\\Target Id 1\\Logical Unit Id 0", "Identifier", "ORVANE CD")
        .Sz(enumRoot + "DISPLAY\\Default_Monitor\\1", "Class", "Monitor")
        .Sz(enumRoot + "DISPLAY\\Default_Monitor\\1", "DeviceDesc", "Plug and Play Monitor")
        .Sz(enumRoot + "DISPLAY\\Default_Monitor\\1", "Driver", "{mon}\\0000")
        .Sz(classRoot + "{mon}\\0000", "DriverDesc", "Monitor driver")
        .Sz("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\2", "Title",
            "Orvane NIC")
        .Sz("HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\2",
            "Manufacturer", "Orvane")
        .Sz("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\LaserJet 4/4M", "Name",
            "LaserJet 4/4M")
        .Sz("HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\LaserJet 4/4M",
            "Printer Driver", "PCL 5")
        .Sz("HKLM\\SYSTEM\\CurrentControlSet\\Control\\MediaResources\\wave\\orv", "Active", "1")
        .Sz("HKLM\\SYSTEM\\CurrentControlSet\\Control\\MediaResources\\wave\\orv", "Description",
            "Orvane Wave")
        .Dword("HKLM\\System\\CurrentControlSet\\Services\\orvmdm\\Enum", "Count", 1)
        .Sz("HKLM\\System\\CurrentControlSet\\Services\\orvmdm\\Enum", "0", "ISAPNP\\ORV0001\\0")
        .Sz(enumRoot + "ISAPNP\\ORV0001\\0", "Class", "Modem")
        .Dword(enumRoot + "ISAPNP\\ORV0001\\0", "StatusFlags", 0)
        .Sz(enumRoot + "ISAPNP\\ORV0001\\0", "DeviceDesc", "Orvane V.90 Modem")
        .Sz(enumRoot + "ISAPNP\\ORV0001\\0", "Driver", "{mdm}\\0000")
        .Sz(classRoot + "{mdm}\\0000", "DriverDesc", "Modem driver");
    return m;
}

class HostileRoundTripTest : public HostileKeyTest,
                             public ::testing::WithParamInterface<RoundTripRow> {};

TEST_P(HostileRoundTripTest, FoundKeyReadsBack) {
    const RoundTripRow& row = GetParam();
    auto machine = RouteMachine(row.nt);
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    sysinfo::ForgetModuleDirectory();
    auto object = std::make_unique<object::CoDeZiVero>(nullptr);

    Bstr deviceClass(row.deviceClass);
    VARIANT_BOOL found = VARIANT_FALSE;
    ASSERT_EQ(S_OK, object->FindDevice(0, deviceClass, &found));
    ASSERT_EQ(VARIANT_TRUE, found);
    BSTR key = nullptr;
    ASSERT_EQ(S_OK, object->get_HWKey(&key));
    const std::string keyText = Narrow(key);
    SysFreeString(key);
    ASSERT_TRUE(devices::IsDeviceKeyOfFamily(keyText.c_str(), devices::FamilyOf(row.nt))) << keyText;

    Bstr keyArgument(keyText), subkey(""), valueName(row.valueName);
    VARIANT value;
    VariantInit(&value);
    ASSERT_EQ(S_OK, object->GetDeviceInfo(keyArgument, subkey, valueName, &value));
    std::string text = V_VT(&value) == VT_BSTR    ? Narrow(V_BSTR(&value))
                       : V_VT(&value) == VT_EMPTY ? "<empty>"
                                                  : "<vt " + std::to_string(V_VT(&value)) + ">";
    EXPECT_EQ(row.expected, text) << keyText;
    VariantClear(&value);
    object.reset();
    EXPECT_EQ(0, machine->OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileRoundTripTest, ::testing::ValuesIn(kRoundTripRows),
                         test_support::RowName());

}  // namespace

namespace {

// In code page 932 the second byte of a double-byte character can be the
// backslash's byte; the registry reads such a key by characters, and so does
// the check. Runs where the ANSI code page is 932 (hostile_double_byte).
TEST(HostileDoubleByte, TrailByteIsNoSeparator) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    // 0x83 0x5C is one character; a byte-wise walk would see "x\x83", an empty
    // component, and "y".
    EXPECT_TRUE(devices::IsDeviceKeyOfFamily("Enum\\x\x83\x5C\\y", devices::FamilyOf(false)));
    EXPECT_TRUE(devices::IsDeviceKeyOfFamily("Enum\\\x83\x5C", devices::FamilyOf(false)));
    EXPECT_TRUE(devices::IsPlainRelativePath("\x83\x5C\\\x83\x5C"));
    EXPECT_FALSE(devices::IsDeviceKeyOfFamily("Enum\\\x83\x5C\\..", devices::FamilyOf(false)));
    EXPECT_FALSE(devices::IsDeviceKeyOfFamily("Enum\\\x83\x5C\\\\x", devices::FamilyOf(false)));
    // A lead byte with nothing behind it ends the text, as the registry reads it.
    EXPECT_TRUE(devices::IsDeviceKeyOfFamily("Enum\\x\x83", devices::FamilyOf(false)));
}

}  // namespace
