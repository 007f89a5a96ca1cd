// Canaries around the buffers of the device queries: a caller's key buffer of
// 1040 or 260 bytes and a caller's value buffer of any size, each between
// sentinel bytes, given an exact fit and one byte too much; and GetDeviceInfo
// given texts of 1,039, 1,040 and 1,041 characters, which its fixed buffers
// take whole or refuse.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include "member_calls.h"
#include "devices/device_query.h"
#include "sysinfo/platform_family.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::kFill;

constexpr size_t kGuard = 32;

const std::string kNetRoot = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
const std::string kEnumPrefix = "System\\CurrentControlSet\\Enum\\";

// A key path of count characters: components of at most 99 characters.
std::string PathChars(size_t count) {
    std::string chars;
    for (size_t i = 0; i < count; ++i)
        chars += (i % 100 == 99 && i + 1 < count) ? '\\' : static_cast<char>('a' + i % 26);
    return chars;
}

// A caller's buffer of size bytes between two runs of sentinel bytes.
class GuardedBuffer {
public:
    explicit GuardedBuffer(size_t size) : size_(size), block_(new unsigned char[size + 2 * kGuard]) {
        std::memset(block_.get(), kFill, size + 2 * kGuard);
    }
    unsigned char* get() { return block_.get() + kGuard; }
    char* text() { return reinterpret_cast<char*>(get()); }
    bool GuardsIntact() const {
        for (size_t i = 0; i < kGuard; ++i)
            if (block_[i] != kFill || block_[kGuard + size_ + i] != kFill) return false;
        return true;
    }

private:
    size_t size_;
    std::unique_ptr<unsigned char[]> block_;
};

class CanaryDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { sysinfo::ForgetPlatformRecord(); }
    void TearDown() override { sysinfo::ForgetPlatformRecord(); }
};

// ---- FindDeviceKey's key buffer ---------------------------------------------------------

enum class KeyRoute { DeviceList9x, Services, NetworkCards };

struct KeyRow {
    const char* name;
    KeyRoute route;
    DWORD bufferSize;
    size_t keyLength;  // characters of the key that would be written
    bool fits;
};

void PrintTo(const KeyRow& row, std::ostream* os) { *os << row.name; }

// The searches keep the buffer's last byte free: a key of size - 1 characters
// fits, one more does not. Network-card keys are paths of at most 259.
const KeyRow kKeyRows[] = {
    {"DeviceList9xIn1040ExactFit", KeyRoute::DeviceList9x, 1040, 1039, true},
    {"DeviceList9xIn1040OneTooLong", KeyRoute::DeviceList9x, 1040, 1040, false},
    {"DeviceList9xIn260ExactFit", KeyRoute::DeviceList9x, 260, 259, true},
    {"DeviceList9xIn260OneTooLong", KeyRoute::DeviceList9x, 260, 260, false},
    {"ServicesIn1040ExactFit", KeyRoute::Services, 1040, 1039, true},
    {"ServicesIn1040OneTooLong", KeyRoute::Services, 1040, 1040, false},
    {"ServicesIn260ExactFit", KeyRoute::Services, 260, 259, true},
    {"ServicesIn260OneTooLong", KeyRoute::Services, 260, 260, false},
    {"NetworkCardIn260ExactFit", KeyRoute::NetworkCards, 260, 259, true},
    {"NetworkCardIn260OneTooLong", KeyRoute::NetworkCards, 260, 260, false},
    {"NetworkCardIn1040OneTooLongForAnyPath", KeyRoute::NetworkCards, 1040, 260, false},
};

class CanaryKeyTest : public CanaryDeviceTest, public ::testing::WithParamInterface<KeyRow> {};

