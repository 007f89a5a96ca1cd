// The routines of HwInfoCore that answer from its snapshot records or from
// one system call.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "sysinfo_test_machine.h"

namespace {

using sysinfo_test::Family;
using sysinfo_test::MachineTest;

struct MetricCase {
    const char* name;
    int metric;
    LONG expected;
};

const MetricCase kBootModeCases[] = {
    {"Normal", 0, 0},          {"FailSafe", 1, 1},         {"FailSafeWithNetwork", 2, 2},
    {"ThreeIsUnknown", 3, 3},  {"FourBecomesUnknown", 4, 3}, {"MaxBecomesUnknown", INT_MAX, 3},
    {"NegativePassesAsBelowThree", -1, -1},
};

class HwInfoCoreBootMode : public MachineTest, public ::testing::WithParamInterface<MetricCase> {};

TEST_P(HwInfoCoreBootMode, ClampsCleanBootMetric) {
    Use(Family::Nt).metrics[SM_CLEANBOOT] = GetParam().metric;
    EXPECT_EQ(GetParam().expected, NewCore()->BootMode());
}

INSTANTIATE_TEST_SUITE_P(Cases, HwInfoCoreBootMode, ::testing::ValuesIn(kBootModeCases),
                         test_support::RowName());

const MetricCase kDebugCases[] = {
    {"Zero", 0, 0}, {"One", 1, 1}, {"Two", 2, 2}, {"MinusOne", -1, -1}, {"Max", INT_MAX, INT_MAX},
};

class HwInfoCoreDebugEnabled : public MachineTest,
                               public ::testing::WithParamInterface<MetricCase> {};

TEST_P(HwInfoCoreDebugEnabled, PassesDebugMetricUnchanged) {
    Use(Family::Win9x).metrics[SM_DEBUG] = GetParam().metric;
    EXPECT_EQ(GetParam().expected, NewCore()->DebugEnabled());
}

INSTANTIATE_TEST_SUITE_P(Cases, HwInfoCoreDebugEnabled, ::testing::ValuesIn(kDebugCases),
                         test_support::RowName());

// GlobalMemoryStatus's record: every total answers in bytes up to the largest
// long, and saturates there, never wrapping to a negative number or to -1.
struct MemoryCase {
    const char* name;
    ULONGLONG total;
    LONG expected;
};

const MemoryCase kMemoryCases[] = {
    {"Zero", 0, 0},
    {"SixtyFourMegabytes", 64u << 20, 64 << 20},
    {"JustBelowTwoGigabytes", 0x7FFFFFFF, 0x7FFFFFFF},
    {"TwoGigabytesSaturates", 0x80000000u, LONG_MAX},
    {"ThreeGigabytesSaturates", 0xC0000000u, LONG_MAX},
    {"AllThirtyTwoBitsSaturateRatherThanMinusOne", 0xFFFFFFFFu, LONG_MAX},
    {"FourGigabytesOn64BitOnly", 1ull << 32, LONG_MAX},
    {"SixteenGigabytesAndOneOn64BitOnly", (16ull << 30) + 1, LONG_MAX},
    {"VirtualSpaceOfA64BitProcessOn64BitOnly", 0x7FFFFFFE0000ull, LONG_MAX},
};

class HwInfoCoreMemory : public MachineTest, public ::testing::WithParamInterface<MemoryCase> {};

TEST_P(HwInfoCoreMemory, SaturatesTotalsAtTheLargestLong) {
    const MemoryCase& c = GetParam();
    if (c.total > static_cast<SIZE_T>(-1)) GTEST_SKIP() << "a 32-bit record cannot hold it";
    auto& m = Describe(Family::Nt);
    m.memory.dwTotalPhys = static_cast<SIZE_T>(c.total);
    m.memory.dwTotalPageFile = static_cast<SIZE_T>(c.total);
    m.memory.dwTotalVirtual = static_cast<SIZE_T>(c.total);
    Bind();
    auto core = NewCore();
    EXPECT_EQ(c.expected, core->MemoryTotalPhys());
    EXPECT_EQ(c.expected, core->MemoryTotalPageFile());
    EXPECT_EQ(c.expected, core->MemoryTotalVirtual());
}

INSTANTIATE_TEST_SUITE_P(Cases, HwInfoCoreMemory, ::testing::ValuesIn(kMemoryCases),
                         test_support::RowName());

TEST_F(MachineTest, HwInfoCoreMemoryTotalsAreDistinctFields) {
    auto& m = Describe(Family::Win9x);
    m.memory.dwTotalPhys = 1000;
    m.memory.dwTotalPageFile = 2000;
    m.memory.dwTotalVirtual = 3000;
    Bind();
    auto core = NewCore();
    EXPECT_EQ(1000, core->MemoryTotalPhys());
    EXPECT_EQ(2000, core->MemoryTotalPageFile());
    EXPECT_EQ(3000, core->MemoryTotalVirtual());
}

class HwInfoCoreMemoryLength : public MachineTest, public ::testing::WithParamInterface<DWORD> {};

TEST_P(HwInfoCoreMemoryLength, RecordOfOtherLengthGivesMinusOne) {
    Describe(Family::Nt).memory.dwLength = GetParam();
    Bind();
    auto core = NewCore();
    EXPECT_EQ(-1, core->MemoryTotalPhys());
    EXPECT_EQ(-1, core->MemoryTotalPageFile());
    EXPECT_EQ(-1, core->MemoryTotalVirtual());
}

INSTANTIATE_TEST_SUITE_P(Lengths, HwInfoCoreMemoryLength,
                         ::testing::Values(0u, 31u, 33u, 64u, 0xFFFFFFFFu));

TEST_F(MachineTest, HwInfoCoreMemoryRecordFromSystemWithOtherLengthGivesMinusOne) {
    Describe(Family::Nt).memory.dwLength = 0;
    Bind();
    EXPECT_EQ(-1, NewCore()->MemoryTotalPhys());
}

TEST_F(MachineTest, HwInfoCorePowerAcLineEveryByteValue) {
    auto& m = Use(Family::Nt);
    for (int value = 0; value < 256; ++value) {
        m.power.ACLineStatus = static_cast<BYTE>(value);
        const LONG expected = value == 255 ? -1 : value;
        ASSERT_EQ(expected, NewCore()->PowerStatus()) << "AC-line byte " << value;
    }
}

TEST_F(MachineTest, HwInfoCorePowerBatteryFlagEveryByteValue) {
    auto& m = Use(Family::Nt);
    for (int value = 0; value < 256; ++value) {
        m.power.BatteryFlag = static_cast<BYTE>(value);
        ASSERT_EQ(value, NewCore()->BatteryStatus()) << "battery flag " << value;
    }
}

struct LifeTimeCase {
    const char* name;
    DWORD life;
    DWORD fullLife;
    LONG expectedLife;
    LONG expectedFullLife;
};

const LifeTimeCase kLifeTimeCases[] = {
    {"Seconds", 7200, 9000, 7200, 9000},
    {"UnknownIsAllBits", 0xFFFFFFFFu, 0xFFFFFFFFu, -1, -1},
    {"Zero", 0, 0, 0, 0},
};

class HwInfoCoreBatteryLife : public MachineTest,
                              public ::testing::WithParamInterface<LifeTimeCase> {};

TEST_P(HwInfoCoreBatteryLife, HandsOnFieldsUnchanged) {
    auto& m = Describe(Family::Nt);
    m.power.BatteryLifeTime = GetParam().life;
    m.power.BatteryFullLifeTime = GetParam().fullLife;
    Bind();
    auto core = NewCore();
    EXPECT_EQ(GetParam().expectedLife, core->BatteryLifeTime());
    EXPECT_EQ(GetParam().expectedFullLife, core->BatteryFullLifeTime());
}

INSTANTIATE_TEST_SUITE_P(Cases, HwInfoCoreBatteryLife, ::testing::ValuesIn(kLifeTimeCases),
                         test_support::RowName());

TEST_F(MachineTest, HwInfoCorePowerRecordStaysZeroWhenSystemCannotTell) {
    auto& m = Describe(Family::Win9x);
    m.power.ACLineStatus = 255;
    m.power.BatteryFlag = 8;
    m.power.BatteryLifeTime = 100;
    m.power.BatteryFullLifeTime = 200;
    m.powerSucceeds = false;
    Bind();
    auto core = NewCore();
    EXPECT_EQ(0, core->PowerStatus());
    EXPECT_EQ(0, core->BatteryStatus());
    EXPECT_EQ(0, core->BatteryLifeTime());
    EXPECT_EQ(0, core->BatteryFullLifeTime());
}

TEST_F(MachineTest, HwInfoCoreSnapshotIsTakenOnceAtConstruction) {
    auto& m = Use(Family::Nt);
    m.systemInfo.dwNumberOfProcessors = 2;
    m.memory.dwTotalPhys = 1000;
    m.power.ACLineStatus = 0;
    auto core = NewCore();
    m.ResetCounts();
    m.systemInfo.dwNumberOfProcessors = 4;
    m.memory.dwTotalPhys = 2000;
    m.power.ACLineStatus = 1;
    std::strcpy(m.version.szCSDVersion, "Service Pack 3");

    EXPECT_EQ(2, core->NumberOfProcessors());
    EXPECT_EQ(1000, core->MemoryTotalPhys());
    EXPECT_EQ(0, core->PowerStatus());
    EXPECT_STREQ("Service Pack 2", core->CSD());
    EXPECT_EQ(0, m.Calls("GetSystemInfo") + m.Calls("GlobalMemoryStatus") +
                     m.Calls("GetVersionExA") + m.Calls("GetSystemPowerStatus"));
}

struct CsdCase {
    const char* name;
    Family family;
    std::string csd;
    bool versionSucceeds;
    std::string expected;
};

const CsdCase kCsdCases[] = {
    {"NtServicePack", Family::Nt, "Service Pack 2", true, "Service Pack 2"},
    {"NtWithoutServicePack", Family::Nt, "", true, ""},
    {"Win9xLetter", Family::Win9x, " A ", true, " A "},
    {"FailedVersionQueryGivesEmpty", Family::Nt, "", false, ""},
    {"FieldFilledToItsEndWithoutTerminator", Family::Nt, std::string(128, 'x'), true,
     std::string(128, 'x')},
};

class HwInfoCoreCsd : public MachineTest, public ::testing::WithParamInterface<CsdCase> {};

TEST_P(HwInfoCoreCsd, CopiesServicePackTextOfVersionRecord) {
    const CsdCase& c = GetParam();
    auto& m = Describe(c.family);
    std::memset(m.version.szCSDVersion, 0, sizeof(m.version.szCSDVersion));
    std::memcpy(m.version.szCSDVersion, c.csd.data(), c.csd.size());
    m.versionSucceeds = c.versionSucceeds;
    Bind();
    EXPECT_EQ(c.expected, std::string(NewCore()->CSD()));
}

INSTANTIATE_TEST_SUITE_P(Cases, HwInfoCoreCsd, ::testing::ValuesIn(kCsdCases),
                         test_support::RowName());

TEST_F(MachineTest, HwInfoCoreCsdEmptyWhenRecordSizeIsNotOfPlainRecord) {
    Use(Family::Nt);
    auto core = NewCore();
    core->version_.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    EXPECT_STREQ("", core->CSD());
}

struct DirectoryCase {
    const char* name;
    std::string directory;
    std::string expected;
};

const DirectoryCase kDirectoryCases[] = {
    {"Usual", "C:\\WINDOWS\\system32", "C:\\WINDOWS\\system32"},
    {"LongestThatFits", std::string(259, 'd'), std::string(259, 'd')},
    {"OneTooLongGivesEmpty", std::string(260, 'd'), ""},
    {"FarTooLongGivesEmpty", std::string(1000, 'd'), ""},
};

class HwInfoCoreDirectories : public MachineTest,
                              public ::testing::WithParamInterface<DirectoryCase> {};

TEST_P(HwInfoCoreDirectories, SystemAndWindowsDirectory) {
    auto& m = Describe(Family::Nt);
    m.systemDirectory = GetParam().directory;
    m.windowsDirectory = GetParam().directory;
    Bind();
    auto core = NewCore();
    EXPECT_EQ(GetParam().expected, std::string(core->SysDir()));
    EXPECT_EQ(GetParam().expected, std::string(core->WinDir()));
}

INSTANTIATE_TEST_SUITE_P(Cases, HwInfoCoreDirectories, ::testing::ValuesIn(kDirectoryCases),
                         test_support::RowName());

TEST_F(MachineTest, HwInfoCoreDirectoriesAskedAgainAtEveryCall) {
    auto& m = Use(Family::Win9x);
    auto core = NewCore();
    EXPECT_STREQ("C:\\WINDOWS\\SYSTEM", core->SysDir());
    EXPECT_STREQ("C:\\WINDOWS", core->WinDir());
    m.systemDirectory = "D:\\WIN\\SYSTEM";
    m.windowsDirectory = "D:\\WIN";
    EXPECT_STREQ("D:\\WIN\\SYSTEM", core->SysDir());
    EXPECT_STREQ("D:\\WIN", core->WinDir());
}

TEST_F(MachineTest, HwInfoCoreDirectoryEmptiedWhenLaterCallFails) {
    auto& m = Use(Family::Nt);
    auto core = NewCore();
    EXPECT_STREQ("C:\\WINDOWS\\system32", core->SysDir());
    m.systemDirectory = std::string(300, 'd');
    EXPECT_STREQ("", core->SysDir());
}

struct ComputerNameCase {
    const char* name;
    std::string computerName;
    std::string expected;
};

const ComputerNameCase kComputerNameCases[] = {
    {"Usual", "FAKEPC", "FAKEPC"},
    {"FifteenCharactersFit", "ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO"},
    {"SixteenCharactersGiveEmpty", "ABCDEFGHIJKLMNOP", ""},
    {"Empty", "", ""},
};

class HwInfoCoreComputerName : public MachineTest,
                               public ::testing::WithParamInterface<ComputerNameCase> {};

TEST_P(HwInfoCoreComputerName, AskedWithRoomForFifteenCharacters) {
    Describe(Family::Nt).computerName = GetParam().computerName;
    Bind();
    auto core = NewCore();
    std::memset(core->computerName_, 'z', sizeof(core->computerName_));
    EXPECT_EQ(GetParam().expected, std::string(core->ComputerName()));
}

INSTANTIATE_TEST_SUITE_P(Cases, HwInfoCoreComputerName, ::testing::ValuesIn(kComputerNameCases),
                         test_support::RowName());

class HwInfoCoreFixedAnswers : public MachineTest, public ::testing::WithParamInterface<Family> {};

TEST_P(HwInfoCoreFixedAnswers, DockedUnknownAndNoHardwareProfile) {
    Use(GetParam());
    auto core = NewCore();
    EXPECT_EQ(4, core->DockedInfo());
    EXPECT_STREQ("", core->CurrentHWProfile());
    EXPECT_EQ(core->CurrentHWProfile(), NewCore()->CurrentHWProfile());
}

INSTANTIATE_TEST_SUITE_P(Families, HwInfoCoreFixedAnswers,
                         ::testing::Values(Family::Nt, Family::Win9x),
                         [](const auto& info) { return sysinfo_test::FamilyName(info.param); });

TEST_F(MachineTest, HwInfoCoreConstructionLeavesEveryTextEmpty) {
    Use(Family::Nt);
    auto core = NewCore();
    const char* texts[] = {core->computerName_, core->sysDir_,         core->winDir_,
                           core->owner_,        core->organization_,   core->productId_,
                           core->oemMaker_,     core->oemModel_,       core->processorId_,
                           core->processorMmx_, core->processorVendor_, core->osName_,
                           core->osVersion_,    core->csd_};
    for (const char* text : texts) EXPECT_EQ('\0', text[0]);
    EXPECT_EQ(sizeof(OSVERSIONINFOA), core->version_.dwOSVersionInfoSize);
    EXPECT_TRUE(core->memoryTaken_);
    EXPECT_EQ(1, core->NumberOfProcessors());
}

}  // namespace
