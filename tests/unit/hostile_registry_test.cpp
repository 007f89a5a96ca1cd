// Hostile registry contents on the described machine: numbers stored with the
// wrong type or length, and texts of every awkward size, with and without a
// terminator, in each value the searches and queries read. Nothing may be
// written past a buffer; each answer is either the whole value or nothing.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>

#include "member_calls.h"
#include "devices/device_query.h"
#include "sysinfo/hw_info_core.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/module_directory.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::kFill;
using test_support::kLongSentinel;
using test_support::Narrow;
using test_support::Untouched;

constexpr size_t kGuard = 32;

const std::string kNtInstance = "System\\CurrentControlSet\\Enum\\ROOT\\ORV\\0000";
const std::string k9xHardware = "Enum\\ROOT\\ORV\\0000";
const std::string kCpu = "HKLM\\Hardware\\Description\\System\\CentralProcessor\\0";

std::string InfoText(const std::string& key, const std::string& name) {
    const std::wstring wideKey(key.begin(), key.end()), wideName(name.begin(), name.end());
    BSTR k = SysAllocStringLen(wideKey.c_str(), static_cast<UINT>(wideKey.size()));
    BSTR s = SysAllocString(L"");
    BSTR n = SysAllocStringLen(wideName.c_str(), static_cast<UINT>(wideName.size()));
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr = test_support::DeviceInfo(k, s, n, &value);
    SysFreeString(k);
    SysFreeString(s);
    SysFreeString(n);
    std::string out = hr != S_OK                  ? "<failed>"
                      : V_VT(&value) == VT_EMPTY ? "<empty>"
                      : V_VT(&value) == VT_BSTR  ? Narrow(V_BSTR(&value))
                      : V_VT(&value) == VT_I4    ? "<long " + std::to_string(V_I4(&value)) + ">"
                                                 : "<vt " + std::to_string(V_VT(&value)) + ">";
    VariantClear(&value);
    return out;
}

class HostileRegistryTest : public ::testing::Test {
protected:
    void SetUp() override { Forget(); }
    void TearDown() override { Forget(); }
    static void Forget() {
        sysinfo::ForgetPlatformRecord();
        sysinfo::ForgetModuleDirectory();
    }
};

// ---- Numbers of the wrong type or length ------------------------------------------------

enum class Field { Problem9x, ProblemNt, StatusFlagsNt, HiddenNt, Mhz };

struct TypeRow {
    const char* name;
    Field field;
    DWORD type;
    std::string bytes;
    LONG expected;  // the status, found (1) or not (0), or the clock rate
};

void PrintTo(const TypeRow& row, std::ostream* os) { *os << row.name; }

std::string S(const char* bytes, size_t count) { return std::string(bytes, count); }

