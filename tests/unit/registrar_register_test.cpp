// Register mode: script text in, registry state and status out. Every row
// starts from an empty machine, arranged with a few keys where the row needs
// them, and ends with no registry handle left open.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "registrar_test_support.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;

void Nothing(Machine&) {}
void OtherClass(Machine& m) {
    m.Sz("HKCR\\CLSID\\{Other}\\InprocServer32", "", "other.dll");
}
void KeyWithStrays(Machine& m) {
    m.Sz("HKCR\\K", "", "old").Sz("HKCR\\K", "named", "n").Key("HKCR\\K\\Stray\\Deep");
}
void KeyWithSubkey(Machine& m) { m.Key("HKCR\\K\\Sub"); }
void TypeLibWithEntry(Machine& m) { m.Key("HKCR\\TypeLib\\X"); }
void NestedAB(Machine& m) { m.Key("HKCR\\A\\B"); }
void KeepKey(Machine& m) { m.Key("HKCR\\Keep"); }
void KeyWithValue(Machine& m) { m.Sz("HKCR\\A", "keep", "k"); }
void KeywordTargets(Machine& m) { m.Key("HKCR\\A\\Stray").Key("HKCR\\B"); }

struct RegisterCase {
    const char* name;
    void (*arrange)(Machine&);
    const char* script;
    HRESULT status;
    const char* after;  // Dump("HKCR")
};

const RegisterCase kRegisterCases[] = {
    {"PercentPairIsOnePercent", Nothing, "HKCR { A = s '100%%' }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :@ = REG_SZ \"100%\"\n"},
    {"ModuleMarkerInAnyCase", Nothing,
     "HKCR { A = s '%MODULE%' B = s '%module%' C = s '%MoDuLe%' }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :@ = REG_SZ \"MOD-PATH\"\nHKCR\\B\nHKCR\\B :@ = REG_SZ "
     "\"MOD-PATH\"\nHKCR\\C\nHKCR\\C :@ = REG_SZ \"MOD-PATH\"\n"},
    {"DoubledQuoteStandsForOne", Nothing, "HKCR { A = s 'it''s' }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :@ = REG_SZ \"it's\"\n"},
    {"MarkerNameOf31BytesIsLookedUp", Nothing,
     "HKCR { A = s '%N234567890123456789012345678901%' }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :@ = REG_SZ \"thirty-one\"\n"},
    {"MarkerNameOf32BytesFailsBeforeWriting", Nothing,
     "HKCR { A = s 'x' B = s '%N2345678901234567890123456789012%' }", E_FAIL, "HKCR\n"},
    {"LowerCaseShortRootName", Nothing, "hkcr { A }", S_OK, "HKCR\nHKCR\\A\n"},
    {"LongRootName", Nothing, "HKEY_CLASSES_ROOT { A }", S_OK, "HKCR\nHKCR\\A\n"},
    {"KeyNameBeforeBraceIsOneToken", Nothing, "HKCR\r\n{\r\n\tFoo{\r\n}\r\n", S_OK,
     "HKCR\nHKCR\\Foo{\n"},
    {"BraceWithTextAfterItIsTheNextKey", Nothing, "HKCR { A {B }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\{B\n"},
    {"ValueTypesInEitherCase", Nothing,
     "HKCR { A { val s1 = S 'x' val s2 = s 'y' val d1 = D 42 val d2 = d 4294967295 "
     "val b1 = B 0a1B val b2 = b 'FF' } }",
     S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :b1 = REG_BINARY hex: 0A 1B\nHKCR\\A :b2 = REG_BINARY hex: FF\n"
     "HKCR\\A :d1 = REG_DWORD 0x0000002A (42)\nHKCR\\A :d2 = REG_DWORD 0xFFFFFFFF (4294967295)\n"
     "HKCR\\A :s1 = REG_SZ \"x\"\nHKCR\\A :s2 = REG_SZ \"y\"\n"},
    {"EmptyBinaryIsZeroLength", Nothing, "HKCR { A { val b = b '' } }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :b = REG_BINARY hex:\n"},
    {"NonHexDigitsCountAsZero", Nothing, "HKCR { A { val b = b 'zG1x' } }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :b = REG_BINARY hex: 00 10\n"},
    {"OddBinaryFailsAndIsUndone", Nothing, "HKCR { A = s 'a' { val b = b 0a1 } }", E_FAIL,
     "HKCR\n"},
    {"NumberTextThatIsNoNumberWritesNothing", Nothing,
     "HKCR { A { val bad = d 12x val neg = d -1 val big = d 4294967296 val good = d 7 } }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :good = REG_DWORD 0x00000007 (7)\n"},
    {"ForceRemoveOfClsidDeletesNothing", OtherClass,
     "HKCR { ForceRemove CLSID { Mine = s 'm' } }", S_OK,
     "HKCR\nHKCR\\CLSID\nHKCR\\CLSID\\Mine\nHKCR\\CLSID\\Mine :@ = REG_SZ \"m\"\n"
     "HKCR\\CLSID\\{Other}\nHKCR\\CLSID\\{Other}\\InprocServer32\n"
     "HKCR\\CLSID\\{Other}\\InprocServer32 :@ = REG_SZ \"other.dll\"\n"},
    {"ForceRemoveRewritesKeyWithoutItsStrays", KeyWithStrays, "HKCR { ForceRemove K = s 'new' }",
     S_OK, "HKCR\nHKCR\\K\nHKCR\\K :@ = REG_SZ \"new\"\n"},
    {"DeleteRemovesKeyAndWritesNothing", KeyWithSubkey,
     "HKCR { Delete K = s 'ignored' After = s 'a' }", S_OK,
     "HKCR\nHKCR\\After\nHKCR\\After :@ = REG_SZ \"a\"\n"},
    {"DeleteSparesNeverDeleteNamesInAnyCase", TypeLibWithEntry, "HKCR { Delete TYPELIB }", S_OK,
     "HKCR\nHKCR\\TypeLib\nHKCR\\TypeLib\\X\n"},
    {"BackslashInKeyNameFails", Nothing, "HKCR { A\\B = s 'x' }", DISP_E_EXCEPTION, "HKCR\n"},
    {"BackslashAfterForceRemoveDeletesNothing", NestedAB, "HKCR { ForceRemove A\\B }",
     DISP_E_EXCEPTION, "HKCR\nHKCR\\A\nHKCR\\A\\B\n"},
    {"EmptyKeyNameFailsBeforeDeletingTheParent", KeepKey, "HKCR { ForceRemove '' }",
     DISP_E_EXCEPTION, "HKCR\nHKCR\\Keep\n"},
    {"UnknownRootFails", Nothing, "HKXX { A }", DISP_E_EXCEPTION, "HKCR\n"},
    {"RootWithoutBraceFails", Nothing, "HKCR A { }", DISP_E_EXCEPTION, "HKCR\n"},
    {"ValWithoutAssignmentFailsAndIsUndone", Nothing, "HKCR { A { val x s 'y' } }",
     DISP_E_EXCEPTION, "HKCR\n"},
    {"UnterminatedQuoteFailsAndIsUndone", Nothing, "HKCR { A = s 'abc }", DISP_E_EXCEPTION,
     "HKCR\n"},
    {"MissingClosingPercentFails", Nothing, "HKCR { A = s '%MODULE' }", DISP_E_EXCEPTION,
     "HKCR\n"},
    {"UnknownMarkerFails", Nothing, "HKCR { A = s '%NOPE%' }", DISP_E_EXCEPTION, "HKCR\n"},
    {"TextEndingInsideBlockFailsAndIsUndone", Nothing, "HKCR { A = s 'x'", DISP_E_EXCEPTION,
     "HKCR\n"},
    {"UnknownValueTypeUndoesOnlyTheFailingRootBlock", Nothing,
     "HKCR { Early = s 'e' }\r\nHKCR { K1 = s 'a' { Sub = s 'b' } K2 = x 'c' }",
     DISP_E_EXCEPTION, "HKCR\nHKCR\\Early\nHKCR\\Early :@ = REG_SZ \"e\"\n"},
    {"ValueOfTheRootKey", Nothing, "HKCR { val RootValue = s 'r' }", S_OK,
     "HKCR\nHKCR :RootValue = REG_SZ \"r\"\n"},
    {"EmptyScriptDoesNothing", Nothing, "", S_OK, "HKCR\n"},
    {"WhiteSpaceOnlyDoesNothing", Nothing, " \r\n\t ", S_OK, "HKCR\n"},
    {"StrayCloseAfterRootBlockFailsKeepingTheBlock", Nothing, "HKCR { A } }", DISP_E_EXCEPTION,
     "HKCR\nHKCR\\A\n"},
    {"ExistingKeyKeepsItsValues", KeyWithValue, "HKCR { A = s 'v' }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :@ = REG_SZ \"v\"\nHKCR\\A :keep = REG_SZ \"k\"\n"},
    {"KeywordsInAnyCase", KeywordTargets,
     "HKCR { forceremove A delete B NOREMOVE C { VAL v = s 'x' } }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\C\nHKCR\\C :v = REG_SZ \"x\"\n"},
    {"KeywordAppliesToTheNextTokenAsKeyName", Nothing, "HKCR { NoRemove Val }", S_OK,
     "HKCR\nHKCR\\Val\n"},
};

