// Processor identification, MMX text, vendor and clock rate on described
// machines of both families, and the module directory the speed driver is
// found in.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "sysinfo/module_directory.h"
#include "sysinfo/nominal_mhz.h"
#include "sysinfo/speed_driver.h"
#include "sysinfo_test_machine.h"

namespace {

using sysinfo_test::Family;
using sysinfo_test::MachineTest;
using sysinfo_test::ProcessorKey;

constexpr char kDefaultDriverPath[] = "\\\\.\\C:\\Program Files\\DeZIVero\\Rurovezo.zuv";

struct IdCase {
    const char* name;
    DWORD type;
    WORD level;
    WORD revision;
    std::string expected;
};

const IdCase kIdCases[] = {
    {"Type386", PROCESSOR_INTEL_386, 3, 0, "386"},
    {"Type486", PROCESSOR_INTEL_486, 4, 0, "486"},
    {"Level6Revision07xxIsPentiumIII", PROCESSOR_INTEL_PENTIUM, 6, 0x0701, "Pentium III"},
    {"Level6Revision0700IsPentiumIII", PROCESSOR_INTEL_PENTIUM, 6, 0x0700, "Pentium III"},
    {"Level6Revision07FFIsPentiumIII", PROCESSOR_INTEL_PENTIUM, 6, 0x07FF, "Pentium III"},
    {"Level6Revision08xxIsPentiumII", PROCESSOR_INTEL_PENTIUM, 6, 0x0801, "Pentium II"},
    {"Level6Revision05xxIsPentiumII", PROCESSOR_INTEL_PENTIUM, 6, 0x0502, "Pentium II"},
    {"Level6Revision01xxIsPentiumII", PROCESSOR_INTEL_PENTIUM, 6, 0x0109, "Pentium II"},
    {"Level6LowByte07IsPentiumII", PROCESSOR_INTEL_PENTIUM, 6, 0x0007, "Pentium II"},
    {"Level5IsPentium", PROCESSOR_INTEL_PENTIUM, 5, 0x0700, "Pentium"},
    {"Level15WithoutNameStringIsPentium", PROCESSOR_INTEL_PENTIUM, 15, 0x0700, "Pentium"},
    {"OtherTypeReadsIdentifier", PROCESSOR_ALPHA_21064, 6, 0x0700, "Identifier 0"},
    {"ZeroTypeReadsIdentifier", 0, 0, 0, "Identifier 0"},
};

class ProcessorId : public MachineTest,
                    public ::testing::WithParamInterface<std::tuple<IdCase, Family>> {};

TEST_P(ProcessorId, FromSystemRecordOrRegistry) {
    const IdCase& c = std::get<0>(GetParam());
    auto& m = Describe(std::get<1>(GetParam()));
    m.systemInfo.dwProcessorType = c.type;
    m.systemInfo.wProcessorLevel = c.level;
    m.systemInfo.wProcessorRevision = c.revision;
    m.Sz(ProcessorKey(0), "Identifier", "Identifier 0");
    Bind();
    auto core = NewCore();
    m.ResetCounts();

    EXPECT_EQ(c.expected, std::string(core->ProcessorId(1)));
    // On the NT family a Pentium 4 (family 15) is newer than the names and asks for its own
    // name first.
    const bool readsRegistry =
        c.expected == "Identifier 0" || (c.level == 15 && std::get<1>(GetParam()) == Family::Nt);
    EXPECT_EQ(readsRegistry ? 1 : 0, m.Calls("RegOpenKeyExA"));
    EXPECT_EQ(0, m.OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProcessorId,
    ::testing::Combine(::testing::ValuesIn(kIdCases), ::testing::Values(Family::Nt, Family::Win9x)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               sysinfo_test::FamilyName(std::get<1>(info.param));
    });

TEST_F(MachineTest, ProcessorIdOtherTypeWithoutIdentifierIsEmpty) {
    auto& m = Describe(Family::Nt);
    m.systemInfo.dwProcessorType = PROCESSOR_ALPHA_21064;
    Bind();
    auto core = NewCore();
    std::memset(core->processorId_, 'z', 8);
    EXPECT_STREQ("", core->ProcessorId(1));
}

struct NumberCase {
    const char* name;
    LONG processor;
    std::string expectedId;  // "" when the number is not valid
};

// Two processors; each key names its own index.
const NumberCase kNumberCases[] = {
    {"FirstReadsIndex0", 1, "CPU at 0"},  {"SecondReadsIndex1", 2, "CPU at 1"},
    {"ZeroIsInvalid", 0, ""},             {"MinusOneIsInvalid", -1, ""},
    {"CountPlusOneIsInvalid", 3, ""},     {"MostNegativeIsInvalid", LONG_MIN, ""},
    {"LargestIsInvalid", LONG_MAX, ""},
};

class ProcessorNumber : public MachineTest,
                        public ::testing::WithParamInterface<std::tuple<NumberCase, Family>> {};

TEST_P(ProcessorNumber, SelectsKeyOrGivesEmptyResult) {
    const NumberCase& c = std::get<0>(GetParam());
    const Family family = std::get<1>(GetParam());
    auto& m = Describe(family);
    m.systemInfo.dwNumberOfProcessors = 2;
    m.systemInfo.dwProcessorType = PROCESSOR_ALPHA_21064;
    for (int index = 0; index < 4; ++index) {
        const std::string tag = "CPU at " + std::to_string(index);
        m.Sz(ProcessorKey(index), "Identifier", tag);
        m.Sz(ProcessorKey(index), "MMXIdentifier", "MMX " + tag);
        m.Sz(ProcessorKey(index), "VendorIdentifier", "Vendor " + tag);
        m.Dword(ProcessorKey(index), "~MHz", 700 + index);
    }
    m.speedDrivers[kDefaultDriverPath] = 450;
    Bind();
    auto core = NewCore();

    const bool valid = !c.expectedId.empty();
    EXPECT_EQ(c.expectedId, std::string(core->ProcessorId(c.processor)));
    EXPECT_EQ(valid ? "MMX " + c.expectedId : "", std::string(core->ProcessorMMXId(c.processor)));
    EXPECT_EQ(valid ? "Vendor " + c.expectedId : "",
              std::string(core->ProcessorVendorId(c.processor)));
    const LONG expectedSpeed = !valid ? 0 : family == Family::Nt ? 700 + (c.processor - 1) : 450;
    EXPECT_EQ(expectedSpeed, core->ProcessorSpeed(c.processor));
    EXPECT_EQ(0, m.OpenKeys());
    EXPECT_EQ(0, m.OpenHandles());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProcessorNumber,
    ::testing::Combine(::testing::ValuesIn(kNumberCases),
                       ::testing::Values(Family::Nt, Family::Win9x)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               sysinfo_test::FamilyName(std::get<1>(info.param));
    });

TEST_F(MachineTest, ProcessorInvalidNumberTouchesNothing) {
    auto& m = Describe(Family::Win9x);
    m.systemInfo.dwNumberOfProcessors = 1;
    Bind();
    auto core = NewCore();
    m.ResetCounts();
    core->ProcessorId(0);
    core->ProcessorMMXId(2);
    core->ProcessorVendorId(-1);
    core->ProcessorSpeed(2);
    EXPECT_EQ(0, m.Calls("RegOpenKeyExA"));
    EXPECT_EQ(0, m.Calls("CreateFileA"));
    EXPECT_EQ(0, m.Calls("GetModuleFileNameA"));
}

TEST_F(MachineTest, ProcessorMmxIdMissingIsEmpty) {
    auto& m = Use(Family::Nt);
    m.Sz(ProcessorKey(0), "Identifier", "x86 Family 6");
    auto core = NewCore();
    std::memset(core->processorMmx_, 'z', 8);
    EXPECT_STREQ("", core->ProcessorMMXId(1));
}

struct VendorCase {
    const char* name;
    const char* stored;  // null: absent
    std::string expected;
};

const VendorCase kVendorCases[] = {
    {"IntelMapped", "GenuineIntel", "Intel"},
    {"IntelLowerCaseMapped", "genuineintel", "Intel"},
    {"AmdMapped", "AuthenticAMD", "AMD"},
    {"AmdUpperCaseMapped", "AUTHENTICAMD", "AMD"},
    {"CyrixMapped", "CyrixInstead", "Cyrix"},
    {"IntelWithTrailingBlankUnchanged", "GenuineIntel ", "GenuineIntel "},
    {"IntelPrefixUnchanged", "GenuineInte", "GenuineInte"},
    {"UnlistedVendorUnchanged", "CentaurHauls", "CentaurHauls"},
    {"MissingIsEmpty", nullptr, ""},
};

class ProcessorVendor : public MachineTest, public ::testing::WithParamInterface<VendorCase> {};

TEST_P(ProcessorVendor, MapsKnownIdentifiersWholeAndWithoutCase) {
    auto& m = Use(Family::Nt);
    m.Key(ProcessorKey(0));
    if (GetParam().stored) m.Sz(ProcessorKey(0), "VendorIdentifier", GetParam().stored);
    EXPECT_EQ(GetParam().expected, std::string(NewCore()->ProcessorVendorId(1)));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProcessorVendor, ::testing::ValuesIn(kVendorCases),
                         test_support::RowName());

struct RateCase {
    const char* name;
    LONG measured;
    LONG expected;
};

const RateCase kRateCases[] = {
    {"ZeroStaysZero", 0, 0},
    {"ElevenBelowEveryWindow", 11, 11},
    {"TwelveExact", 12, 12},
    {"ThirteenNoWindowAroundTwelve", 13, 13},
    {"NineteenToTwenty", 19, 20},
    {"TwentyOneToTwenty", 21, 20},
    {"TwentyTwoBetweenWindows", 22, 22},
    {"SixtyThreeOverlapGoesToSixty", 63, 60},
    {"SixtyFourToSixtySix", 64, 66},
    {"SeventySixOverlapGoesToSeventyFive", 76, 75},
    {"SeventyEightOverlapGoesToSeventyFive", 78, 75},
    {"SeventyNineToEighty", 79, 80},
    {"NinetyFiveToHundred", 95, 100},
    {"HundredFiveToHundred", 105, 100},
    {"HundredSixBetweenWindows", 106, 106},
    {"FiveTwentyThreeOverlapGoesToFiveHundred", 523, 500},
    {"FiveTwentyFiveOverlapGoesToFiveHundred", 525, 500},
    {"FiveTwentySixToFiveFifty", 526, 550},
    {"FiveSeventySevenToFiveFifty", 577, 550},
    {"FiveSeventyEightAboveLastWindow", 578, 578},
    {"ThousandUnchanged", 1000, 1000},
    {"TwoThirtyToTwoThirtyThree", 230, 233},
    {"NegativeUnchanged", -5, -5},
};

class ProcessorNominalRate : public MachineTest,
                             public ::testing::WithParamInterface<RateCase> {};

TEST_P(ProcessorNominalRate, NtRegistryRateRounded) {
    auto& m = Use(Family::Nt);
    m.Dword(ProcessorKey(0), "~MHz", static_cast<DWORD>(GetParam().measured));
    EXPECT_EQ(GetParam().expected, NewCore()->ProcessorSpeed(1));
}

TEST_P(ProcessorNominalRate, Win9xDriverRateRounded) {
    Use(Family::Win9x).speedDrivers[kDefaultDriverPath] = GetParam().measured;
    EXPECT_EQ(GetParam().expected, NewCore()->ProcessorSpeed(1));
}

TEST_P(ProcessorNominalRate, LookupAlone) {
    EXPECT_EQ(GetParam().expected, sysinfo::NominalMhz(GetParam().measured));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProcessorNominalRate, ::testing::ValuesIn(kRateCases),
                         test_support::RowName());

TEST(ProcessorNominalRateTable, EveryRateMapsToItselfAndEdgesOfItsWindow) {
    for (const LONG* rate = sysinfo::NominalMhzTable; *rate != 0; ++rate) {
        const LONG d = *rate / 20;
        EXPECT_EQ(*rate, sysinfo::NominalMhz(*rate));
        // Edges belong to this rate unless an earlier window already holds them.
        for (const LONG edge : {*rate - d, *rate + d}) {
            const LONG nominal = sysinfo::NominalMhz(edge);
            if (nominal != *rate) {
                EXPECT_LT(nominal, *rate) << "edge " << edge;
            }
        }
    }
    EXPECT_EQ(27u, sizeof(sysinfo::NominalMhzTable) / sizeof(sysinfo::NominalMhzTable[0]));
}

TEST_F(MachineTest, ProcessorSpeedNtWithoutRateIsZero) {
    Use(Family::Nt).Sz(ProcessorKey(0), "Identifier", "x86");
    EXPECT_EQ(0, NewCore()->ProcessorSpeed(1));
}

TEST_F(MachineTest, ProcessorSpeedNtNeverAsksDriver) {
    auto& m = Use(Family::Nt);
    m.speedDrivers[kDefaultDriverPath] = 300;
    auto core = NewCore();
    m.ResetCounts();
    EXPECT_EQ(0, core->ProcessorSpeed(1));
    EXPECT_EQ(0, m.Calls("CreateFileA"));
}

struct DriverCase {
    const char* name;
    bool present;
    bool requestSucceeds;
    LONG answer;
    LONG expected;
};

const DriverCase kDriverCases[] = {
    {"PresentAnswers", true, true, 233, 233},
    {"PresentAnswerRounded", true, true, 298, 300},
    {"Absent", false, true, 233, 0},
    {"RequestFails", true, false, 233, 0},
};

class ProcessorSpeedDriver : public MachineTest, public ::testing::WithParamInterface<DriverCase> {};

TEST_P(ProcessorSpeedDriver, Win9xAsksDriverBesideLibrary) {
    const DriverCase& c = GetParam();
    auto& m = Describe(Family::Win9x);
    m.systemInfo.dwNumberOfProcessors = 2;
    if (c.present) m.speedDrivers[kDefaultDriverPath] = c.answer;
    m.speedRequestSucceeds = c.requestSucceeds;
    Bind();
    auto core = NewCore();

    EXPECT_EQ(c.expected, core->ProcessorSpeed(1));
    EXPECT_EQ(c.expected, core->ProcessorSpeed(2));
    ASSERT_EQ(2u, m.OpenedFiles().size());
    EXPECT_EQ(kDefaultDriverPath, m.OpenedFiles()[0]);
    EXPECT_EQ(0, m.OpenHandles());
}

INSTANTIATE_TEST_SUITE_P(Cases, ProcessorSpeedDriver, ::testing::ValuesIn(kDriverCases),
                         test_support::RowName());

TEST_F(MachineTest, ProcessorSpeedDriverQuerySetsValueFirst) {
    Use(Family::Win9x);
    LONG value = static_cast<LONG>(0xDEADBEEF);
    EXPECT_FALSE(sysinfo::QuerySpeedDriver(&value));
    EXPECT_EQ(0, value);
}

TEST_F(MachineTest, ProcessorSpeedModuleDirectoryTakenOnce) {
    auto& m = Use(Family::Win9x);
    m.speedDrivers[kDefaultDriverPath] = 133;
    auto first = NewCore();
    auto second = NewCore();
    m.ResetCounts();
    EXPECT_EQ(133, first->ProcessorSpeed(1));
    EXPECT_EQ(133, second->ProcessorSpeed(1));
    EXPECT_EQ(133, first->ProcessorSpeed(1));
    EXPECT_EQ(1, m.Calls("GetModuleFileNameA"));
    EXPECT_EQ(3, m.Calls("CreateFileA"));

    // A module moved without an unload is not noticed; after one it is.
    m.modulePath = "D:\\Elsewhere\\DeZIVero.DLL";
    EXPECT_EQ(133, first->ProcessorSpeed(1));
    sysinfo::ForgetModuleDirectory();
    EXPECT_EQ(0, first->ProcessorSpeed(1));
    EXPECT_EQ("\\\\.\\D:\\Elsewhere\\Rurovezo.zuv", m.OpenedFiles().back());
    EXPECT_EQ(2, m.Calls("GetModuleFileNameA"));
}

struct DirectoryCase {
    const char* name;
    std::string modulePath;
    std::string expected;
};

const DirectoryCase kDirectoryCases[] = {
    {"FileInDirectory", "C:\\Program Files\\DeZIVero\\DeZIVero.DLL", "C:\\Program Files\\DeZIVero"},
    {"FileInRoot", "C:\\DeZIVero.DLL", "C:"},
    {"LastBackslashIsCut", "C:\\a\\b\\", "C:\\a\\b"},
    {"FileInRootOfTheDriveHasNoDirectory", "\\DeZIVero.DLL", ""},
    {"NameWithoutSeparatorHasNoDirectory", "DeZIVero.DLL", ""},
    {"SlashSeparates", "C:/Program Files/DeZIVero.DLL", "C:/Program Files"},
    {"DriveRelativeName", "C:DeZIVero.DLL", "C:"},
    {"UncPath", "\\\\server\\share\\DeZIVero.DLL", "\\\\server\\share"},
    {"LongestNameThatFits", "C:\\" + std::string(243, 'd') + "\\DeZIVero.DLL",
     "C:\\" + std::string(243, 'd')},
    {"NameFillingBufferIsRefused", "C:\\" + std::string(244, 'd') + "\\DeZIVero.DLL", ""},
    {"FarTooLongNameIsRefused", "C:\\" + std::string(400, 'd') + "\\DeZIVero.DLL", ""},
    {"EmptyNameIsRefused", "", ""},
};

class ProcessorModuleDirectory
    : public MachineTest,
      public ::testing::WithParamInterface<std::tuple<DirectoryCase, bool>> {};

TEST_P(ProcessorModuleDirectory, DirectoryOfLibraryFile) {
    const DirectoryCase& c = std::get<0>(GetParam());
    auto& m = Describe(Family::Win9x);
    m.modulePath = c.modulePath;
    m.moduleNameTerminatedWhenTruncated = std::get<1>(GetParam());
    Bind();
    const char* directory = sysinfo::ModuleDirectory();
    ASSERT_LT(strnlen(directory, MAX_PATH), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(c.expected, std::string(directory));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProcessorModuleDirectory,
    ::testing::Combine(::testing::ValuesIn(kDirectoryCases), ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "Terminated" : "Unterminated");
    });

TEST_F(MachineTest, ProcessorModuleDirectoryRefusedNameIsAskedAgain) {
    auto& m = Describe(Family::Win9x);
    m.modulePath = "C:\\" + std::string(300, 'd') + "\\DeZIVero.DLL";
    Bind();
    EXPECT_STREQ("", sysinfo::ModuleDirectory());
    m.modulePath = "C:\\Short\\DeZIVero.DLL";
    EXPECT_STREQ("C:\\Short", sysinfo::ModuleDirectory());
    EXPECT_EQ(2, m.Calls("GetModuleFileNameA"));
}

struct DriverPathCase {
    const char* name;
    size_t directoryLength;
    bool opened;
};

// "\\.\" and "\Rurovezo.zuv" add 17 characters; path and terminator get 260 bytes.
const DriverPathCase kDriverPathCases[] = {
    {"LongestDirectoryThatFits", 242, true},
    {"OneCharacterTooLong", 243, false},
    {"LongestDirectory", 258, false},
};

class ProcessorDriverPath : public MachineTest,
                            public ::testing::WithParamInterface<DriverPathCase> {};

TEST_P(ProcessorDriverPath, PathThatWouldNotFitFailsTheRequest) {
    const std::string directory = "C:\\" + std::string(GetParam().directoryLength - 3, 'd');
    const std::string path = "\\\\.\\" + directory + "\\Rurovezo.zuv";
    auto& m = Describe(Family::Win9x);
    m.modulePath = directory + "\\X.DLL";
    if (m.modulePath.size() >= MAX_PATH) m.modulePath = directory + "\\";
    m.speedDrivers[path] = 500;
    Bind();
    auto core = NewCore();
    m.ResetCounts();

    ASSERT_EQ(directory, std::string(sysinfo::ModuleDirectory()));
    EXPECT_EQ(GetParam().opened ? 500 : 0, core->ProcessorSpeed(1));
    EXPECT_EQ(GetParam().opened ? 1 : 0, m.Calls("CreateFileA"));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProcessorDriverPath, ::testing::ValuesIn(kDriverPathCases),
                         test_support::RowName());

TEST_F(MachineTest, ProcessorSpeedWithoutModuleNameOpensNothing) {
    auto& m = Describe(Family::Win9x);
    m.modulePath = "";
    m.speedDrivers["\\\\.\\\\Rurovezo.zuv"] = 100;
    Bind();
    auto core = NewCore();
    EXPECT_EQ(0, core->ProcessorSpeed(1));
    EXPECT_TRUE(m.OpenedFiles().empty());
}

TEST_F(MachineTest, ProcessorModuleDirectoryFirstFillRacesSafely) {
    const std::string expected = "C:\\" + std::string(200, 'd');
    auto& m = Describe(Family::Win9x);
    m.modulePath = expected + "\\DeZIVero.DLL";
    Bind();
    constexpr int kThreads = 8;
    for (int round = 0; round < 20; ++round) {
        sysinfo::ForgetModuleDirectory();
        std::atomic<bool> go{false};
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&] {
                while (!go.load()) {
                }
                for (int i = 0; i < 20; ++i)
                    if (expected != sysinfo::ModuleDirectory()) ++wrong;
            });
        go = true;
        for (auto& thread : threads) thread.join();
        ASSERT_EQ(0, wrong.load()) << "round " << round;
    }
    EXPECT_EQ(20, m.Calls("GetModuleFileNameA"));
}

}  // namespace