const TypeRow kTypeRows[] = {
    // 9x "Problem" goes straight to the status: a short value zero-extended, an
    // unreadable one leaves the status as it was.
    {"Problem9xDword", Field::Problem9x, REG_DWORD, S("\x07\0\0\0", 4), 7},
    {"Problem9xText", Field::Problem9x, REG_SZ, S("7\0", 2), 0x37},
    {"Problem9xLongText", Field::Problem9x, REG_SZ, S("12345\0", 6), kLongSentinel},
    {"Problem9xEmptyText", Field::Problem9x, REG_SZ, "", 0},
    {"Problem9xOneByte", Field::Problem9x, REG_BINARY, S("\x07", 1), 7},
    {"Problem9xTwoBytes", Field::Problem9x, REG_BINARY, S("\x07\x01", 2), 0x107},
    {"Problem9xEightBytes", Field::Problem9x, REG_BINARY, std::string(8, '\x09'), kLongSentinel},
    {"Problem9xMultiSz", Field::Problem9x, REG_MULTI_SZ, S("7\0\0", 3), 0x37},
    // NT "Problem" is read after the status was set to 0.
    {"ProblemNtDword", Field::ProblemNt, REG_DWORD, S("\x07\0\0\0", 4), 7},
    {"ProblemNtText", Field::ProblemNt, REG_SZ, S("7\0", 2), 0x37},
    {"ProblemNtLongText", Field::ProblemNt, REG_SZ, S("12345\0", 6), 0},
    {"ProblemNtOneByte", Field::ProblemNt, REG_BINARY, S("\x07", 1), 7},
    {"ProblemNtTwoBytes", Field::ProblemNt, REG_BINARY, S("\x07\x01", 2), 0x107},
    {"ProblemNtEightBytes", Field::ProblemNt, REG_BINARY, std::string(8, '\x09'), 0},
    {"ProblemNtMultiSz", Field::ProblemNt, REG_MULTI_SZ, S("7\0\0", 3), 0x37},
    // "StatusFlags": the instance counts when the low byte read is set.
    {"FlagsDwordSet", Field::StatusFlagsNt, REG_DWORD, S("\x01\0\0\0", 4), 1},
    {"FlagsDwordHighOnly", Field::StatusFlagsNt, REG_DWORD, S("\0\x01\0\0", 4), 0},
    {"FlagsText", Field::StatusFlagsNt, REG_SZ, S("7\0", 2), 1},
    {"FlagsLongText", Field::StatusFlagsNt, REG_SZ, S("12345\0", 6), 0},
    {"FlagsOneByte", Field::StatusFlagsNt, REG_BINARY, S("\x07", 1), 1},
    {"FlagsTwoBytesHighOnly", Field::StatusFlagsNt, REG_BINARY, S("\0\x01", 2), 0},
    {"FlagsEightBytes", Field::StatusFlagsNt, REG_BINARY, std::string(8, '\x09'), 0},
    {"FlagsMultiSz", Field::StatusFlagsNt, REG_MULTI_SZ, S("7\0\0", 3), 1},
    {"FlagsEmptyMultiSz", Field::StatusFlagsNt, REG_MULTI_SZ, S("\0\0", 2), 0},
    // "Hidden": any non-zero value read hides the key; an unreadable one does not.
    {"HiddenDwordOne", Field::HiddenNt, REG_DWORD, S("\x01\0\0\0", 4), 0},
    {"HiddenDwordZero", Field::HiddenNt, REG_DWORD, S("\0\0\0\0", 4), 1},
    {"HiddenText", Field::HiddenNt, REG_SZ, S("1\0", 2), 0},
    {"HiddenEmptyText", Field::HiddenNt, REG_SZ, S("\0", 1), 1},
    {"HiddenOneZeroByte", Field::HiddenNt, REG_BINARY, S("\0", 1), 1},
    {"HiddenTwoBytesHighSet", Field::HiddenNt, REG_BINARY, S("\0\x01", 2), 0},
    {"HiddenEightBytes", Field::HiddenNt, REG_BINARY, std::string(8, '\x01'), 1},
    {"HiddenEmptyMultiSz", Field::HiddenNt, REG_MULTI_SZ, S("\0\0", 2), 1},
    // "~MHz": four bytes at most, more than one byte needed.
    {"MhzDword", Field::Mhz, REG_DWORD, S("\x60\x09\0\0", 4), 2400},
    {"MhzDwordNearNominal", Field::Mhz, REG_DWORD, S("\xC7\0\0\0", 4), 200},
    {"MhzTextTooLong", Field::Mhz, REG_SZ, S("2400\0", 5), 0},
    {"MhzTextOfFourBytes", Field::Mhz, REG_SZ, S("240\0", 4), 0x00303432},
    {"MhzOneByte", Field::Mhz, REG_BINARY, S("\x60", 1), 0},
    {"MhzTwoBytes", Field::Mhz, REG_BINARY, S("\x60\x09", 2), 2400},
    {"MhzEightBytes", Field::Mhz, REG_BINARY, std::string(8, '\x01'), 0},
    {"MhzMultiSz", Field::Mhz, REG_MULTI_SZ, S("1\0\0", 3), 50},
};