void PrintTo(const RegisterCase& c, std::ostream* os) { *os << c.name; }

class RegistrarRegister : public testing::TestWithParam<RegisterCase> {};

TEST_P(RegistrarRegister, LeavesState) {
    const RegisterCase& c = GetParam();
    Machine machine;
    c.arrange(machine);
    EXPECT_EQ(c.status, registrar_test::RunOn(machine, c.script, true));
    EXPECT_EQ(c.after, machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistrarRegister, testing::ValuesIn(kRegisterCases),
                         test_support::RowName());

TEST(RegistrarRegisterRoots, EveryRootNameReachesItsRoot) {
    struct Row {
        const char* script;
        const char* root;
    };
    const Row rows[] = {
        {"HKCU { K }", "HKCU"},        {"HKEY_CURRENT_USER { K }", "HKCU"},
        {"HKLM { K }", "HKLM"},        {"hkey_local_machine { K }", "HKLM"},
        {"HKU { K }", "HKU"},          {"HKEY_USERS { K }", "HKU"},
        {"HKDD { K }", "HKDD"},        {"HKEY_DYN_DATA { K }", "HKDD"},
        {"HKCC { K }", "HKCC"},        {"HKEY_CURRENT_CONFIG { K }", "HKCC"},
        {"HKPD { K }", "HKPD"},        {"HKEY_PERFORMANCE_DATA { K }", "HKPD"},
    };
    for (const Row& row : rows) {
        Machine machine;
        EXPECT_EQ(S_OK, registrar_test::RunOn(machine, row.script, true)) << row.script;
        EXPECT_TRUE(machine.HasKey(std::string(row.root) + "\\K")) << row.script;
        EXPECT_FALSE(machine.HasKey("HKCR\\K")) << row.script;
    }
}

}  // namespace
