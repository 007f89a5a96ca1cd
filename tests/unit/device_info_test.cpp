// GetDeviceInfo's conversion by registry type, its handling of script
// arguments of any length, and the SCSI and AGP probes on both families.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include "member_calls.h"
#include "sysinfo/platform_family.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::Bstr;
using test_support::Narrow;

const char kDeviceKey[] = "System\\CurrentControlSet\\Enum\\Root\\TEST\\0000";
const std::string kDevice = std::string("HKLM\\") + kDeviceKey;

class Variant {
public:
    Variant() {
        VariantInit(&value_);
        V_VT(&value_) = VT_I2;  // anything but VT_EMPTY, so an untouched result shows
        V_I2(&value_) = 0x7BAD;
    }
    ~Variant() { VariantClear(&value_); }
    VARIANT* Reset() {
        VariantClear(&value_);
        VariantInit(&value_);
        return &value_;
    }
    const VARIANT& operator*() const { return value_; }

private:
    VARIANT value_;
};

class DeviceInfoTest : public test_support::BoundMachineTest<Machine::Nt> {
protected:
    HRESULT Get(const Bstr& key, const Bstr& subkey, const Bstr& name) {
        return test_support::DeviceInfo(key, subkey, name, result.Reset());
    }
    Variant result;
};

struct TypeRow {
    const char* name;
    DWORD type;
    std::string bytes;
    VARTYPE vt;
    LONG number;       // VT_I4
    std::string text;  // VT_BSTR
};

void PrintTo(const TypeRow& row, std::ostream* os) { *os << row.name; }

const TypeRow kTypeRows[] = {
    {"SzIsText", REG_SZ, std::string("hello\0", 6), VT_BSTR, 0, "hello"},
    {"ExpandSzIsNotExpanded", REG_EXPAND_SZ, std::string("%SystemRoot%\\x\0", 15), VT_BSTR, 0,
     "%SystemRoot%\\x"},
    {"SzStopsAtFirstZero", REG_SZ, std::string("ab\0cd\0", 6), VT_BSTR, 0, "ab"},
    {"SzOfNoBytesIsEmptyText", REG_SZ, std::string(), VT_BSTR, 0, ""},
    {"SzWithoutTerminator", REG_SZ, std::string("abc"), VT_BSTR, 0, "abc"},
    {"SzFillingTheBuffer", REG_SZ, std::string(1040, 'A'), VT_BSTR, 0, std::string(1040, 'A')},
    {"SzOneByteTooLong", REG_SZ, std::string(1041, 'A'), VT_EMPTY, 0, ""},
    {"BinaryOfNoBytesIsZero", REG_BINARY, std::string(), VT_I4, 0, ""},
    {"BinaryOfOneByte", REG_BINARY, std::string("\x7F", 1), VT_I4, 0x7F, ""},
    {"BinaryOfTwoBytes", REG_BINARY, std::string("\x34\x12", 2), VT_I4, 0x1234, ""},
    {"BinaryOfThreeBytes", REG_BINARY, std::string("\x56\x34\x12", 3), VT_I4, 0x123456, ""},
    {"BinaryOfFourBytes", REG_BINARY, std::string("\x78\x56\x34\x12", 4), VT_I4, 0x12345678, ""},
    {"BinaryOfFourBytesNegative", REG_BINARY, std::string("\xFF\xFF\xFF\xFF", 4), VT_I4, -1, ""},
    {"BinaryOfFiveBytesIsEmpty", REG_BINARY, std::string("\x01\x02\x03\x04\x05", 5), VT_EMPTY, 0,
     ""},
    {"BinaryOfSixBytesIsEmpty", REG_BINARY, std::string("\x01\x02\x03\x04\x05\x06", 6), VT_EMPTY,
     0, ""},
    {"Dword", REG_DWORD, std::string("\x2A\x00\x00\x00", 4), VT_I4, 42, ""},
    {"DwordNegative", REG_DWORD, std::string("\xFE\xFF\xFF\xFF", 4), VT_I4, -2, ""},
    {"DwordOfTwoBytesIsZeroExtended", REG_DWORD, std::string("\x01\x02", 2), VT_I4, 0x0201, ""},
    {"MultiSzIsEmpty", REG_MULTI_SZ, std::string("a\0b\0\0", 5), VT_EMPTY, 0, ""},
    {"BigEndianIsEmpty", REG_DWORD_BIG_ENDIAN, std::string("\0\0\0\1", 4), VT_EMPTY, 0, ""},
    {"NoneIsEmpty", REG_NONE, std::string("\1\0\0\0", 4), VT_EMPTY, 0, ""},
    {"QwordIsEmpty", 11, std::string("\1\0\0\0\0\0\0\0", 8), VT_EMPTY, 0, ""},
};

