// The component's own registration script: the entries it leaves, that a
// second registration leaves the same, and that unregistration takes back
// everything but the shared CLSID key.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "registrar_test_support.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using registrar_test::kClassKey;
using registrar_test::kComponentScript;
using registrar_test::RunOn;

constexpr wchar_t kModule[] = L"C:\\Program Files\\DeZIVero\\DeZIVero.DLL";
constexpr char kModuleAnsi[] = "C:\\Program Files\\DeZIVero\\DeZIVero.DLL";
constexpr char kClsid[] = "{7A31C48D-52E6-4B1F-A0D7-3C94E18B6F25}";
constexpr char kName[] = "Orvane Hardware Finder Control";

// The entries registration leaves, written out one by one.
void ExpectedEntries(Machine& m, const char* modulePath) {
    const std::string cls = kClassKey;
    m.Sz("HKCR\\Orvane.VXR.ZEKO.HWInfo.1", "", kName)
        .Sz("HKCR\\Orvane.VXR.ZEKO.HWInfo.1\\CLSID", "", kClsid)
        .Sz("HKCR\\Orvane.VXR.ZEKO.HWInfo", "", kName)
        .Sz("HKCR\\Orvane.VXR.ZEKO.HWInfo\\CLSID", "", kClsid)
        .Sz("HKCR\\Orvane.VXR.ZEKO.HWInfo\\CurVer", "", "Orvane.VXR.ZEKO.HWInfo.1")
        .Sz(cls, "", kName)
        .Sz(cls + "\\ProgID", "", "Orvane.VXR.ZEKO.HWInfo.1")
        .Sz(cls + "\\VersionIndependentProgID", "", "Orvane.VXR.ZEKO.HWInfo")
        .Key(cls + "\\Programmable")
        .Sz(cls + "\\InprocServer32", "", modulePath)
        .Sz(cls + "\\InprocServer32", "ThreadingModel", "Apartment")
        .Sz(cls + "\\TypeLib", "", "{7A31C480-52E6-4B1F-A0D7-3C94E18B6F25}");
}

std::string ExpectedDump(const char* modulePath) {
    Machine expected;
    ExpectedEntries(expected, modulePath);
    return expected.Dump("HKCR");
}

