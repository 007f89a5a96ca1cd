// The paths the system builds in buffers of its own: the module directory
// (260), the speed driver's device path (260) and a physical disk's device
// name. Each is given a length that exactly fits and one character more: the
// first reaches the system whole, the second is refused rather than cut, and
// the caller's records between sentinels get only their own bytes.
#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <climits>
#include <cstring>
#include <string>

#include "sysinfo/fixed_disks.h"
#include "sysinfo/platform_family.h"
#include "sysinfo/module_directory.h"
#include "sysinfo/speed_driver.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;
using test_support::kLongSentinel;


std::string Chars(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

class CanaryPathTest : public ::testing::Test {
protected:
    void SetUp() override { Forget(); }
    void TearDown() override { Forget(); }
    static void Forget() {
        sysinfo::ForgetPlatformRecord();
        sysinfo::ForgetModuleDirectory();
    }
};

// "C:\" and a directory name, then "\DeZIVero.DLL" (13 characters).
std::string DirectoryOfLength(size_t length) { return "C:\\" + Chars(length - 3); }

TEST_F(CanaryPathTest, ModuleNameOf259FitsAndOf260IsUnavailable) {
    for (bool terminatedWhenCut : {false, true}) {
        for (size_t nameLength : {size_t{259}, size_t{260}}) {
            auto machine = Machine::Win9x();
            const std::string directory = DirectoryOfLength(nameLength - 13);
            machine->modulePath = directory + "\\DeZIVero.DLL";
            machine->moduleNameTerminatedWhenTruncated = terminatedWhenCut;
            Scope scope(*machine);
            sysinfo::ForgetModuleDirectory();
            const char* answer = sysinfo::ModuleDirectory();
            EXPECT_LT(std::strlen(answer), size_t{MAX_PATH});
            EXPECT_EQ(nameLength == 259 ? directory : std::string(), answer)
                << nameLength << " " << terminatedWhenCut;
        }
    }
}

// "\\.\" (4), the directory and "\Rurovezo.zuv" (13): a directory of 242
// characters makes a path of exactly 259.
TEST_F(CanaryPathTest, SpeedDriverPathOf259IsOpenedAndOf260IsNot) {
    for (size_t directoryLength : {size_t{242}, size_t{243}}) {
        auto machine = Machine::Win9x();
        const std::string directory = DirectoryOfLength(directoryLength);
        const std::string path = "\\\\.\\" + directory + "\\Rurovezo.zuv";
        machine->modulePath = directory + "\\DeZIVero.DLL";
        machine->speedDrivers[path] = 433;
        Scope scope(*machine);
        sysinfo::ForgetModuleDirectory();
        machine->ResetCounts();

        struct {
            LONG before = kLongSentinel;
            LONG value = kLongSentinel;
            LONG after = kLongSentinel;
        } guarded;
        const bool ok = sysinfo::QuerySpeedDriver(&guarded.value);
        EXPECT_EQ(kLongSentinel, guarded.before);
        EXPECT_EQ(kLongSentinel, guarded.after);
        if (directoryLength == 242) {
            EXPECT_EQ(259u, path.size());
            EXPECT_EQ(1, ok);
            EXPECT_EQ(433, guarded.value);
            ASSERT_EQ(1u, machine->OpenedFiles().size());
            EXPECT_EQ(path, machine->OpenedFiles().front());
        } else {
            EXPECT_EQ(0, ok);
            EXPECT_EQ(0, guarded.value);
            EXPECT_TRUE(machine->OpenedFiles().empty());
        }
        EXPECT_EQ(0, machine->OpenHandles());
    }
}

// The longest disk number, INT_MIN, still names its own drive; the geometry
// record between sentinels receives exactly its own bytes.
TEST_F(CanaryPathTest, DiskNameOfEveryNumberIsWhole) {
    for (LONG disk : {LONG{INT_MIN}, LONG{-1}, LONG{0}, LONG{9}, LONG{INT_MAX}}) {
        auto machine = Machine::Nt();
        machine->physicalDrives[static_cast<int>(disk)].geometry.MediaType = FixedMedia;
        machine->physicalDrives[static_cast<int>(disk)].geometry.BytesPerSector = 512;
        Scope scope(*machine);
        struct {
            unsigned char before[16];
            DISK_GEOMETRY geometry;
            unsigned char after[16];
        } guarded;
        std::memset(&guarded, 0xCC, sizeof guarded);
        EXPECT_TRUE(sysinfo::QueryDiskGeometry(disk, &guarded.geometry)) << disk;
        EXPECT_EQ(512u, guarded.geometry.BytesPerSector);
        for (unsigned char byte : guarded.before) EXPECT_EQ(0xCC, byte);
        for (unsigned char byte : guarded.after) EXPECT_EQ(0xCC, byte);
        ASSERT_EQ(1u, machine->OpenedFiles().size());
        EXPECT_EQ("\\\\.\\physicaldrive" + std::to_string(disk), machine->OpenedFiles().front());
        EXPECT_EQ(0, machine->OpenHandles());
    }
}

}  // namespace
