// Stepping by characters of a double-byte code page. In code page 932 the
// trail byte of "\x95\x5C" is a backslash and must not count as one. These
// run when the ANSI code page is 932 (the registrar_double_byte test starts
// the unit tests so); in any other code page they skip.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "registrar_test_support.h"
#include "server/registrar/registrar_tokens.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using server::registrar::ScriptReader;

constexpr char kTable[] = "\x95\x5C";  // one character whose trail byte is '\'

class RegistrarDoubleByte : public testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    }
};

TEST_F(RegistrarDoubleByte, TrailByteIsNoBackslashInAKeyName) {
    // A backslash would fail the run before anything is written. (The fake
    // registry itself splits paths by bytes, so the key it files the name
    // under is not checked here.)
    Machine machine;
    const std::string script = std::string("HKCR { ForceRemove K") + kTable + " = s 'v' }";
    EXPECT_EQ(S_OK, registrar_test::RunOn(machine, script.c_str(), true));
    const std::string plain = "HKCR { ForceRemove K\\x = s 'v' }";
    EXPECT_EQ(DISP_E_EXCEPTION, registrar_test::RunOn(machine, plain.c_str(), true));
}

TEST_F(RegistrarDoubleByte, BinaryTextPairsCharactersNotBytes) {
    Machine machine;
    const std::string script = std::string("HKCR { A { val b = b 1") + kTable + " } }";
    EXPECT_EQ(S_OK, registrar_test::RunOn(machine, script.c_str(), true));
    const platform::fake::Value* value = machine.FindValue("HKCR\\A", "b");
    ASSERT_NE(nullptr, value);
    EXPECT_EQ(std::string("\x10", 1), value->bytes);
}

TEST_F(RegistrarDoubleByte, OddCountOfCharactersFailsThoughBytesAreEven) {
    Machine machine;
    const std::string script = std::string("HKCR { A { val b = b ") + kTable + " } }";
    EXPECT_EQ(E_FAIL, registrar_test::RunOn(machine, script.c_str(), true));
}

TEST_F(RegistrarDoubleByte, CharacterIsNeverSplitAtTheTokenLimit) {
    struct Row {
        const char* name;
        std::string text;
        HRESULT status;
        size_t length;
    };
    const Row rows[] = {
        {"PlainEndsExactlyAt4095", std::string(4093, 'a') + kTable, S_OK, 4095},
        {"PlainWouldEndAt4096", std::string(4094, 'a') + kTable, DISP_E_EXCEPTION, 0},
        {"QuotedMayPassTheQuotedLimitByOneTrailByte",
         "'" + std::string(4093, 'a') + kTable + "'", S_OK, 4095},
        {"QuotedRefusesACharacterAfter4094", "'" + std::string(4094, 'a') + kTable + "'",
         DISP_E_EXCEPTION, 0},
    };
    for (const Row& row : rows) {
        struct {
            ScriptReader reader;
            unsigned char guard[16];
        } g{ScriptReader(row.text.c_str()), {}};
        std::memset(g.guard, 0xCC, sizeof g.guard);
        EXPECT_EQ(row.status, g.reader.Next()) << row.name;
        if (row.status == S_OK) {
            EXPECT_EQ(row.length, g.reader.Length()) << row.name;
        }
        for (unsigned char b : g.guard) EXPECT_EQ(0xCC, b) << row.name;
    }
}

}  // namespace
