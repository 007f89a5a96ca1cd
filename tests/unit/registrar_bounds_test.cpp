// Limits of the registrar: token and value-name buffers at their exact
// edges, block nesting of hostile depth, and registry trees deeper than any
// real registry allows. Nothing here may overrun or exhaust the stack.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "registrar_test_support.h"
#include "server/registrar/registrar_delete.h"
#include "server/registrar/registrar_tokens.h"
#include "test_support.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using server::registrar::DeleteKeyTree;
using server::registrar::ScriptReader;

// A reader followed by guard bytes that an overrun of its token would reach.
struct GuardedReader {
    explicit GuardedReader(const char* text) : reader(text) {
        std::memset(guard, test_support::kFill, sizeof guard);
    }
    bool GuardIntact() const { return test_support::Untouched(guard, sizeof guard); }
    ScriptReader reader;
    unsigned char guard[64];
};

// One token read into the reader's buffer at and past its edges.
struct TokenRow {
    const char* name;
    std::string text;
    HRESULT status;
    std::string token;  // when the read succeeds
};

void PrintTo(const TokenRow& row, std::ostream* os) { *os << row.name; }

std::string Quoted(const std::string& inner) { return "'" + inner + "'"; }

std::vector<TokenRow> TokenRows() {
    const std::string a4094(4094, 'a'), a4095(4095, 'a'), a4096(4096, 'a');
    return {
        {"PlainOf4095BytesFits", a4095 + " next", S_OK, a4095},
        {"PlainOf4096BytesFails", a4096, DISP_E_EXCEPTION, ""},
        {"QuotedOf4094BytesFits", Quoted(a4094), S_OK, a4094},
        {"QuotedOf4095BytesFails", Quoted(a4095), DISP_E_EXCEPTION, ""},
        {"DoubledQuotesCountOnceTowardsTheLimit", Quoted(std::string(4092, 'a') + "''''"), S_OK,
         std::string(4092, 'a') + "''"},
        {"UnterminatedQuoteFails", "'abc def", DISP_E_EXCEPTION, ""},
        {"EndOfTextFails", "  \r\n\t", DISP_E_EXCEPTION, ""},
        {"EmptyQuotedToken", "''", S_OK, ""},
        {"WhiteSpaceKeptInsideQuotes", "' a\tb\r\n'", S_OK, " a\tb\r\n"},
        {"ApostropheInsidePlainTokenIsText", "it's x", S_OK, "it's"},
        {"ClosingQuoteEndsToken", "'a'{", S_OK, "a"},
    };
}

class RegistrarTokenRead : public ::testing::TestWithParam<TokenRow> {};

TEST_P(RegistrarTokenRead, ReadsWithinTheBuffer) {
    const TokenRow& row = GetParam();
    GuardedReader g(row.text.c_str());
    EXPECT_EQ(row.status, g.reader.Next());
    if (row.status == S_OK) {
        EXPECT_EQ(row.token, g.reader.Token());
        EXPECT_EQ(row.token.size(), g.reader.Length());
    }
    EXPECT_TRUE(g.GuardIntact());
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistrarTokenRead, ::testing::ValuesIn(TokenRows()),
                         test_support::RowName());

TEST(RegistrarTokens, BraceAfterClosingQuoteIsItsOwnToken) {
    ScriptReader reader("'A'{ }");
    ASSERT_EQ(S_OK, reader.Next());
    ASSERT_EQ(S_OK, reader.Next());
    EXPECT_STREQ("{", reader.Token());
}

std::string ValueScript(const std::string& valueName) {
    return "HKCR { A { val " + valueName + " = s 'v' } }";
}

TEST(RegistrarBounds, ValueNameOf259BytesIsWritten) {
    const std::string name(259, 'n');
    Machine machine;
    EXPECT_EQ(S_OK, registrar_test::RunOn(machine, ValueScript(name).c_str(), true));
    ASSERT_NE(nullptr, machine.FindValue("HKCR\\A", name));
}

