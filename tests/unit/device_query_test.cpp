// The platform-neutral device operations: refused arguments, the choice of
// family, and the "Speed" pseudo-value over the modem speed table.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstring>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>

#include "devices/device_query.h"
#include "devices/modem_speed_table.h"
#include "sysinfo/platform_family.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::kLongSentinel;

const char kModemKey[] = "System\\CurrentControlSet\\Enum\\Root\\MODEM\\0000";
const std::string kModem = std::string("HKLM\\") + kModemKey;

// An NT 4.0 machine with one modem counted by its service, and a 9x machine
// with one modem in its device list; both with the same description.
std::unique_ptr<Machine> ModemMachine(bool nt, const std::string& description) {
    auto m = nt ? Machine::Nt4() : Machine::Win9x();
    if (nt) {
        m->Dword("HKLM\\System\\CurrentControlSet\\Services\\Modem\\Enum", "Count", 1)
            .Sz("HKLM\\System\\CurrentControlSet\\Services\\Modem\\Enum", "0", "Root\\MODEM\\0000")
            .Sz(kModem, "Class", "Modem")
            .Sz(kModem, "DeviceDesc", description)
            .Dword(kModem, "Problem", 7);
    } else {
        m->Sz("HKDD\\Config Manager\\Enum\\C1", "HardwareKey", "Root\\MODEM\\0000")
            .Dword("HKDD\\Config Manager\\Enum\\C1", "Problem", 3)
            .Sz("HKLM\\Enum\\Root\\MODEM\\0000", "Class", "Modem")
            .Sz("HKLM\\Enum\\Root\\MODEM\\0000", "DeviceDesc", description);
    }
    return m;
}

std::unique_ptr<Machine> V90ModemMachine() { return ModemMachine(true, "Standard V.90 Modem"); }

using DeviceQueryTest = test_support::BoundMachineTest<V90ModemMachine>;

struct RefusedRow {
    const char* name;
    LONG number;
    const char* deviceClass;
    bool nullBuffer;
    DWORD size;
};

void PrintTo(const RefusedRow& row, std::ostream* os) { *os << row.name; }

const RefusedRow kRefusedRows[] = {
    {"NegativeNumber", -1, "Modem", false, 1040},
    {"MostNegativeNumber", LONG_MIN, "Modem", false, 1040},
    {"EmptyClass", 0, "", false, 1040},
    {"NullClass", 0, nullptr, false, 1040},
    {"SizeZero", 0, "Modem", false, 0},
    {"NullBuffer", 0, "Modem", true, 1040},
};

class DeviceQueryRefusedTest : public DeviceQueryTest,
                               public ::testing::WithParamInterface<RefusedRow> {};

TEST_P(DeviceQueryRefusedTest, WritesNothing) {
    const RefusedRow& row = GetParam();
    char key[16];
    std::memset(key, 0xCC, sizeof key);
    LONG status = kLongSentinel;
    machine->ResetCounts();
    EXPECT_FALSE(devices::FindDeviceKey(row.number, row.deviceClass, row.nullBuffer ? nullptr : key,
                                        row.size, &status));
    EXPECT_EQ(static_cast<char>(0xCC), key[0]);
    EXPECT_EQ(kLongSentinel, status);
    EXPECT_EQ(0, machine->Calls("RegOpenKeyExA"));
}

INSTANTIATE_TEST_SUITE_P(DeviceQuery, DeviceQueryRefusedTest, ::testing::ValuesIn(kRefusedRows),
                         test_support::RowName());

TEST_F(DeviceQueryTest, HugeDeviceNumberSearchesAndFails) {
    char key[1040];
    LONG status = kLongSentinel;
    EXPECT_FALSE(devices::FindDeviceKey(LONG_MAX, "Modem", key, sizeof key, &status));
    EXPECT_EQ(7, status);  // the one modem was examined
}

TEST_F(DeviceQueryTest, NullStatusIsAccepted) {
    char key[1040];
    EXPECT_TRUE(devices::FindDeviceKey(0, "Modem", key, sizeof key, nullptr));
    EXPECT_STREQ(kModemKey, key);
}

TEST_F(DeviceQueryTest, FamilyChosenAtEveryCall) {
    char key[1040];
    LONG status = 0;
    ASSERT_TRUE(devices::FindDeviceKey(0, "modem", key, sizeof key, &status));
    EXPECT_STREQ(kModemKey, key);
    EXPECT_EQ(7, status);

    auto win9x = ModemMachine(false, "Standard V.90 Modem");
    Scope nested(*win9x);
    sysinfo::ForgetPlatformRecord();
    ASSERT_TRUE(devices::FindDeviceKey(0, "modem", key, sizeof key, &status));
    EXPECT_STREQ("Enum\\Root\\MODEM\\0000", key);
    EXPECT_EQ(3, status);
    EXPECT_EQ(0, win9x->OpenKeys());
}