TEST_P(CanaryKeyTest, KeyStaysInsideTheCallersBuffer) {
    const KeyRow& row = GetParam();
    auto machine = row.route == KeyRoute::DeviceList9x ? Machine::Win9x() : Machine::Nt();
    std::string expected;
    const char* deviceClass = "Orv";
    switch (row.route) {
    case KeyRoute::DeviceList9x: {
        // The hardware key is stored without terminator, filling all its room.
        const std::string path = PathChars(row.keyLength - 5);
        expected = "Enum\\" + path;
        machine->Raw("HKDD\\Config Manager\\Enum\\C0", "HardwareKey", REG_SZ, path)
            .Sz("HKLM\\" + expected, "Class", "Orv");
        break;
    }
    case KeyRoute::Services: {
        const std::string path = PathChars(row.keyLength - kEnumPrefix.size());
        const std::string svc = "HKLM\\System\\CurrentControlSet\\Services\\orv\\Enum";
        expected = kEnumPrefix + path;
        machine->Dword(svc, "Count", 1)
            .Raw(svc, "0", REG_SZ, path)
            .Sz("HKLM\\" + expected, "Class", "Orv")
            .Dword("HKLM\\" + expected, "StatusFlags", 1);
        break;
    }
    case KeyRoute::NetworkCards:
        deviceClass = "Net";
        expected = kNetRoot + "\\" + std::string(row.keyLength - kNetRoot.size() - 1, 'n');
        machine->Sz("HKLM\\" + expected, "Title", "card");
        break;
    }
    ASSERT_EQ(row.keyLength, expected.size());
    Scope scope(*machine);

    GuardedBuffer key(row.bufferSize);
    LONG status = 0;
    const bool found = devices::FindDeviceKey(0, deviceClass, key.text(), row.bufferSize, &status);
    EXPECT_EQ(row.fits, found);
    if (row.fits) {
        EXPECT_EQ(expected, std::string(key.text()));
    }
    EXPECT_TRUE(key.GuardsIntact());
    EXPECT_EQ(0, machine->OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(Canary, CanaryKeyTest, ::testing::ValuesIn(kKeyRows),
                         test_support::RowName());

// ---- QueryDeviceValue's value buffer ----------------------------------------------------

struct ValueRow {
    const char* name;
    const char* valueName;  // "Value" (binary bytes) or "Speed" (a description)
    DWORD bufferSize;
    DWORD valueBytes;
    bool ok;
};

void PrintTo(const ValueRow& row, std::ostream* os) { *os << row.name; }

const ValueRow kValueRows[] = {
    {"OneByteExactFit", "Value", 1, 1, true},
    {"OneByteOneTooLong", "Value", 1, 2, false},
    {"FourBytesExactFit", "Value", 4, 4, true},
    {"FourBytesOneTooLong", "Value", 4, 5, false},
    {"TwoHundredSixtyExactFit", "Value", 260, 260, true},
    {"TwoHundredSixtyOneTooLong", "Value", 260, 261, false},
    {"TenFortyExactFit", "Value", 1040, 1040, true},
    {"TenFortyOneTooLong", "Value", 1040, 1041, false},
    // A speed needs four bytes of room, whatever the description held.
    {"SpeedInThreeBytes", "Speed", 3, 3, false},
    {"SpeedInFourBytesExactFit", "Speed", 4, 4, true},
    {"SpeedInFourBytesOneTooLong", "Speed", 4, 5, false},
    {"SpeedInTenFortyExactFit", "Speed", 1040, 1040, true},
    {"SpeedInTenFortyOneTooLong", "Speed", 1040, 1041, false},
};

class CanaryValueTest : public CanaryDeviceTest, public ::testing::WithParamInterface<ValueRow> {};

TEST_P(CanaryValueTest, ValueStaysInsideTheCallersBuffer) {
    const ValueRow& row = GetParam();
    for (bool nt : {true, false}) {
        auto machine = nt ? Machine::Nt() : Machine::Win9x();
        const std::string key = nt ? kEnumPrefix + "ROOT\\ORV\\0000" : "Enum\\ROOT\\ORV\\0000";
        const bool speed = std::strcmp(row.valueName, "Speed") == 0;
        // The description ends in "V90", or "V.90" where four bytes allow.
        const std::string tail = row.valueBytes >= 4 ? "V.90" : "V90";
        const std::string bytes = speed ? std::string(row.valueBytes - tail.size(), 'm') + tail
                                        : std::string(row.valueBytes, '\x5A');
        machine->Raw("HKLM\\" + key, speed ? "DeviceDesc" : "Value", speed ? REG_SZ : REG_BINARY,
                     bytes);
        Scope scope(*machine);
        sysinfo::ForgetPlatformRecord();

        GuardedBuffer buffer(row.bufferSize);
        DWORD type = 0xDEADBEEF;
        DWORD size = row.bufferSize;
        const bool ok = devices::QueryDeviceValue(key.c_str(), nullptr, row.valueName, &type,
                                                 buffer.get(), &size);
        EXPECT_EQ(row.ok, ok) << nt;
        EXPECT_TRUE(buffer.GuardsIntact()) << nt;
        if (ok && speed) {
            EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
            DWORD bits = 0;
            std::memcpy(&bits, buffer.get(), sizeof bits);
            EXPECT_EQ(57600u, bits);
        } else if (ok) {
            EXPECT_EQ(row.valueBytes, size);
            EXPECT_EQ(0x5A, buffer.get()[row.bufferSize - 1]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Canary, CanaryValueTest, ::testing::ValuesIn(kValueRows),
                         test_support::RowName());

// ---- GetDeviceInfo's argument buffers ---------------------------------------------------

enum class Argument { Key, Subkey, ValueName };

struct ArgumentRow {
    const char* name;
    Argument argument;
    size_t length;  // characters of the script's text
    bool answers;
};

void PrintTo(const ArgumentRow& row, std::ostream* os) { *os << row.name; }

// Each text is converted into a buffer of 1040 bytes: 1,039 characters and
// the terminator fit, one more does not, and a text that does not fit names
// nothing the registry could hold.
const ArgumentRow kArgumentRows[] = {
    {"Key1039", Argument::Key, 1039, true},
    {"Key1040", Argument::Key, 1040, false},
    {"Key1041", Argument::Key, 1041, false},
    {"Subkey1039", Argument::Subkey, 1039, true},
    {"Subkey1040", Argument::Subkey, 1040, false},
    {"Subkey1041", Argument::Subkey, 1041, false},
    {"ValueName1039", Argument::ValueName, 1039, true},
    {"ValueName1040", Argument::ValueName, 1040, false},
    {"ValueName1041", Argument::ValueName, 1041, false},
};

class CanaryArgumentTest : public CanaryDeviceTest,
                           public ::testing::WithParamInterface<ArgumentRow> {};

TEST_P(CanaryArgumentTest, TextsFitTheirBufferOrAnswerNothing) {
    const ArgumentRow& row = GetParam();
    for (bool nt : {true, false}) {
        const std::string prefix = nt ? kEnumPrefix : "Enum\\";
        std::string key = prefix + "ROOT\\ORV\\0000";
        std::string subkey = "";
        std::string name = "Value";
        if (row.argument == Argument::Key) key = prefix + PathChars(row.length - prefix.size());
        if (row.argument == Argument::Subkey) subkey = PathChars(row.length);
        if (row.argument == Argument::ValueName) name = std::string(row.length, 'v');
        auto machine = nt ? Machine::Nt() : Machine::Win9x();
        machine->Sz("HKLM\\" + key, name, "present");
        Scope scope(*machine);
        sysinfo::ForgetPlatformRecord();

        const std::wstring wideKey(key.begin(), key.end()), wideSubkey(subkey.begin(), subkey.end()),
            wideName(name.begin(), name.end());
        BSTR k = SysAllocStringLen(wideKey.c_str(), static_cast<UINT>(wideKey.size()));
        BSTR s = SysAllocStringLen(wideSubkey.c_str(), static_cast<UINT>(wideSubkey.size()));
        BSTR n = SysAllocStringLen(wideName.c_str(), static_cast<UINT>(wideName.size()));
        VARIANT value;
        VariantInit(&value);
        EXPECT_EQ(S_OK, test_support::DeviceInfo(k, s, n, &value));
        if (row.answers) {
            ASSERT_EQ(VT_BSTR, V_VT(&value)) << nt;
            EXPECT_EQ(7u, SysStringLen(V_BSTR(&value)));
        } else {
            EXPECT_EQ(VT_EMPTY, V_VT(&value)) << nt;
        }
        VariantClear(&value);
        SysFreeString(k);
        SysFreeString(s);
        SysFreeString(n);
        EXPECT_EQ(0, machine->OpenKeys());
    }
}

INSTANTIATE_TEST_SUITE_P(Canary, CanaryArgumentTest, ::testing::ValuesIn(kArgumentRows),
                         test_support::RowName());

}  // namespace
