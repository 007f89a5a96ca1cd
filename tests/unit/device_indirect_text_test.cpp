// The words of the later systems' indirect texts, and multi-string values as
// arrays: well-formed values as real registries hold them, and hostile ones.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "member_calls.h"
#include "devices/device_query.h"
#include "devices/indirect_text.h"
#include "sysinfo/platform_family.h"
#include "test_support.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;

// SHLoadIndirectString as the tests' shlwapi has it: the words of "@x.dll,-7",
// a failure for "@fails.dll,-1", and a full buffer without terminator for
// "@flood.dll,-1".
HRESULT WINAPI FakeLoadIndirect(const wchar_t* source, wchar_t* out, UINT outSize, void**) {
    const std::wstring text = source;
    if (text == L"@fails.dll,-1") return E_FAIL;
    if (text == L"@flood.dll,-1") {
        for (UINT i = 0; i < outSize; ++i) out[i] = L'w';
        return S_OK;
    }
    const std::wstring words = text == L"@x.dll,-7" ? L"Loaded words" : L"";
    if (words.empty() || words.size() >= outSize) return E_FAIL;
    std::memcpy(out, words.c_str(), (words.size() + 1) * sizeof(wchar_t));
    return S_OK;
}

struct IndirectRow {
    const char* name;
    std::string stored;  // the value's bytes as the registry returns them
    DWORD bufferSize;
    std::string words;   // what comes back
};

void PrintTo(const IndirectRow& row, std::ostream* os) { *os << row.name; }

const std::string kSemicolons(1000, ';');

const IndirectRow kIndirectRows[] = {
    {"WordsAfterReference",
     std::string("@display.inf,%basic.devicedesc%;Microsoft Basic Display Adapter") + '\0', 1040,
     "Microsoft Basic Display Adapter"},
    {"ItemsReplaced",
     "@System32\\drivers\\pci.sys,#65536;PCI bus %1, device %2, function %3;(0,31,3)", 1040,
     "PCI bus 0, device 31, function 3"},
    {"ParenthesesAreWordsWithoutList", "@monitor.inf,%generic%;(Standard monitor types)", 1040,
     "(Standard monitor types)"},
    {"ItemBeyondListKept", "@x;a %1 %2 %4;(p,q)", 1040, "a p q %4"},
    {"EmptyItem", "@x;[%1][%2];(,b)", 1040, "[][b]"},
    {"TwoDigitItem", "@x;%10 %1;(a,b,c,d,e,f,g,h,i,j)", 1040, "j a"},
    {"PercentWithoutListKept", "@x;100% of %1", 1040, "100% of %1"},
    {"NoAtStaysAsRead", "plain;text", 1040, "plain;text"},
    {"AtAloneStaysAsRead", "@", 1040, "@"},
    {"EmptyWords", "@x;", 1040, ""},
    {"ThousandSemicolons", "@" + kSemicolons, 1040, kSemicolons.substr(1)},
    {"Unterminated", "@r;Words", 1040, "Words"},
    {"WordsNotFittingStayAsRead", "@x;%1%1%1%1%1;(0123456789abcdef)", 64,
     "@x;%1%1%1%1%1;(0123456789abcdef)"},
    {"ResourceLoaded", "@x.dll,-7", 1040, "Loaded words"},
    {"ResourceFailingStaysAsRead", "@fails.dll,-1", 1040, "@fails.dll,-1"},
    {"ResourceFloodingStaysAsRead", "@flood.dll,-1", 1040, "@flood.dll,-1"},
};

class IndirectTextTest : public ::testing::TestWithParam<IndirectRow> {};

TEST_P(IndirectTextTest, AnswersWords) {
    const IndirectRow& row = GetParam();
    auto machine = Machine::Win10();
    machine->Offer("shlwapi.dll", "SHLoadIndirectString", &FakeLoadIndirect);
    Scope scope(*machine);
    std::vector<BYTE> buffer(row.bufferSize + 16, test_support::kFill);
    std::memcpy(buffer.data(), row.stored.data(), row.stored.size());
    const DWORD count = devices::PlainIndirectText(
        buffer.data(), static_cast<DWORD>(row.stored.size()), row.bufferSize);
    const std::string answer(reinterpret_cast<const char*>(buffer.data()),
                             strnlen(reinterpret_cast<const char*>(buffer.data()), count));
    EXPECT_EQ(row.words, answer);
    EXPECT_LE(count, row.bufferSize);
    EXPECT_TRUE(test_support::Untouched(buffer.data() + row.bufferSize, 16));
}

INSTANTIATE_TEST_SUITE_P(DeviceIndirect, IndirectTextTest, ::testing::ValuesIn(kIndirectRows),
                         test_support::RowName());