struct ValueArgumentRow {
    const char* name;
    const char* deviceKey;
    const char* valueName;
    bool nullSize;
    DWORD size;
    bool firstByteEmptied;
};

void PrintTo(const ValueArgumentRow& row, std::ostream* os) { *os << row.name; }

const ValueArgumentRow kValueArgumentRows[] = {
    {"NullKey", nullptr, "DeviceDesc", false, 64, true},
    {"EmptyKey", "", "DeviceDesc", false, 64, true},
    {"NullValueName", kModemKey, nullptr, false, 64, true},
    {"EmptyValueName", kModemKey, "", false, 64, true},
    {"MissingValue", kModemKey, "NoSuchValue", false, 64, true},
    {"MissingKey", "System\\NoSuchKey", "DeviceDesc", false, 64, true},
    // A buffer said to hold no byte is not written at all.
    {"SizeZero", kModemKey, "DeviceDesc", false, 0, false},
    {"NullSize", kModemKey, "DeviceDesc", true, 0, false},
};

class DeviceQueryValueArgumentTest : public DeviceQueryTest,
                                     public ::testing::WithParamInterface<ValueArgumentRow> {};

TEST_P(DeviceQueryValueArgumentTest, FailsAndEmptiesOnlyAWritableBuffer) {
    const ValueArgumentRow& row = GetParam();
    BYTE buffer[64];
    std::memset(buffer, 0xCC, sizeof buffer);
    DWORD type = 0xDEADBEEF;
    DWORD size = row.size;
    EXPECT_FALSE(devices::QueryDeviceValue(row.deviceKey, nullptr, row.valueName, &type, buffer,
                                           row.nullSize ? nullptr : &size));
    EXPECT_EQ(row.firstByteEmptied ? 0 : 0xCC, buffer[0]);
    EXPECT_EQ(0xCC, buffer[1]);
}

INSTANTIATE_TEST_SUITE_P(DeviceQuery, DeviceQueryValueArgumentTest,
                         ::testing::ValuesIn(kValueArgumentRows),
                         test_support::RowName());

TEST_F(DeviceQueryTest, NullBufferFails) {
    DWORD type = 0, size = 64;
    EXPECT_EQ(0,
              devices::QueryDeviceValue(kModemKey, nullptr, "DeviceDesc", &type, nullptr, &size));
}

// The modem speeds as the component's documentation gives them, by rate and
// written out here rather than read from ModemSpeedTable, so that a wrong row
// of the table fails: each pattern alone in a description gives its nominal
// rate ("56000" and "56k" the 57600 of a V.90 link).
struct NominalSpeed {
    DWORD bitsPerSecond;
    const char* patterns[10];  // up to the first null
};

constexpr NominalSpeed kNominalSpeeds[] = {
    {9600, {"9600"}},
    {14400, {"V.32", "V32", "14k", "14.4", "14,4", "14400", "144"}},
    {28800, {"28k", "28.8", "28,8", "28800", "288"}},
    {33600, {"V.34", "V34", "V.FC", "VFC", "33k", "33.6", "33,6", "33600", "336"}},
    {57600, {"V.90", "V90", "56000", "56k", "57.6", "57,6", "57600", "576"}},
};

TEST(DeviceModemSpeed, EveryPatternAloneGivesItsNominalSpeed) {
    size_t patterns = 0;
    for (const NominalSpeed& rate : kNominalSpeeds) {
        for (const char* pattern : rate.patterns) {
            if (!pattern) break;
            ++patterns;
            const std::string description = std::string("Modem ") + pattern + " x";
            auto m = ModemMachine(true, description);
            Scope scope(*m);
            sysinfo::ForgetPlatformRecord();
            BYTE buffer[1040] = {};
            DWORD type = 0, size = sizeof buffer;
            ASSERT_TRUE(devices::QueryDeviceValue(kModemKey, "", "Speed", &type, buffer, &size))
                << pattern;
            DWORD speed = 0;
            std::memcpy(&speed, buffer, sizeof speed);
            EXPECT_EQ(rate.bitsPerSecond, speed) << pattern;
            EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type) << pattern;
            EXPECT_EQ(description.size() + 1, size) << pattern;
        }
    }
    EXPECT_EQ(std::size(devices::ModemSpeedTable), patterns);
    sysinfo::ForgetPlatformRecord();
}