class DeviceInfoTypeTest : public DeviceInfoTest, public ::testing::WithParamInterface<TypeRow> {
};

TEST_P(DeviceInfoTypeTest, ConvertsByType) {
    const TypeRow& row = GetParam();
    for (bool nt : {true, false}) {
        // NT 4.0: later systems answer multi-strings as arrays (device_indirect_text_test.cpp).
        auto m = nt ? Machine::Nt4() : Machine::Win9x();
        m->Raw(nt ? kDevice : "HKLM\\Enum\\Root\\TEST\\0000", "Value", row.type, row.bytes);
        Scope nested(*m);
        sysinfo::ForgetPlatformRecord();
        ASSERT_EQ(S_OK, Get(nt ? kDeviceKey : "Enum\\Root\\TEST\\0000", "", "Value"));
        ASSERT_EQ(row.vt, V_VT(&*result)) << nt;
        if (row.vt == VT_I4) {
            EXPECT_EQ(row.number, V_I4(&*result)) << nt;
        }
        if (row.vt == VT_BSTR) {
            EXPECT_EQ(row.text, Narrow(V_BSTR(&*result))) << nt;
        }
        EXPECT_EQ(0, m->OpenKeys());
    }
}

INSTANTIATE_TEST_SUITE_P(DeviceInfo, DeviceInfoTypeTest, ::testing::ValuesIn(kTypeRows),
                         test_support::RowName());

TEST_F(DeviceInfoTest, SpeedComesBackAsLong) {
    machine->Sz(kDevice, "DeviceDesc", "Standard V.90 Modem");
    ASSERT_EQ(S_OK, Get(kDeviceKey, "", "Speed"));
    ASSERT_EQ(VT_I4, V_VT(&*result));
    EXPECT_EQ(57600, V_I4(&*result));
}

TEST_F(DeviceInfoTest, SpeedWithoutPatternIsEmpty) {
    machine->Sz(kDevice, "DeviceDesc", "Standard Modem");
    ASSERT_EQ(S_OK, Get(kDeviceKey, "", "Speed"));
    EXPECT_EQ(VT_EMPTY, V_VT(&*result));
}

TEST_F(DeviceInfoTest, NullArgumentsArePointerErrors) {
    Bstr key(kDeviceKey), name("Value");
    EXPECT_EQ(E_POINTER, test_support::DeviceInfo(nullptr, key, name, result.Reset()));
    EXPECT_EQ(E_POINTER, test_support::DeviceInfo(key, nullptr, name, result.Reset()));
    EXPECT_EQ(E_POINTER, test_support::DeviceInfo(key, key, nullptr, result.Reset()));
    EXPECT_EQ(E_POINTER, test_support::DeviceInfo(key, key, name, nullptr));
}

// Script arguments of any length: converted into fixed buffers, and one that
// does not fit gives an empty answer.
struct LengthRow {
    const char* name;
    size_t length;
    int argument;  // 0 key, 1 subkey, 2 value name
    bool answers;
};

void PrintTo(const LengthRow& row, std::ostream* os) { *os << row.name; }

const LengthRow kLengthRows[] = {
    {"EmptyKey", 0, 0, false},
    {"Key259", 259, 0, false},
    {"Key260", 260, 0, false},
    {"Key1040", 1040, 0, false},
    {"KeyMillion", 1000000, 0, false},
    {"EmptySubkeyStillAnswers", 0, 1, true},
    {"Subkey260StillAnswersFromDeviceKey", 260, 1, true},
    {"Subkey1040", 1040, 1, false},
    {"SubkeyMillion", 1000000, 1, false},
    {"EmptyName", 0, 2, false},
    {"Name259", 259, 2, false},
    {"Name260", 260, 2, false},
    {"Name1039", 1039, 2, false},
    {"Name1040", 1040, 2, false},
    {"NameMillion", 1000000, 2, false},
};