// The status sits between two guards that must keep their sentinels.
struct GuardedStatus {
    LONG before = kLongSentinel;
    LONG status = kLongSentinel;
    LONG after = kLongSentinel;
};

LONG Observe(const TypeRow& row, GuardedStatus& guarded) {
    switch (row.field) {
    case Field::Problem9x: {
        auto m = Machine::Win9x();
        m->Raw("HKDD\\Config Manager\\Enum\\C0", "Problem", row.type, row.bytes)
            .Sz("HKDD\\Config Manager\\Enum\\C0", "HardwareKey", "ROOT\\ORV\\0000")
            .Sz("HKLM\\" + k9xHardware, "Class", "Orv");
        Scope scope(*m);
        sysinfo::ForgetPlatformRecord();
        char key[1040];
        EXPECT_TRUE(devices::FindDeviceKey(0, "Orv", key, sizeof key, &guarded.status));
        EXPECT_EQ(0, m->OpenKeys());
        return guarded.status;
    }
    case Field::ProblemNt:
    case Field::StatusFlagsNt: {
        // NT 4.0, where the registry's flags decide.
        auto m = Machine::Nt4();
        const std::string svc = "HKLM\\System\\CurrentControlSet\\Services\\orv\\Enum";
        const std::string inst = "HKLM\\" + kNtInstance;
        m->Dword(svc, "Count", 1).Sz(svc, "0", "ROOT\\ORV\\0000").Sz(inst, "Class", "Orv");
        if (row.field == Field::ProblemNt)
            m->Dword(inst, "StatusFlags", 1).Raw(inst, "Problem", row.type, row.bytes);
        else
            m->Raw(inst, "StatusFlags", row.type, row.bytes);
        Scope scope(*m);
        sysinfo::ForgetPlatformRecord();
        char key[1040];
        const bool found = devices::FindDeviceKey(0, "Orv", key, sizeof key, &guarded.status);
        EXPECT_EQ(0, m->OpenKeys());
        if (row.field == Field::StatusFlagsNt) return found;
        EXPECT_TRUE(found);
        return guarded.status;
    }
    case Field::HiddenNt: {
        auto m = Machine::Nt();
        const std::string card =
            "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\1";
        m->Sz(card, "Title", "Orvane NIC").Raw(card, "Hidden", row.type, row.bytes);
        Scope scope(*m);
        sysinfo::ForgetPlatformRecord();
        char key[1040];
        const bool found = devices::FindDeviceKey(0, "Net", key, sizeof key, &guarded.status);
        EXPECT_EQ(0, m->OpenKeys());
        return found;
    }
    case Field::Mhz: {
        auto m = Machine::Nt();
        m->Raw(kCpu, "~MHz", row.type, row.bytes);
        Scope scope(*m);
        sysinfo::ForgetPlatformRecord();
        sysinfo::HwInfoCore core;
        const LONG mhz = core.ProcessorSpeed(1);
        EXPECT_EQ(0, m->OpenKeys());
        return mhz;
    }
    }
    return -1;
}

class HostileTypeTest : public HostileRegistryTest, public ::testing::WithParamInterface<TypeRow> {
};

TEST_P(HostileTypeTest, NumbersOfAnyTypeStayInTheirFourBytes) {
    const TypeRow& row = GetParam();
    GuardedStatus guarded;
    EXPECT_EQ(row.expected, Observe(row, guarded));
    EXPECT_EQ(kLongSentinel, guarded.before);
    EXPECT_EQ(kLongSentinel, guarded.after);
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileTypeTest, ::testing::ValuesIn(kTypeRows),
                         test_support::RowName());

// ---- Texts of awkward sizes -------------------------------------------------------------

// Each place a text value is read. A value of up to maxTerminated bytes that
// ends in a zero, or of up to maxUnterminated bytes without one, is answered
// whole; anything longer gives the place's answer for "nothing".
struct TextPlace {
    const char* name;
    bool pathLike;  // the text names a key, so it is made of components
    size_t maxTerminated;
    size_t maxUnterminated;
    // The answer for a value of these bytes and characters; "" for nothing.
    std::string (*answer)(const std::string& bytes, const std::string& chars);
    // What the answer is when the value is read whole.
    std::string (*whole)(const std::string& chars);
};

