// Case-insensitive matching: the last occurrence, counts, signs and bytes
// from 128 up.
#include <gtest/gtest.h>

#include <windows.h>

#include <ostream>
#include <string>

#include "devices/text_match.h"
#include "test_support.h"

namespace {

using devices::CompareNoCaseN;
using devices::FindSubstringNoCase;

struct CompareRow {
    const char* name;
    const char* first;
    const char* second;
    DWORD count;
    int expected;
};

void PrintTo(const CompareRow& row, std::ostream* os) { *os << row.name; }

const CompareRow kCompareRows[] = {
    {"CaseOnlyDifferenceIsEqual", "abc", "ABC", 3, 0},
    {"WhatFollowsCountIsIgnored", "abcX", "ABCy", 3, 0},
    {"CountZeroIsEqual", "a", "b", 0, 0},
    {"BothEmptyAreEqual", "", "", 5, 0},
    {"FirstSmallerGivesNegativeDifference", "abc", "abd", 3, 'C' - 'D'},
    {"FirstLargerGivesPositiveDifference", "abd", "ABC", 3, 'D' - 'C'},
    {"FirstEndingEarlyIsUnequal", "ab", "abc", 3, 0 - 'C'},
    {"SecondEndingEarlyIsUnequal", "abc", "ab", 3, 'C'},
    {"EndingBeyondCountIsEqual", "ab", "abc", 2, 0},
    // Upper-casing, not lower-casing: '_' lies between 'Z' and 'a'.
    {"ComparesUpperCasedValues", "_", "a", 1, '_' - 'A'},
    {"HighByteIsUnsigned", "\x80", "A", 1, 0x80 - 'A'},
    {"HighByteAgainstEndIsPositive", "\x80", "", 1, 0x80},
};

class CompareNoCaseNTest : public ::testing::TestWithParam<CompareRow> {};

TEST_P(CompareNoCaseNTest, GivesDifferenceOfFirstUnequalPair) {
    const CompareRow& row = GetParam();
    EXPECT_EQ(row.expected, CompareNoCaseN(row.first, row.second, row.count));
}

INSTANTIATE_TEST_SUITE_P(DeviceTextMatch, CompareNoCaseNTest, ::testing::ValuesIn(kCompareRows),
                         test_support::RowName());

// Every pair of bytes compares as the system upper-cases them in the running
// code page, whether or not the comparison asks the system.
TEST(DeviceTextMatch, EveryBytePairComparesAsTheSystemUpperCasesIt) {
    auto upper = [](int byte) {
        return static_cast<int>(static_cast<unsigned char>(reinterpret_cast<ULONG_PTR>(
            CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(byte))))));
    };
    int mismatches = 0;
    for (int a = 1; a < 256; ++a) {
        for (int b = 1; b < 256; ++b) {
            const char first[] = {static_cast<char>(a), '\0'};
            const char second[] = {static_cast<char>(b), '\0'};
            if (CompareNoCaseN(first, second, 1) != upper(a) - upper(b)) ++mismatches;
        }
    }
    EXPECT_EQ(0, mismatches);
}

struct FindRow {
    const char* name;
    const char* text;
    const char* needle;
    int expectedOffset;  // -1: not found
};

void PrintTo(const FindRow& row, std::ostream* os) { *os << row.name; }

const FindRow kFindRows[] = {
    {"LastOfTwoOccurrencesInMixedCase", "modem MODEM", "modem", 6},
    {"SingleOccurrenceAtStart", "V.90 modem", "v.90", 0},
    {"OccurrenceAtEnd", "Fast AGP", "agp", 5},
    {"OverlappingOccurrencesGiveLast", "aaa", "aa", 1},
    {"NeedleLongerThanTextIsNull", "abc", "abcd", -1},
    {"AbsentNeedleIsNull", "Generic IDE Disk", "floppy", -1},
    {"EmptyNeedleMatchesAtTerminator", "abc", "", 3},
    {"EmptyNeedleInEmptyText", "", "", 0},
    {"NeedleInEmptyTextIsNull", "", "a", -1},
    {"HighBytesMatchThemselves", "x\xA4y\xA4z", "\xA4", 3},
};

class FindSubstringNoCaseTest : public ::testing::TestWithParam<FindRow> {};

TEST_P(FindSubstringNoCaseTest, FindsLastOccurrence) {
    const FindRow& row = GetParam();
    const char* found = FindSubstringNoCase(row.text, row.needle);
    if (row.expectedOffset < 0) {
        EXPECT_EQ(nullptr, found);
    } else {
        ASSERT_NE(nullptr, found);
        EXPECT_EQ(row.expectedOffset, found - row.text);
    }
}

INSTANTIATE_TEST_SUITE_P(DeviceTextMatch, FindSubstringNoCaseTest, ::testing::ValuesIn(kFindRows),
                         test_support::RowName());

TEST(DeviceTextMatch, NullTextOrNeedleIsNull) {
    EXPECT_EQ(nullptr, FindSubstringNoCase(nullptr, "a"));
    EXPECT_EQ(nullptr, FindSubstringNoCase("a", nullptr));
}

// Every byte from 1 to 255 equals its own upper-cased form, and a byte whose
// upper case differs from it matches it in the other case.
TEST(DeviceTextMatch, EveryByteEqualsItsUpperCase) {
    for (int b = 1; b < 256; ++b) {
        const char lower[2] = {static_cast<char>(b), 0};
        const char upper[2] = {static_cast<char>(static_cast<unsigned char>(
                                   reinterpret_cast<ULONG_PTR>(CharUpperA(
                                       reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(b)))))),
                               0};
        EXPECT_EQ(0, CompareNoCaseN(lower, upper, 1)) << "byte " << b;
        EXPECT_EQ(lower, FindSubstringNoCase(lower, upper)) << "byte " << b;
    }
}

TEST(DeviceTextMatch, AccentedLettersFoldInWesternCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "code page " << GetACP();
    EXPECT_EQ(0, CompareNoCaseN("caf\xE9", "CAF\xC9", 4));
    const char text[] = "\xE9t\xE9 \xC9T\xC9";
    EXPECT_EQ(text + 4, FindSubstringNoCase(text, "\xE9t\xE9"));
}

TEST(DeviceTextMatch, HighByteDifferenceIsPositiveAgainstAscii) {
    EXPECT_GT(CompareNoCaseN("\xFE", "z", 1), 0);
    EXPECT_LT(CompareNoCaseN("z", "\xFE", 1), 0);
}

}  // namespace
