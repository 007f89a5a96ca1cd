// FindDevice and the members around it: the key and status it records, the
// key it hands to GetDeviceInfo, and class names of any length from a script.
#include <cstring>

#include "object_test_machine.h"

namespace object_test {
namespace {

// A modem with problem code 22 between a printer and a network card (9x), or
// behind the modem service (NT).
void DescribeModem(Machine& m, Family family) {
    if (family == Family::Win9x) {
        m.Dword("HKDD\\Config Manager\\Enum\\C1000000", "Problem", 0)
            .Sz("HKDD\\Config Manager\\Enum\\C1000000", "HardwareKey", "Root\\Printer\\0000")
            .Sz("HKLM\\Enum\\Root\\Printer\\0000", "Class", "Printer");
        m.Dword("HKDD\\Config Manager\\Enum\\C2000000", "Problem", 22)
            .Sz("HKDD\\Config Manager\\Enum\\C2000000", "HardwareKey", "Root\\MDMGEN\\0000")
            .Sz("HKLM\\Enum\\Root\\MDMGEN\\0000", "Class", "Modem");
        m.Dword("HKDD\\Config Manager\\Enum\\C3000000", "Problem", 7)
            .Sz("HKDD\\Config Manager\\Enum\\C3000000", "HardwareKey", "Root\\Net\\0000")
            .Sz("HKLM\\Enum\\Root\\Net\\0000", "Class", "Net");
        return;
    }
    m.Dword("HKLM\\System\\CurrentControlSet\\Services\\Modem\\Enum", "Count", 1)
        .Sz("HKLM\\System\\CurrentControlSet\\Services\\Modem\\Enum", "0", "Root\\MDMGEN\\0000");
    m.Sz("HKLM\\System\\CurrentControlSet\\Enum\\Root\\MDMGEN\\0000", "Class", "Modem")
        .Dword("HKLM\\System\\CurrentControlSet\\Enum\\Root\\MDMGEN\\0000", "StatusFlags", 0)
        .Dword("HKLM\\System\\CurrentControlSet\\Enum\\Root\\MDMGEN\\0000", "Problem", 22);
}

const char* ModemKey(Family family) {
    return family == Family::Win9x ? "Enum\\Root\\MDMGEN\\0000"
                                   : "System\\CurrentControlSet\\Enum\\Root\\MDMGEN\\0000";
}

class FindDevice : public ObjectTest {
protected:
    void SetUp() override {
        ObjectTest::SetUp();
        DescribeModem(machine(), GetParam());
    }
};

struct SearchRow {
    const char* name;
    LONG number;
    const wchar_t* deviceClass;
    bool found;
    LONG status9x, statusNt;  // what the walk wrote last
};

constexpr SearchRow kSearchRows[] = {
    {"FirstModem", 0, L"Modem", true, 22, 22},
    {"ClassComparedWithoutCase", 0, L"mOdEm", true, 22, 22},
    {"SecondModemDoesNotExist", 1, L"Modem", false, 7, 22},
    {"ClassNobodyHas", 0, L"Scanner", false, 7, -1},
    {"EmptyClassIsRefusedByTheSearch", 0, L"", false, -1, -1},
};

TEST_P(FindDevice, RecordsTheKeyAndStatusOfTheDeviceFound) {
    for (const SearchRow& row : kSearchRows) {
        SCOPED_TRACE(row.name);
        CoDeZiVero& o = Build();
        Bstr deviceClass(row.deviceClass);
        VARIANT_BOOL found = static_cast<VARIANT_BOOL>(0x5A5A);

        ASSERT_EQ(S_OK, o.FindDevice(row.number, deviceClass.Get(), &found));

        EXPECT_EQ(row.found ? VARIANT_TRUE : VARIANT_FALSE, found);
        EXPECT_STREQ(row.found ? ModemKey(GetParam()) : "", StateAccess::HWKey(o));
        Bstr key;
        LONG status = 0;
        ASSERT_EQ(S_OK, o.get_HWKey(key.Out()));
        ASSERT_EQ(S_OK, o.get_DeviceStatus(&status));
        EXPECT_EQ(FromCodePage(StateAccess::HWKey(o)), key.Text());
        EXPECT_EQ(GetParam() == Family::Win9x ? row.status9x : row.statusNt, status);
        EXPECT_EQ(0, machine().OpenKeys());
    }
}

TEST_P(FindDevice, AFailedSearchForgetsTheDeviceFoundBefore) {
    CoDeZiVero& o = Build();
    Bstr modem(L"Modem");
    VARIANT_BOOL found = VARIANT_FALSE;
    ASSERT_EQ(S_OK, o.FindDevice(0, modem.Get(), &found));
    ASSERT_EQ(VARIANT_TRUE, found);

    ASSERT_EQ(S_OK, o.FindDevice(1, modem.Get(), &found));

    EXPECT_EQ(VARIANT_FALSE, found);
    Bstr key;
    ASSERT_EQ(S_OK, o.get_HWKey(key.Out()));
    ASSERT_NE(nullptr, key.Get());
    EXPECT_EQ(0u, key.Length());
}

TEST_P(FindDevice, TheKeyFoundReadsBackThroughGetDeviceInfo) {
    CoDeZiVero& o = Build();
    Bstr modem(L"Modem");
    VARIANT_BOOL found = VARIANT_FALSE;
    ASSERT_EQ(S_OK, o.FindDevice(0, modem.Get(), &found));
    Bstr key;
    ASSERT_EQ(S_OK, o.get_HWKey(key.Out()));
    Bstr subkey(L""), askFor(L"Class");
    VARIANT value;
    V_VT(&value) = VT_I4;
    V_I4(&value) = static_cast<LONG>(0xDEADBEEF);

    ASSERT_EQ(S_OK, o.GetDeviceInfo(key.Get(), subkey.Get(), askFor.Get(), &value));

    ASSERT_EQ(VT_BSTR, V_VT(&value));
    EXPECT_EQ(std::wstring(L"Modem"), std::wstring(V_BSTR(&value), SysStringLen(V_BSTR(&value))));
    VariantClear(&value);
}

TEST_P(FindDevice, GetDeviceInfoEmptiesTheVariantWhenNothingIsRead) {
    CoDeZiVero& o = Build();
    Bstr key(L"Enum\\Nowhere"), subkey(L""), askFor(L"Class");
    VARIANT value;
    V_VT(&value) = VT_I4;
    V_I4(&value) = static_cast<LONG>(0xDEADBEEF);

    ASSERT_EQ(S_OK, o.GetDeviceInfo(key.Get(), subkey.Get(), askFor.Get(), &value));

    EXPECT_EQ(VT_EMPTY, V_VT(&value));
}

TEST_P(FindDevice, BusMembersLeaveTheRecordedDeviceAlone) {
    CoDeZiVero& o = Build();
    Bstr modem(L"Modem");
    VARIANT_BOOL found = VARIANT_FALSE;
    ASSERT_EQ(S_OK, o.FindDevice(0, modem.Get(), &found));
    const LONG status = StateAccess::DeviceStatus(o);
    VARIANT_BOOL scsi = static_cast<VARIANT_BOOL>(0x5A5A), agp = static_cast<VARIANT_BOOL>(0x5A5A);

    ASSERT_EQ(S_OK, o.get_HasSCSIBus(&scsi));
    ASSERT_EQ(S_OK, o.get_HasAGPBus(&agp));

    EXPECT_EQ(VARIANT_FALSE, scsi);
    EXPECT_EQ(VARIANT_FALSE, agp);
    EXPECT_STREQ(ModemKey(GetParam()), StateAccess::HWKey(o));
    EXPECT_EQ(status, StateAccess::DeviceStatus(o));
}

// A script can pass a class name of any length. The name is converted into a
// buffer of the key's size; a name that does not fit names no class and is
// not searched for.
struct LongClassRow {
    const char* name;
    size_t length;
    bool searched;
};

constexpr LongClassRow kLongClassRows[] = {
    {"ExactFitIsSearched", object::kHWKeySize - 1, true},
    {"OneTooLongIsNotSearched", object::kHWKeySize, false},
    {"AMillionCharacters", 1000000, false},
};

TEST_P(FindDevice, ClassNamesOfAnyLengthAreHandledSafely) {
    for (const LongClassRow& row : kLongClassRows) {
        SCOPED_TRACE(row.name);
        CoDeZiVero& o = Build();
        std::strcpy(StateAccess::HWKey(o), "Enum\\Sentinel");
        StateAccess::DeviceStatus(o) = 0x1234;
        Bstr deviceClass(L"Modem" + std::wstring(row.length - 5, L'x'));
        ASSERT_EQ(row.length, deviceClass.Length());
        VARIANT_BOOL found = static_cast<VARIANT_BOOL>(0x5A5A);

        ASSERT_EQ(S_OK, o.FindDevice(0, deviceClass.Get(), &found));

        EXPECT_EQ(VARIANT_FALSE, found);
        EXPECT_STREQ("", StateAccess::HWKey(o));
        EXPECT_EQ(row.searched, machine().Calls("RegOpenKeyExA") > 0);
        if (!row.searched) {
            EXPECT_EQ(0x1234, StateAccess::DeviceStatus(o));
        }
    }
}

TEST_P(FindDevice, ANonAsciiClassNameIsConvertedThroughTheCodePage) {
    const std::string ansiClass = "Mod\xE9m";
    if (GetParam() == Family::Win9x)
        machine().Sz("HKLM\\Enum\\Root\\MDMGEN\\0000", "Class", ansiClass);
    else  // only modems and display adapters count without a status flag
        machine()
            .Sz("HKLM\\System\\CurrentControlSet\\Enum\\Root\\MDMGEN\\0000", "Class", ansiClass)
            .Dword("HKLM\\System\\CurrentControlSet\\Enum\\Root\\MDMGEN\\0000", "StatusFlags", 1);
    CoDeZiVero& o = Build();
    Bstr deviceClass(FromCodePage(ansiClass));
    VARIANT_BOOL found = VARIANT_FALSE;

    ASSERT_EQ(S_OK, o.FindDevice(0, deviceClass.Get(), &found));

    EXPECT_EQ(VARIANT_TRUE, found);
    EXPECT_STREQ(ModemKey(GetParam()), StateAccess::HWKey(o));
}

INSTANTIATE_TEST_SUITE_P(ObjectDevices, FindDevice, ::testing::Values(Family::Nt, Family::Win9x),
                         FamilyParamName);

}  // namespace
}  // namespace object_test
