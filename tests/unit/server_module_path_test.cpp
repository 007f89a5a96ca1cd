// The module path as registration uses it: read through the seam with
// truncation refused, quotes doubled for the script, the type library's
// fallback name and directory; and registration on a described machine.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <string>

#include "server/module_path.h"
#include "server/registration.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;

struct QuoteRow {
    const char* name;
    const wchar_t* text;
    size_t outSize;
    bool fits;
    const wchar_t* expected;
};

const QuoteRow kQuoteRows[] = {
    {"NoQuoteIsCopied", L"C:\\Dir\\DeZIVero.DLL", 64, true, L"C:\\Dir\\DeZIVero.DLL"},
    {"OneQuoteIsDoubled", L"C:\\O'Brien\\X.DLL", 64, true, L"C:\\O''Brien\\X.DLL"},
    {"QuotesAtBothEnds", L"'a'", 64, true, L"''a''"},
    {"OnlyQuotes", L"'''", 64, true, L"''''''"},
    {"EmptyText", L"", 1, true, L""},
    {"ExactFitWithTerminator", L"a'b", 5, true, L"a''b"},
    {"OneTooSmallForTheTerminator", L"a'b", 4, false, L""},
    {"DoubledQuoteWouldNotFit", L"ab'", 4, false, L""},
    {"NoRoomAtAll", L"a", 0, false, nullptr},
};

class DoubleQuotesTest : public testing::TestWithParam<QuoteRow> {};

TEST_P(DoubleQuotesTest, WithinTheBuffer) {
    const QuoteRow& row = GetParam();
    wchar_t out[80];
    for (wchar_t& c : out) c = 0xCCCC;
    EXPECT_EQ(server::DoubleSingleQuotes(row.text, out, row.outSize), row.fits);
    if (row.expected) {
        EXPECT_STREQ(out, row.expected);
    }
    for (size_t i = row.outSize; i < 80; ++i) ASSERT_EQ(out[i], 0xCCCC) << "written past the buffer at " << i;
}

INSTANTIATE_TEST_SUITE_P(Rows, DoubleQuotesTest, testing::ValuesIn(kQuoteRows),
                         test_support::RowName());

TEST(DoubleQuotes, LongestPathOfQuotesFitsTheQuotedBuffer) {
    wchar_t path[server::kModulePathSize];
    wmemset(path, L'\'', server::kModulePathSize - 1);
    path[server::kModulePathSize - 1] = L'\0';
    wchar_t quoted[server::kQuotedPathSize];
    ASSERT_TRUE(server::DoubleSingleQuotes(path, quoted));
    EXPECT_EQ(wcslen(quoted), 2 * (server::kModulePathSize - 1));
}

struct TlbRow {
    const char* name;
    const wchar_t* path;
    size_t outSize;
    bool fits;
    const wchar_t* expected;
};

const TlbRow kTlbRows[] = {
    {"ExtensionReplaced", L"C:\\Dir\\DeZIVero.DLL", 64, true, L"C:\\Dir\\DeZIVero.tlb"},
    {"LastDotOfTheNameCounts", L"C:\\Dir\\De.Zi.DLL", 64, true, L"C:\\Dir\\De.Zi.tlb"},
    {"NoExtensionAppends", L"C:\\Dir\\DeZIVero", 64, true, L"C:\\Dir\\DeZIVero.tlb"},
    {"DotInTheDirectoryOnlyAppends", L"C:\\a.b\\DeZIVero", 64, true, L"C:\\a.b\\DeZIVero.tlb"},
    {"DotBeforeASlashOnlyAppends", L"C:/a.b/DeZIVero", 64, true, L"C:/a.b/DeZIVero.tlb"},
    {"TrailingDotReplaced", L"C:\\Dir\\X.", 64, true, L"C:\\Dir\\X.tlb"},
    {"BareName", L"X.DLL", 64, true, L"X.tlb"},
    {"ExactFit", L"X.DLL", 6, true, L"X.tlb"},
    {"OneTooSmall", L"X.DLL", 5, false, L""},
    {"AppendingTooLong", L"ABCDEF", 10, false, L""},
};

class TlbPathTest : public testing::TestWithParam<TlbRow> {};

TEST_P(TlbPathTest, WithinTheBuffer) {
    const TlbRow& row = GetParam();
    wchar_t out[80];
    for (wchar_t& c : out) c = 0xCCCC;
    EXPECT_EQ(server::TypeLibFallbackPath(row.path, out, row.outSize), row.fits);
    EXPECT_STREQ(out, row.expected);
    for (size_t i = row.outSize; i < 80; ++i) ASSERT_EQ(out[i], 0xCCCC) << "written past the buffer at " << i;
}

INSTANTIATE_TEST_SUITE_P(Rows, TlbPathTest, testing::ValuesIn(kTlbRows),
                         test_support::RowName());

struct DirectoryRow {
    const char* name;
    const wchar_t* path;
    const wchar_t* expected;
};