std::string Same(const std::string& chars) { return chars; }
std::string Found(const std::string&) { return "found"; }
std::string Ok(const std::string&) { return "ok"; }
std::string WithEnumPrefix(const std::string& chars) { return "Enum\\" + chars; }

// Reads the value through GetDeviceInfo and, into a guarded buffer, through
// QueryDeviceValue; both must agree.
std::string ReadDescription(const std::string& key, const std::string& name) {
    unsigned char buffer[1040 + kGuard];
    std::memset(buffer, kFill, sizeof buffer);
    DWORD type = 0;
    DWORD size = 1040;
    const bool ok = devices::QueryDeviceValue(key.c_str(), "", name.c_str(), &type, buffer, &size);
    EXPECT_TRUE(Untouched(buffer + 1040, kGuard)) << name;
    const std::string text = InfoText(key, name);
    EXPECT_EQ(ok, text != "<empty>") << name;
    if (ok && size <= 1040) {
        const std::string read(reinterpret_cast<const char*>(buffer), size);
        EXPECT_EQ(text, read.substr(0, read.find('\0'))) << name;
    }
    return text == "<empty>" ? "" : text;
}

std::string DeviceDescNt(const std::string& bytes, const std::string&) {
    auto m = Machine::Nt();
    m->Raw("HKLM\\" + kNtInstance, "DeviceDesc", REG_SZ, bytes);
    Scope scope(*m);
    sysinfo::ForgetPlatformRecord();
    return ReadDescription(kNtInstance, "DeviceDesc");
}

std::string DeviceDesc9x(const std::string& bytes, const std::string&) {
    auto m = Machine::Win9x();
    m->Raw("HKLM\\" + k9xHardware, "DeviceDesc", REG_SZ, bytes);
    Scope scope(*m);
    sysinfo::ForgetPlatformRecord();
    return ReadDescription(k9xHardware, "DeviceDesc");
}

std::string ScsiIdentifier(const std::string& bytes, const std::string&) {
    const std::string unit =
        "HARDWARE\\DEVICEMAP\\SCSI\\Scsi Port 0\\Scsi Bus 0\\Target Id 0\\Logical Unit Id 0";
    auto m = Machine::Nt();
    m->Raw("HKLM\\" + unit, "Identifier", REG_SZ, bytes);
    Scope scope(*m);
    sysinfo::ForgetPlatformRecord();
    return ReadDescription(unit, "DeviceDesc");
}

std::string ClassNt(const std::string& bytes, const std::string& chars) {
    auto m = Machine::Nt();
    const std::string svc = "HKLM\\System\\CurrentControlSet\\Services\\orv\\Enum";
    m->Dword(svc, "Count", 1)
        .Sz(svc, "0", "ROOT\\ORV\\0000")
        .Raw("HKLM\\" + kNtInstance, "Class", REG_SZ, bytes)
        .Dword("HKLM\\" + kNtInstance, "StatusFlags", 1);
    Scope scope(*m);
    sysinfo::ForgetPlatformRecord();
    char key[1040];
    LONG status = 0;
    return devices::FindDeviceKey(0, chars.c_str(), key, sizeof key, &status) ? "found" : "";
}

std::string Class9x(const std::string& bytes, const std::string& chars) {
    auto m = Machine::Win9x();
    m->Sz("HKDD\\Config Manager\\Enum\\C0", "HardwareKey", "ROOT\\ORV\\0000")
        .Raw("HKLM\\" + k9xHardware, "Class", REG_SZ, bytes);
    Scope scope(*m);
    sysinfo::ForgetPlatformRecord();
    char key[1040];
    LONG status = 0;
    return devices::FindDeviceKey(0, chars.c_str(), key, sizeof key, &status) ? "found" : "";
}

