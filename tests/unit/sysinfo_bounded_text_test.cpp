// Bounded copying and joining of text into fixed buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sysinfo/bounded_text.h"
#include "test_support.h"

namespace {

using test_support::kFill;
using test_support::Untouched;

struct JoinCase {
    const char* name;
    std::string before;
    std::string text;
    size_t size;
    bool expectedWhole;
    std::string expected;
};

const JoinCase kAppendCases[] = {
    {"FitsWithRoom", "ab", "cd", 8, true, "abcd"},
    {"ExactFit", "ab", "cde", 6, true, "abcde"},
    {"OneTooLongIsCut", "ab", "cdef", 6, false, "abcde"},
    {"EmptyText", "ab", "", 3, true, "ab"},
    {"EmptyDestination", "", "abc", 4, true, "abc"},
    {"FullDestinationTakesNothing", "abc", "d", 4, false, "abc"},
    {"SizeOneHoldsOnlyTerminator", "", "a", 1, false, ""},
};

class SysinfoAppendText : public ::testing::TestWithParam<JoinCase> {};

TEST_P(SysinfoAppendText, StaysWithinSizeAndTerminates) {
    const JoinCase& c = GetParam();
    char buffer[16];
    std::memset(buffer, kFill, sizeof(buffer));
    std::memcpy(buffer, c.before.c_str(), c.before.size() + 1);

    EXPECT_EQ(c.expectedWhole, sysinfo::AppendText(buffer, c.size, c.text.c_str()));
    EXPECT_EQ(c.expected, std::string(buffer));
    EXPECT_TRUE(Untouched(buffer + c.size, sizeof(buffer) - c.size));
}

INSTANTIATE_TEST_SUITE_P(Cases, SysinfoAppendText, ::testing::ValuesIn(kAppendCases),
                         test_support::RowName());

TEST(SysinfoAppendText, UnterminatedDestinationIsTerminatedNotOverrun) {
    char buffer[12];
    std::memset(buffer, kFill, sizeof(buffer));
    std::memset(buffer, 'x', 8);
    EXPECT_FALSE(sysinfo::AppendText(buffer, 8, "y"));
    EXPECT_EQ(std::string(7, 'x'), std::string(buffer));
    EXPECT_TRUE(Untouched(buffer + 8, sizeof(buffer) - 8));
}

TEST(SysinfoCopyText, ReplacesContentAndReportsCut) {
    char buffer[4] = {'z', 'z', 'z', 'z'};
    EXPECT_TRUE(sysinfo::CopyText(buffer, "abc"));
    EXPECT_STREQ("abc", buffer);
    EXPECT_FALSE(sysinfo::CopyText(buffer, "abcd"));
    EXPECT_STREQ("abc", buffer);
    EXPECT_TRUE(sysinfo::CopyText(buffer, ""));
    EXPECT_STREQ("", buffer);
}

TEST(SysinfoCopyTextField, ReadsNoFurtherThanField) {
    // Field of 4 bytes without a terminator, followed by bytes that must not be copied.
    const char record[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', '\0'};
    char buffer[16];
    std::memset(buffer, kFill, sizeof(buffer));
    EXPECT_TRUE(sysinfo::CopyTextField(buffer, sizeof(buffer), record, 4));
    EXPECT_STREQ("abcd", buffer);
    EXPECT_FALSE(sysinfo::CopyTextField(buffer, 3, record, 4));
    EXPECT_STREQ("ab", buffer);
}

}  // namespace
