// The described machine answers the seam as Windows does at the edges the component relies on:
// buffer sizes, enumeration order, handle bookkeeping and hostile truncation.
#include "platform/fake_machine.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::fake::Machine;
using platform::fake::Scope;

constexpr DWORD kSentinel = 0xDEADBEEF;
constexpr unsigned char kFill = 0xCC;

bool Untouched(const char* buffer, size_t size) {
    for (size_t i = 0; i < size; ++i)
        if (static_cast<unsigned char>(buffer[i]) != kFill) return false;
    return true;
}

// ---- registry values ----------------------------------------------------------------------

struct QueryCase {
    const char* name;
    bool passData;
    DWORD size;
    LONG status;
    DWORD sizeAfter;
    bool written;
};

class FakeMachineQueryValue : public ::testing::TestWithParam<QueryCase> {};

TEST_P(FakeMachineQueryValue, SizesAndBuffer) {
    const QueryCase& c = GetParam();
    Machine m;
    m.Sz("HKLM\\Soft", "Name", "abcd");  // five bytes with the terminator
    Scope scope(m);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, platform::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Soft", 0, KEY_READ, &key));
    char buffer[16];
    std::memset(buffer, kFill, sizeof buffer);
    DWORD type = kSentinel;
    DWORD size = c.size;
    EXPECT_EQ(c.status, platform::RegQueryValueExA(key, "NAME", nullptr, &type,
                                                   c.passData ? reinterpret_cast<BYTE*>(buffer)
                                                              : nullptr,
                                                   &size));
    EXPECT_EQ(c.sizeAfter, size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    if (c.written)
        EXPECT_EQ(0, std::memcmp(buffer, "abcd", 5));
    else
        EXPECT_TRUE(Untouched(buffer, sizeof buffer));
    platform::RegCloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, FakeMachineQueryValue,
    ::testing::Values(QueryCase{"NullDataGivesSizeNeeded", false, 0, ERROR_SUCCESS, 5, false},
                      QueryCase{"ExactFitCopies", true, 5, ERROR_SUCCESS, 5, true},
                      QueryCase{"LargerBufferReportsLength", true, 16, ERROR_SUCCESS, 5, true},
                      QueryCase{"OneTooSmallLeavesBuffer", true, 4, ERROR_MORE_DATA, 5, false},
                      QueryCase{"ZeroSizeLeavesBuffer", true, 0, ERROR_MORE_DATA, 5, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FakeMachineRegistry, RawTextComesBackWithoutTerminator) {
    Machine m;
    m.Raw("HKLM\\Soft", "Bare", REG_SZ, "xyz");
    Scope scope(m);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, platform::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Soft", 0, KEY_READ, &key));
    char buffer[8];
    std::memset(buffer, kFill, sizeof buffer);
    DWORD size = sizeof buffer;
    EXPECT_EQ(ERROR_SUCCESS, platform::RegQueryValueExA(key, "Bare", nullptr, nullptr,
                                                        reinterpret_cast<BYTE*>(buffer), &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(0, std::memcmp(buffer, "xyz", 3));
    EXPECT_EQ(kFill, static_cast<unsigned char>(buffer[3]));
    platform::RegCloseKey(key);
}

TEST(FakeMachineRegistry, DataWithoutSizeIsRefused) {
    Machine m;
    m.Dword("HKLM\\Soft", "N", 7);
    Scope scope(m);
    BYTE buffer[4];
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, platform::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Soft", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              platform::RegQueryValueExA(key, "N", nullptr, nullptr, buffer, nullptr));
    platform::RegCloseKey(key);
}

// ---- registry keys ------------------------------------------------------------------------

struct OpenCase {
    const char* name;
    const char* subKey;
    LONG status;
};

class FakeMachineOpenKey : public ::testing::TestWithParam<OpenCase> {};

TEST_P(FakeMachineOpenKey, PathForms) {
    const OpenCase& c = GetParam();
    Machine m;
    m.Key("HKLM\\Enum\\Root\\Leaf");
    Scope scope(m);
    HKEY key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(kSentinel));
    EXPECT_EQ(c.status, platform::RegOpenKeyExA(HKEY_LOCAL_MACHINE, c.subKey, 0, KEY_READ, &key));
    EXPECT_EQ(c.status == ERROR_SUCCESS ? 1 : 0, m.OpenKeys());
    if (c.status != ERROR_SUCCESS) {
        EXPECT_EQ(nullptr, key);
        return;
    }
    EXPECT_NE(nullptr, key);
    EXPECT_NE(HKEY_LOCAL_MACHINE, key);
    EXPECT_EQ(ERROR_SUCCESS, platform::RegCloseKey(key));
    EXPECT_EQ(0, m.OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FakeMachineOpenKey,
    ::testing::Values(OpenCase{"MultiLevel", "Enum\\Root\\Leaf", ERROR_SUCCESS},
                      OpenCase{"CaseDoesNotMatter", "ENUM\\root\\LEAF", ERROR_SUCCESS},
                      OpenCase{"TrailingBackslash", "Enum\\Root\\", ERROR_SUCCESS},
                      OpenCase{"NullReopens", nullptr, ERROR_SUCCESS},
                      OpenCase{"EmptyReopens", "", ERROR_SUCCESS},
                      OpenCase{"LeadingBackslash", "\\Enum", ERROR_BAD_PATHNAME},
                      OpenCase{"Missing", "Enum\\Nothing", ERROR_FILE_NOT_FOUND},
                      OpenCase{"PrefixOfName", "Enum\\Ro", ERROR_FILE_NOT_FOUND}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FakeMachineRegistry, HandlesAreDistinctAndCounted) {
    Machine m;
    m.Key("HKCR\\CLSID");
    Scope scope(m);
    HKEY a = nullptr, b = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, platform::RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_READ, &a));
    ASSERT_EQ(ERROR_SUCCESS, platform::RegOpenKeyExA(a, nullptr, 0, KEY_READ, &b));
    EXPECT_NE(a, b);
    EXPECT_EQ(2, m.OpenKeys());
    EXPECT_EQ(ERROR_SUCCESS, platform::RegCloseKey(a));
    EXPECT_EQ(ERROR_INVALID_HANDLE, platform::RegCloseKey(a));
    EXPECT_EQ(1, m.OpenKeys());
    EXPECT_EQ(ERROR_SUCCESS, platform::RegCloseKey(b));
    EXPECT_EQ(0, m.OpenKeys());
    EXPECT_EQ(2, m.Calls("RegOpenKeyExA"));
    EXPECT_EQ(3, m.Calls("RegCloseKey"));
}

TEST(FakeMachineRegistry, SubkeysEnumerateSortedWithoutCase) {
    Machine m;
    m.Key("HKLM\\E\\beta").Key("HKLM\\E\\Alpha").Key("HKLM\\E\\GAMMA").Key("HKLM\\E\\_under");
    Scope scope(m);
    const std::vector<std::string> expected = {"Alpha", "beta", "GAMMA", "_under"};
    std::vector<std::string> seen;
    char name[16];
    for (DWORD i = 0;; ++i) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, platform::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "E", 0, KEY_READ, &key));
        LONG status = platform::RegEnumKeyA(key, i, name, sizeof name);
        platform::RegCloseKey(key);
        if (status == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(ERROR_SUCCESS, status);
        seen.push_back(name);
    }
    EXPECT_EQ(expected, seen);
}

TEST(FakeMachineRegistry, EnumKeyNameThatDoesNotFit) {
    Machine m;
    m.Key("HKLM\\E\\Longer");
    Scope scope(m);
    char name[6];
    std::memset(name, kFill, sizeof name);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, platform::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "E", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_MORE_DATA, platform::RegEnumKeyA(key, 0, name, sizeof name));
    EXPECT_TRUE(Untouched(name, sizeof name));
    DWORD size = sizeof name;
    EXPECT_EQ(ERROR_MORE_DATA,
              platform::RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr));
    char fits[7];
    size = sizeof fits;
    EXPECT_EQ(ERROR_SUCCESS,
              platform::RegEnumKeyExA(key, 0, fits, &size, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(6u, size);
    EXPECT_STREQ("Longer", fits);
    platform::RegCloseKey(key);
}

TEST(FakeMachineRegistry, ValuesEnumerateInInsertionOrder) {
    Machine m;
    m.Sz("HKCR\\K", "zeta", "1").Dword("HKCR\\K", "Alpha", 2).Sz("HKCR\\K", "", "d");
    m.Sz("HKCR\\K", "ZETA", "replaced");
    Scope scope(m);
    const std::vector<std::string> expected = {"zeta", "Alpha", ""};
    std::vector<std::string> seen;
    char name[16];
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, platform::RegOpenKeyExA(HKEY_CLASSES_ROOT, "K", 0, KEY_READ, &key));
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        LONG status =
            platform::RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(ERROR_SUCCESS, status);
        EXPECT_EQ(std::strlen(name), size);
        seen.push_back(name);
    }
    EXPECT_EQ(expected, seen);
    const platform::fake::Value* value = m.FindValue("HKCR\\k", "Zeta");
    ASSERT_NE(nullptr, value);
    EXPECT_EQ(std::string("replaced", 9), value->bytes);
    platform::RegCloseKey(key);
}

}  // namespace
