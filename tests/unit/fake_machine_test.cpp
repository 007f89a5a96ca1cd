// The described machine answers the seam as Windows does at the edges the component relies on:
// buffer sizes, enumeration order, handle bookkeeping and hostile truncation.
#include "tests/fake_machine/fake_machine.h"
#include "platform/platform.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::kFill;
using test_support::kSentinel;
using test_support::Untouched;


LONG OpenRead(HKEY root, const char* subKey, HKEY* key) {
    return platform::RegOpenKeyExA(root, subKey, 0, KEY_READ, key);
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
    ASSERT_EQ(ERROR_SUCCESS, OpenRead(HKEY_LOCAL_MACHINE, "Soft", &key));
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
    if (c.written) {
        EXPECT_EQ(0, std::memcmp(buffer, "abcd", 5));
    } else {
        EXPECT_TRUE(Untouched(buffer, sizeof buffer));
    }
    platform::RegCloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, FakeMachineQueryValue,
    ::testing::Values(QueryCase{"NullDataGivesSizeNeeded", false, 0, ERROR_SUCCESS, 5, false},
                      QueryCase{"ExactFitCopies", true, 5, ERROR_SUCCESS, 5, true},
                      QueryCase{"LargerBufferReportsLength", true, 16, ERROR_SUCCESS, 5, true},
                      QueryCase{"OneTooSmallLeavesBuffer", true, 4, ERROR_MORE_DATA, 5, false},
                      QueryCase{"ZeroSizeLeavesBuffer", true, 0, ERROR_MORE_DATA, 5, false}),
    test_support::RowName());

TEST(FakeMachineRegistry, RawTextComesBackWithoutTerminator) {
    Machine m;
    m.Raw("HKLM\\Soft", "Bare", REG_SZ, "xyz");
    Scope scope(m);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, OpenRead(HKEY_LOCAL_MACHINE, "Soft", &key));
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
    ASSERT_EQ(ERROR_SUCCESS, OpenRead(HKEY_LOCAL_MACHINE, "Soft", &key));
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
    EXPECT_EQ(c.status, OpenRead(HKEY_LOCAL_MACHINE, c.subKey, &key));
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
    test_support::RowName());

TEST(FakeMachineRegistry, HandlesAreDistinctAndCounted) {
    Machine m;
    m.Key("HKCR\\CLSID");
    Scope scope(m);
    HKEY a = nullptr, b = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, OpenRead(HKEY_CLASSES_ROOT, "CLSID", &a));
    ASSERT_EQ(ERROR_SUCCESS, OpenRead(a, nullptr, &b));
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
        ASSERT_EQ(ERROR_SUCCESS, OpenRead(HKEY_LOCAL_MACHINE, "E", &key));
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
    ASSERT_EQ(ERROR_SUCCESS, OpenRead(HKEY_LOCAL_MACHINE, "E", &key));
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
    ASSERT_EQ(ERROR_SUCCESS, OpenRead(HKEY_CLASSES_ROOT, "K", &key));
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

TEST(FakeMachineRegistry, WritesThroughReadOnlyHandleAreDenied) {
    Machine m;
    m.Sz("HKCR\\K", "V", "x").Key("HKCR\\K\\Sub");
    Scope scope(m);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, OpenRead(HKEY_CLASSES_ROOT, "K", &key));
    const BYTE data[] = "y";
    EXPECT_EQ(ERROR_ACCESS_DENIED, platform::RegSetValueExA(key, "V", 0, REG_SZ, data, 2));
    EXPECT_EQ(ERROR_ACCESS_DENIED, platform::RegDeleteValueA(key, "V"));
    HKEY created = nullptr;
    EXPECT_EQ(ERROR_ACCESS_DENIED, platform::RegCreateKeyExA(key, "New", 0, nullptr, 0, KEY_READ,
                                                             nullptr, &created, nullptr));
    EXPECT_FALSE(m.HasKey("HKCR\\K\\New"));
    EXPECT_EQ(std::string("x", 2), m.FindValue("HKCR\\K", "V")->bytes);
    platform::RegCloseKey(key);
}

