// Operating-system name and version, owner, organisation, product ID and OEM
// maker and model, on described machines of both families.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sysinfo_test_machine.h"

namespace {

using sysinfo_test::Family;
using sysinfo_test::kNtCurrentVersion;
using sysinfo_test::kWindowsCurrentVersion;
using sysinfo_test::MachineTest;

constexpr char kProductOptions[] = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

std::string SystemIni(const platform::fake::Machine& m, const char* file) {
    return m.systemDirectory + "\\" + file;
}

const char* CurrentVersionOf(Family family) {
    return family == Family::Nt ? kNtCurrentVersion : kWindowsCurrentVersion;
}

const char* OtherCurrentVersionOf(Family family) {
    return family == Family::Nt ? kWindowsCurrentVersion : kNtCurrentVersion;
}

struct OsNameCase {
    const char* name;
    Family family;
    const char* productName;  // null: absent
    const char* productType;  // null: absent
    const char* prodspec;     // null: no PRODSPEC.INI
    std::string expected;
};

const OsNameCase kOsNameCases[] = {
    {"Win9xProductName", Family::Win9x, "Microsoft Windows 98", "WinNT", "Named in INI", "Microsoft Windows 98"},
    {"Win9xWithoutProductNameReadsNothingElse", Family::Win9x, nullptr, "WinNT", "Named in INI", ""},
    {"NtProductNameWinsOverProductType", Family::Nt, "Microsoft Windows XP", "ServerNT", "Named in INI",
     "Microsoft Windows XP"},
    {"NtServerProductType", Family::Nt, nullptr, "ServerNT", "Named in INI", "Microsoft NT Server"},
    {"NtWorkstationProductType", Family::Nt, nullptr, "WinNT", "Named in INI", "Microsoft NT Workstation"},
    {"NtEmptyProductNameFallsThrough", Family::Nt, "", "WinNT", nullptr, "Microsoft NT Workstation"},
    {"NtLowerCaseWorkstationFallsToProdspec", Family::Nt, nullptr, "winnt", "Windows NT 4.0",
     "Windows NT 4.0"},
    {"NtUpperCaseServerFallsToProdspec", Family::Nt, nullptr, "SERVERNT", "Windows NT 4.0",
     "Windows NT 4.0"},
    {"NtOtherProductTypeFallsToProdspec", Family::Nt, nullptr, "LanmanNT", "NT Advanced Server",
     "NT Advanced Server"},
    {"NtWorkstationPrefixIsNoMatch", Family::Nt, nullptr, "WinNTx", "From INI", "From INI"},
    {"NtNoProductTypeFallsToProdspec", Family::Nt, nullptr, nullptr, "From INI", "From INI"},
    {"NtNothingAnywhereGivesEmpty", Family::Nt, nullptr, "LanmanNT", nullptr, ""},
};

class IdentityOsName : public MachineTest, public ::testing::WithParamInterface<OsNameCase> {};

TEST_P(IdentityOsName, TakesFirstSourceThatGivesText) {
    const OsNameCase& c = GetParam();
    auto& m = Use(c.family);
    if (c.productName) m.Sz(CurrentVersionOf(c.family), "ProductName", c.productName);
    // The other family's key must never be the source.
    m.Sz(OtherCurrentVersionOf(c.family), "ProductName", "Wrong family");
    if (c.productType) m.Sz(kProductOptions, "ProductType", c.productType);
    if (c.prodspec) m.Ini(SystemIni(m, "PRODSPEC.INI"), "Product Specification", "Product", c.prodspec);
    auto core = NewCore();

    EXPECT_EQ(c.expected, std::string(core->OSName()));
    EXPECT_EQ(0, m.OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(Cases, IdentityOsName, ::testing::ValuesIn(kOsNameCases),
                         test_support::RowName());

TEST_F(MachineTest, IdentityOsNameOnWin9xReadsNeitherProductTypeNorIni) {
    auto& m = Use(Family::Win9x);
    auto core = NewCore();
    m.ResetCounts();
    EXPECT_STREQ("", core->OSName());
    EXPECT_EQ(0, m.Calls("GetPrivateProfileStringA"));
    EXPECT_EQ(1, m.Calls("RegOpenKeyExA"));
}

TEST_F(MachineTest, IdentityOsNameReadsSourcesAgainAtEveryCall) {
    auto& m = Use(Family::Nt);
    m.Sz(kProductOptions, "ProductType", "WinNT");
    auto core = NewCore();
    EXPECT_STREQ("Microsoft NT Workstation", core->OSName());
    m.Sz(kNtCurrentVersion, "ProductName", "Microsoft Windows 2000");
    EXPECT_STREQ("Microsoft Windows 2000", core->OSName());
    m.Sz(kNtCurrentVersion, "ProductName", "");
    m.Sz(kProductOptions, "ProductType", "ServerNT");
    EXPECT_STREQ("Microsoft NT Server", core->OSName());
}

TEST_F(MachineTest, IdentityOsNameProdspecPathThatWouldNotFitIsNotRead) {
    auto& m = Describe(Family::Nt);
    m.systemDirectory = "C:\\" + std::string(250, 'd');
    m.Ini(SystemIni(m, "PRODSPEC.INI"), "Product Specification", "Product", "Too far");
    Bind();
    auto core = NewCore();
    m.ResetCounts();
    EXPECT_STREQ("", core->OSName());
    EXPECT_EQ(0, m.Calls("GetPrivateProfileStringA"));
}

struct OsVersionCase {
    const char* name;
    Family family;
    const char* version;  // null: absent
    const char* csd;      // null: absent (under the NT key)
    std::string expected;
};

const OsVersionCase kOsVersionCases[] = {
    {"NtVersionAndServicePack", Family::Nt, "5.1", "Service Pack 2", "5.1 (Service Pack 2)"},
    {"NtVersionWithoutServicePack", Family::Nt, "5.1", nullptr, "5.1"},
    {"NtEmptyServicePackIsNotJoined", Family::Nt, "4.0", "", "4.0"},
    {"NtServicePackWithoutVersionStartsWithBlank", Family::Nt, nullptr, "Service Pack 6",
     " (Service Pack 6)"},
    {"NtNothing", Family::Nt, nullptr, nullptr, ""},
    {"Win9xVersionNumberOnly", Family::Win9x, "4.10.2222", "Service Pack 2", "4.10.2222"},
    {"Win9xNothing", Family::Win9x, nullptr, "Service Pack 2", ""},
};

class IdentityOsVersion : public MachineTest,
                          public ::testing::WithParamInterface<OsVersionCase> {};

TEST_P(IdentityOsVersion, JoinsServicePackOnNtOnly) {
    const OsVersionCase& c = GetParam();
    auto& m = Use(c.family);
    if (c.version)
        m.Sz(CurrentVersionOf(c.family), c.family == Family::Nt ? "CurrentVersion" : "VersionNumber",
             c.version);
    // A value of the other family's name must not be used.
    m.Sz(CurrentVersionOf(c.family), c.family == Family::Nt ? "VersionNumber" : "CurrentVersion",
         "9.9");
    if (c.csd) m.Sz(kNtCurrentVersion, "CSDVersion", c.csd);
    auto core = NewCore();
    EXPECT_EQ(c.expected, std::string(core->OSVersion()));
}

INSTANTIATE_TEST_SUITE_P(Cases, IdentityOsVersion, ::testing::ValuesIn(kOsVersionCases),
                         test_support::RowName());

TEST_F(MachineTest, IdentityOsVersionOnWin9xNeverReadsServicePack) {
    auto& m = Use(Family::Win9x);
    m.Sz(kWindowsCurrentVersion, "VersionNumber", "4.00.950");
    auto core = NewCore();
    m.ResetCounts();
    EXPECT_STREQ("4.00.950", core->OSVersion());
    EXPECT_EQ(1, m.Calls("RegQueryValueExA"));
}

struct JoinCase {
    const char* name;
    size_t versionLength;
    size_t csdLength;
};

// Version and service pack of up to 1039 characters each share one 1040-byte buffer.
const JoinCase kJoinCases[] = {
    {"JoinFillsBufferExactly", 1000, 36},
    {"JoinOneTooLongIsCut", 1000, 37},
    {"LongestVersionAndLongestServicePack", 1039, 1039},
    {"ShortVersionLongestServicePack", 3, 1039},
    {"LongestVersionShortServicePack", 1039, 14},
};

class IdentityOsVersionJoin : public MachineTest,
                              public ::testing::WithParamInterface<JoinCase> {};

TEST_P(IdentityOsVersionJoin, StaysWithinBuffer) {
    const JoinCase& c = GetParam();
    const std::string version(c.versionLength, 'v');
    const std::string csd(c.csdLength, 'c');
    auto& m = Use(Family::Nt);
    m.Sz(kNtCurrentVersion, "CurrentVersion", version);
    m.Sz(kNtCurrentVersion, "CSDVersion", csd);
    auto core = NewCore();

    const std::string full = version + " (" + csd + ")";
    const std::string expected = full.substr(0, sysinfo::kAnswerTextSize - 1);
    const char* text = core->OSVersion();
    ASSERT_EQ(text, core->osVersion_);
    ASSERT_LT(strnlen(text, sysinfo::kAnswerTextSize), sysinfo::kAnswerTextSize);
    EXPECT_EQ(expected, std::string(text));
    // The neighbouring buffer is untouched.
    EXPECT_EQ('\0', core->csd_[0]);
}

INSTANTIATE_TEST_SUITE_P(Cases, IdentityOsVersionJoin, ::testing::ValuesIn(kJoinCases),
                         test_support::RowName());

using TextRoutine = const char* (sysinfo::HwInfoCore::*)();

struct OwnerCase {
    const char* name;
    Family family;
    const char* valueName;
    TextRoutine routine;
};

const OwnerCase kOwnerCases[] = {
    {"NtOwner", Family::Nt, "RegisteredOwner", &sysinfo::HwInfoCore::RegOwnerName},
    {"NtOrganization", Family::Nt, "RegisteredOrganization", &sysinfo::HwInfoCore::RegOrganization},
    {"NtProductId", Family::Nt, "ProductId", &sysinfo::HwInfoCore::RegID},
    {"Win9xOwner", Family::Win9x, "RegisteredOwner", &sysinfo::HwInfoCore::RegOwnerName},
    {"Win9xOrganization", Family::Win9x, "RegisteredOrganization",
     &sysinfo::HwInfoCore::RegOrganization},
    {"Win9xProductId", Family::Win9x, "ProductId", &sysinfo::HwInfoCore::RegID},
};

class IdentityOwner : public MachineTest, public ::testing::WithParamInterface<OwnerCase> {};

TEST_P(IdentityOwner, ReadsCurrentVersionKeyOfFamily) {
    const OwnerCase& c = GetParam();
    auto& m = Use(c.family);
    m.Sz(CurrentVersionOf(c.family), c.valueName, "Right family");
    m.Sz(OtherCurrentVersionOf(c.family), c.valueName, "Wrong family");
    auto core = NewCore();
    EXPECT_STREQ("Right family", (core.get()->*c.routine)());

    m.Sz(CurrentVersionOf(c.family), c.valueName, "Changed");
    EXPECT_STREQ("Changed", (core.get()->*c.routine)());

    m.RemoveKey(CurrentVersionOf(c.family));
    EXPECT_STREQ("", (core.get()->*c.routine)());
    EXPECT_EQ(0, m.OpenKeys());
}

INSTANTIATE_TEST_SUITE_P(Cases, IdentityOwner, ::testing::ValuesIn(kOwnerCases),
                         test_support::RowName());

struct OemCase {
    const char* name;
    Family family;
    bool iniPresent;
    const char* manufacturer;  // null: key absent
    const char* model;         // null: key absent
    std::string expectedMaker;
    std::string expectedModel;
};

const OemCase kOemCases[] = {
    {"NtIniAbsent", Family::Nt, false, nullptr, nullptr, "Generic", "AT Compatible"},
    {"Win9xIniAbsent", Family::Win9x, false, nullptr, nullptr, "Generic", "AT Compatible"},
    {"KeysAbsent", Family::Nt, true, nullptr, nullptr, "Generic", "AT Compatible"},
    {"KeysEmpty", Family::Win9x, true, "", "", "Generic", "AT Compatible"},
    {"NtPresent", Family::Nt, true, "Orvane", "VXR 2000", "Orvane", "VXR 2000"},
    {"Win9xPresent", Family::Win9x, true, "Orvane", "VXR 98", "Orvane", "VXR 98"},
    {"OnlyMakerPresent", Family::Nt, true, "Orvane", nullptr, "Orvane", "AT Compatible"},
};

class IdentityOem : public MachineTest, public ::testing::WithParamInterface<OemCase> {};

TEST_P(IdentityOem, ReadsOeminfoOrGivesDefaults) {
    const OemCase& c = GetParam();
    auto& m = Use(c.family);
    const std::string ini = SystemIni(m, "OEMINFO.INI");
    if (c.iniPresent) m.Ini(ini, "general", "Other", "x");
    if (c.manufacturer) m.Ini(ini, "general", "Manufacturer", c.manufacturer);
    if (c.model) m.Ini(ini, "general", "Model", c.model);
    auto core = NewCore();
    EXPECT_EQ(c.expectedMaker, std::string(core->MfgName()));
    EXPECT_EQ(c.expectedModel, std::string(core->MfgComputerModel()));
}

INSTANTIATE_TEST_SUITE_P(Cases, IdentityOem, ::testing::ValuesIn(kOemCases),
                         test_support::RowName());

TEST_F(MachineTest, IdentityOemReadAgainAtEveryCall) {
    auto& m = Use(Family::Nt);
    auto core = NewCore();
    EXPECT_STREQ("Generic", core->MfgName());
    m.Ini(SystemIni(m, "OEMINFO.INI"), "general", "Manufacturer", "Orvane");
    m.Ini(SystemIni(m, "OEMINFO.INI"), "general", "Model", "VXR");
    EXPECT_STREQ("Orvane", core->MfgName());
    EXPECT_STREQ("VXR", core->MfgComputerModel());
    m.RemoveIni(SystemIni(m, "OEMINFO.INI"));
    EXPECT_STREQ("Generic", core->MfgName());
    EXPECT_STREQ("AT Compatible", core->MfgComputerModel());
}

TEST_F(MachineTest, IdentityOemIniPathFollowsSystemDirectory) {
    auto& m = Use(Family::Win9x);
    m.Ini("C:\\WINDOWS\\SYSTEM\\OEMINFO.INI", "general", "Manufacturer", "Old place");
    m.Ini("D:\\W\\SYS\\OEMINFO.INI", "general", "Manufacturer", "New place");
    auto core = NewCore();
    EXPECT_STREQ("Old place", core->MfgName());
    m.systemDirectory = "D:\\W\\SYS";
    EXPECT_STREQ("New place", core->MfgName());
    EXPECT_STREQ("D:\\W\\SYS", core->sysDir_);
}

struct IniPathCase {
    const char* name;
    size_t directoryLength;
    bool read;
};

// "\OEMINFO.INI" adds 12 characters; the path and its terminator get 260 bytes.
const IniPathCase kIniPathCases[] = {
    {"LongestPathThatFits", 259 - 12, true},
    {"OneCharacterTooLong", 259 - 11, false},
    {"LongestSystemDirectory", 259, false},
};

class IdentityOemIniPath : public MachineTest,
                           public ::testing::WithParamInterface<IniPathCase> {};

TEST_P(IdentityOemIniPath, PathThatWouldNotFitGivesDefaults) {
    auto& m = Describe(Family::Nt);
    m.systemDirectory = "C:\\" + std::string(GetParam().directoryLength - 3, 'd');
    m.Ini(SystemIni(m, "OEMINFO.INI"), "general", "Manufacturer", "Orvane");
    Bind();
    auto core = NewCore();
    m.ResetCounts();
    EXPECT_STREQ(GetParam().read ? "Orvane" : "Generic", core->MfgName());
    EXPECT_EQ(GetParam().read ? 1 : 0, m.Calls("GetPrivateProfileStringA"));
}

INSTANTIATE_TEST_SUITE_P(Cases, IdentityOemIniPath, ::testing::ValuesIn(kIniPathCases),
                         test_support::RowName());

TEST_F(MachineTest, IdentityOemWithoutSystemDirectoryLooksAtRootPath) {
    auto& m = Describe(Family::Nt);
    m.systemDirectory = std::string(400, 'd');
    m.Ini("\\OEMINFO.INI", "general", "Model", "Root");
    Bind();
    EXPECT_STREQ("Root", NewCore()->MfgComputerModel());
}

TEST_F(MachineTest, IdentityOemLongestTextFitsBuffer) {
    auto& m = Use(Family::Nt);
    m.Ini(SystemIni(m, "OEMINFO.INI"), "general", "Manufacturer", std::string(2000, 'm'));
    auto core = NewCore();
    const char* text = core->MfgName();
    EXPECT_EQ(sysinfo::kAnswerTextSize - 1, strnlen(text, sysinfo::kAnswerTextSize));
    EXPECT_EQ('\0', core->oemModel_[0]);
}

// A number or binary value as long as an answer buffer and without a zero
// byte, where text is expected, still gives a terminated answer.
struct FullValueRow {
    const char* name;
    Family family;
    const char* key;
    const char* value;
    const char* (*answer)(sysinfo::HwInfoCore& core);
};

const FullValueRow kFullValueRows[] = {
    {"NtProductName", Family::Nt, "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
     "ProductName", [](sysinfo::HwInfoCore& c) { return c.OSName(); }},
    {"NtOwner", Family::Nt, "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
     "RegisteredOwner", [](sysinfo::HwInfoCore& c) { return c.RegOwnerName(); }},
    {"Win9xOwner", Family::Win9x, "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion",
     "RegisteredOwner", [](sysinfo::HwInfoCore& c) { return c.RegOwnerName(); }},
    {"NtVendor", Family::Nt, "HKLM\\Hardware\\Description\\System\\CentralProcessor\\0",
     "VendorIdentifier", [](sysinfo::HwInfoCore& c) { return c.ProcessorVendorId(1); }},
    {"Win9xMmx", Family::Win9x, "HKLM\\Hardware\\Description\\System\\CentralProcessor\\0",
     "MMXIdentifier", [](sysinfo::HwInfoCore& c) { return c.ProcessorMMXId(1); }},
};

TEST_F(MachineTest, FullNonTextValuesEndInsideTheirAnswer) {
    for (const FullValueRow& row : kFullValueRows) {
        for (DWORD type : {static_cast<DWORD>(REG_BINARY), static_cast<DWORD>(REG_DWORD)}) {
            auto& m = Use(row.family);
            m.Raw(row.key, row.value, type, std::string(sysinfo::kAnswerTextSize, 'A'));
            auto core = NewCore();
            EXPECT_EQ(sysinfo::kAnswerTextSize - 1, std::strlen(row.answer(*core)))
                << row.name << " type " << type;
        }
    }
}

}  // namespace
