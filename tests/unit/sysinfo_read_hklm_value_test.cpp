// ReadHklmValue and IsNtPlatform on described machines of both families.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "sysinfo_test_machine.h"

namespace {

using sysinfo_test::Family;
using sysinfo_test::MachineTest;
using test_support::kFill;

constexpr char kKey[] = "Software\\Vendor\\Product";
constexpr char kFakeKey[] = "HKLM\\Software\\Vendor\\Product";

struct RefusedCase {
    const char* name;
    bool nullDestination;
    int size;
    const char* valueName;
};

const RefusedCase kRefusedCases[] = {
    {"NullDestination", true, 16, "Text"},
    {"ZeroSize", false, 0, "Text"},
    {"NegativeSize", false, -1, "Text"},
    {"MostNegativeSize", false, INT_MIN, "Text"},
    {"NullValueName", false, 16, nullptr},
    {"EmptyValueName", false, 16, ""},
};

class SysinfoReadHklmRefused : public MachineTest,
                               public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(SysinfoReadHklmRefused, ReturnsZeroWithoutTouchingDestinationOrRegistry) {
    Use(Family::Nt).Sz(kFakeKey, "Text", "value");
    auto core = NewCore();
    machine().ResetCounts();
    unsigned char buffer[16];
    std::memset(buffer, kFill, sizeof(buffer));
    const RefusedCase& c = GetParam();

    const int result =
        core->ReadHklmValue(kKey, c.valueName, c.nullDestination ? nullptr : buffer, c.size);

    EXPECT_EQ(0, result);
    for (unsigned char byte : buffer) ASSERT_EQ(kFill, byte);
    EXPECT_EQ(0, machine().Calls("RegOpenKeyExA"));
}

INSTANTIATE_TEST_SUITE_P(Cases, SysinfoReadHklmRefused, ::testing::ValuesIn(kRefusedCases),
                         test_support::RowName());

struct ReadCase {
    const char* name;
    bool keyExists;
    bool valueExists;
    DWORD type;
    std::string stored;  // raw bytes of the value
    int size;
    int expectedResult;
    std::string expectedText;  // what the destination holds as text afterwards
};

const ReadCase kReadCases[] = {
    {"TextFits", true, true, REG_SZ, std::string("abc\0", 4), 16, 1, "abc"},
    {"TextExactFitWithTerminator", true, true, REG_SZ, std::string("abc\0", 4), 4, 1, "abc"},
    {"TextOneTooLongIsRefusedAndEmpty", true, true, REG_SZ, std::string("abcd\0", 5), 4, 0, ""},
    {"EmptyTextIsFailure", true, true, REG_SZ, std::string("\0", 1), 16, 0, ""},
    {"ZeroLengthValueIsFailure", true, true, REG_SZ, std::string(), 16, 0, ""},
    {"SingleByteIsFailure", true, true, REG_BINARY, std::string("A"), 16, 0, ""},
    {"TwoBytesSucceed", true, true, REG_SZ, std::string("A\0", 2), 16, 1, "A"},
    {"UnterminatedTextIsTerminatedAfterItsBytes", true, true, REG_SZ, std::string("abc"), 16, 1,
     "abc"},
    {"UnterminatedTextFillingDestinationIsFailure", true, true, REG_SZ, std::string("abcd"), 4, 0,
     ""},
    {"MissingValue", true, false, REG_SZ, std::string(), 16, 0, ""},
    {"MissingKey", false, false, REG_SZ, std::string(), 16, 0, ""},
};

class SysinfoReadHklmValue : public MachineTest,
                             public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SysinfoReadHklmValue, LeavesDestinationTerminated) {
    const ReadCase& c = GetParam();
    auto& m = Use(Family::Nt);
    if (c.keyExists) m.Key(kFakeKey);
    if (c.valueExists) m.Raw(kFakeKey, "Value", c.type, c.stored);
    auto core = NewCore();
    char buffer[32];
    std::memset(buffer, kFill, sizeof(buffer));

    const int result = core->ReadHklmValue(kKey, "Value", buffer, c.size);

    EXPECT_EQ(c.expectedResult, result);
    const size_t length = strnlen(buffer, static_cast<size_t>(c.size));
    ASSERT_LT(length, static_cast<size_t>(c.size)) << "no terminator within the destination";
    EXPECT_EQ(c.expectedText, std::string(buffer, length));
    // Nothing past the destination's size is written.
    for (int i = c.size; i < static_cast<int>(sizeof(buffer)); ++i)
        ASSERT_EQ(kFill, static_cast<unsigned char>(buffer[i])) << "byte " << i;
    EXPECT_EQ(0, m.OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(Cases, SysinfoReadHklmValue, ::testing::ValuesIn(kReadCases),
                         test_support::RowName());

TEST_F(MachineTest, SysinfoReadHklmValueReadsFourByteNumberIntoFourBytes) {
    Use(Family::Nt).Dword(kFakeKey, "Number", 600);
    auto core = NewCore();
    LONG number = static_cast<LONG>(0xDEADBEEF);
    EXPECT_TRUE(core->ReadHklmValue(kKey, "Number", &number, sizeof(number)));
    EXPECT_EQ(600, number);
}

// Only text must leave room for its terminator; a number may fill all four bytes.
TEST_F(MachineTest, SysinfoReadHklmValueReadsNumberWithHighByteSet) {
    Use(Family::Nt).Dword(kFakeKey, "Number", 0x01000000);
    auto core = NewCore();
    LONG number = static_cast<LONG>(0xDEADBEEF);
    EXPECT_TRUE(core->ReadHklmValue(kKey, "Number", &number, sizeof(number)));
    EXPECT_EQ(0x01000000, number);
}

TEST_F(MachineTest, SysinfoReadHklmValueRefusesTextFillingFourBytesWithoutTerminator) {
    Use(Family::Nt).Raw(kFakeKey, "Text", REG_SZ, "abcd");
    auto core = NewCore();
    char buffer[4];
    std::memset(buffer, kFill, sizeof(buffer));
    EXPECT_FALSE(core->ReadHklmValue(kKey, "Text", buffer, sizeof(buffer)));
    EXPECT_EQ(std::string(4, '\0'), std::string(buffer, 4));
}

TEST_F(MachineTest, SysinfoReadHklmValueEmptiesDestinationWhenValueTooLarge) {
    Use(Family::Nt).Sz(kFakeKey, "Text", std::string(40, 'x'));
    auto core = NewCore();
    char buffer[8];
    std::memset(buffer, kFill, sizeof(buffer));
    EXPECT_FALSE(core->ReadHklmValue(kKey, "Text", buffer, sizeof(buffer)));
    EXPECT_EQ('\0', buffer[0]);
}

TEST_F(MachineTest, SysinfoReadHklmValueReadsUnderLocalMachineOnly) {
    Use(Family::Nt).Sz("HKCU\\Software\\Vendor\\Product", "Text", "user");
    auto core = NewCore();
    char buffer[16];
    EXPECT_FALSE(core->ReadHklmValue(kKey, "Text", buffer, sizeof(buffer)));
    EXPECT_STREQ("", buffer);
}

struct FamilyCase {
    const char* name;
    DWORD platformId;
    bool versionSucceeds;
    bool expectedNt;
};

const FamilyCase kFamilyCases[] = {
    {"Platform2IsNt", VER_PLATFORM_WIN32_NT, true, true},
    {"Platform1IsNotNt", VER_PLATFORM_WIN32_WINDOWS, true, false},
    {"Platform0IsNotNt", VER_PLATFORM_WIN32s, true, false},
    {"Platform3IsNotNt", 3, true, false},
    {"FailedVersionQueryIsNotNt", VER_PLATFORM_WIN32_NT, false, false},
};

class SysinfoIsNtPlatform : public MachineTest,
                            public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(SysinfoIsNtPlatform, AnswersFromPlatformIdentifier) {
    const FamilyCase& c = GetParam();
    auto& m = Describe(Family::Nt);
    m.version.dwPlatformId = c.platformId;
    m.versionSucceeds = c.versionSucceeds;
    Bind();
    EXPECT_EQ(c.expectedNt, sysinfo::IsNtPlatform());
}

INSTANTIATE_TEST_SUITE_P(Cases, SysinfoIsNtPlatform, ::testing::ValuesIn(kFamilyCases),
                         test_support::RowName());

TEST_F(MachineTest, SysinfoIsNtPlatformAsksOncePerProcess) {
    auto& m = Use(Family::Nt);
    auto first = NewCore();
    auto second = NewCore();
    m.ResetCounts();

    for (int i = 0; i < 5; ++i) EXPECT_TRUE(sysinfo::IsNtPlatform());
    auto third = NewCore();
    third->OSName();

    // One for the record, one for the third core's own version snapshot.
    EXPECT_EQ(2, m.Calls("GetVersionExA"));
}

TEST_F(MachineTest, SysinfoIsNtPlatformKeepsItsRecordUntilForgotten) {
    auto& m = Use(Family::Nt);
    EXPECT_TRUE(sysinfo::IsNtPlatform());
    m.version.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    EXPECT_TRUE(sysinfo::IsNtPlatform());

    sysinfo::ForgetPlatformRecord();
    EXPECT_FALSE(sysinfo::IsNtPlatform());
}

TEST_F(MachineTest, SysinfoIsNtPlatformFirstFillRacesSafely) {
    auto& m = Use(Family::Nt);
    constexpr int kThreads = 8;
    for (int round = 0; round < 20; ++round) {
        sysinfo::ForgetPlatformRecord();
        std::atomic<bool> go{false};
        std::atomic<int> wrong{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&] {
                while (!go.load()) {
                }
                for (int i = 0; i < 50; ++i)
                    if (!sysinfo::IsNtPlatform()) ++wrong;
            });
        go = true;
        for (auto& thread : threads) thread.join();
        ASSERT_EQ(0, wrong.load()) << "round " << round;
    }
    EXPECT_GE(m.Calls("GetVersionExA"), 20);
}

}  // namespace