class DeviceInfoLengthTest : public DeviceInfoTest,
                             public ::testing::WithParamInterface<LengthRow> {};

TEST_P(DeviceInfoLengthTest, AnyLengthGivesStatusNeverOverrun) {
    const LengthRow& row = GetParam();
    machine->Sz(kDevice, "Value", "present");
    const std::wstring filler(row.length, L'k');
    std::wstring key(kDeviceKey, kDeviceKey + sizeof kDeviceKey - 1), subkey, name(L"Value");
    (row.argument == 0 ? key : row.argument == 1 ? subkey : name) = filler;
    Bstr bKey(key), bSubkey(subkey), bName(name);
    ASSERT_EQ(S_OK, test_support::DeviceInfo(bKey, bSubkey, bName, result.Reset()));
    if (row.answers) {
        ASSERT_EQ(VT_BSTR, V_VT(&*result));
        EXPECT_EQ("present", Narrow(V_BSTR(&*result)));
    } else {
        EXPECT_EQ(VT_EMPTY, V_VT(&*result));
    }
}

INSTANTIATE_TEST_SUITE_P(DeviceInfo, DeviceInfoLengthTest, ::testing::ValuesIn(kLengthRows),
                         test_support::RowName());

// Keys and value names at their limits answer when they exist.
TEST_F(DeviceInfoTest, LongExistingKeyAndValueNameAnswer) {
    const std::string longKey = std::string(kDeviceKey) + "\\" + std::string(700, 'L');
    const std::string longName(1039, 'v');
    machine->Sz("HKLM\\" + longKey, longName, "far");
    ASSERT_EQ(S_OK, Get(longKey.c_str(), "", longName.c_str()));
    ASSERT_EQ(VT_BSTR, V_VT(&*result));
    EXPECT_EQ("far", Narrow(V_BSTR(&*result)));
}

// Odd keys below every root the searches use: an answer or nothing, and every
// key closed again.
TEST_F(DeviceInfoTest, KeyPathsOfEveryRoot) {
    const char* roots[] = {
        "HARDWARE\\DEVICEMAP\\SCSI",
        "System\\CurrentControlSet\\Enum",
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers",
        "SYSTEM\\CurrentControlSet\\Control\\MediaResources",
        "System\\CurrentControlSet\\Services",
        "Enum",
        "Config Manager\\Enum",
    };
    const char* tails[] = {"", "\\", "\\\\", "\\x\\", "\\..\\..", "\\%s%s%n"};
    const char* names[] = {"DeviceDesc", "DriverDesc", "DMACurrentlyUsed",
                           "Mfg",        "Speed",      "Driver"};
    for (const char* root : roots) machine->Sz(std::string("HKLM\\") + root, "Driver", "x\\y");
    for (bool nt : {true, false}) {
        machine->version.dwPlatformId = nt ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS;
        sysinfo::ForgetPlatformRecord();
        for (const char* root : roots)
            for (const char* tail : tails)
                for (const char* name : names) {
                    const std::string key = std::string(root) + tail;
                    EXPECT_EQ(S_OK, Get(key.c_str(), "", name)) << key << " " << name;
                    const VARTYPE vt = V_VT(&*result);
                    EXPECT_TRUE(vt == VT_EMPTY || vt == VT_BSTR || vt == VT_I4) << key;
                }
        EXPECT_EQ(0, machine->OpenKeys());
    }
}

// The description of the first SCSI adapter lacks "SCSI"; the second has it
// in lower case.
std::unique_ptr<Machine> ProbeMachine(bool nt, const char* cls, const char* first,
                                      const char* second) {
    auto m = nt ? Machine::Nt() : Machine::Win9x();
    const char* descriptions[] = {first, second};
    for (int i = 0; i < 2; ++i) {
        if (!descriptions[i]) continue;
        const std::string n = std::to_string(i);
        if (nt) {
            const std::string instance = "HKLM\\System\\CurrentControlSet\\Enum\\PCI\\DEV\\" + n;
            m->Dword("HKLM\\System\\CurrentControlSet\\Services\\svc\\Enum", "Count", i + 1)
                .Sz("HKLM\\System\\CurrentControlSet\\Services\\svc\\Enum", n, "PCI\\DEV\\" + n)
                .Sz(instance, "Class", cls)
                .Dword(instance, "StatusFlags", 0x0A)
                .Sz(instance, "DeviceDesc", descriptions[i]);
        } else {
            m->Sz("HKDD\\Config Manager\\Enum\\C" + n, "HardwareKey", "PCI\\DEV\\" + n)
                .Sz("HKLM\\Enum\\PCI\\DEV\\" + n, "Class", cls)
                .Sz("HKLM\\Enum\\PCI\\DEV\\" + n, "DeviceDesc", descriptions[i]);
        }
    }
    return m;
}

