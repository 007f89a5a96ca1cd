// Memory totals, the operating system's name and version, the maker and model,
// and the processor's name on described machines from Windows 98 to
// Windows 11, for a process of the build's bitness and a 32-bit process under
// WOW64. Expectations follow the platform documentation: GlobalMemoryStatus's
// remarks on large memory, Microsoft's build numbers of Windows 11, the SMBIOS
// texts Windows keeps under HARDWARE\DESCRIPTION\System\BIOS, and the
// processor families and models of Intel's and AMD's identification guides.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "sysinfo/firmware_text.h"
#include "sysinfo/processor_name.h"
#include "sysinfo_test_machine.h"
#include "windows_machines.h"

namespace {

using platform::fake::Machine;
using sysinfo_test::MachineTest;
using windows_machines::MakeWindows;
using windows_machines::NativeRegistryPath;
using windows_machines::NativeSystemFolder;
using windows_machines::Process;
using windows_machines::RedirectedRegistryPath;
using windows_machines::UnderWow64;
using windows_machines::Windows;

constexpr unsigned long long kMiB = 1ull << 20;
constexpr unsigned long long kGiB = 1ull << 30;
constexpr char kNtCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char kWindowsCurrentVersion[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr char kBios[] = "HKLM\\HARDWARE\\DESCRIPTION\\System\\BIOS";

class CurrentMachine : public MachineTest {
protected:
    // The machine as the process sees it; false when the build cannot be that process.
    bool Describe(Windows windows, Process process) {
        if (process == Process::Wow64 && windows_machines::kProcessIs64Bit) return false;
        Machine& m = MachineTest::Describe(MakeWindows(windows));
        m.wow64 = UnderWow64(process);
        return true;
    }
};

// ---- Memory --------------------------------------------------------------

// GlobalMemoryStatus in a 32-bit process: 2 GB for a total between 2 and 4 GB,
// all ones on overflow above (its remarks); a 64-bit process's record is whole.
SIZE_T CappedTotal(unsigned long long total) {
    if (windows_machines::kProcessIs64Bit) return static_cast<SIZE_T>(total);
    if (total > 0xFFFFFFFFull) return static_cast<SIZE_T>(-1);
    return total > 2 * kGiB ? static_cast<SIZE_T>(2 * kGiB) : static_cast<SIZE_T>(total);
}

// A 32-bit process has 2 GB less 128 KB of user address space, a 64-bit one 128 TB.
constexpr unsigned long long kVirtualTotal =
    windows_machines::kProcessIs64Bit ? 0x7FFFFFFE0000ull : 0x7FFE0000ull;
constexpr LONG kVirtualAnswer = windows_machines::kProcessIs64Bit ? LONG_MAX : 2147352576;

struct MemoryRow {
    const char* name;
    Windows windows;
    unsigned long long phys;  // the page file is a quarter of a gigabyte larger
    bool extendedFails;       // GlobalMemoryStatusEx answers FALSE
    bool plainMissing;        // GlobalMemoryStatus leaves no record
    const char* source;       // the call whose record answers, or null
    LONG expectedPhys, expectedPageFile;
};

constexpr MemoryRow kMemoryRows[] = {
    {"Win9xOneAndAHalfGigabytes", Windows::Win9x, 1536 * kMiB, false, false,
     "GlobalMemoryStatus", 1610612736, 1879048192},
    {"Nt4ThreeGigabytesCappedAtTwoSaturate", Windows::Nt4, 3 * kGiB, false, false,
     "GlobalMemoryStatus", LONG_MAX, LONG_MAX},
    {"Nt4FiveGigabytesOverflowSaturatesNotMinusOne", Windows::Nt4, 5 * kGiB, false, false,
     "GlobalMemoryStatus", LONG_MAX, LONG_MAX},
    {"Nt4WithoutRecordGivesMinusOne", Windows::Nt4, 1536 * kMiB, false, true, nullptr, -1, -1},
    {"XpOneAndAHalfGigabytesFromExtendedRecord", Windows::Xp, 1536 * kMiB, false, false,
     "GlobalMemoryStatusEx", 1610612736, 1879048192},
    {"XpThreeGigabytesSaturate", Windows::Xp, 3 * kGiB, false, false, "GlobalMemoryStatusEx",
     LONG_MAX, LONG_MAX},
    {"Win7FiveGigabytesSaturate", Windows::Win7, 5 * kGiB, false, false, "GlobalMemoryStatusEx",
     LONG_MAX, LONG_MAX},
    {"Win10SixtyFourGigabytesSaturate", Windows::Win10, 64 * kGiB, false, false,
     "GlobalMemoryStatusEx", LONG_MAX, LONG_MAX},
    {"Win11ExtendedCallFailingFallsBackToCappedRecord", Windows::Win11, 1536 * kMiB, true, false,
     "GlobalMemoryStatus", 1610612736, 1879048192},
    {"Win11WithoutEitherRecordGivesMinusOne", Windows::Win11, 64 * kGiB, true, true, nullptr, -1,
     -1},
};

TEST_F(CurrentMachine, MemoryTotalsInBytesUpToTheLargestLong) {
    for (const MemoryRow& row : kMemoryRows) {
        SCOPED_TRACE(row.name);
        Describe(row.windows, Process::Native);
        Machine& m = machine();
        const unsigned long long pageFile = row.phys + kGiB / 4;
        m.memoryEx.ullTotalPhys = row.phys;
        m.memoryEx.ullTotalPageFile = pageFile;
        m.memoryEx.ullTotalVirtual = kVirtualTotal;
        m.memoryExSucceeds = !row.extendedFails;
        m.memory.dwTotalPhys = CappedTotal(row.phys);
        m.memory.dwTotalPageFile = CappedTotal(pageFile);
        m.memory.dwTotalVirtual = CappedTotal(kVirtualTotal);
        if (row.plainMissing) m.memory.dwLength = 0;
        Bind();

        auto core = NewCore();

        EXPECT_EQ(row.expectedPhys, core->MemoryTotalPhys());
        EXPECT_EQ(row.expectedPageFile, core->MemoryTotalPageFile());
        EXPECT_EQ(row.source ? kVirtualAnswer : -1, core->MemoryTotalVirtual());
        if (row.source) {
            EXPECT_EQ(1, m.Calls(row.source));
        }
        if (row.source && std::string(row.source) == "GlobalMemoryStatusEx") {
            EXPECT_EQ(0, m.Calls("GlobalMemoryStatus")) << "the extended record is enough";
        }
    }
}

// ---- Operating-system name and version -------------------------------------

// Where the family keeps its current-version values, in the native view.
std::string CurrentVersionKey(Windows windows, Process process) {
    if (windows == Windows::Win9x) return kWindowsCurrentVersion;
    return NativeRegistryPath(process, kNtCurrentVersion);
}

// The 32-bit copy of the NT current-version key under WOW64, as an update from
// Windows 10 left it; a routine that reads it answers these.
void DescribeRedirectedCopy(Machine& m, Windows windows, Process process) {
    if (windows == Windows::Win9x) return;
    const std::string copy = RedirectedRegistryPath(process, kNtCurrentVersion);
    m.Sz(copy, "ProductName", "Windows 10 Home");
    m.Sz(copy, "CurrentBuildNumber", "19041");
    m.Sz(copy, "CurrentVersion", "6.2");
    m.Sz(copy, "CSDVersion", "32-bit copy");
}

struct OsNameRow {
    const char* name;
    Windows windows;
    Process process;
    const char* productName;  // null: absent
    const char* build;        // "CurrentBuildNumber"; null: absent
    const char* expected;
};

constexpr OsNameRow kOsNameRows[] = {
    {"Win9xProductNameAsItStands", Windows::Win9x, Process::Native, "Microsoft Windows 98",
     nullptr, "Microsoft Windows 98"},
    {"Nt4WithoutProductNameNamesProductType", Windows::Nt4, Process::Native, nullptr, "1381",
     "Microsoft NT Workstation"},
    {"Win2000WithoutIsWow64ProcessReadsWithoutViewFlag", Windows::Win2000, Process::Native,
     "Microsoft Windows 2000", "2195", "Microsoft Windows 2000"},
    {"XpProductName", Windows::Xp, Process::Native, "Microsoft Windows XP", "2600",
     "Microsoft Windows XP"},
    {"Win7ProductName", Windows::Win7, Process::Native, "Windows 7 Professional", "7601",
     "Windows 7 Professional"},
    {"Win10Build19045StaysWindows10", Windows::Win10, Process::Native, "Windows 10 Pro", "19045",
     "Windows 10 Pro"},
    {"Win10Build21999StaysWindows10", Windows::Win10, Process::Native, "Windows 10 Pro", "21999",
     "Windows 10 Pro"},
    {"Win11Build22000IsWindows11", Windows::Win11, Process::Native, "Windows 10 Pro", "22000",
     "Windows 11 Pro"},
    {"Win11Build22631IsWindows11", Windows::Win11, Process::Native, "Windows 10 Home", "22631",
     "Windows 11 Home"},
    {"Win11WithoutBuildNumberKeepsProductName", Windows::Win11, Process::Native,
     "Windows 10 Pro", nullptr, "Windows 10 Pro"},
    {"Win11BuildThatIsNoNumberKeepsProductName", Windows::Win11, Process::Native,
     "Windows 10 Pro", "22631a", "Windows 10 Pro"},
    {"ServerNameIsNeverRenamed", Windows::Win11, Process::Native,
     "Windows Server 2025 Datacenter", "26100", "Windows Server 2025 Datacenter"},
    {"Win10UnderWow64ReadsNativeView", Windows::Win10, Process::Wow64, "Windows 10 Pro",
     "19045", "Windows 10 Pro"},
    {"Win11UnderWow64ReadsNativeView", Windows::Win11, Process::Wow64, "Windows 10 Education",
     "22631", "Windows 11 Education"},
};

TEST_F(CurrentMachine, OsNameOfTodaysWindows) {
    for (const OsNameRow& row : kOsNameRows) {
        SCOPED_TRACE(row.name);
        if (!Describe(row.windows, row.process)) continue;
        Machine& m = machine();
        const std::string key = CurrentVersionKey(row.windows, row.process);
        if (row.productName) m.Sz(key, "ProductName", row.productName);
        if (row.build) m.Sz(key, "CurrentBuildNumber", row.build);
        m.Sz("HKLM\\SYSTEM\\CurrentControlSet\\Control\\ProductOptions", "ProductType", "WinNT");
        DescribeRedirectedCopy(m, row.windows, row.process);
        Bind();

        EXPECT_STREQ(row.expected, NewCore()->OSName());
        EXPECT_EQ(0, m.OpenKeys());
    }
}

struct OsVersionRow {
    const char* name;
    Windows windows;
    Process process;
    const char* version;  // "CurrentVersion", or "VersionNumber" on the 9x family
    DWORD valueType;      // of both version numbers; REG_NONE: absent
    DWORD major, minor;
    bool majorOnly;
    const char* servicePack;  // null: absent
    const char* expected;
};

constexpr OsVersionRow kOsVersionRows[] = {
    {"Win9xVersionNumber", Windows::Win9x, Process::Native, "4.10.2222", REG_NONE, 0, 0, false,
     nullptr, "4.10.2222"},
    {"Nt4VersionWithServicePack", Windows::Nt4, Process::Native, "4.0", REG_NONE, 0, 0, false,
     "Service Pack 6", "4.0 (Service Pack 6)"},
    {"Win2000WithoutIsWow64ProcessReadsWithoutViewFlag", Windows::Win2000, Process::Native,
     "5.0", REG_NONE, 0, 0, false, "Service Pack 4", "5.0 (Service Pack 4)"},
    {"XpVersionWithServicePack", Windows::Xp, Process::Native, "5.1", REG_NONE, 0, 0, false,
     "Service Pack 3", "5.1 (Service Pack 3)"},
    {"Win7VersionWithServicePack", Windows::Win7, Process::Native, "6.1", REG_NONE, 0, 0, false,
     "Service Pack 1", "6.1 (Service Pack 1)"},
    {"Win10NumbersOverFrozenCurrentVersion", Windows::Win10, Process::Native, "6.3", REG_DWORD,
     10, 0, false, nullptr, "10.0"},
    {"Win11NumbersOverFrozenCurrentVersion", Windows::Win11, Process::Native, "6.3", REG_DWORD,
     10, 0, false, nullptr, "10.0"},
    {"NumbersKeepTheServicePack", Windows::Win10, Process::Native, "6.3", REG_DWORD, 10, 0,
     false, "Service Pack 1", "10.0 (Service Pack 1)"},
    {"NumbersStoredAsTextAreNoNumbers", Windows::Win10, Process::Native, "6.3", REG_SZ, 10, 0,
     false, nullptr, "6.3"},
    {"MajorNumberAloneKeepsCurrentVersion", Windows::Win10, Process::Native, "6.3", REG_DWORD,
     10, 0, true, nullptr, "6.3"},
    {"Win11UnderWow64ReadsNativeView", Windows::Win11, Process::Wow64, "6.3", REG_DWORD, 10, 0,
     false, nullptr, "10.0"},
    {"Win7UnderWow64ReadsNativeView", Windows::Win7, Process::Wow64, "6.1", REG_NONE, 0, 0, false,
     "Service Pack 1", "6.1 (Service Pack 1)"},
};

void DescribeNumber(Machine& m, const std::string& key, const char* name, DWORD type,
                    DWORD value) {
    if (type == REG_DWORD) m.Dword(key, name, value);
    if (type == REG_SZ) m.Sz(key, name, std::to_string(value));
}

TEST_F(CurrentMachine, OsVersionOfTodaysWindows) {
    for (const OsVersionRow& row : kOsVersionRows) {
        SCOPED_TRACE(row.name);
        if (!Describe(row.windows, row.process)) continue;
        Machine& m = machine();
        const std::string key = CurrentVersionKey(row.windows, row.process);
        m.Sz(key, row.windows == Windows::Win9x ? "VersionNumber" : "CurrentVersion", row.version);
        DescribeNumber(m, key, "CurrentMajorVersionNumber", row.valueType, row.major);
        if (!row.majorOnly)
            DescribeNumber(m, key, "CurrentMinorVersionNumber", row.valueType, row.minor);
        if (row.servicePack) m.Sz(key, "CSDVersion", row.servicePack);
        DescribeRedirectedCopy(m, row.windows, row.process);
        Bind();

        EXPECT_STREQ(row.expected, NewCore()->OSVersion());
    }
}

// ---- Maker and model --------------------------------------------------------

struct OemRow {
    const char* name;
    Windows windows;
    Process process;
    const char* iniMaker;  // OEMINFO.INI in the native system folder; null: no file
    const char* iniModel;
    const char* firmwareMaker;  // null: no BIOS key
    const char* firmwareModel;
    const char* expectedMaker;
    const char* expectedModel;
};

constexpr OemRow kOemRows[] = {
    {"Win9xWithoutOemInfoGivesDefaults", Windows::Win9x, Process::Native, nullptr, nullptr,
     nullptr, nullptr, "Generic", "AT Compatible"},
    {"Nt4OemInfoAsToday", Windows::Nt4, Process::Native, "Compaq", "Deskpro EN", nullptr, nullptr,
     "Compaq", "Deskpro EN"},
    {"XpOemInfoWinsOverFirmware", Windows::Xp, Process::Native, "Dell Computer Corporation",
     "Dimension 4600", "Dell Inc.", "OptiPlex GX270", "Dell Computer Corporation",
     "Dimension 4600"},
    {"Win7FirmwareWithoutOemInfo", Windows::Win7, Process::Native, nullptr, nullptr, "LENOVO",
     "20L5S0BY00", "LENOVO", "20L5S0BY00"},
    {"Win10EmptyOemInfoKeysTakeFirmware", Windows::Win10, Process::Native, "", "", "HP",
     "HP EliteBook 840 G5", "HP", "HP EliteBook 840 G5"},
    {"Win10BoardPlaceholdersGiveDefaults", Windows::Win10, Process::Native, nullptr, nullptr,
     "To Be Filled By O.E.M.", "To Be Filled By O.E.M.", "Generic", "AT Compatible"},
    {"Win10ReferencePlaceholdersInOtherCaseGiveDefaults", Windows::Win10, Process::Native,
     nullptr, nullptr, "SYSTEM MANUFACTURER", "system product name", "Generic", "AT Compatible"},
    {"Win11DefaultStringGivesDefaults", Windows::Win11, Process::Native, nullptr, nullptr,
     "Default string", "Default string", "Generic", "AT Compatible"},
    {"Win11FirmwareBlanksRemoved", Windows::Win11, Process::Native, nullptr, nullptr,
     "  ASUSTeK COMPUTER INC.  ", "ROG STRIX B550-F GAMING   ", "ASUSTeK COMPUTER INC.",
     "ROG STRIX B550-F GAMING"},
    {"Win11BlankFirmwareGivesDefaults", Windows::Win11, Process::Native, nullptr, nullptr, "   ",
     "", "Generic", "AT Compatible"},
    {"Win11UnderWow64ReadsNativeSystemFolder", Windows::Win11, Process::Wow64, "Fujitsu",
     "ESPRIMO P758", "FUJITSU", "D3521-A1", "Fujitsu", "ESPRIMO P758"},
    {"Win10UnderWow64TakesFirmwareOverSysWow64Copy", Windows::Win10, Process::Wow64, nullptr,
     nullptr, "Micro-Star International Co., Ltd.", "MS-7C02",
     "Micro-Star International Co., Ltd.", "MS-7C02"},
};

TEST_F(CurrentMachine, MakerAndModelOfTodaysWindows) {
    for (const OemRow& row : kOemRows) {
        SCOPED_TRACE(row.name);
        if (!Describe(row.windows, row.process)) continue;
        Machine& m = machine();
        const std::string native = NativeSystemFolder(m, row.process) + "\\OEMINFO.INI";
        if (row.iniMaker) {
            m.Ini(native, "general", "Manufacturer", row.iniMaker);
            m.Ini(native, "general", "Model", row.iniModel);
        }
        // What a 32-bit process finds in "system32" under WOW64 is SysWOW64's.
        if (UnderWow64(row.process)) {
            const std::string sysWow64 = m.systemDirectory + "\\OEMINFO.INI";
            m.Ini(sysWow64, "general", "Manufacturer", "SysWOW64 copy");
            m.Ini(sysWow64, "general", "Model", "SysWOW64 copy");
        }
        if (row.firmwareMaker) m.Sz(kBios, "SystemManufacturer", row.firmwareMaker);
        if (row.firmwareModel) m.Sz(kBios, "SystemProductName", row.firmwareModel);
        Bind();
        auto core = NewCore();

        EXPECT_STREQ(row.expectedMaker, core->MfgName());
        EXPECT_STREQ(row.expectedModel, core->MfgComputerModel());
        EXPECT_EQ(0, m.OpenKeys());
    }
}

// ---- Processor --------------------------------------------------------------

struct ProcessorRow {
    const char* name;
    Windows windows;
    DWORD type;
    WORD level, revision;  // family; model in the high byte, stepping in the low
    const char* nameString;  // "ProcessorNameString" of the processor asked for; null: absent
    const char* expected;
};

constexpr ProcessorRow kProcessorRows[] = {
    {"Win9xPentiumIIKeepsTableName", Windows::Win9x, PROCESSOR_INTEL_PENTIUM, 6, 0x0502,
     "Pentium II processor", "Pentium II"},
    {"Win9xPentium4KeepsTableName", Windows::Win9x, PROCESSOR_INTEL_PENTIUM, 15, 0x0209,
     "Intel(R) Pentium(R) 4 CPU 2.80GHz", "Pentium"},
    {"Nt4PentiumProKeepsTableName", Windows::Nt4, PROCESSOR_INTEL_PENTIUM, 6, 0x0109, nullptr,
     "Pentium II"},
    {"XpPentiumIIIKatmaiKeepsTableName", Windows::Xp, PROCESSOR_INTEL_PENTIUM, 6, 0x0703,
     "Intel Pentium III processor", "Pentium III"},
    {"XpPentiumIIICoppermineKeepsTableName", Windows::Xp, PROCESSOR_INTEL_PENTIUM, 6, 0x0806,
     "Intel(R) Pentium(R) III processor", "Pentium II"},
    {"XpPentiumIIISKeepsTableName", Windows::Xp, PROCESSOR_INTEL_PENTIUM, 6, 0x0B01,
     "Intel(R) Pentium(R) III CPU family 1400MHz", "Pentium II"},
    {"XpPentiumMmxKeepsPentium", Windows::Xp, PROCESSOR_INTEL_PENTIUM, 5, 0x0803,
     "Intel Pentium MMX", "Pentium"},
    {"XpPentiumMIsNamed", Windows::Xp, PROCESSOR_INTEL_PENTIUM, 6, 0x0D06,
     "Intel(R) Pentium(R) M processor 1.70GHz", "Intel(R) Pentium(R) M processor 1.70GHz"},
    {"XpPentium4NamedWithoutLeadingBlanks", Windows::Xp, PROCESSOR_INTEL_PENTIUM, 15, 0x0209,
     "              Intel(R) Pentium(R) 4 CPU 2.80GHz", "Intel(R) Pentium(R) 4 CPU 2.80GHz"},
    {"Win7Core2KeepsInnerBlanks", Windows::Win7, PROCESSOR_INTEL_PENTIUM, 6, 0x170A,
     "Intel(R) Core(TM)2 Duo CPU     E8400  @ 3.00GHz",
     "Intel(R) Core(TM)2 Duo CPU     E8400  @ 3.00GHz"},
    {"Win10CoreI9IsNamed", Windows::Win10, PROCESSOR_INTEL_PENTIUM, 6, 0xA505,
     "Intel(R) Core(TM) i9-10900K CPU @ 3.70GHz", "Intel(R) Core(TM) i9-10900K CPU @ 3.70GHz"},
    {"Win11RyzenIsNamed", Windows::Win11, PROCESSOR_INTEL_PENTIUM, 23, 0x7100,
     "AMD Ryzen 7 3700X 8-Core Processor", "AMD Ryzen 7 3700X 8-Core Processor"},
    {"Nt4CoreWithoutNameStringAsToday", Windows::Nt4, PROCESSOR_INTEL_PENTIUM, 6, 0x0F06, nullptr,
     "Pentium II"},
    {"Nt4RyzenWithoutNameStringAsToday", Windows::Nt4, PROCESSOR_INTEL_PENTIUM, 23, 0x7100,
     nullptr, "Pentium"},
    {"Win10BlankNameStringAsToday", Windows::Win10, PROCESSOR_INTEL_PENTIUM, 6, 0x9E09, "     ",
     "Pentium II"},
    {"Win11X64TypeIsNamed", Windows::Win11, PROCESSOR_AMD_X8664, 6, 0xA505,
     "Intel(R) Core(TM) i9-10900K CPU @ 3.70GHz", "Intel(R) Core(TM) i9-10900K CPU @ 3.70GHz"},
    {"Win11X64TypeWithoutNameStringReadsIdentifier", Windows::Win11, PROCESSOR_AMD_X8664, 6,
     0xA505, nullptr, "Intel64 Family 6 Model 165 Stepping 5"},
    {"Nt4AlphaReadsIdentifierEvenWithNameString", Windows::Nt4, PROCESSOR_ALPHA_21064, 5, 0x0502,
     "Digital Alpha", "Intel64 Family 6 Model 165 Stepping 5"},
};

TEST_F(CurrentMachine, ProcessorIdOfTodaysProcessors) {
    for (const ProcessorRow& row : kProcessorRows) {
        SCOPED_TRACE(row.name);
        Describe(row.windows, Process::Native);
        Machine& m = machine();
        m.systemInfo.dwNumberOfProcessors = 2;
        m.systemInfo.dwProcessorType = row.type;
        m.systemInfo.wProcessorLevel = row.level;
        m.systemInfo.wProcessorRevision = row.revision;
        // Processor 2 is asked: its key has index 1, and index 0 must not answer.
        m.Sz(sysinfo_test::ProcessorKey(0), "ProcessorNameString", "Processor 1");
        m.Sz(sysinfo_test::ProcessorKey(1), "Identifier", "Intel64 Family 6 Model 165 Stepping 5");
        if (row.nameString) m.Sz(sysinfo_test::ProcessorKey(1), "ProcessorNameString", row.nameString);
        Bind();

        EXPECT_STREQ(row.expected, NewCore()->ProcessorId(2));
        EXPECT_EQ(0, m.OpenKeys());
    }
}

// ---- The readers' bounds ------------------------------------------------------

struct ReaderBoundsRow {
    const char* name;
    DWORD type;
    const char* stored;
    unsigned size;
    bool expectedResult;
    const char* expected;
};

constexpr ReaderBoundsRow kReaderBoundsRows[] = {
    {"ExactFit", REG_SZ, "ABCDEFG", 8, true, "ABCDEFG"},
    {"OneTooSmallGivesEmpty", REG_SZ, "ABCDEFGH", 8, false, ""},
    {"ExpandableTextIsText", REG_EXPAND_SZ, "Maker", 8, true, "Maker"},
    {"BinaryIsNoText", REG_BINARY, "Maker", 8, false, ""},
    {"NumberIsNoText", REG_DWORD, "\x01\x02\x03\x04", 8, false, ""},
    {"OneByteBuffer", REG_SZ, "A", 1, false, ""},
};

TEST_F(CurrentMachine, FirmwareAndProcessorNameReadersStayWithinTheirBuffer) {
    for (const ReaderBoundsRow& row : kReaderBoundsRows) {
        SCOPED_TRACE(row.name);
        Describe(Windows::Win10, Process::Native);
        const std::string bytes =
            row.type == REG_DWORD ? std::string(row.stored, 4) : std::string(row.stored) + '\0';
        machine().Raw(kBios, "BIOSVendor", row.type, bytes);
        machine().Raw(sysinfo_test::ProcessorKey(0), "ProcessorNameString", row.type, bytes);
        Bind();
        for (bool firmware : {true, false}) {
            char buffer[16];
            std::memset(buffer, test_support::kFill, sizeof buffer);
            const bool read = firmware ? sysinfo::ReadFirmwareText("BIOSVendor", buffer, row.size)
                                       : sysinfo::ReadProcessorName(1, buffer, row.size);
            EXPECT_EQ(row.expectedResult, read);
            EXPECT_STREQ(row.expected, buffer);
            EXPECT_TRUE(test_support::Untouched(buffer + row.size, sizeof buffer - row.size));
        }
    }
}

TEST_F(CurrentMachine, ProcessorNameOfNoProcessorIsEmpty) {
    Describe(Windows::Win10, Process::Native);
    machine().Sz(sysinfo_test::ProcessorKey(0), "ProcessorNameString", "Named");
    Bind();
    for (long processor : {0L, -1L, LONG_MIN}) {
        char buffer[8];
        std::memset(buffer, test_support::kFill, sizeof buffer);
        EXPECT_FALSE(sysinfo::ReadProcessorName(processor, buffer, sizeof buffer));
        EXPECT_STREQ("", buffer);
    }
}

}  // namespace
