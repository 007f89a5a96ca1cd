// The firmware members and the host's safety options: a caller a host has
// declared untrusted (INTERFACESAFE_FOR_UNTRUSTED_CALLER, as a browser does
// for a page) gets "" for the four values that single a machine out; the
// maker and the family, and every caller a host has not so declared, get what
// the registry holds.
#include "object_test_machine.h"

namespace object_test {
namespace {

constexpr char kBiosKey[] = "HKLM\\HARDWARE\\DESCRIPTION\\System\\BIOS";

struct FirmwareRow {
    const char* name;
    HRESULT (STDMETHODCALLTYPE CoDeZiVero::*member)(BSTR*) noexcept;
    const char* value;
    bool withheldFromUntrustedCallers;
};

const FirmwareRow kFirmwareRows[] = {
    {"BIOSVendor", &CoDeZiVero::get_BIOSVendor, "American Megatrends International, LLC.", false},
    {"BIOSVersion", &CoDeZiVero::get_BIOSVersion, "F.21", true},
    {"BIOSReleaseDate", &CoDeZiVero::get_BIOSReleaseDate, "09/07/2023", true},
    {"SystemFamily", &CoDeZiVero::get_SystemFamily, "ThinkPad T14 Gen 3", false},
    {"BaseBoardManufacturer", &CoDeZiVero::get_BaseBoardManufacturer, "LENOVO", true},
    {"BaseBoardProduct", &CoDeZiVero::get_BaseBoardProduct, "21AHCTO1WW", true},
};

struct OptionRow {
    const char* name;
    DWORD enabled;  // set through IObjectSafety, mask 3
    bool untrustedCaller;
};

constexpr OptionRow kOptionRows[] = {
    {"ScriptRunByTheUser", 0, false},
    {"PageDeclaredAnUntrustedCaller", INTERFACESAFE_FOR_UNTRUSTED_CALLER, true},
    {"UntrustedDataAlone", INTERFACESAFE_FOR_UNTRUSTED_DATA, false},
    {"BothOptions", INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA, true},
};

class FirmwareMembers : public ObjectTest {};

TEST_P(FirmwareMembers, UntrustedCallersGetNoValueThatSinglesTheMachineOut) {
    for (const FirmwareRow& row : kFirmwareRows) machine().Sz(kBiosKey, row.name, row.value);
    CoDeZiVero& o = Build();
    for (const OptionRow& options : kOptionRows) {
        ASSERT_EQ(S_OK, o.Safety()->SetInterfaceSafetyOptions(IID_IDispatch, 3, options.enabled));
        for (const FirmwareRow& row : kFirmwareRows) {
            SCOPED_TRACE(std::string(options.name) + " " + row.name);
            Bstr answer;
            ASSERT_EQ(S_OK, (o.*row.member)(answer.Out()));
            const bool withheld = row.withheldFromUntrustedCallers && options.untrustedCaller;
            EXPECT_EQ(withheld ? std::string() : std::string(row.value), test_support::Narrow(answer.Get()));
        }
    }
}

// A value the machine lacks is "" for everyone, not an error.
TEST_P(FirmwareMembers, AMissingValueIsEmptyText) {
    machine().Key(kBiosKey);
    CoDeZiVero& o = Build();
    for (const FirmwareRow& row : kFirmwareRows) {
        SCOPED_TRACE(row.name);
        Bstr answer;
        ASSERT_EQ(S_OK, (o.*row.member)(answer.Out()));
        ASSERT_NE(nullptr, answer.Get());
        EXPECT_EQ(0u, SysStringLen(answer.Get()));
    }
}

INSTANTIATE_TEST_SUITE_P(ObjectMembers, FirmwareMembers, ::testing::Values(Family::Nt),
                         FamilyParamName);

}  // namespace
}  // namespace object_test