TEST(FakeMachineRegistry, CreateMakesParentsAndReportsDisposition) {
    Machine m;
    m.Key("HKCR\\A");
    Scope scope(m);
    HKEY key = nullptr;
    DWORD disposition = kSentinel;
    ASSERT_EQ(ERROR_SUCCESS, platform::RegCreateKeyExA(HKEY_CLASSES_ROOT, "A\\B\\C", 0, nullptr, 0,
                                                       KEY_ALL_ACCESS, nullptr, &key,
                                                       &disposition));
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
    const BYTE data[] = "Apartment";
    EXPECT_EQ(ERROR_SUCCESS,
              platform::RegSetValueExA(key, "ThreadingModel", 0, REG_SZ, data, sizeof data));
    platform::RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, platform::RegCreateKeyExA(HKEY_CLASSES_ROOT, "a\\b", 0, nullptr, 0,
                                                       KEY_ALL_ACCESS, nullptr, &key,
                                                       &disposition));
    EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
    platform::RegCloseKey(key);
    EXPECT_EQ("HKCR\\A\n"
              "HKCR\\A\\B\n"
              "HKCR\\A\\B\\C\n"
              "HKCR\\A\\B\\C :ThreadingModel = REG_SZ \"Apartment\"\n",
              m.Dump("hkcr\\a\\"));
    EXPECT_EQ(0, m.OpenKeys());
}

TEST(FakeMachineRegistry, DeleteRefusesKeyWithSubkeysAndStalesHandles) {
    Machine m;
    m.Key("HKCR\\P\\Child").Sz("HKCR\\P\\Child", "V", "x");
    Scope scope(m);
    EXPECT_EQ(ERROR_ACCESS_DENIED, platform::RegDeleteKeyA(HKEY_CLASSES_ROOT, "P"));
    HKEY child = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              OpenRead(HKEY_CLASSES_ROOT, "P\\Child", &child));
    EXPECT_EQ(ERROR_SUCCESS, platform::RegDeleteKeyA(HKEY_CLASSES_ROOT, "P\\Child"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, platform::RegDeleteKeyA(HKEY_CLASSES_ROOT, "P\\Child"));
    DWORD size = 0;
    EXPECT_EQ(ERROR_KEY_DELETED,
              platform::RegQueryValueExA(child, "V", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_SUCCESS, platform::RegCloseKey(child));
    EXPECT_EQ(ERROR_SUCCESS, platform::RegDeleteKeyA(HKEY_CLASSES_ROOT, "P"));
    EXPECT_FALSE(m.HasKey("HKCR\\P"));
}

TEST(FakeMachineRegistry, QueryInfoCountsAndLongest) {
    Machine m;
    m.Key("HKLM\\K\\ab").Key("HKLM\\K\\abcdef").Sz("HKLM\\K", "n", "1234567").Dword("HKLM\\K",
                                                                                   "name", 1);
    Scope scope(m);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, OpenRead(HKEY_LOCAL_MACHINE, "K", &key));
    DWORD subKeys = kSentinel, maxSub = kSentinel, values = kSentinel, maxName = kSentinel,
          maxData = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS,
              platform::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &maxSub,
                                         nullptr, &values, &maxName, &maxData, nullptr, nullptr));
    EXPECT_EQ(2u, subKeys);
    EXPECT_EQ(6u, maxSub);
    EXPECT_EQ(2u, values);
    EXPECT_EQ(4u, maxName);
    EXPECT_EQ(8u, maxData);
    platform::RegCloseKey(key);
}

// ---- system records -----------------------------------------------------------------------

struct VersionCase {
    const char* name;
    bool win9x;
    DWORD size;
    BOOL result;
};

class FakeMachineVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(FakeMachineVersion, RecordSize) {
    const VersionCase& c = GetParam();
    auto m = c.win9x ? Machine::Win9x() : Machine::Nt();
    Scope scope(*m);
    OSVERSIONINFOEXA info;
    std::memset(&info, kFill, sizeof info);
    info.dwOSVersionInfoSize = c.size;
    ::SetLastError(0);
    EXPECT_EQ(c.result, platform::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)));
    EXPECT_EQ(c.size, info.dwOSVersionInfoSize);
    if (!c.result) {
        EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), ::GetLastError());
        EXPECT_EQ(0xCCCCCCCCu, info.dwPlatformId);
        return;
    }
    EXPECT_EQ(m->version.dwPlatformId, info.dwPlatformId);
    EXPECT_EQ(m->version.dwBuildNumber, info.dwBuildNumber);
    EXPECT_STREQ(m->version.szCSDVersion, info.szCSDVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FakeMachineVersion,
    ::testing::Values(VersionCase{"NtBase", false, sizeof(OSVERSIONINFOA), TRUE},
                      VersionCase{"NtExtended", false, sizeof(OSVERSIONINFOEXA), TRUE},
                      VersionCase{"NtZeroSize", false, 0, FALSE},
                      VersionCase{"NtOneShort", false, sizeof(OSVERSIONINFOA) - 1, FALSE},
                      VersionCase{"Win9xBase", true, sizeof(OSVERSIONINFOA), TRUE},
                      VersionCase{"Win9xRefusesExtended", true, sizeof(OSVERSIONINFOEXA), FALSE}),
    test_support::RowName());

struct ModuleNameCase {
    const char* name;
    bool terminatesTruncated;
    DWORD size;
    DWORD result;
    const char* text;  // expected buffer start
    DWORD error;       // last error, 0 when untouched
};

class FakeMachineModuleName : public ::testing::TestWithParam<ModuleNameCase> {};

TEST_P(FakeMachineModuleName, Truncation) {
    const ModuleNameCase& c = GetParam();
    Machine m;
    m.modulePath = "C:\\D\\X.DLL";  // ten characters
    m.moduleNameTerminatedWhenTruncated = c.terminatesTruncated;
    Scope scope(m);
    char buffer[16];
    std::memset(buffer, kFill, sizeof buffer);
    ::SetLastError(0);
    EXPECT_EQ(c.result, platform::GetModuleFileNameA(nullptr, buffer, c.size));
    EXPECT_EQ(c.error, ::GetLastError());
    const size_t written = std::strlen(c.text) + (c.error == 0 || c.terminatesTruncated ? 1 : 0);
    EXPECT_EQ(0, std::memcmp(buffer, c.text, std::strlen(c.text)));
    if (written > std::strlen(c.text)) {
        EXPECT_EQ('\0', buffer[std::strlen(c.text)]);
    }
    EXPECT_TRUE(Untouched(buffer + written, sizeof buffer - written));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FakeMachineModuleName,
    ::testing::Values(
        ModuleNameCase{"Fits", false, 11, 10, "C:\\D\\X.DLL", 0},
        ModuleNameCase{"XpOneShortHasNoTerminator", false, 10, 10, "C:\\D\\X.DLL",
                       ERROR_INSUFFICIENT_BUFFER},
        ModuleNameCase{"XpShortCopiesSizeChars", false, 4, 4, "C:\\D", ERROR_INSUFFICIENT_BUFFER},
        ModuleNameCase{"VistaOneShortTerminates", true, 10, 10, "C:\\D\\X.DL",
                       ERROR_INSUFFICIENT_BUFFER},
        ModuleNameCase{"ZeroSizeWritesNothing", false, 0, 0, "", ERROR_INSUFFICIENT_BUFFER}),
    test_support::RowName());

struct DirectoryCase {
    const char* name;
    UINT (*function)(LPSTR, UINT);
    UINT size;
    UINT result;
    bool written;
};