// The hardware key goes into the caller's key buffer behind "Enum\".
template <size_t kKeySize>
std::string HardwareKey(const std::string& bytes, const std::string& chars) {
    auto m = Machine::Win9x();
    m->Raw("HKDD\\Config Manager\\Enum\\C0", "HardwareKey", REG_SZ, bytes)
        .Sz("HKLM\\Enum\\" + chars, "Class", "Orv")
        .Sz("HKLM\\Enum\\" + chars, "DeviceDesc", "deep");
    Scope scope(*m);
    sysinfo::ForgetPlatformRecord();
    unsigned char key[kKeySize + kGuard];
    std::memset(key, kFill, sizeof key);
    LONG status = 0;
    char* text = reinterpret_cast<char*>(key);
    const bool found = devices::FindDeviceKey(0, "Orv", text, kKeySize, &status);
    EXPECT_TRUE(Untouched(key + kKeySize, kGuard));
    if (!found) return "";
    EXPECT_EQ("deep", InfoText(text, "DeviceDesc"));
    return text;
}

// The driver key's name goes behind the driver-key prefix in a path of 260.
template <bool kNt>
std::string Driver(const std::string& bytes, const std::string& chars) {
    auto m = kNt ? Machine::Nt() : Machine::Win9x();
    const std::string device = kNt ? kNtInstance : k9xHardware;
    const std::string classRoot = kNt ? "HKLM\\System\\CurrentControlSet\\Control\\Class\\"
                                      : "HKLM\\System\\CurrentControlSet\\Services\\Class\\";
    m->Raw("HKLM\\" + device, "Driver", REG_SZ, bytes).Sz(classRoot + chars, "DriverDesc", "ok");
    Scope scope(*m);
    sysinfo::ForgetPlatformRecord();
    return ReadDescription(device, "DriverDesc");
}

// A route's candidate value is compared in a buffer of 260; the device found
// then answers its description through the remap.
template <bool kPrinter>
std::string RouteValue(const std::string& bytes, const std::string&) {
    auto m = Machine::Nt();
    const std::string key =
        kPrinter ? "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\P"
                 : "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\1";
    m->Raw("HKLM\\" + key, kPrinter ? "Name" : "Title", REG_SZ, bytes);
    Scope scope(*m);
    sysinfo::ForgetPlatformRecord();
    char found[1040];
    LONG status = 0;
    if (!devices::FindDeviceKey(0, kPrinter ? "Printer" : "Net", found, sizeof found, &status))
        return "";
    EXPECT_EQ(key, std::string(found));
    return ReadDescription(found, "DeviceDesc");
}

enum class CoreText { Vendor, Identifier, ProductName };

template <CoreText kText>
std::string CoreValue(const std::string& bytes, const std::string&) {
    auto m = Machine::Nt();
    m->systemInfo.dwProcessorType = 0;  // identification then comes from the registry
    if (kText == CoreText::Vendor) m->Raw(kCpu, "VendorIdentifier", REG_SZ, bytes);
    if (kText == CoreText::Identifier) m->Raw(kCpu, "Identifier", REG_SZ, bytes);
    if (kText == CoreText::ProductName)
        m->Raw("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion", "ProductName", REG_SZ,
               bytes);
    Scope scope(*m);
    sysinfo::ForgetPlatformRecord();
    sysinfo::HwInfoCore core;
    const char* text = kText == CoreText::Vendor       ? core.ProcessorVendorId(1)
                       : kText == CoreText::Identifier ? core.ProcessorId(1)
                                                       : core.OSName();
    EXPECT_LT(std::strlen(text), sysinfo::kAnswerTextSize);
    return text;
}