TEST(DeviceIndirect, ResourceWithoutTheFunctionStaysAsRead) {
    auto machine = Machine::Nt4();
    Scope scope(*machine);
    BYTE buffer[32] = "@x.dll,-7";
    EXPECT_EQ(10u, devices::PlainIndirectText(buffer, 10, sizeof buffer));
    EXPECT_STREQ("@x.dll,-7", reinterpret_cast<const char*>(buffer));
}

const std::string kDevice = "HKLM\\System\\CurrentControlSet\\Enum\\Root\\MODEM\\0000";
const std::string kDeviceKey = "System\\CurrentControlSet\\Enum\\Root\\MODEM\\0000";

LONG SpeedOf(Machine& machine, const std::string& description) {
    machine.Sz(kDevice, "DeviceDesc", description);
    BYTE buffer[260] = {};
    DWORD type = 0, size = sizeof buffer;
    if (!devices::QueryDeviceValue(kDeviceKey.c_str(), "", "Speed", &type, buffer, &size))
        return 0;
    LONG speed = 0;
    std::memcpy(&speed, buffer, sizeof speed);
    return type == REG_DWORD ? speed : 0;
}

// The speed is read from the words, not from the reference before them.
TEST(DeviceIndirect, ModemSpeedOfBothForms) {
    auto machine = Machine::Win7();
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    EXPECT_EQ(57600, SpeedOf(*machine, "Standard 56000 bps V90 Modem"));
    EXPECT_EQ(57600, SpeedOf(*machine, "@mdmgen.inf,%gen56%;Standard 56000 bps V90 Modem"));
    EXPECT_EQ(0, SpeedOf(*machine, "@mdm336.inf,%v34%;Plain Modem"));
    sysinfo::ForgetPlatformRecord();
}

struct MultiRow {
    const char* name;
    std::string stored;
    bool later;  // a Windows 10 record, else NT 4.0
    VARTYPE vt;
    std::vector<std::string> items;
};

void PrintTo(const MultiRow& row, std::ostream* os) { *os << row.name; }

const std::string kFullBuffer(1040, 'x');

const MultiRow kMultiRows[] = {
    {"TwoStrings", std::string("a\0bc\0\0", 6), true, VT_ARRAY | VT_VARIANT, {"a", "bc"}},
    {"WithoutTerminator", std::string("a\0b", 3), true, VT_ARRAY | VT_VARIANT, {"a", "b"}},
    {"EndsAtEmptyString", std::string("a\0\0b\0\0", 6), true, VT_ARRAY | VT_VARIANT, {"a"}},
    {"EmptyList", std::string("\0\0", 2), true, VT_ARRAY | VT_VARIANT, {}},
    {"NoBytes", std::string(), true, VT_ARRAY | VT_VARIANT, {}},
    {"FillingTheBuffer", kFullBuffer, true, VT_ARRAY | VT_VARIANT, {kFullBuffer}},
    {"Of64KiBIsEmpty", std::string(65536, 'y'), true, VT_EMPTY, {}},
    {"Nt4KeepsEmpty", std::string("a\0b\0\0", 5), false, VT_EMPTY, {}},
};

class MultiStringTest : public ::testing::TestWithParam<MultiRow> {};

TEST_P(MultiStringTest, ArrayOfStrings) {
    const MultiRow& row = GetParam();
    auto machine = row.later ? Machine::Win10() : Machine::Nt4();
    machine->Raw(kDevice, "HardwareID", REG_MULTI_SZ, row.stored);
    Scope scope(*machine);
    sysinfo::ForgetPlatformRecord();
    test_support::Bstr key(kDeviceKey), subkey(""), askFor("HardwareID");
    VARIANT value;
    VariantInit(&value);
    ASSERT_EQ(S_OK, test_support::DeviceInfo(key, subkey, askFor, &value));
    ASSERT_EQ(row.vt, V_VT(&value));
    if (row.vt != VT_EMPTY) {
        SAFEARRAY* array = V_ARRAY(&value);
        LONG low = -1, high = -2;
        SafeArrayGetLBound(array, 1, &low);
        SafeArrayGetUBound(array, 1, &high);
        EXPECT_EQ(0, low);
        std::vector<std::string> items;
        for (LONG i = low; i <= high; ++i) {
            VARIANT item;
            VariantInit(&item);
            ASSERT_EQ(S_OK, SafeArrayGetElement(array, &i, &item));
            items.push_back(test_support::Narrow(V_BSTR(&item)));
            VariantClear(&item);
        }
        EXPECT_EQ(row.items, items);
    }
    VariantClear(&value);
    EXPECT_EQ(0, machine->OpenKeys());
    sysinfo::ForgetPlatformRecord();
}

INSTANTIATE_TEST_SUITE_P(DeviceIndirect, MultiStringTest, ::testing::ValuesIn(kMultiRows),
                         test_support::RowName());

}  // namespace