class FakeMachineDirectory : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(FakeMachineDirectory, SizeRules) {
    const DirectoryCase& c = GetParam();
    Machine m;
    m.systemDirectory = "C:\\SYS";  // six characters
    m.windowsDirectory = "C:\\WIN";
    Scope scope(m);
    char buffer[16];
    std::memset(buffer, kFill, sizeof buffer);
    EXPECT_EQ(c.result, c.function(buffer, c.size));
    if (c.written) {
        EXPECT_EQ('\0', buffer[6]);
    } else {
        EXPECT_TRUE(Untouched(buffer, sizeof buffer));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FakeMachineDirectory,
    ::testing::Values(DirectoryCase{"SystemExactFit", platform::GetSystemDirectoryA, 7, 6, true},
                      DirectoryCase{"SystemOneShort", platform::GetSystemDirectoryA, 6, 7, false},
                      DirectoryCase{"SystemZero", platform::GetSystemDirectoryA, 0, 7, false},
                      DirectoryCase{"WindowsExactFit", platform::GetWindowsDirectoryA, 7, 6, true},
                      DirectoryCase{"WindowsOneShort", platform::GetWindowsDirectoryA, 6, 7,
                                    false}),
    test_support::RowName());

TEST(FakeMachineSystem, ComputerNameThatDoesNotFit) {
    Machine m;
    m.computerName = "HOST5";
    Scope scope(m);
    char buffer[8];
    std::memset(buffer, kFill, sizeof buffer);
    DWORD size = 5;
    EXPECT_FALSE(platform::GetComputerNameA(buffer, &size));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BUFFER_OVERFLOW), ::GetLastError());
    EXPECT_EQ(6u, size);
    EXPECT_TRUE(Untouched(buffer, sizeof buffer));
    EXPECT_TRUE(platform::GetComputerNameA(buffer, &size));
    EXPECT_EQ(5u, size);
    EXPECT_STREQ("HOST5", buffer);
}

// ---- INI files ----------------------------------------------------------------------------

struct IniCase {
    const char* name;
    const char* file;
    const char* section;
    const char* key;
    DWORD size;
    DWORD result;
    const char* text;
};

class FakeMachineIni : public ::testing::TestWithParam<IniCase> {};

TEST_P(FakeMachineIni, Lookup) {
    const IniCase& c = GetParam();
    Machine m;
    m.Ini("C:\\WINDOWS\\OEMINFO.INI", "General", "Model", "Vector 9");
    Scope scope(m);
    char buffer[16];
    std::memset(buffer, kFill, sizeof buffer);
    EXPECT_EQ(c.result,
              platform::GetPrivateProfileStringA(c.section, c.key, "dflt", buffer, c.size, c.file));
    if (c.size == 0) {
        EXPECT_TRUE(Untouched(buffer, sizeof buffer));
        return;
    }
    EXPECT_STREQ(c.text, buffer);
    EXPECT_TRUE(Untouched(buffer + c.size, sizeof buffer - c.size));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FakeMachineIni,
    ::testing::Values(
        IniCase{"Found", "C:\\WINDOWS\\OEMINFO.INI", "General", "Model", 16, 8, "Vector 9"},
        IniCase{"NamesIgnoreCase", "c:\\windows\\oeminfo.ini", "GENERAL", "model", 16, 8,
                "Vector 9"},
        IniCase{"ExactFit", "C:\\WINDOWS\\OEMINFO.INI", "General", "Model", 9, 8, "Vector 9"},
        IniCase{"TruncatedWithTerminator", "C:\\WINDOWS\\OEMINFO.INI", "General", "Model", 4, 3,
                "Vec"},
        IniCase{"MissingKeyGivesDefault", "C:\\WINDOWS\\OEMINFO.INI", "General", "Maker", 16, 4,
                "dflt"},
        IniCase{"MissingFileGivesDefault", "C:\\WINDOWS\\PRODSPEC.INI", "General", "Model", 16,
                4, "dflt"},
        IniCase{"DefaultTruncatedToo", "C:\\NONE.INI", "General", "Model", 3, 2, "df"},
        IniCase{"ZeroSizeWritesNothing", "C:\\WINDOWS\\OEMINFO.INI", "General", "Model", 0, 0,
                ""}),
    test_support::RowName());

// ---- devices and drives -------------------------------------------------------------------

struct DeviceCase {
    const char* name;
    const char* path;
    DWORD code;
    DWORD outSize;
    BOOL result;
    DWORD returned;
};

class FakeMachineDevice : public ::testing::TestWithParam<DeviceCase> {};