TEST(RegistrarBounds, ValueNameOf260BytesFailsAndIsUndone) {
    Machine machine;
    EXPECT_EQ(DISP_E_EXCEPTION,
              registrar_test::RunOn(machine, ValueScript(std::string(260, 'n')).c_str(), true));
    EXPECT_EQ("HKCR\n", machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarBounds, ValueNameOf260BytesFailsInUnregisterMode) {
    Machine machine;
    machine.Sz("HKCR\\A", "keep", "k");
    EXPECT_EQ(DISP_E_EXCEPTION,
              registrar_test::RunOn(machine, ValueScript(std::string(260, 'n')).c_str(), false));
    EXPECT_NE(nullptr, machine.FindValue("HKCR\\A", "keep"));
}

TEST(RegistrarBounds, QuotedValueOf4094BytesIsWrittenWhole) {
    const std::string text(4094, 'q');
    Machine machine;
    EXPECT_EQ(S_OK,
              registrar_test::RunOn(machine, ("HKCR { A = s '" + text + "' }").c_str(), true));
    const platform::fake::Value* value = machine.FindValue("HKCR\\A", "");
    ASSERT_NE(nullptr, value);
    EXPECT_EQ(text + '\0', value->bytes);
}

TEST(RegistrarBounds, QuotedValueOf4095BytesFailsAndIsUndone) {
    Machine machine;
    EXPECT_EQ(DISP_E_EXCEPTION,
              registrar_test::RunOn(
                  machine, ("HKCR { A = s '" + std::string(4095, 'q') + "' }").c_str(), true));
    EXPECT_EQ("HKCR\n", machine.Dump("HKCR"));
}

TEST(RegistrarBounds, PlainKeyNameOf4096BytesFails) {
    Machine machine;
    EXPECT_EQ(DISP_E_EXCEPTION,
              registrar_test::RunOn(machine, ("HKCR { " + std::string(4096, 'k') + " }").c_str(),
                                  true));
    EXPECT_EQ("HKCR\n", machine.Dump("HKCR"));
}

TEST(RegistrarBounds, KeyNameTooLongToRememberIsNotDeletedByACutName) {
    // Only 259 bytes of a key name are kept for its deletion; a longer name
    // must not delete the key that its first 259 bytes happen to name.
    const std::string longName(300, 'L');
    const std::string cutName(259, 'L');
    Machine machine;
    machine.Key("HKCR\\" + longName).Key("HKCR\\" + cutName);
    EXPECT_EQ(S_OK, registrar_test::RunOn(machine, ("HKCR { " + longName + " }").c_str(), false));
    EXPECT_TRUE(machine.HasKey("HKCR\\" + cutName));
    EXPECT_TRUE(machine.HasKey("HKCR\\" + longName));
    EXPECT_EQ(0, machine.OpenKeys());
}

// Keys K nested `levels` deep below the root; the deepest has a block when
// lastHasBlock.
std::string Nested(size_t levels, bool lastHasBlock) {
    std::string script = "HKCR {";
    for (size_t i = 1; i <= levels; ++i) script += (i < levels || lastHasBlock) ? " K {" : " K";
    for (size_t i = 1; i < levels + (lastHasBlock ? 1 : 0); ++i) script += " }";
    return script + " }";
}

std::string NestedPath(size_t levels) {
    std::string path = "HKCR";
    for (size_t i = 0; i < levels; ++i) path += "\\K";
    return path;
}

TEST(RegistrarBounds, KeysNest256LevelsDeep) {
    Machine machine;
    EXPECT_EQ(S_OK, registrar_test::RunOn(machine, Nested(256, false).c_str(), true));
    EXPECT_TRUE(machine.HasKey(NestedPath(256)));
    EXPECT_EQ(S_OK, registrar_test::RunOn(machine, Nested(256, false).c_str(), false));
    EXPECT_EQ("HKCR\n", machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarBounds, BlockBelowLevel256FailsAndIsUndone) {
    Machine machine;
    EXPECT_EQ(DISP_E_EXCEPTION, registrar_test::RunOn(machine, Nested(256, true).c_str(), true));
    EXPECT_EQ("HKCR\n", machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarBounds, HostileNestingFailsWithoutExhaustingTheStack) {
    const std::string script = Nested(100000, true);
    Machine machine;
    EXPECT_EQ(DISP_E_EXCEPTION, registrar_test::RunOn(machine, script.c_str(), true));
    EXPECT_EQ("HKCR\n", machine.Dump("HKCR"));
    EXPECT_EQ(S_OK, registrar_test::RunOn(machine, script.c_str(), false));
    EXPECT_EQ("HKCR\n", machine.Dump("HKCR"));
}

TEST(RegistrarBounds, HostileNestingUnregistersWhatFitsTheLimit) {
    Machine machine;
    ASSERT_EQ(S_OK, registrar_test::RunOn(machine, Nested(256, false).c_str(), true));
    EXPECT_EQ(S_OK, registrar_test::RunOn(machine, Nested(100000, true).c_str(), false));
    EXPECT_EQ("HKCR\n", machine.Dump("HKCR"));
}

TEST(RegistrarBounds, ForceRemoveDeletesADeepTree) {
    Machine machine;
    machine.Key("HKCR\\T" + NestedPath(400).substr(4)).Key("HKCR\\T\\Side").Key("HKCR\\U");
    EXPECT_EQ(S_OK, registrar_test::RunOn(machine, "HKCR { ForceRemove T }", true));
    EXPECT_EQ("HKCR\nHKCR\\T\nHKCR\\U\n", machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarDeleteTree, DeletesEveryBranch) {
    Machine machine;
    machine.Key("HKCR\\T\\a\\x").Sz("HKCR\\T\\a\\y", "v", "1").Key("HKCR\\T\\b")
        .Key("HKCR\\T\\c\\d\\e").Key("HKCR\\U");
    Scope scope(machine);
    EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(HKEY_CLASSES_ROOT, "T"));
    EXPECT_EQ("HKCR\nHKCR\\U\n", machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarDeleteTree, MissingKeyReportsNotFound) {
    Machine machine;
    Scope scope(machine);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteKeyTree(HKEY_CLASSES_ROOT, "T"));
}

TEST(RegistrarDeleteTree, TreeOf512LevelsIsDeleted) {
    Machine machine;
    machine.Key("HKCR\\T" + NestedPath(511).substr(4));
    Scope scope(machine);
    EXPECT_EQ(ERROR_SUCCESS, DeleteKeyTree(HKEY_CLASSES_ROOT, "T"));
    EXPECT_EQ("HKCR\n", machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

TEST(RegistrarDeleteTree, TreeDeeperThan512LevelsIsLeftWhole) {
    Machine machine;
    const std::string deepest = "HKCR\\T" + NestedPath(600).substr(4);
    machine.Key(deepest);
    const std::string before = machine.Dump("HKCR");
    Scope scope(machine);
    EXPECT_NE(ERROR_SUCCESS, DeleteKeyTree(HKEY_CLASSES_ROOT, "T"));
    EXPECT_EQ(before, machine.Dump("HKCR"));
    EXPECT_EQ(0, machine.OpenKeys());
}

}  // namespace
