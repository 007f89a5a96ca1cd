// Unregister mode: which keys and values a script removes and which it
// spares. Each row arranges the registry by hand, so no row depends on
// register mode being right.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "registrar_test_support.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;

void Empty(Machine&) {}
void OtherClassOnly(Machine& m) { m.Sz("HKCR\\CLSID\\{Other}", "", "other"); }
void NoRemoveBlock(Machine& m) {
    m.Key("HKCR\\P\\Before")
        .Sz("HKCR\\P\\A", "", "a")
        .Sz("HKCR\\P\\B", "", "b")
        .Sz("HKCR\\P\\B", "v", "x")
        .Sz("HKCR\\P\\B\\C", "", "c");
}
void StrayBelowNamedKey(Machine& m) {
    m.Sz("HKCR\\P\\K", "", "k").Sz("HKCR\\P\\K", "v", "x").Key("HKCR\\P\\K\\Stray");
}
void SubkeyOfOwnName(Machine& m) {
    m.Sz("HKCR\\K", "", "v").Key("HKCR\\K\\K\\Deep").Key("HKCR\\K\\Other");
}
void StrayAndNext(Machine& m) {
    m.Sz("HKCR\\A", "", "a").Key("HKCR\\A\\Stray").Sz("HKCR\\B", "", "b");
}
void ForeignValueAndNext(Machine& m) {
    m.Sz("HKCR\\A", "", "a").Sz("HKCR\\A", "extra", "x").Sz("HKCR\\B", "", "b");
}
void RootValues(Machine& m) {
    m.Sz("HKCR", "RootValue", "r").Sz("HKCR", "Other", "o");
}
void PresentOnly(Machine& m) { m.Sz("HKCR\\P\\Present", "", "p"); }
void TwoKeys(Machine& m) { m.Key("HKCR\\A").Key("HKCR\\B"); }
void EmptyKeyA(Machine& m) { m.Key("HKCR\\A"); }
void KeysAandD(Machine& m) { m.Key("HKCR\\A").Key("HKCR\\D"); }
void NoRemoveTopValues(Machine& m) { m.Sz("HKCR\\N", "v", "x"); }

struct UnregisterCase {
    const char* name;
    void (*arrange)(Machine&);
    const char* script;
    HRESULT status;
    const char* after;  // Dump("HKCR")
};

const UnregisterCase kUnregisterCases[] = {
    {"NothingRegisteredDeletesNothing", OtherClassOnly, registrar_test::kComponentScript, S_OK,
     "HKCR\nHKCR\\CLSID\nHKCR\\CLSID\\{Other}\nHKCR\\CLSID\\{Other} :@ = REG_SZ \"other\"\n"},
    {"EmptyRegistry", Empty, registrar_test::kComponentScript, S_OK, "HKCR\n"},
    {"NoRemoveSparesItsKeyAndTheLaterKeysOfItsBlock", NoRemoveBlock,
     "HKCR { P { Before NoRemove A = s 'a' B = s 'b' { val v = s 'x' C = s 'c' } } }", S_OK,
     "HKCR\nHKCR\\P\nHKCR\\P\\A\nHKCR\\P\\A :@ = REG_SZ \"a\"\nHKCR\\P\\B\n"
     "HKCR\\P\\B :@ = REG_SZ \"b\"\n"},
    {"StraySubkeyKeepsKeyAndItsParents", StrayBelowNamedKey,
     "HKCR { P { K = s 'k' { val v = s 'x' } } }", S_OK,
     "HKCR\nHKCR\\P\nHKCR\\P\\K\nHKCR\\P\\K :@ = REG_SZ \"k\"\nHKCR\\P\\K\\Stray\n"},
    {"KeptKeyLosesOnlySubkeyOfItsOwnName", SubkeyOfOwnName, "HKCR { K = s 'v' }", S_OK,
     "HKCR\nHKCR\\K\nHKCR\\K :@ = REG_SZ \"v\"\nHKCR\\K\\Other\n"},
    {"KeptKeyWithoutBlockDoesNotSwallowNextEntry", StrayAndNext,
     "HKCR { A = s 'a' B = s 'b' }", S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :@ = REG_SZ \"a\"\nHKCR\\A\\Stray\n"},
    {"KeyWithForeignValueIsDeletedAndNextEntryToo", ForeignValueAndNext,
     "HKCR { A = s 'a' B = s 'b' }", S_OK, "HKCR\n"},
    {"ValueOfTheRootKeyIsDeleted", RootValues, "HKCR { val RootValue = s 'r' }", S_OK,
     "HKCR\nHKCR :Other = REG_SZ \"o\"\n"},
    {"KeyThatCannotBeOpenedLeavesSkipStateOn", PresentOnly,
     "HKCR { P { Missing = s 'm' Present = s 'p' } }", S_OK,
     "HKCR\nHKCR\\P\nHKCR\\P\\Present\nHKCR\\P\\Present :@ = REG_SZ \"p\"\n"},
    {"SkipStateEndsAfterMissingKeyWithBlock", PresentOnly,
     "HKCR { P { Missing { val v = s 'x' } Present = s 'p' } }", S_OK, "HKCR\n"},
    {"ForceRemoveAndDeleteAreKeyEntries", TwoKeys, "HKCR { ForceRemove A Delete B }", S_OK,
     "HKCR\n"},
    {"BlockOfEmptyKeyIsPassedOver", EmptyKeyA, "HKCR { A { B = s 'b' { val v = s 'x' } } }",
     S_OK, "HKCR\n"},
    {"FailureStopsTheRun", KeysAandD, "HKCR { A }\r\nHKCR { B\\C }\r\nHKCR { D }",
     DISP_E_EXCEPTION, "HKCR\nHKCR\\D\n"},
    {"ValWithoutAssignmentFails", Empty, "HKCR { val v s 'x' }", DISP_E_EXCEPTION, "HKCR\n"},
    {"NoRemoveKeyLosesItsValuesButStays", NoRemoveTopValues, "HKCR { NoRemove N { val v = s 'x' } }",
     S_OK, "HKCR\nHKCR\\N\n"},
};

void PrintTo(const UnregisterCase& c, std::ostream* os) { *os << c.name; }

class RegistrarUnregister : public testing::TestWithParam<UnregisterCase> {};

TEST_P(RegistrarUnregister, LeavesState) {
    const UnregisterCase& c = GetParam();
    Machine machine;
    c.arrange(machine);
    EXPECT_EQ(c.status, registrar_test::RunOn(machine, c.script, false));
    EXPECT_EQ(c.after, machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistrarUnregister, testing::ValuesIn(kUnregisterCases),
                         test_support::RowName());

}  // namespace