TEST_P(FakeMachineDevice, Requests) {
    const DeviceCase& c = GetParam();
    Machine m;
    m.physicalDrives[0].geometry.Cylinders.QuadPart = 1023;
    m.physicalDrives[0].geometry.BytesPerSector = 512;
    m.physicalDrives[1].answers = false;
    m.speedDrivers["\\\\.\\C:\\DRV\\Rurovezo.zuv"] = 733;
    Scope scope(m);
    HANDLE h = platform::CreateFileA(c.path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(1, m.OpenHandles());
    unsigned char out[32];
    std::memset(out, kFill, sizeof out);
    DWORD returned = kSentinel;
    EXPECT_EQ(c.result, platform::DeviceIoControl(h, c.code, nullptr, 0, out, c.outSize,
                                                  &returned, nullptr));
    EXPECT_EQ(c.returned, returned);
    EXPECT_TRUE(Untouched(reinterpret_cast<char*>(out) + c.returned, sizeof out - c.returned));
    if (c.result && c.returned == sizeof(DISK_GEOMETRY)) {
        EXPECT_EQ(0, std::memcmp(out, &m.physicalDrives[0].geometry, sizeof(DISK_GEOMETRY)));
    }
    if (c.result && c.returned == sizeof(LONG)) {
        LONG speed = 0;
        std::memcpy(&speed, out, sizeof speed);
        EXPECT_EQ(733, speed);
    }
    EXPECT_TRUE(platform::CloseHandle(h));
    EXPECT_FALSE(platform::CloseHandle(h));
    EXPECT_EQ(0, m.OpenHandles());
    EXPECT_EQ(std::vector<std::string>{c.path}, m.OpenedFiles());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, FakeMachineDevice,
    ::testing::Values(
        DeviceCase{"Geometry", "\\\\.\\PhysicalDrive0", IOCTL_DISK_GET_DRIVE_GEOMETRY, 24, TRUE,
                   24},
        DeviceCase{"GeometryBufferShort", "\\\\.\\physicaldrive0", IOCTL_DISK_GET_DRIVE_GEOMETRY,
                   23, FALSE, 0},
        DeviceCase{"GeometryRefused", "\\\\.\\PHYSICALDRIVE1", IOCTL_DISK_GET_DRIVE_GEOMETRY, 24,
                   FALSE, 0},
        DeviceCase{"SpeedOnDisk", "\\\\.\\PhysicalDrive0", 0x8000, 4, FALSE, 0},
        DeviceCase{"Speed", "\\\\.\\c:\\drv\\RUROVEZO.ZUV", 0x8000, 4, TRUE, 4},
        DeviceCase{"SpeedBufferShort", "\\\\.\\C:\\DRV\\Rurovezo.zuv", 0x8000, 3, FALSE, 0},
        DeviceCase{"GeometryOnSpeedDriver", "\\\\.\\C:\\DRV\\Rurovezo.zuv",
                   IOCTL_DISK_GET_DRIVE_GEOMETRY, 24, FALSE, 0}),
    test_support::RowName());

TEST(FakeMachineDevices, UnknownPathsDoNotOpen) {
    Machine m;
    m.physicalDrives[0];
    m.physicalDrives[2].opens = false;
    Scope scope(m);
    for (const char* path : {"\\\\.\\PhysicalDrive1", "\\\\.\\PhysicalDrive2",
                             "\\\\.\\PhysicalDrive0x", "\\\\.\\PhysicalDrive", "C:\\file"}) {
        EXPECT_EQ(INVALID_HANDLE_VALUE, platform::CreateFileA(path, GENERIC_READ, 0, nullptr,
                                                              OPEN_EXISTING, 0, nullptr))
            << path;
    }
    EXPECT_EQ(0, m.OpenHandles());
    EXPECT_EQ(5u, m.OpenedFiles().size());
}

TEST(FakeMachineDrives, TypesAndClusters) {
    Machine m;
    m.drives['C'].totalBytes = 10 * 4096 + 4095;
    m.drives['C'].freeBytes = 3 * 4096;
    m.drives['D'].type = DRIVE_CDROM;
    Scope scope(m);
    EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), platform::GetDriveTypeA("c:\\"));
    EXPECT_EQ(static_cast<UINT>(DRIVE_CDROM), platform::GetDriveTypeA("D:\\"));
    EXPECT_EQ(static_cast<UINT>(DRIVE_NO_ROOT_DIR), platform::GetDriveTypeA("E:\\"));
    DWORD spc = kSentinel, bps = kSentinel, freeClusters = kSentinel, total = kSentinel;
    ASSERT_TRUE(platform::GetDiskFreeSpaceA("C:\\", &spc, &bps, &freeClusters, &total));
    EXPECT_EQ(8u, spc);
    EXPECT_EQ(512u, bps);
    EXPECT_EQ(3u, freeClusters);
    EXPECT_EQ(10u, total);
    m.drives['C'].spaceQuerySucceeds = false;
    EXPECT_FALSE(platform::GetDiskFreeSpaceA("C:\\", &spc, &bps, &freeClusters, &total));
}

