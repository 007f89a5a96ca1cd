// IDeZiVero2's members that rest on the memory status and on the NT family's
// current-version and processor keys, one table per member: each source in
// turn, its fallback, and the empty answer. Values are those real systems
// hold (Windows 11 23H2: build 22631 with UBR 4460, DisplayVersion "23H2";
// Windows 10 1909: ReleaseId "1909" and no DisplayVersion).
#include <gtest/gtest.h>

#include <climits>

#include "object/co_dezivero.h"
#include "sysinfo/memory_in_mb.h"
#include "sysinfo/os_release.h"
#include "sysinfo/platform_family.h"
#include "test_support.h"
#include "tests/fake_machine/fake_machine.h"

namespace {

using platform::fake::Machine;
using sysinfo::MemoryFigure;
using Describe = std::unique_ptr<Machine> (*)();

constexpr char kNtCurrentVersion[] = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
// Where the fake keeps the other registry view: a 32-bit process's native view under WOW64.
constexpr char kNativeViewOfWow64[] =
    "HKLM\\Wow6432Node\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr unsigned long long kMB = 1ull << 20;

// ---- Memory in megabytes --------------------------------------------------

struct MemoryRow {
    const char* name;
    Describe describe;
    bool exSucceeds;
    bool recordTaken;                  // the older record's length is set
    unsigned long long ex[4];          // GlobalMemoryStatusEx: total, avail phys, total, avail page file
    SIZE_T record[4];                  // GlobalMemoryStatus, the same four
    LONG expected[4];
};

const MemoryRow kMemoryRows[] = {
    {"Windows10AnswersTheExtendedRecordAboveFourGigabytes", &Machine::Win10, true, true,
     {32 * 1024 * kMB, 20 * 1024 * kMB, 40 * 1024 * kMB, 25 * 1024 * kMB},
     {2047 * kMB, 2047 * kMB, 2047 * kMB, 2047 * kMB},
     {32768, 20480, 40960, 25600}},
    {"AFailingExtendedRecordFallsToTheOlderOne", &Machine::Win2000, false, true,
     {512 * kMB, 256 * kMB, 1024 * kMB, 768 * kMB},
     {256 * kMB, 100 * kMB, 600 * kMB, 400 * kMB},
     {256, 100, 600, 400}},
    {"Nt4AnswersTheOlderRecord", &Machine::Nt4, true, true, {}, {64 * kMB, 12 * kMB, 160 * kMB, 90 * kMB},
     {64, 12, 160, 90}},
    {"Windows98AnswersTheOlderRecord", &Machine::Win9x, true, true, {},
     {128 * kMB, 40 * kMB, 300 * kMB, 250 * kMB}, {128, 40, 300, 250}},
    {"PartMegabytesRoundDown", &Machine::Nt4, true, true, {},
     {64 * kMB + kMB - 1, kMB - 1, 0, 1}, {64, 0, 0, 0}},
    {"MoreMegabytesThanALongHoldsSaturate", &Machine::Win11, true, true,
     {~0ull, 1ull << 52, 1ull << 51, (1ull << 51) - kMB},
     {}, {LONG_MAX, LONG_MAX, 0x7FFFFFFF, 0x7FFFFFFF}},
    {"NoRecordAtAllIsMinusOne", &Machine::Nt4, true, false, {}, {}, {-1, -1, -1, -1}},
};

constexpr MemoryFigure kFigures[] = {MemoryFigure::TotalPhys, MemoryFigure::AvailPhys,
                                     MemoryFigure::TotalPageFile, MemoryFigure::AvailPageFile};

TEST(MemoryInMB, EachFigureFromTheNewestRecordTheSystemGives) {
    for (const MemoryRow& row : kMemoryRows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<Machine> m = row.describe();
        m->memoryExSucceeds = row.exSucceeds;
        m->memoryEx.ullTotalPhys = row.ex[0];
        m->memoryEx.ullAvailPhys = row.ex[1];
        m->memoryEx.ullTotalPageFile = row.ex[2];
        m->memoryEx.ullAvailPageFile = row.ex[3];
        m->memory.dwLength = row.recordTaken ? sizeof(MEMORYSTATUS) : 0;
        m->memory.dwTotalPhys = row.record[0];
        m->memory.dwAvailPhys = row.record[1];
        m->memory.dwTotalPageFile = row.record[2];
        m->memory.dwAvailPageFile = row.record[3];
        platform::fake::Scope scope(*m);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(row.expected[i], sysinfo::MemoryInMB(kFigures[i])) << i;
    }
}

// Asked at the call: memory freed between two calls shows in the second.
TEST(MemoryInMB, IsAskedAtEveryCall) {
    std::unique_ptr<Machine> m = Machine::Win10();
    m->memoryEx.ullAvailPhys = 100 * kMB;
    platform::fake::Scope scope(*m);
    EXPECT_EQ(100, sysinfo::MemoryInMB(MemoryFigure::AvailPhys));
    m->memoryEx.ullAvailPhys = 300 * kMB;
    EXPECT_EQ(300, sysinfo::MemoryInMB(MemoryFigure::AvailPhys));
}

// ---- The release texts -----------------------------------------------------

struct ReleaseValue {
    const char* name;
    DWORD type;  // REG_SZ or REG_DWORD
    const char* text;
    DWORD number;
};

constexpr ReleaseValue Text(const char* name, const char* text) { return {name, REG_SZ, text, 0}; }
constexpr ReleaseValue Number(const char* name, DWORD number) {
    return {name, REG_DWORD, nullptr, number};
}

struct ReleaseRow {
    const char* name;
    Describe describe;
    bool wow64;
    ReleaseValue values[3];  // in kNtCurrentVersion (under WOW64: the 32-bit copy)
    ReleaseValue native[2];  // the native view under WOW64
    const char* expected;
};

std::string Answer(const ReleaseRow& row, bool (*read)(char*, unsigned) noexcept) {
    std::unique_ptr<Machine> m = row.describe();
    m->wow64 = row.wow64;
    m->Key(kNtCurrentVersion);
    for (const ReleaseValue& v : row.values) {
        if (!v.name) continue;
        if (v.type == REG_DWORD) m->Dword(kNtCurrentVersion, v.name, v.number);
        else m->Sz(kNtCurrentVersion, v.name, v.text);
    }
    for (const ReleaseValue& v : row.native) {
        if (!v.name) continue;
        if (v.type == REG_DWORD) m->Dword(kNativeViewOfWow64, v.name, v.number);
        else m->Sz(kNativeViewOfWow64, v.name, v.text);
    }
    platform::fake::Scope scope(*m);
    sysinfo::ForgetPlatformRecord();
    char text[64];
    std::memset(text, test_support::kFill, sizeof text);
    const bool read_ = read(text, sizeof text);
    sysinfo::ForgetPlatformRecord();
    EXPECT_EQ(0, m->OpenKeys());
    EXPECT_EQ(read_, text[0] != '\0');
    return text;
}

const ReleaseRow kBuildRows[] = {
    {"Windows11BuildWithItsRevision", &Machine::Win11, false,
     {Text("CurrentBuildNumber", "22631"), Number("UBR", 4460)}, {}, "22631.4460"},
    {"Windows7HasNoRevision", &Machine::Win7, false, {Text("CurrentBuildNumber", "7601")}, {},
     "7601"},
    {"ARevisionOfAnotherTypeIsLeftOut", &Machine::Win10, false,
     {Text("CurrentBuildNumber", "19045"), Text("UBR", "3803")}, {}, "19045"},
    {"Wow64ReadsTheNativeViewWhichFeatureUpdatesKeepCurrent", &Machine::Win11, true,
     {Text("CurrentBuildNumber", "19041"), Number("UBR", 1)},
     {Text("CurrentBuildNumber", "22631"), Number("UBR", 4460)}, "22631.4460"},
    {"Nt4WithoutTheValueAnswersTheVersionRecordsBuild", &Machine::Nt4, false, {}, {}, "1381"},
    {"Windows98AnswersTheLowWordOfTheRecordsBuildNotAnNtKeyShownBesideIt", &Machine::Win9x, false,
     {Text("CurrentBuildNumber", "7601"), Number("UBR", 1)}, {}, "2222"},
};

const ReleaseRow kDisplayVersionRows[] = {
    {"Windows11DisplayVersionBeforeReleaseId", &Machine::Win11, false,
     {Text("DisplayVersion", "23H2"), Text("ReleaseId", "2009")}, {}, "23H2"},
    {"Windows10Release1909HasOnlyReleaseId", &Machine::Win10, false, {Text("ReleaseId", "1909")},
     {}, "1909"},
    {"AnEmptyDisplayVersionCountsAsMissing", &Machine::Win10, false,
     {Text("DisplayVersion", ""), Text("ReleaseId", "2004")}, {}, "2004"},
    {"Wow64ReadsTheNativeView", &Machine::Win10, true, {Text("ReleaseId", "1809")},
     {Text("DisplayVersion", "22H2")}, "22H2"},
    {"Windows7HasNeither", &Machine::Win7, false, {Text("CurrentVersion", "6.1")}, {}, ""},
    {"Windows98ReadsNoNtKey", &Machine::Win9x, false, {Text("DisplayVersion", "23H2")}, {}, ""},
};

const ReleaseRow kEditionRows[] = {
    {"Windows11Professional", &Machine::Win11, false, {Text("EditionID", "Professional")}, {},
     "Professional"},
    {"Windows7Enterprise", &Machine::Win7, false, {Text("EditionID", "Enterprise")}, {},
     "Enterprise"},
    {"XpHasNone", &Machine::Xp, false, {Text("ProductName", "Microsoft Windows XP")}, {}, ""},
    {"Windows98ReadsNoNtKey", &Machine::Win9x, false, {Text("EditionID", "Professional")}, {},
     ""},
};

template <size_t N>
void RunRelease(const ReleaseRow (&rows)[N], bool (*read)(char*, unsigned) noexcept) {
    for (const ReleaseRow& row : rows) {
        // A 64-bit process never runs under WOW64: its one view is the native one.
        if (row.wow64 && sizeof(void*) == 8) continue;
        SCOPED_TRACE(row.name);
        EXPECT_EQ(std::string(row.expected), Answer(row, read));
    }
}

TEST(OSBuild, TheKeysBuildAndRevisionElseTheVersionRecords) { RunRelease(kBuildRows, sysinfo::ReadOSBuild); }

TEST(OSDisplayVersion, DisplayVersionElseReleaseIdElseEmpty) {
    RunRelease(kDisplayVersionRows, sysinfo::ReadOSDisplayVersion);
}

TEST(OSEdition, EditionIdElseEmpty) { RunRelease(kEditionRows, sysinfo::ReadOSEdition); }

// ---- ProcessorName, through the object -------------------------------------

constexpr char kProcessor0[] = "HKLM\\Hardware\\Description\\System\\CentralProcessor\\0";
constexpr char kProcessor1[] = "HKLM\\Hardware\\Description\\System\\CentralProcessor\\1";

struct NameRow {
    const char* name;
    LONG processor;
    const char* expected;
};

// Processor 1's key is CentralProcessor\0, as for ProcessorId.
constexpr NameRow kNameRows[] = {
    {"LeadingBlanksAreRemoved", 1, "Intel(R) Core(TM) i9-10900K CPU @ 3.70GHz"},
    {"TheSecondProcessorsKey", 2, "AMD Ryzen 7 5800X 8-Core Processor"},
    {"NoThirdProcessor", 3, ""},
    {"NumberZeroIsNoProcessor", 0, ""},
    {"ANegativeNumberIsNoProcessor", -1, ""},
};

TEST(ProcessorName, TheNameOfTheProcessorsKeyWithoutLeadingBlanks) {
    std::unique_ptr<Machine> m = Machine::Win10();
    m->Sz(kProcessor0, "ProcessorNameString", "        Intel(R) Core(TM) i9-10900K CPU @ 3.70GHz");
    m->Sz(kProcessor1, "ProcessorNameString", "AMD Ryzen 7 5800X 8-Core Processor");
    platform::fake::Scope scope(*m);
    object::CoDeZiVero object(nullptr);
    for (const NameRow& row : kNameRows) {
        SCOPED_TRACE(row.name);
        test_support::Bstr answer;
        ASSERT_EQ(S_OK, object.ProcessorName(row.processor, answer.Out()));
        ASSERT_NE(nullptr, answer.Get());
        EXPECT_EQ(std::string(row.expected), test_support::Narrow(answer.Get()));
    }
}

}  // namespace
