// What the members hand out: the object's state at construction, text
// converted through the system code page, numbers and enumeration values as
// the core gives them, and the debug flag as a truth value.
#include <climits>
#include <cstring>

#include "object_test_machine.h"

namespace object_test {
namespace {

constexpr char kNtCurrentVersion[] = "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char kWindowsCurrentVersion[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kCentralProcessor[] = "HKLM\\Hardware\\Description\\System\\CentralProcessor\\";

class ObjectValues : public ObjectTest {};

TEST_P(ObjectValues, ANewObjectHasFoundNothingYet) {
    CoDeZiVero& o = Build();
    Bstr key;
    LONG status = static_cast<LONG>(0xDEADBEEF);

    ASSERT_EQ(S_OK, o.get_HWKey(key.Out()));
    ASSERT_EQ(S_OK, o.get_DeviceStatus(&status));

    ASSERT_NE(nullptr, key.Get()) << "an empty key is still an allocated string";
    EXPECT_EQ(0u, key.Length());
    EXPECT_EQ(-1, status);
}

TEST_P(ObjectValues, TheFrameStartsWithNoCountAndNoSafetyOptions) {
    CoDeZiVero& o = Build();
    EXPECT_EQ(0, StateAccess::RefCount(o));
    EXPECT_EQ(0u, StateAccess::SafetyOptions(o));
    EXPECT_EQ(nullptr, StateAccess::Outer(o));

    // The outer unknown is only remembered here, never called.
    IUnknown* outer = reinterpret_cast<IUnknown*>(static_cast<uintptr_t>(0xDEADBEE0));
    CoDeZiVero aggregated(outer);
    EXPECT_EQ(outer, StateAccess::Outer(aggregated));
    EXPECT_EQ(-1, StateAccess::DeviceStatus(aggregated));
    EXPECT_STREQ("", StateAccess::HWKey(aggregated));
}

// Text members: each row puts non-ASCII bytes where the routine reads them.
// 0x80 is a character of its own in the ANSI code pages (the euro sign in
// 1252), not U+0080, so widening bytes would not match.
struct TextRow {
    const char* name;
    void (*describe)(Machine&, CoDeZiVero*);  // object null: before construction
    HRESULT (*call)(CoDeZiVero&, BSTR*);
    const char* ansi;
};

constexpr TextRow kTextRows[] = {
    {"SysDir",
     [](Machine& m, CoDeZiVero* o) {
         if (!o) m.systemDirectory = "C:\\Syst\xE8me \x80";
     },
     [](CoDeZiVero& o, BSTR* out) { return o.get_SysDir(out); }, "C:\\Syst\xE8me \x80"},
    {"WinDir",
     [](Machine& m, CoDeZiVero* o) {
         if (!o) m.windowsDirectory = "C:\\Fen\xEAtres";
     },
     [](CoDeZiVero& o, BSTR* out) { return o.get_WinDir(out); }, "C:\\Fen\xEAtres"},
    {"ComputerName",
     [](Machine& m, CoDeZiVero* o) {
         if (!o) m.computerName = "P\xC9TANQUE";
     },
     [](CoDeZiVero& o, BSTR* out) { return o.get_ComputerName(out); }, "P\xC9TANQUE"},
    {"CSDFromTheSnapshot",
     [](Machine& m, CoDeZiVero* o) {
         if (!o) std::strcpy(m.version.szCSDVersion, "Service Pack \xBD");
     },
     [](CoDeZiVero& o, BSTR* out) { return o.get_CSD(out); }, "Service Pack \xBD"},
    {"RegOwnerName",
     [](Machine& m, CoDeZiVero* o) {
         if (o) return;
         m.Sz(kNtCurrentVersion, "RegisteredOwner", "Ren\xE9 M\xFCller \x80");
         m.Sz(kWindowsCurrentVersion, "RegisteredOwner", "Ren\xE9 M\xFCller \x80");
     },
     [](CoDeZiVero& o, BSTR* out) { return o.get_RegOwnerName(out); }, "Ren\xE9 M\xFCller \x80"},
    {"RegOrganization",
     [](Machine& m, CoDeZiVero* o) {
         if (o) return;
         m.Sz(kNtCurrentVersion, "RegisteredOrganization", "Soci\xE9t\xE9 G\xE9n\xE9rale");
         m.Sz(kWindowsCurrentVersion, "RegisteredOrganization", "Soci\xE9t\xE9 G\xE9n\xE9rale");
     },
     [](CoDeZiVero& o, BSTR* out) { return o.get_RegOrganization(out); },
     "Soci\xE9t\xE9 G\xE9n\xE9rale"},
    {"HWKeyFromTheObjectsOwnField",
     [](Machine&, CoDeZiVero* o) {
         if (o) std::strcpy(StateAccess::HWKey(*o), "Enum\\Root\\B\xFChne\\0000");
     },
     [](CoDeZiVero& o, BSTR* out) { return o.get_HWKey(out); }, "Enum\\Root\\B\xFChne\\0000"},
    {"CurrentHWProfileIsEmptyButAllocated", [](Machine&, CoDeZiVero*) {},
     [](CoDeZiVero& o, BSTR* out) { return o.get_CurrentHWProfile(out); }, ""},
};

TEST_P(ObjectValues, TextComesBackThroughTheAnsiCodePage) {
    for (const TextRow& row : kTextRows) {
        SCOPED_TRACE(row.name);
        row.describe(machine(), nullptr);
        CoDeZiVero& o = Build();
        row.describe(machine(), &o);
        Bstr text;

        ASSERT_EQ(S_OK, row.call(o, text.Out()));

        ASSERT_NE(nullptr, text.Get());
        EXPECT_EQ(FromCodePage(row.ansi), text.Text());
        EXPECT_EQ(std::strlen(row.ansi), text.Length());
    }
}

TEST_P(ObjectValues, OutParametersAreOverwrittenNotFreed) {
    CoDeZiVero& o = Build();
    BSTR text = SentinelBstr();
    LONG number = static_cast<LONG>(0xDEADBEEF);
    VARIANT_BOOL flag = static_cast<VARIANT_BOOL>(0x5A5A);

    ASSERT_EQ(S_OK, o.get_WinDir(&text));
    ASSERT_EQ(S_OK, o.get_NumberOfProcessors(&number));
    ASSERT_EQ(S_OK, o.get_DebugEnabled(&flag));

    ASSERT_NE(SentinelBstr(), text);
    EXPECT_EQ(FromCodePage(machine().windowsDirectory), std::wstring(text, SysStringLen(text)));
    SysFreeString(text);
    EXPECT_NE(static_cast<LONG>(0xDEADBEEF), number);
    EXPECT_NE(static_cast<VARIANT_BOOL>(0x5A5A), flag);
}

struct DebugRow {
    const char* name;
    int metric;
    VARIANT_BOOL expected;
};

constexpr DebugRow kDebugRows[] = {
    {"ZeroIsFalse", 0, VARIANT_FALSE},
    {"ExactlyOneIsTrue", 1, VARIANT_TRUE},
    {"TwoIsNotOne", 2, VARIANT_FALSE},
    {"MinusOneIsNotOne", -1, VARIANT_FALSE},
};

TEST_P(ObjectValues, DebugEnabledIsTrueOnlyForAMetricOfExactlyOne) {
    CoDeZiVero& o = Build();
    for (const DebugRow& row : kDebugRows) {
        SCOPED_TRACE(row.name);
        machine().metrics[SM_DEBUG] = row.metric;
        VARIANT_BOOL enabled = static_cast<VARIANT_BOOL>(0x5A5A);

        ASSERT_EQ(S_OK, o.get_DebugEnabled(&enabled));

        EXPECT_EQ(row.expected, enabled);
    }
}

struct BootModeRow {
    const char* name;
    int metric;
    LONG expected;
};

constexpr BootModeRow kBootModeRows[] = {
    {"Normal", 0, ZEKO_BOOT_NORMAL},
    {"FailSafe", 1, ZEKO_BOOT_FAIL_SAFE},
    {"FailSafeWithNetwork", 2, ZEKO_BOOT_FAIL_SAFE_NETWORK},
    {"ThreeIsUnknown", 3, ZEKO_BOOT_UNKNOWN},
    {"LargerValuesAreUnknown", 42, ZEKO_BOOT_UNKNOWN},
};

TEST_P(ObjectValues, BootModeIsClampedToTheEnumeration) {
    CoDeZiVero& o = Build();
    for (const BootModeRow& row : kBootModeRows) {
        SCOPED_TRACE(row.name);
        machine().metrics[SM_CLEANBOOT] = row.metric;
        LONG mode = static_cast<LONG>(0xDEADBEEF);

        ASSERT_EQ(S_OK, o.get_BootMode(reinterpret_cast<tagZEKO_BOOT_MODE*>(&mode)));

        EXPECT_EQ(row.expected, mode);
    }
}

TEST_P(ObjectValues, DockedInfoIsUnknown) {
    LONG dock = static_cast<LONG>(0xDEADBEEF);
    ASSERT_EQ(S_OK, object().get_DockedInfo(reinterpret_cast<tagZEKO_DOCKINFO*>(&dock)));
    EXPECT_EQ(ZEKO_DOCKINFO_UNKNOWN, dock);
}

TEST_P(ObjectValues, NumberOfProcessorsComesFromTheSnapshot) {
    machine().systemInfo.dwNumberOfProcessors = 3;
    CoDeZiVero& o = Build();
    machine().systemInfo.dwNumberOfProcessors = 8;  // later changes are not seen
    LONG count = 0;

    ASSERT_EQ(S_OK, o.get_NumberOfProcessors(&count));

    EXPECT_EQ(3, count);
}

// Distinct totals per field catch a member that reads its neighbour's.
struct MemoryRow {
    const char* name;
    DWORD phys, pageFile, virtualTotal;
    LONG expectedPhys, expectedPageFile, expectedVirtual;
};

constexpr MemoryRow kMemoryRows[] = {
    {"SmallTotals", 64u << 20, 96u << 20, 0x7FFE0000u, 64 << 20, 96 << 20, 0x7FFE0000},
    {"TwoGigabytesAndMoreComeOutAsTheLargestLong", 0x80000000u, 0xC0000000u, 0xFFFFFFFFu,
     INT_MAX, INT_MAX, INT_MAX},
    {"Zero", 0, 1, 2, 0, 1, 2},
};

TEST_P(ObjectValues, MemoryTotalsPassInBytesUpToTheLargestLong) {
    for (const MemoryRow& row : kMemoryRows) {
        SCOPED_TRACE(row.name);
        machine().memory.dwTotalPhys = row.phys;
        machine().memory.dwTotalPageFile = row.pageFile;
        machine().memory.dwTotalVirtual = row.virtualTotal;
        CoDeZiVero& o = Build();
        LONG phys = 0, pageFile = 0, virtualTotal = 0;

        ASSERT_EQ(S_OK, o.get_MemoryTotalPhys(&phys));
        ASSERT_EQ(S_OK, o.get_MemoryTotalPageFile(&pageFile));
        ASSERT_EQ(S_OK, o.get_MemoryTotalVirtual(&virtualTotal));

        EXPECT_EQ(row.expectedPhys, phys);
        EXPECT_EQ(row.expectedPageFile, pageFile);
        EXPECT_EQ(row.expectedVirtual, virtualTotal);
        EXPECT_EQ(0, SystemCalls(machine())) << "the snapshot answers without the system";
    }
}

struct PowerRow {
    const char* name;
    bool succeeds;
    BYTE acLine, batteryFlag;
    DWORD lifeTime, fullLifeTime;
    LONG power, battery, life, full;
};

constexpr PowerRow kPowerRows[] = {
    {"OnMains", true, 1, 8, 3600, 7200, 1, 8, 3600, 7200},
    {"UnknownLineIsMinusOneButFlag255Stays", true, 255, 255, 0xFFFFFFFFu, 0xFFFFFFFFu, -1, 255, -1,
     -1},
    {"FailedQueryAnswersZero", false, 1, 8, 3600, 7200, 0, 0, 0, 0},
};

TEST_P(ObjectValues, PowerFieldsReachTheCaller) {
    for (const PowerRow& row : kPowerRows) {
        SCOPED_TRACE(row.name);
        machine().powerSucceeds = row.succeeds;
        machine().power.ACLineStatus = row.acLine;
        machine().power.BatteryFlag = row.batteryFlag;
        machine().power.BatteryLifeTime = row.lifeTime;
        machine().power.BatteryFullLifeTime = row.fullLifeTime;
        CoDeZiVero& o = Build();
        LONG power = 0x5A5A, battery = 0x5A5A, life = 0x5A5A, full = 0x5A5A;

        ASSERT_EQ(S_OK, o.get_PowerStatus(&power));
        ASSERT_EQ(S_OK, o.get_BatteryStatus(&battery));
        ASSERT_EQ(S_OK, o.get_BatteryLifeTime(&life));
        ASSERT_EQ(S_OK, o.get_BatteryFullLifeTime(&full));

        EXPECT_EQ(row.power, power);
        EXPECT_EQ(row.battery, battery);
        EXPECT_EQ(row.life, life);
        EXPECT_EQ(row.full, full);
    }
}

// The processor number reaches the core as given; the core decides what an
// invalid number answers.
struct ProcessorRow {
    const char* name;
    LONG processor;
    const char* mmx;
};

constexpr ProcessorRow kProcessorRows[] = {
    {"FirstProcessorReadsKey0", 1, "MMX \xE9tendu"},
    {"SecondProcessorReadsKey1", 2, "MMX second"},
    {"ZeroIsNoProcessor", 0, ""},
    {"BeyondTheCountIsNoProcessor", 3, ""},
    {"NegativeIsNoProcessor", -1, ""},
};

TEST_P(ObjectValues, ProcessorMembersPassTheProcessorNumber) {
    machine().systemInfo.dwNumberOfProcessors = 2;
    machine().Sz(std::string(kCentralProcessor) + "0", "MMXIdentifier", "MMX \xE9tendu");
    machine().Sz(std::string(kCentralProcessor) + "1", "MMXIdentifier", "MMX second");
    CoDeZiVero& o = Build();
    for (const ProcessorRow& row : kProcessorRows) {
        SCOPED_TRACE(row.name);
        Bstr mmx;

        ASSERT_EQ(S_OK, o.ProcessorMMXId(row.processor, mmx.Out()));

        ASSERT_NE(nullptr, mmx.Get());
        EXPECT_EQ(FromCodePage(row.mmx), mmx.Text());
    }
}

// What each processor member answers, written out: the described machine's processors are
// Pentium-family ones of level 6, model 8 (a Pentium II by its model number), which the
// identifier names without the registry; the vendor identifier gives the maker's short name;
// the NT family reads the clock rate from "~MHz", the 9x family from a speed driver this
// machine lacks. Numbers outside 1 to the count answer nothing.
struct ProcessorTextRow {
    LONG processor;
    const char* id;
    const char* vendor;
    LONG ntSpeed;
};

constexpr ProcessorTextRow kProcessorTextRows[] = {
    {1, "Pentium II", "Intel", 733},
    {2, "Pentium II", "AMD", 1400},
    {0, "", "", 0},
    {3, "", "", 0},
};

TEST_P(ObjectValues, ProcessorTextMembersAnswerForEachProcessor) {
    machine().systemInfo.dwNumberOfProcessors = 2;
    machine().systemInfo.dwProcessorType = PROCESSOR_INTEL_PENTIUM;
    machine().systemInfo.wProcessorLevel = 6;
    machine().systemInfo.wProcessorRevision = 0x0801;
    machine().Sz(std::string(kCentralProcessor) + "0", "Identifier", "x86 Family 6 Model 8");
    machine().Sz(std::string(kCentralProcessor) + "0", "VendorIdentifier", "GenuineIntel");
    machine().Dword(std::string(kCentralProcessor) + "0", "~MHz", 733);
    machine().Sz(std::string(kCentralProcessor) + "1", "Identifier", "x86 Family 15 Model 2");
    machine().Sz(std::string(kCentralProcessor) + "1", "VendorIdentifier", "AuthenticAMD");
    machine().Dword(std::string(kCentralProcessor) + "1", "~MHz", 1400);
    CoDeZiVero& o = Build();
    const bool nt = GetParam() == Family::Nt;
    for (const ProcessorTextRow& row : kProcessorTextRows) {
        SCOPED_TRACE(row.processor);
        Bstr id, vendor;
        LONG speed = static_cast<LONG>(0xDEADBEEF);

        ASSERT_EQ(S_OK, o.ProcessorId(row.processor, id.Out()));
        ASSERT_EQ(S_OK, o.ProcessorVendorId(row.processor, vendor.Out()));
        ASSERT_EQ(S_OK, o.ProcessorSpeed(row.processor, &speed));

        EXPECT_EQ(FromCodePage(row.id), id.Text());
        EXPECT_EQ(FromCodePage(row.vendor), vendor.Text());
        EXPECT_EQ(nt ? row.ntSpeed : 0, speed);
    }
}

INSTANTIATE_TEST_SUITE_P(ObjectMembers, ObjectValues, ::testing::Values(Family::Nt, Family::Win9x),
                         FamilyParamName);

}  // namespace
}  // namespace object_test