TEST(FakeMachineDrives, FreeSpaceExLookedUpByName) {
    using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    Machine m;
    m.drives['C'].totalBytes = 0x180000000ull;
    m.drives['C'].freeBytes = 0x100000000ull;
    Scope scope(m);
    HMODULE kernel = platform::LoadLibraryA("KERNEL32.DLL");
    ASSERT_NE(nullptr, kernel);
    auto query = reinterpret_cast<FreeSpaceEx>(
        reinterpret_cast<void (*)()>(platform::GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
    ASSERT_NE(nullptr, query);
    ULARGE_INTEGER available, total, totalFree;
    ASSERT_TRUE(query("C:\\", &available, &total, &totalFree));
    EXPECT_EQ(0x180000000ull, total.QuadPart);
    EXPECT_EQ(0x100000000ull, totalFree.QuadPart);
    EXPECT_EQ(1, m.Calls("GetDiskFreeSpaceExA"));
    EXPECT_FALSE(query("Q:\\", &available, &total, &totalFree));
    m.hasGetDiskFreeSpaceEx = false;
    EXPECT_EQ(nullptr, platform::GetProcAddress(kernel, "GetDiskFreeSpaceExA"));
    EXPECT_TRUE(platform::FreeLibrary(kernel));
    m.kernel32Loads = false;
    EXPECT_EQ(nullptr, platform::LoadLibraryA("kernel32.dll"));
}

// ---- outside every scope, and from several threads ----------------------------------------

TEST(FakeMachineNoScope, EveryCallFailsQuietly) {
    ASSERT_EQ(nullptr, platform::fake::Current());
    HKEY key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(kSentinel));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              OpenRead(HKEY_LOCAL_MACHINE, "Software", &key));
    EXPECT_EQ(nullptr, key);
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    EXPECT_FALSE(platform::GetVersionExA(&version));
    SYSTEM_INFO info;
    std::memset(&info, kFill, sizeof info);
    platform::GetSystemInfo(&info);
    EXPECT_EQ(0u, info.dwNumberOfProcessors);
    char buffer[8];
    EXPECT_EQ(0u, platform::GetSystemDirectoryA(buffer, sizeof buffer));
    EXPECT_EQ(INVALID_HANDLE_VALUE, platform::CreateFileA("\\\\.\\PhysicalDrive0", 0, 0, nullptr,
                                                          OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(nullptr, platform::LoadLibraryA("Kernel32.dll"));
}

TEST(FakeMachineThreads, ConcurrentOpensBalance) {
    Machine m;
    m.Sz("HKLM\\K", "V", "x");
    Scope scope(m);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 200; ++i) {
                HKEY key = nullptr;
                if (OpenRead(HKEY_LOCAL_MACHINE, "K", &key) == 0)
                    platform::RegCloseKey(key);
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(0, m.OpenKeys());
    EXPECT_EQ(800, m.Calls("RegOpenKeyExA"));
    EXPECT_EQ(800, m.Calls("RegCloseKey"));
}

}  // namespace
