// Disk capacities: one physical disk from its geometry, and the sums over the
// fixed drive letters, on described machines of both families.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/system_function.h"
#include "member_calls.h"
#include "sysinfo/fixed_disks.h"
#include "sysinfo_test_machine.h"

namespace {

using platform::fake::Drive;
using platform::fake::PhysicalDrive;
using sysinfo_test::Family;
using sysinfo_test::MachineTest;
using test_support::kLongSentinel;


PhysicalDrive Disk(LONGLONG cylinders, DWORD tracks, DWORD sectors, DWORD bytes,
                   MEDIA_TYPE media = FixedMedia) {
    PhysicalDrive disk;
    disk.geometry.Cylinders.QuadPart = cylinders;
    disk.geometry.MediaType = media;
    disk.geometry.TracksPerCylinder = tracks;
    disk.geometry.SectorsPerTrack = sectors;
    disk.geometry.BytesPerSector = bytes;
    return disk;
}

Drive FixedDrive(unsigned long long total, unsigned long long free, UINT type = DRIVE_FIXED) {
    Drive drive;
    drive.type = type;
    drive.totalBytes = total;
    drive.freeBytes = free;
    // Clusters of one 512-byte sector, so that the cluster count of the 9x query loses little.
    drive.sectorsPerCluster = 1;
    drive.bytesPerSector = 512;
    return drive;
}

struct DiskCase {
    const char* name;
    LONG disk;
    HRESULT expectedStatus;
    LONG expectedSize;  // kLongSentinel: not written
};

// Disk 0: 8032 MB fixed; disk 1: removable; disk 2: 100 MB fixed; disk 3: 50 MB fixed;
// disk 4 does not answer; disk 5 cannot be opened; no disk 6.
const DiskCase kDiskCases[] = {
    {"FirstFixedDisk", 0, S_OK, 8032},
    {"RemovableDiskFails", 1, E_FAIL, kLongSentinel},
    {"FixedDiskAfterRemovableAndBeforeFixedIsItself", 2, S_OK, 100},
    {"LastFixedDiskOfRun", 3, S_OK, 50},
    {"DiskThatDoesNotAnswerFails", 4, E_FAIL, kLongSentinel},
    {"DiskThatCannotOpenFails", 5, E_FAIL, kLongSentinel},
    {"MissingDiskFails", 6, E_FAIL, kLongSentinel},
    {"MinusOneFails", -1, E_FAIL, kLongSentinel},
    {"MostNegativeFails", LONG_MIN, E_FAIL, kLongSentinel},
    {"LargestFails", LONG_MAX, E_FAIL, kLongSentinel},
};

class FixedDiskSize : public MachineTest, public ::testing::WithParamInterface<DiskCase> {
protected:
    platform::fake::Machine& DescribeDisks() {
        auto& m = Use(Family::Nt);
        m.physicalDrives[0] = Disk(1024, 255, 63, 512);
        m.physicalDrives[1] = Disk(100, 64, 32, 512, RemovableMedia);
        m.physicalDrives[2] = Disk(100, 64, 32, 512);
        m.physicalDrives[3] = Disk(50, 64, 32, 512);
        m.physicalDrives[4] = Disk(50, 64, 32, 512);
        m.physicalDrives[4].answers = false;
        m.physicalDrives[5] = Disk(50, 64, 32, 512);
        m.physicalDrives[5].opens = false;
        return m;
    }
};

TEST_P(FixedDiskSize, ReportsTheDiskAskedFor) {
    const DiskCase& c = GetParam();
    auto& m = DescribeDisks();

    LONG size = kLongSentinel;
    EXPECT_EQ(c.expectedStatus, test_support::FixedDiskSizeInMB(c.disk, &size));
    EXPECT_EQ(c.expectedSize, size);
    ASSERT_EQ(1u, m.OpenedFiles().size());
    EXPECT_EQ("\\\\.\\physicaldrive" + std::to_string(c.disk), m.OpenedFiles()[0]);
    EXPECT_EQ(0, m.OpenHandles());
}

// Reading a physical drive is for administrators; asking its geometry is for everyone.
TEST_P(FixedDiskSize, AnswersTheSameWithoutAdministratorRights) {
    const DiskCase& c = GetParam();
    DescribeDisks().administrator = false;
    LONG size = kLongSentinel;
    EXPECT_EQ(c.expectedStatus, test_support::FixedDiskSizeInMB(c.disk, &size));
    EXPECT_EQ(c.expectedSize, size);
}

INSTANTIATE_TEST_SUITE_P(Cases, FixedDiskSize, ::testing::ValuesIn(kDiskCases),
                         test_support::RowName());

TEST_F(MachineTest, FixedDiskSizeOfFirstOfTwoFixedDisksIsItsOwn) {
    auto& m = Use(Family::Nt);
    m.physicalDrives[0] = Disk(1024, 255, 63, 512);
    m.physicalDrives[1] = Disk(100, 64, 32, 512);
    LONG first = kLongSentinel;
    LONG second = kLongSentinel;
    EXPECT_EQ(S_OK, test_support::FixedDiskSizeInMB(0, &first));
    EXPECT_EQ(S_OK, test_support::FixedDiskSizeInMB(1, &second));
    EXPECT_EQ(8032, first);
    EXPECT_EQ(100, second);
}

struct GeometryCase {
    const char* name;
    LONGLONG cylinders;
    DWORD tracks;
    DWORD sectors;
    DWORD bytes;
    LONG expected;
};

const GeometryCase kGeometryCases[] = {
    {"EightGigabyteDisk", 1024, 255, 63, 512, 8032},
    {"JustBelowOneMegabyteRoundsDown", 1, 1, 2047, 512, 0},
    {"ExactlyOneMegabyte", 1, 1, 2048, 512, 1},
    {"SizeBeyond32BitBytes", 121601, 255, 63, 512, 953867},
    {"MegabytesBeyond31BitsComeOutNegative", 0x100000, 64, 64, 512 * 1024, LONG_MIN},
    {"ZeroCylinders", 0, 255, 63, 512, 0},
};

class FixedDiskGeometry : public MachineTest, public ::testing::WithParamInterface<GeometryCase> {};

TEST_P(FixedDiskGeometry, SizeIsProductShiftedTwentyBits) {
    const GeometryCase& c = GetParam();
    Use(Family::Nt).physicalDrives[0] = Disk(c.cylinders, c.tracks, c.sectors, c.bytes);
    LONG size = kLongSentinel;
    EXPECT_EQ(S_OK, test_support::FixedDiskSizeInMB(0, &size));
    EXPECT_EQ(c.expected, size);
}

INSTANTIATE_TEST_SUITE_P(Cases, FixedDiskGeometry, ::testing::ValuesIn(kGeometryCases),
                         test_support::RowName());

TEST_F(MachineTest, FixedDiskGeometryQueryFillsRecord) {
    auto& m = Use(Family::Nt);
    m.physicalDrives[12] = Disk(7, 8, 9, 512, RemovableMedia);
    DISK_GEOMETRY geometry;
    std::memset(&geometry, 0xCC, sizeof(geometry));
    EXPECT_TRUE(sysinfo::QueryDiskGeometry(12, &geometry));
    EXPECT_EQ(7, geometry.Cylinders.QuadPart);
    EXPECT_EQ(RemovableMedia, geometry.MediaType);
    EXPECT_EQ("\\\\.\\physicaldrive12", m.OpenedFiles().back());

    std::memset(&geometry, 0xCC, sizeof(geometry));
    EXPECT_FALSE(sysinfo::QueryDiskGeometry(13, &geometry));
    EXPECT_EQ(static_cast<LONGLONG>(0xCCCCCCCCCCCCCCCCull), geometry.Cylinders.QuadPart);
}

TEST_F(MachineTest, FixedDiskSizeOnWin9xFailsForEveryDisk) {
    Use(Family::Win9x);
    for (LONG disk : {0L, 1L, -1L}) {
        LONG size = kLongSentinel;
        EXPECT_EQ(E_FAIL, test_support::FixedDiskSizeInMB(disk, &size));
        EXPECT_EQ(kLongSentinel, size);
    }
}

TEST_F(MachineTest, FixedDiskNullOutPointers) {
    auto& m = Use(Family::Nt);
    m.physicalDrives[0] = Disk(1024, 255, 63, 512);
    m.drives['C'] = FixedDrive(10 << 20, 5 << 20);
    m.ResetCounts();
    EXPECT_EQ(E_POINTER, test_support::FixedDiskSizeInMB(0, nullptr));
    EXPECT_EQ(E_POINTER, test_support::FixedDisksSizeInMB(nullptr));
    EXPECT_EQ(E_POINTER, test_support::FixedDisksFreeSpaceInMB(nullptr));
    EXPECT_EQ(0, m.Calls("CreateFileA") + m.Calls("GetLogicalDrives") + m.Calls("GetDriveTypeA"));
}

struct SumCase {
    const char* name;
    std::vector<std::pair<char, Drive>> drives;
    LONG expectedTotal;
    LONG expectedFree;
};

Drive FailingDrive(unsigned long long total) {
    Drive drive = FixedDrive(total, total);
    drive.spaceQuerySucceeds = false;
    return drive;
}

const SumCase kSumCases[] = {
    {"NoDrivesAtAll", {}, 0, 0},
    {"OnlyNonFixedDrives",
     {{'A', FixedDrive(1440 << 10, 1440 << 10, DRIVE_REMOVABLE)},
      {'D', FixedDrive(650 << 20, 0, DRIVE_CDROM)},
      {'N', FixedDrive(1ull << 40, 1ull << 39, DRIVE_REMOTE)},
      {'R', FixedDrive(64 << 20, 64 << 20, DRIVE_RAMDISK)},
      {'U', FixedDrive(64 << 20, 64 << 20, DRIVE_UNKNOWN)}},
     0,
     0},
    {"ThreeDrivesOfOneAndAHalfMegabytes",
     {{'C', FixedDrive(1572864, 1572864)},
      {'D', FixedDrive(1572864, 1572864)},
      {'E', FixedDrive(1572864, 1572864)}},
     4,
     4},
    {"EachDriveRoundedDownToKilobytes",
     {{'C', FixedDrive(1048575, 1048575)}, {'D', FixedDrive(1023, 1023)}},
     0,
     0},
    {"KilobytesAddUpToMegabyte",
     {{'C', FixedDrive(1048575, 1048575)}, {'D', FixedDrive(1024, 1024)}},
     1,
     1},
    {"FailingDriveLeftOut",
     {{'C', FixedDrive(2 << 20, 1 << 20)},
      {'D', FailingDrive(10 << 20)},
      {'E', FixedDrive(3 << 20, 2 << 20)}},
     5,
     3},
    {"FixedAmongOthers",
     {{'A', FixedDrive(1440 << 10, 1440 << 10, DRIVE_REMOVABLE)},
      {'C', FixedDrive(8032ull << 20, 4000ull << 20)},
      {'D', FixedDrive(650 << 20, 0, DRIVE_CDROM)},
      {'Z', FixedDrive(100 << 20, 10 << 20)}},
     8132,
     4010},
    {"EveryLetterAFixedDrive",
     [] {
         std::vector<std::pair<char, Drive>> drives;
         for (char letter = 'A'; letter <= 'Z'; ++letter)
             drives.emplace_back(letter, FixedDrive(3 << 20, 1 << 20));
         return drives;
     }(),
     78,
     26},
    {"TotalsBeyondFourGigabytes",
     {{'C', FixedDrive(300ull << 30, 200ull << 30)}, {'D', FixedDrive(500ull << 30, 1ull << 30)}},
     800 * 1024,
     201 * 1024},
};

class FixedDiskSums
    : public MachineTest,
      public ::testing::WithParamInterface<std::tuple<SumCase, Family, WORD>> {};

TEST_P(FixedDiskSums, SumFixedDriveLettersInMegabytes) {
    const SumCase& c = std::get<0>(GetParam());
    auto& m = Use(std::get<1>(GetParam()));
    m.version.dwBuildNumber = MAKELONG(std::get<2>(GetParam()), 0x040A);
    for (const auto& entry : c.drives) m.drives[entry.first] = entry.second;

    LONG total = kLongSentinel;
    LONG free = kLongSentinel;
    EXPECT_EQ(S_OK, test_support::FixedDisksSizeInMB(&total));
    EXPECT_EQ(S_OK, test_support::FixedDisksFreeSpaceInMB(&free));
    EXPECT_EQ(c.expectedTotal, total);
    EXPECT_EQ(c.expectedFree, free);
    // One mask per sum, then only the letters it names are asked their type.
    EXPECT_EQ(2, m.Calls("GetLogicalDrives"));
    EXPECT_EQ(2 * static_cast<int>(c.drives.size()), m.Calls("GetDriveTypeA"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FixedDiskSums,
    ::testing::Combine(::testing::ValuesIn(kSumCases),
                       ::testing::Values(Family::Nt, Family::Win9x),
                       ::testing::Values(WORD{950}, WORD{1111})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               sysinfo_test::FamilyName(std::get<1>(info.param)) + "Build" +
               std::to_string(std::get<2>(info.param));
    });

struct QueryCase {
    const char* name;
    Family family;
    DWORD build;
    bool usesClusters;
};

const QueryCase kQueryCases[] = {
    {"Win9xBuild950UsesClusters", Family::Win9x, 0x040003B6, true},
    {"Win9xBuild1000UsesClusters", Family::Win9x, 1000, true},
    {"Win9xBuild1001LooksUpEx", Family::Win9x, 1001, false},
    {"Win9xBuild1111LooksUpEx", Family::Win9x, 0x04000457, false},
    {"Win9xHighWordIgnored", Family::Win9x, 0x7FFF03E8, true},
    {"NtLooksUpEx", Family::Nt, 950, false},
    {"NtBuild2600LooksUpEx", Family::Nt, 2600, false},
};

class FixedDiskSpaceQuery : public MachineTest, public ::testing::WithParamInterface<QueryCase> {};

TEST_P(FixedDiskSpaceQuery, ChoosesByFamilyAndBuild) {
    const QueryCase& c = GetParam();
    auto& m = Use(c.family);
    m.version.dwBuildNumber = c.build;
    Drive drive = FixedDrive(40ull << 20, 12ull << 20);
    m.drives['C'] = drive;

    ULONGLONG freeBytes = 0xDEADBEEF;
    ULONGLONG totalBytes = 0xDEADBEEF;
    EXPECT_TRUE(sysinfo::QueryDriveSpace("C:\\", &freeBytes, &totalBytes));
    EXPECT_EQ(40ull << 20, totalBytes);
    EXPECT_EQ(12ull << 20, freeBytes);
    EXPECT_EQ(c.usesClusters ? 1 : 0, m.Calls("GetDiskFreeSpaceA"));
    EXPECT_EQ(c.usesClusters ? 0 : 1, m.Calls("LoadLibraryA"));
    EXPECT_EQ(c.usesClusters ? 0 : 1, m.Calls("GetDiskFreeSpaceExA"));
    EXPECT_EQ(1, m.Calls("GetVersionExA"));
    // The library stays loaded until the looked-up functions are forgotten, as at unload.
    platform::ForgetSystemFunctions(true);
    EXPECT_EQ(m.Calls("LoadLibraryA"), m.Calls("FreeLibrary"));
}

INSTANTIATE_TEST_SUITE_P(Cases, FixedDiskSpaceQuery, ::testing::ValuesIn(kQueryCases),
                         test_support::RowName());

TEST_F(MachineTest, FixedDiskSpaceQueryByClustersMultipliesIn64Bits) {
    auto& m = Use(Family::Win9x);
    m.version.dwBuildNumber = 950;
    Drive drive = FixedDrive(2000ull << 20, 1500ull << 20);
    drive.sectorsPerCluster = 64;
    drive.bytesPerSector = 512;
    m.drives['C'] = drive;
    ULONGLONG freeBytes = 0;
    ULONGLONG totalBytes = 0;
    EXPECT_TRUE(sysinfo::QueryDriveSpace("C:\\", &freeBytes, &totalBytes));
    EXPECT_EQ(2000ull << 20, totalBytes);
    EXPECT_EQ(1500ull << 20, freeBytes);
}

TEST_F(MachineTest, FixedDiskSpaceQueryRefusesNoRoot) {
    auto& m = Use(Family::Nt);
    m.drives['C'] = FixedDrive(40 << 20, 12 << 20);
    ULONGLONG freeBytes = 0xDEADBEEF;
    ULONGLONG totalBytes = 0xDEADBEEF;
    EXPECT_FALSE(sysinfo::QueryDriveSpace(nullptr, &freeBytes, &totalBytes));
    EXPECT_FALSE(sysinfo::QueryDriveSpace("", &freeBytes, &totalBytes));
    EXPECT_EQ(0xDEADBEEFull, freeBytes);
    EXPECT_EQ(0xDEADBEEFull, totalBytes);
    EXPECT_EQ(0, m.Calls("GetVersionExA"));
}

struct MissingExCase {
    const char* name;
    Family family;
    bool kernel32Loads;
    bool hasEx;
};

const MissingExCase kMissingExCases[] = {
    {"Win9xBuild1111WithoutEx", Family::Win9x, true, false},
    {"Win9xBuild1111Kernel32DoesNotLoad", Family::Win9x, false, true},
    {"NtWithoutEx", Family::Nt, true, false},
    {"NtKernel32DoesNotLoad", Family::Nt, false, true},
};

class FixedDiskSpaceWithoutEx : public MachineTest,
                                public ::testing::WithParamInterface<MissingExCase> {};

TEST_P(FixedDiskSpaceWithoutEx, EveryDriveCountsAsFailed) {
    const MissingExCase& c = GetParam();
    auto& m = Use(c.family);
    m.version.dwBuildNumber = 1111;
    m.kernel32Loads = c.kernel32Loads;
    m.hasGetDiskFreeSpaceEx = c.hasEx;
    m.drives['C'] = FixedDrive(40 << 20, 12 << 20);

    // Asked below the object, whose memory records look up functions of their own.
    EXPECT_EQ(0, sysinfo::FixedDisksSizeInMB());
    EXPECT_EQ(0, sysinfo::FixedDisksFreeSpaceInMB());
    EXPECT_EQ(0, m.Calls("GetDiskFreeSpaceA"));
    // Looked up once for both queries; a library without the function is freed at once.
    EXPECT_EQ(1, m.Calls("LoadLibraryA"));
    EXPECT_EQ(c.kernel32Loads ? 1 : 0, m.Calls("FreeLibrary"));
}

INSTANTIATE_TEST_SUITE_P(Cases, FixedDiskSpaceWithoutEx, ::testing::ValuesIn(kMissingExCases),
                         test_support::RowName());

}  // namespace
