// Expansion of %NAME% markers, the replacement map behind it, and what a run
// does when memory for the expanded text or the parser cannot be had.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "registrar_test_support.h"
#include "server/registrar/registrar.h"
#include "server/registrar/registrar_tables.h"
#include "server/registrar/registrar_text.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using server::ReplacementMap;
using server::registrar::ExpandedText;
using server::registrar::ModuleTextHeap;
using server::registrar::TextHeap;

struct ExpansionCase {
    const char* name;
    const char* script;
    HRESULT status;
    const char* text;  // when expansion succeeds
};

const ExpansionCase kExpansionCases[] = {
    {"PlainTextIsCopied", "HKCR { A }", S_OK, "HKCR { A }"},
    {"PercentPairIsOnePercent", "100%%", S_OK, "100%"},
    {"TwoPercentPairs", "a%%%%b", S_OK, "a%%b"},
    {"MarkerInUpperCase", "[%MODULE%]", S_OK, "[MOD-PATH]"},
    {"MarkerInLowerCase", "[%module%]", S_OK, "[MOD-PATH]"},
    {"MarkerInMixedCase", "[%mOdUlE%]", S_OK, "[MOD-PATH]"},
    {"MarkerOf31Bytes", "%N234567890123456789012345678901%", S_OK, "thirty-one"},
    {"MarkerOf32BytesIsTooLong", "%N2345678901234567890123456789012%", E_FAIL, ""},
    {"LongNameWithoutClosingPercentIsUnclosed", "%N2345678901234567890123456789012", DISP_E_EXCEPTION,
     ""},
    {"MissingClosingPercent", "x %MODULE", DISP_E_EXCEPTION, ""},
    {"LonePercentAtEnd", "x %", DISP_E_EXCEPTION, ""},
    {"PercentPairThenNameLeavesUnclosedMarker", "%%MODULE%", DISP_E_EXCEPTION, ""},
    {"UnknownMarker", "%NOPE%", DISP_E_EXCEPTION, ""},
    {"EmptyScript", "", S_OK, ""},
};

TEST(RegistrarExpansion, ReplacesMarkers) {
    ReplacementMap map;
    registrar_test::FillMap(map, L"MOD-PATH");
    for (const ExpansionCase& c : kExpansionCases) {
        ExpandedText text(ModuleTextHeap());
        EXPECT_EQ(c.status, text.Expand(c.script, map)) << c.name;
        if (c.status == S_OK) {
            EXPECT_STREQ(c.text, text.Text()) << c.name;
        }
    }
}

TEST(RegistrarExpansion, LongValueGrowsTheText) {
    const std::wstring value(10000, L'v');
    ReplacementMap map;
    ASSERT_EQ(S_OK, map.Add(L"Long", value.c_str()));
    ExpandedText text(ModuleTextHeap());
    ASSERT_EQ(S_OK, text.Expand("<%LONG%><%long%>", map));
    const std::string expected = "<" + std::string(10000, 'v') + "><" + std::string(10000, 'v') + ">";
    EXPECT_EQ(expected, text.Text());
    EXPECT_EQ(expected.size(), text.Length());
}

TEST(RegistrarExpansion, ValueIsCopiedWithoutItsQuotesUndoubled) {
    ReplacementMap map;
    ASSERT_EQ(S_OK, map.Add(L"Module", L"C:\\O''Neil\\x.dll"));
    ExpandedText text(ModuleTextHeap());
    ASSERT_EQ(S_OK, text.Expand("'%MODULE%'", map));
    EXPECT_STREQ("'C:\\O''Neil\\x.dll'", text.Text());
}

// A heap that counts its blocks and refuses the calls a test names.
struct TestHeap {
    static int allocs, frees, failAllocNumber;
    static bool failRealloc;
    static void Reset(int failAlloc, bool realloc) {
        allocs = frees = 0;
        failAllocNumber = failAlloc;
        failRealloc = realloc;
    }
    static void* Alloc(size_t bytes) noexcept {
        if (++allocs == failAllocNumber) return nullptr;
        return std::malloc(bytes);
    }
    static void* Realloc(void* block, size_t bytes) noexcept {
        if (failRealloc) return nullptr;
        return std::realloc(block, bytes);
    }
    static void Free(void* block) noexcept {
        ++frees;
        std::free(block);
    }
};
int TestHeap::allocs = 0;
int TestHeap::frees = 0;
int TestHeap::failAllocNumber = 0;
bool TestHeap::failRealloc = false;
constexpr TextHeap kTestHeap{TestHeap::Alloc, TestHeap::Realloc, TestHeap::Free};

struct MemoryCase {
    const char* name;
    int failAlloc;  // the n-th allocation fails; 0 for none
    bool failRealloc;
    HRESULT status;
    const char* after;
};

const MemoryCase kMemoryCases[] = {
    {"EnoughMemoryWritesTheKey", 0, false, S_OK,
     "HKCR\nHKCR\\A\nHKCR\\A :@ = REG_SZ \"" /* 300 x */},
    {"NoBufferForTheTextWritesNothing", 1, false, E_OUTOFMEMORY, "HKCR\n"},
    {"FailedGrowthWritesNothing", 0, true, E_OUTOFMEMORY, "HKCR\n"},
    {"NoParserWritesNothing", 2, false, E_OUTOFMEMORY, "HKCR\n"},
};