const DirectoryRow kDirectoryRows[] = {
    {"UpToTheLastBackslash", L"C:\\Dir\\Sub\\DeZIVero.DLL", L"C:\\Dir\\Sub\\"},
    {"UpToTheLastSlash", L"C:/Dir/DeZIVero.DLL", L"C:/Dir/"},
    {"MixedSeparatorsTakeTheLast", L"C:\\Dir/Sub\\X.DLL", L"C:\\Dir/Sub\\"},
    {"DriveColonOnly", L"C:DeZIVero.DLL", L"C:"},
    {"NoSeparatorIsEmpty", L"DeZIVero.DLL", L""},
    {"EmptyPath", L"", L""},
};

class DirectoryTest : public testing::TestWithParam<DirectoryRow> {};

TEST_P(DirectoryTest, IncludesTheSeparator) {
    const DirectoryRow& row = GetParam();
    wchar_t out[80];
    for (wchar_t& c : out) c = 0xCCCC;
    server::DirectoryOf(row.path, out);
    EXPECT_STREQ(out, row.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, DirectoryTest, testing::ValuesIn(kDirectoryRows),
                         test_support::RowName());

struct PathRow {
    const char* name;
    size_t length;
    bool terminatedWhenTruncated;
    HRESULT status;
};

const PathRow kPathRows[] = {
    {"ShortPath", 40, false, S_OK},
    {"LongestThatFits", server::kModulePathSize - 1, false, S_OK},
    {"OneTooLongUnterminated", server::kModulePathSize, false, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER)},
    {"OneTooLongTerminated", server::kModulePathSize, true, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER)},
    {"FarTooLong", 1000, false, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER)},
};

std::string PathOfLength(size_t length) {
    std::string path = "C:\\";
    while (path.size() + 13 < length) path += 'd';
    path += "\\DeZIVero.DLL";
    path.resize(length, 'x');
    return path;
}

class ReadModulePathTest : public testing::TestWithParam<PathRow> {};

TEST_P(ReadModulePathTest, TruncatedPathIsRefused) {
    const PathRow& row = GetParam();
    auto machine = Machine::Nt();
    machine->modulePath = PathOfLength(row.length);
    machine->moduleNameTerminatedWhenTruncated = row.terminatedWhenTruncated;
    Scope scope(*machine);
    wchar_t path[server::kModulePathSize];
    wmemset(path, 0xCCCC, server::kModulePathSize);
    EXPECT_EQ(server::ReadModulePath(nullptr, path), row.status);
    if (row.status == S_OK) {
        const std::wstring expected(machine->modulePath.begin(), machine->modulePath.end());
        EXPECT_EQ(std::wstring(path), expected);
    } else {
        EXPECT_EQ(path[0], L'\0');
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ReadModulePathTest, testing::ValuesIn(kPathRows),
                         test_support::RowName());

TEST(ReadModulePath, NonAsciiPathIsReadInTheAnsiCodePage) {
    auto machine = Machine::Nt();
    machine->modulePath = "C:\\Caf\xE9\\DeZIVero.DLL";
    Scope scope(*machine);
    wchar_t path[server::kModulePathSize];
    ASSERT_EQ(server::ReadModulePath(nullptr, path), S_OK);
    wchar_t expected[server::kModulePathSize];
    MultiByteToWideChar(CP_ACP, 0, machine->modulePath.c_str(), -1, expected, server::kModulePathSize);
    EXPECT_STREQ(path, expected);
}

// Registration on a described machine: a truncated module path stops it
// before the script runs, so the machine's registry stays empty.
TEST(RegisterCoDeZiVero, TruncatedModulePathWritesNothing) {
    auto machine = Machine::Nt();
    machine->modulePath = PathOfLength(server::kModulePathSize + 20);
    Scope scope(*machine);
    EXPECT_EQ(server::RegisterCoDeZiVero(true), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(server::RegisterServer(), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(machine->Dump("HKCR"), Machine::Nt()->Dump("HKCR"));
    EXPECT_EQ(machine->Calls("RegCreateKeyExA"), 0);
}

TEST(RegisterCoDeZiVero, UnregistrationAlwaysSucceeds) {
    auto machine = Machine::Nt();
    machine->modulePath = PathOfLength(server::kModulePathSize + 20);
    Scope scope(*machine);
    EXPECT_EQ(server::UnregisterServer(), S_OK);
    machine->modulePath = "C:\\Nowhere\\DeZIVero.DLL";
    EXPECT_EQ(server::UnregisterServer(), S_OK);
    EXPECT_EQ(server::UnregisterServer(), S_OK);
}

TEST(RegisterCoDeZiVero, MissingModuleFileIsTheLoadFailure) {
    auto machine = Machine::Nt();
    machine->modulePath = "C:\\Nowhere\\DeZIVero.DLL";
    Scope scope(*machine);
    const HRESULT hr = server::RegisterCoDeZiVero(true);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(HRESULT_FACILITY(hr), FACILITY_WIN32);
    EXPECT_EQ(machine->Dump("HKCR"), Machine::Nt()->Dump("HKCR"));
}

}  // namespace