struct SpeedRow {
    const char* name;
    const char* description;
    const char* valueName;
    DWORD expected;  // 0: no speed, the read fails
};

void PrintTo(const SpeedRow& row, std::ostream* os) { *os << row.name; }

const SpeedRow kSpeedRows[] = {
    {"OnlyDigits28800", "Generic 28800 Modem", "Speed", 28800},
    {"EarlierRowWinsWherever", "Fax 33.6 and V.32", "Speed", 14400},
    {"V90BeatsLaterRow", "33.6 upgraded to V.90", "Speed", 57600},
    {"OnlyShort144", "Voice 144 modem", "Speed", 14400},
    {"FiftySixThousandIsFullRate", "56000 bps", "Speed", 57600},
    {"FiftySixKInUpperCase", "ACME 56K", "Speed", 57600},
    {"DottedBeforeShortPattern", "Modem 28.8 (144 compatible)", "Speed", 28800},
    {"V34BeforeV32InTableOrder", "V32 V34", "Speed", 14400},
    {"VfcBeforeV90", "V.FC V.90", "Speed", 33600},
    {"NoPatternFails", "Standard Modem", "Speed", 0},
    {"EmptyDescriptionFails", "", "Speed", 0},
    {"NameWithoutCase", "V.90", "sPEED", 57600},
    {"NameUpperCase", "V.90", "SPEED", 57600},
};

class DeviceModemSpeedTest : public ::testing::TestWithParam<SpeedRow> {};

TEST_P(DeviceModemSpeedTest, FirstRowFoundDecidesOnBothFamilies) {
    const SpeedRow& row = GetParam();
    for (bool nt : {true, false}) {
        auto m = ModemMachine(nt, row.description);
        Scope scope(*m);
        sysinfo::ForgetPlatformRecord();
        const char* key = nt ? kModemKey : "Enum\\Root\\MODEM\\0000";
        BYTE buffer[1040];
        std::memset(buffer, 0xCC, sizeof buffer);
        DWORD type = 0xDEADBEEF, size = sizeof buffer;
        const bool ok = devices::QueryDeviceValue(key, "", row.valueName, &type, buffer, &size);
        if (row.expected == 0) {
            EXPECT_EQ(0, ok) << nt;
            EXPECT_STREQ(row.description, reinterpret_cast<const char*>(buffer)) << nt;
        } else {
            ASSERT_NE(0, ok) << nt;
            DWORD speed = 0;
            std::memcpy(&speed, buffer, sizeof speed);
            EXPECT_EQ(row.expected, speed) << nt;
            EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type) << nt;
        }
        EXPECT_EQ(0, m->OpenKeys());
    }
    sysinfo::ForgetPlatformRecord();
}

INSTANTIATE_TEST_SUITE_P(DeviceQuery, DeviceModemSpeedTest, ::testing::ValuesIn(kSpeedRows),
                         test_support::RowName());

TEST_F(DeviceQueryTest, SpeedOfNonTextDescriptionIsTheRawValue) {
    machine->Raw(kModem, "DeviceDesc", REG_BINARY, std::string("V.90", 4));
    BYTE buffer[16] = {};
    DWORD type = 0, size = sizeof buffer;
    ASSERT_TRUE(devices::QueryDeviceValue(kModemKey, nullptr, "Speed", &type, buffer, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0, std::memcmp(buffer, "V.90", 4));
}

// A description that fills the buffer without a terminator is matched only
// within the bytes read, never beyond them.
TEST_F(DeviceQueryTest, SpeedLooksOnlyAtTheBytesRead) {
    machine->Raw(kModem, "DeviceDesc", REG_SZ, "abc28800");
    BYTE buffer[16];
    std::memset(buffer, 0, sizeof buffer);
    std::memcpy(buffer + 8, "V.90", 4);
    DWORD type = 0, size = 8;
    ASSERT_TRUE(devices::QueryDeviceValue(kModemKey, nullptr, "Speed", &type, buffer, &size));
    DWORD speed = 0;
    std::memcpy(&speed, buffer, sizeof speed);
    EXPECT_EQ(28800u, speed);
}

TEST_F(DeviceQueryTest, SpeedNeedsRoomForFourBytes) {
    machine->Raw(kModem, "DeviceDesc", REG_SZ, "144");
    BYTE buffer[8];
    std::memset(buffer, 0xCC, sizeof buffer);
    DWORD type = 0, size = 3;
    EXPECT_FALSE(devices::QueryDeviceValue(kModemKey, nullptr, "Speed", &type, buffer, &size));
    EXPECT_EQ(0xCC, buffer[3]);
}

}  // namespace