TEST(RegistrarComponentScript, RegisterLeavesExactlyTheClassEntries) {
    Machine machine;
    EXPECT_EQ(S_OK, RunOn(machine, kComponentScript, true, kModule));
    EXPECT_EQ(ExpectedDump(kModuleAnsi), machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarComponentScript, RegisteringTwiceLeavesTheSameEntries) {
    Machine machine;
    ASSERT_EQ(S_OK, RunOn(machine, kComponentScript, true, kModule));
    EXPECT_EQ(S_OK, RunOn(machine, kComponentScript, true, kModule));
    EXPECT_EQ(ExpectedDump(kModuleAnsi), machine.Dump("HKCR"));
}

TEST(RegistrarComponentScript, ReRegisteringRewritesTheClassKeyWithoutStrays) {
    Machine machine;
    ASSERT_EQ(S_OK, RunOn(machine, kComponentScript, true, kModule));
    const std::string cls = kClassKey;
    machine.Key(cls + "\\Stray\\Deeper").Sz(cls, "Stale", "s").Key(cls + "\\Programmable\\Old");
    EXPECT_EQ(S_OK, RunOn(machine, kComponentScript, true, kModule));
    EXPECT_EQ(ExpectedDump(kModuleAnsi), machine.Dump("HKCR"));
}

TEST(RegistrarComponentScript, OtherClassesSurviveRegistration) {
    Machine machine;
    machine.Sz("HKCR\\CLSID\\{Other}\\InprocServer32", "", "other.dll");
    ASSERT_EQ(S_OK, RunOn(machine, kComponentScript, true, kModule));
    Machine expected;
    ExpectedEntries(expected, kModuleAnsi);
    expected.Sz("HKCR\\CLSID\\{Other}\\InprocServer32", "", "other.dll");
    EXPECT_EQ(expected.Dump("HKCR"), machine.Dump("HKCR"));
}

TEST(RegistrarComponentScript, QuoteDoubledInTheMapIsSingleInTheRegistry) {
    Machine machine;
    ASSERT_EQ(S_OK, RunOn(machine, kComponentScript, true, L"C:\\O''Neil''s Tools\\DeZIVero.DLL"));
    EXPECT_EQ(ExpectedDump("C:\\O'Neil's Tools\\DeZIVero.DLL"), machine.Dump("HKCR"));
}

TEST(RegistrarComponentScript, QuoteLeftSingleInTheMapEndsTheTokenAndFails) {
    Machine machine;
    EXPECT_EQ(DISP_E_EXCEPTION, RunOn(machine, kComponentScript, true, L"C:\\O'Neil\\D.DLL"));
    // The undo walk stops at the same bad token, so the class key above it,
    // whose entries were all taken back, keeps its own value.
    Machine expected;
    expected.Sz(kClassKey, "", kName);
    EXPECT_EQ(expected.Dump("HKCR"), machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarComponentScript, UnregisterAfterRegisterLeavesOnlyTheClsidKey) {
    Machine machine;
    ASSERT_EQ(S_OK, RunOn(machine, kComponentScript, true, kModule));
    EXPECT_EQ(S_OK, RunOn(machine, kComponentScript, false, kModule));
    EXPECT_EQ("HKCR\nHKCR\\CLSID\n", machine.Dump("HKCR"));
    EXPECT_EQ(S_OK, RunOn(machine, kComponentScript, false, kModule));
    EXPECT_EQ("HKCR\nHKCR\\CLSID\n", machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarComponentScript, UnregisterSparesOtherClassesUnderClsid) {
    Machine machine;
    machine.Sz("HKCR\\CLSID\\{Other}", "", "other");
    ASSERT_EQ(S_OK, RunOn(machine, kComponentScript, true, kModule));
    EXPECT_EQ(S_OK, RunOn(machine, kComponentScript, false, kModule));
    EXPECT_EQ("HKCR\nHKCR\\CLSID\nHKCR\\CLSID\\{Other}\nHKCR\\CLSID\\{Other} :@ = REG_SZ \"other\"\n",
              machine.Dump("HKCR"));
}

TEST(RegistrarComponentScript, UnregisterKeepsServerKeyWithStraySubkeyAndItsParents) {
    Machine machine;
    ASSERT_EQ(S_OK, RunOn(machine, kComponentScript, true, kModule));
    const std::string cls = kClassKey;
    machine.Key(cls + "\\InprocServer32\\Stray");
    EXPECT_EQ(S_OK, RunOn(machine, kComponentScript, false, kModule));
    Machine expected;
    expected.Sz(cls, "", kName)
        .Sz(cls + "\\InprocServer32", "", kModuleAnsi)
        .Key(cls + "\\InprocServer32\\Stray");
    EXPECT_EQ(expected.Dump("HKCR"), machine.Dump("HKCR"));
}

TEST(RegistrarComponentScript, UnknownValueTypeMidBlockUndoesTheRegistration) {
    std::string script = kComponentScript;
    const std::string from = "val ThreadingModel = s";
    script.replace(script.find(from), from.size(), "val ThreadingModel = q");
    Machine machine;
    machine.Sz("HKCR\\CLSID\\{Other}", "", "other");
    EXPECT_EQ(DISP_E_EXCEPTION, RunOn(machine, script.c_str(), true, kModule));
    EXPECT_EQ("HKCR\nHKCR\\CLSID\nHKCR\\CLSID\\{Other}\nHKCR\\CLSID\\{Other} :@ = REG_SZ \"other\"\n",
              machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

}  // namespace