TEST(RegistrarMemory, RunStopsBeforeWritingWhenMemoryFails) {
    const std::wstring longValue(300, L'x');
    ReplacementMap map;
    ASSERT_EQ(S_OK, map.Add(L"Long", longValue.c_str()));
    for (const MemoryCase& c : kMemoryCases) {
        Machine machine;
        Scope scope(machine);
        TestHeap::Reset(c.failAlloc, c.failRealloc);
        EXPECT_EQ(c.status,
                  server::registrar::RunScript("HKCR { A = s '%LONG%' }", true, map, kTestHeap))
            << c.name;
        std::string after = c.after;
        if (c.status == S_OK) after += std::string(300, 'x') + "\"\n";
        EXPECT_EQ(after, machine.Dump("HKCR")) << c.name;
        EXPECT_EQ(TestHeap::allocs - (c.failAlloc ? 1 : 0), TestHeap::frees) << c.name;
    }
}

TEST(RegistrarReplacementMap, FindsNamesWithoutRegardToCase) {
    ReplacementMap map;
    ASSERT_EQ(S_OK, map.Add(L"Module", L"m"));
    ASSERT_EQ(S_OK, map.Add(L"Other", L"o"));
    ASSERT_NE(nullptr, map.Find("MODULE", 6));
    EXPECT_STREQ(L"m", map.Find("module", 6));
    EXPECT_STREQ(L"o", map.Find("oTHER", 5));
    EXPECT_STREQ(L"m", map.Find("ModuleX", 6));  // only the given length counts
    EXPECT_EQ(nullptr, map.Find("Modul", 5));
    EXPECT_EQ(nullptr, map.Find("Modules", 7));
}

TEST(RegistrarReplacementMap, FirstRecordOfANameWins) {
    ReplacementMap map;
    ASSERT_EQ(S_OK, map.Add(L"Name", L"first"));
    ASSERT_EQ(S_OK, map.Add(L"NAME", L"second"));
    EXPECT_STREQ(L"first", map.Find("name", 4));
}

TEST(RegistrarReplacementMap, GrowsPastItsInitialCapacity) {
    ReplacementMap map;
    wchar_t name[8], value[8];
    for (int i = 0; i < 45; ++i) {
        wsprintfW(name, L"N%d", i);
        wsprintfW(value, L"v%d", i);
        ASSERT_EQ(S_OK, map.Add(name, value)) << i;
    }
    char ansi[8];
    for (int i = 0; i < 45; ++i) {
        const int length = wsprintfA(ansi, "n%d", i);
        wsprintfW(value, L"v%d", i);
        const wchar_t* found = map.Find(ansi, static_cast<size_t>(length));
        ASSERT_NE(nullptr, found) << i;
        EXPECT_STREQ(value, found) << i;
    }
}

TEST(RegistrarReplacementMap, ClearEmptiesAndTheMapCanBeFilledAgain) {
    ReplacementMap map;
    ASSERT_EQ(S_OK, map.Add(L"Module", L"m"));
    map.Clear();
    EXPECT_EQ(nullptr, map.Find("Module", 6));
    ASSERT_EQ(S_OK, map.Add(L"Module", L"again"));
    EXPECT_STREQ(L"again", map.Find("Module", 6));
}

TEST(RegistrarReplacementMap, NullTextIsRefused) {
    ReplacementMap map;
    EXPECT_EQ(E_POINTER, map.Add(nullptr, L"v"));
    EXPECT_EQ(E_POINTER, map.Add(L"n", nullptr));
    EXPECT_EQ(nullptr, map.Find(nullptr, 0));
}

TEST(RegistrarReplacementMap, NamesCompareInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
    ReplacementMap map;
    ASSERT_EQ(S_OK, map.Add(L"Caf\u00e9", L"coffee"));
    EXPECT_STREQ(L"coffee", map.Find("CAF\xC9", 4));
}

TEST(RegistrarTables, RootNamesGiveThePredefinedKeys) {
    struct Row {
        const char* name;
        HKEY key;
    };
    const Row rows[] = {
        {"HKCR", HKEY_CLASSES_ROOT},       {"hkcu", HKEY_CURRENT_USER},
        {"HKLM", HKEY_LOCAL_MACHINE},      {"HKU", HKEY_USERS},
        {"HKPD", HKEY_PERFORMANCE_DATA},   {"HKDD", HKEY_DYN_DATA},
        {"HKCC", HKEY_CURRENT_CONFIG},     {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},        {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {"hkey_dyn_data", HKEY_DYN_DATA},  {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY", nullptr},                 {"HKCRX", nullptr},
        {"", nullptr},
    };
    for (const Row& row : rows) EXPECT_EQ(row.key, server::registrar::FindRootKey(row.name)) << row.name;
}

TEST(RegistrarTables, KeywordsAndNeverDeleteNamesIgnoreCase) {
    using server::registrar::FindKeyword;
    using server::registrar::Keyword;
    EXPECT_EQ(Keyword::ForceRemove, FindKeyword("FORCEREMOVE"));
    EXPECT_EQ(Keyword::NoRemove, FindKeyword("noremove"));
    EXPECT_EQ(Keyword::Delete, FindKeyword("DeLeTe"));
    EXPECT_EQ(Keyword::Val, FindKeyword("VAL"));
    EXPECT_EQ(Keyword::None, FindKeyword("Value"));
    EXPECT_TRUE(server::registrar::IsNeverDeleted("clsid"));
    EXPECT_TRUE(server::registrar::IsNeverDeleted("TypeLib"));
    EXPECT_FALSE(server::registrar::IsNeverDeleted("CLSIDs"));
}

}  // namespace