const TextPlace kTextPlaces[] = {
    {"DeviceDescNt", false, 1040, 1040, DeviceDescNt, Same},
    {"DeviceDesc9x", false, 1040, 1040, DeviceDesc9x, Same},
    {"ScsiIdentifier", false, 1040, 1040, ScsiIdentifier, Same},
    {"ClassNt", false, 260, 260, ClassNt, Found},
    {"Class9x", false, 260, 260, Class9x, Found},
    // "Enum\" and one free byte at the end leave 1034 and 254 bytes.
    {"HardwareKeyInHWKey", true, 1034, 1034, HardwareKey<1040>, WithEnumPrefix},
    {"HardwareKeyInProbeBuffer", true, 254, 254, HardwareKey<260>, WithEnumPrefix},
    // GetDeviceInfo passes its subkey even when empty, and an empty subkey adds
    // a backslash to the driver-key path: one byte fewer without a terminator.
    {"Driver9x", true, 219, 218, Driver<false>, Ok},
    {"DriverNt", true, 220, 219, Driver<true>, Ok},
    {"NetTitle", false, 260, 260, RouteValue<false>, Same},
    {"PrinterName", false, 260, 260, RouteValue<true>, Same},
    // The core's texts keep their last byte for a terminator.
    {"VendorIdentifier", false, 1040, 1039, CoreValue<CoreText::Vendor>, Same},
    {"ProcessorIdentifier", false, 1040, 1039, CoreValue<CoreText::Identifier>, Same},
    {"ProductName", false, 1040, 1039, CoreValue<CoreText::ProductName>, Same},
};

void PrintTo(const TextPlace& place, std::ostream* os) { *os << place.name; }

constexpr size_t kTextLengths[] = {219, 220,  221,  254,  255,  259,  260,  261,
                                   1034, 1035, 1039, 1040, 1041, 4096, 65536};

// count characters; a key path when pathLike (a backslash every 100, never first or last).
std::string MakeChars(size_t count, bool pathLike) {
    std::string chars;
    for (size_t i = 0; i < count; ++i) {
        const bool separator = pathLike && i % 100 == 99 && i + 1 < count;
        chars += separator ? '\\' : static_cast<char>('a' + i % 26);
    }
    return chars;
}

class HostileTextTest
    : public HostileRegistryTest,
      public ::testing::WithParamInterface<std::tuple<TextPlace, size_t, bool>> {};

TEST_P(HostileTextTest, WholeValueOrNothing) {
    const TextPlace& place = std::get<0>(GetParam());
    const size_t bytes = std::get<1>(GetParam());
    const bool terminated = std::get<2>(GetParam());
    const std::string chars = MakeChars(terminated ? bytes - 1 : bytes, place.pathLike);
    const std::string value = terminated ? chars + '\0' : chars;
    const bool whole = bytes <= (terminated ? place.maxTerminated : place.maxUnterminated);
    const std::string answer = place.answer(value, chars);
    if (whole)
        EXPECT_EQ(place.whole(chars), answer);
    else
        EXPECT_EQ("", answer);
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileTextTest,
                         ::testing::Combine(::testing::ValuesIn(kTextPlaces),
                                            ::testing::ValuesIn(kTextLengths),
                                            ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    std::to_string(std::get<1>(info.param)) +
                                    (std::get<2>(info.param) ? "_Terminated" : "_Unterminated");
                         });

// A description that fills the value buffer without a terminator still gives
// a speed from its last characters; one byte more gives nothing.
TEST_F(HostileRegistryTest, SpeedFromAFullUnterminatedDescription) {
    for (size_t bytes : {size_t{1040}, size_t{1041}}) {
        for (bool nt : {true, false}) {
            auto m = nt ? Machine::Nt() : Machine::Win9x();
            const std::string key = nt ? kNtInstance : k9xHardware;
            const std::string text = std::string(bytes - 4, 'm') + "V.90";
            m->Raw("HKLM\\" + key, "DeviceDesc", REG_SZ, text);
            Scope scope(*m);
            sysinfo::ForgetPlatformRecord();
            EXPECT_EQ(bytes == 1040 ? "<long 57600>" : "<empty>", InfoText(key, "Speed"))
                << bytes << nt;
        }
    }
}

}  // namespace