struct ProbeRow {
    const char* name;
    bool scsi;  // else AGP
    const char* deviceClass;
    const char* first;
    const char* second;
    VARIANT_BOOL expected;
};

void PrintTo(const ProbeRow& row, std::ostream* os) { *os << row.name; }

const ProbeRow kProbeRows[] = {
    {"ScsiInSecondAdapterLowerCase", true, "SCSIAdapter", "Adaptec AIC-7880", "second scsi card",
     VARIANT_TRUE},
    {"ScsiInNeither", true, "SCSIAdapter", "Adaptec AIC-7880", "BusLogic", VARIANT_FALSE},
    {"ScsiWordOnOtherClass", true, "Display", "SCSI look-alike", nullptr, VARIANT_FALSE},
    {"AgpInFirstDisplay", false, "Display", "Fast AGP Card", nullptr, VARIANT_TRUE},
    {"AgpInSecondDisplay", false, "display", "PCI VGA", "agp 4x", VARIANT_TRUE},
    {"NoDisplayAtAll", false, "Monitor", "AGP monitor?", nullptr, VARIANT_FALSE},
    {"DisplayWithoutAgp", false, "Display", "PCI VGA", nullptr, VARIANT_FALSE},
};

class DeviceBusProbeTest : public ::testing::TestWithParam<ProbeRow> {};

TEST_P(DeviceBusProbeTest, FindsPatternInAnyDeviceOfClass) {
    const ProbeRow& row = GetParam();
    for (bool nt : {true, false}) {
        auto m = ProbeMachine(nt, row.deviceClass, row.first, row.second);
        Scope scope(*m);
        sysinfo::ForgetPlatformRecord();
        VARIANT_BOOL answer = 0x5A5A;
        ASSERT_EQ(S_OK, row.scsi ? test_support::HasSCSIBus(&answer) : test_support::HasAGPBus(&answer));
        EXPECT_EQ(row.expected, answer) << nt;
        EXPECT_EQ(0, m->OpenKeys());
    }
    sysinfo::ForgetPlatformRecord();
}

INSTANTIATE_TEST_SUITE_P(DeviceInfo, DeviceBusProbeTest, ::testing::ValuesIn(kProbeRows),
                         test_support::RowName());

TEST(DeviceBusProbe, NullResultIsPointerError) {
    EXPECT_EQ(E_POINTER, test_support::HasSCSIBus(nullptr));
    EXPECT_EQ(E_POINTER, test_support::HasAGPBus(nullptr));
}

// On the NT family an adapter whose flags' low byte is 0 does not count for
// "SCSIAdapter"; a display adapter counts whatever its flags.
TEST(DeviceBusProbe, NtFlagsDecideForScsiButNotForDisplay) {
    for (bool scsi : {true, false}) {
        auto m = ProbeMachine(true, scsi ? "SCSIAdapter" : "Display",
                              scsi ? "Ultra SCSI" : "AGP card", nullptr);
        m->Dword("HKLM\\System\\CurrentControlSet\\Enum\\PCI\\DEV\\0", "StatusFlags", 0x100);
        Scope scope(*m);
        sysinfo::ForgetPlatformRecord();
        VARIANT_BOOL answer = 0x5A5A;
        ASSERT_EQ(S_OK, scsi ? test_support::HasSCSIBus(&answer) : test_support::HasAGPBus(&answer));
        EXPECT_EQ(scsi ? VARIANT_FALSE : VARIANT_TRUE, answer);
    }
    sysinfo::ForgetPlatformRecord();
}

}  // namespace
