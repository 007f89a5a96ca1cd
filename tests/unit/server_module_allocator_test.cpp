// The module allocator: when a machine gets a set of heaps, how many, and
// how blocks name their heap and take the heaps in turn.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "server/module_allocator.h"
#include "tests/fake_machine/fake_machine.h"
#include "test_support.h"

namespace {

using platform::fake::Machine;
using platform::fake::Scope;

struct CountRow {
    const char* name;
    DWORD platformId;
    DWORD major;
    DWORD processors;
    DWORD heaps;
};

const CountRow kCountRows[] = {
    {"NineXOneProcessorOneHeap", 1, 4, 1, 0},
    {"NineXTwoProcessorsFourHeaps", 1, 4, 2, 4},
    {"NineXThreeProcessorsFourHeaps", 1, 4, 3, 4},
    {"NineXFourProcessorsEightHeaps", 1, 4, 4, 8},
    {"NineXSevenProcessorsEightHeaps", 1, 4, 7, 8},
    {"NineXEightProcessorsSixteenHeaps", 1, 4, 8, 16},
    {"NineXFifteenProcessorsSixteenHeaps", 1, 4, 15, 16},
    {"NineXSixteenProcessorsThirtyTwoHeaps", 1, 4, 16, 32},
    {"NineXNoProcessorCountOneHeap", 1, 4, 0, 0},
    {"NtFourTwoProcessorsFourHeaps", 2, 4, 2, 4},
    {"NtThreeEightProcessorsSixteenHeaps", 2, 3, 8, 16},
    {"NtFourOneProcessorOneHeap", 2, 4, 1, 0},
    {"NtFiveTwoProcessorsOneHeap", 2, 5, 2, 0},
    {"NtFiveEightProcessorsOneHeap", 2, 5, 8, 0},
    {"NtSixEightProcessorsOneHeap", 2, 6, 8, 0},
    {"OtherPlatformCountsLikeNineX", 0, 3, 2, 4},
    {"NineXReportingMajorFiveStillGetsHeaps", 1, 5, 2, 4},
};

class HeapSetCountTest : public testing::TestWithParam<CountRow> {};

TEST_P(HeapSetCountTest, LargestPowerOfTwoNotAboveTwiceTheProcessors) {
    const CountRow& row = GetParam();
    EXPECT_EQ(server::HeapSetCount(row.platformId, row.major, row.processors), row.heaps);
}

INSTANTIATE_TEST_SUITE_P(Machines, HeapSetCountTest, testing::ValuesIn(kCountRows),
                         test_support::RowName());

struct MachineRow {
    const char* name;
    bool nineX;
    DWORD major;
    DWORD processors;
    DWORD heaps;
};

const MachineRow kMachineRows[] = {
    {"NineXOneProcessor", true, 4, 1, 0},
    {"NineXTwoProcessors", true, 4, 2, 4},
    {"NineXThreeProcessors", true, 4, 3, 4},
    {"NineXEightProcessors", true, 4, 8, 16},
    {"NtFourTwoProcessors", false, 4, 2, 4},
    {"NtFourOneProcessor", false, 4, 1, 0},
    {"NtFiveTwoProcessors", false, 5, 2, 0},
    {"NtFiveEightProcessors", false, 5, 8, 0},
};

std::unique_ptr<Machine> MakeMachine(const MachineRow& row) {
    std::unique_ptr<Machine> machine = row.nineX ? Machine::Win9x() : Machine::Nt();
    machine->version.dwMajorVersion = row.major;
    machine->systemInfo.dwNumberOfProcessors = row.processors;
    return machine;
}

class HeapSetMachineTest : public testing::TestWithParam<MachineRow> {};

TEST_P(HeapSetMachineTest, DecisionReadsTheMachine) {
    const MachineRow& row = GetParam();
    auto machine = MakeMachine(row);
    Scope scope(*machine);
    EXPECT_EQ(server::HeapSetCountForThisMachine(), row.heaps);
    EXPECT_EQ(machine->Calls("GetVersionExA"), 1);
    EXPECT_EQ(machine->Calls("GetSystemInfo"), 1);
}

TEST_P(HeapSetMachineTest, StartBuildsThatManyHeaps) {
    const MachineRow& row = GetParam();
    auto machine = MakeMachine(row);
    Scope scope(*machine);
    server::ModuleAllocator allocator;
    ASSERT_TRUE(allocator.Start());
    ASSERT_NE(allocator.BaseHeap(), nullptr);
    if (row.heaps == 0) {
        EXPECT_EQ(allocator.HeapMask(), 0u);
        EXPECT_EQ(allocator.HeapAt(0), nullptr);
    } else {
        EXPECT_EQ(allocator.HeapMask(), row.heaps - 1);
        for (DWORD i = 0; i < row.heaps; ++i) {
            EXPECT_NE(allocator.HeapAt(i), nullptr) << i;
            EXPECT_NE(allocator.HeapAt(i), allocator.BaseHeap()) << i;
            for (DWORD j = 0; j < i; ++j) EXPECT_NE(allocator.HeapAt(i), allocator.HeapAt(j)) << i << " " << j;
        }
    }
    allocator.Stop();
    EXPECT_EQ(allocator.BaseHeap(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Machines, HeapSetMachineTest, testing::ValuesIn(kMachineRows),
                         test_support::RowName());

TEST(HeapSetMachine, FailedVersionQueryGivesOneHeap) {
    auto machine = Machine::Win9x();
    machine->systemInfo.dwNumberOfProcessors = 4;
    machine->versionSucceeds = false;
    Scope scope(*machine);
    EXPECT_EQ(server::HeapSetCountForThisMachine(), 0u);
}

HANDLE HeaderHeap(void* block) { return static_cast<HANDLE*>(block)[-2]; }

// A two-processor 9x machine: four heaps, taken in turn.
class TwoProcessorNineX : public testing::Test {
protected:
    void SetUp() override {
        machine_ = Machine::Win9x();
        machine_->systemInfo.dwNumberOfProcessors = 2;
        scope_ = std::make_unique<Scope>(*machine_);
        ASSERT_TRUE(allocator_.Start());
        ASSERT_EQ(allocator_.HeapMask(), 3u);
    }
    void TearDown() override { allocator_.Stop(); }

    std::unique_ptr<Machine> machine_;
    std::unique_ptr<Scope> scope_;
    server::ModuleAllocator allocator_;
};

TEST_F(TwoProcessorNineX, BlocksTakeTheFourHeapsInTurn) {
    void* blocks[9] = {};
    for (int i = 0; i < 9; ++i) {
        blocks[i] = allocator_.Allocate(24);
        ASSERT_NE(blocks[i], nullptr) << i;
        EXPECT_EQ(HeaderHeap(blocks[i]), allocator_.HeapAt(static_cast<DWORD>(i))) << i;
    }
    EXPECT_EQ(HeaderHeap(blocks[4]), HeaderHeap(blocks[0]));
    EXPECT_EQ(HeaderHeap(blocks[8]), HeaderHeap(blocks[0]));
    EXPECT_NE(HeaderHeap(blocks[1]), HeaderHeap(blocks[0]));
    for (void* block : blocks) allocator_.Free(block);
}

// Two pointer-sized words: 8 bytes on 32-bit Windows, 16 on 64-bit Windows.
TEST_F(TwoProcessorNineX, HeaderIsTwoPointerWordsNamingTheHeap) {
    constexpr size_t kExpected = sizeof(void*) == 8 ? 16 : 8;
    void* block = allocator_.Allocate(16);
    ASSERT_NE(block, nullptr);
    void* header = static_cast<char*>(block) - server::kHeapHeaderSize;
    EXPECT_EQ(server::kHeapHeaderSize, kExpected);
    EXPECT_TRUE(HeapValidate(HeaderHeap(block), 0, header));
    EXPECT_GE(HeapSize(HeaderHeap(block), 0, header), 16u + kExpected);
    std::memset(block, 0xCC, 16);  // the whole block is the caller's
    allocator_.Free(block);
}

// What the caller gets keeps the heap's own alignment (16 bytes on 64-bit
// Windows), for every size, also after reallocation.
TEST_F(TwoProcessorNineX, BlocksKeepTheHeapsAlignment) {
    constexpr size_t kSizes[] = {1, 7, 8, 15, 16, 17, 24, 100, 4096};
    for (size_t size : kSizes) {
        void* block = allocator_.Allocate(size);
        ASSERT_NE(block, nullptr) << size;
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(block) % MEMORY_ALLOCATION_ALIGNMENT, 0u) << size;
        void* grown = allocator_.Reallocate(block, size * 3);
        ASSERT_NE(grown, nullptr) << size;
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(grown) % MEMORY_ALLOCATION_ALIGNMENT, 0u) << size;
        allocator_.Free(grown);
    }
}

TEST_F(TwoProcessorNineX, ReallocationStaysInTheBlocksHeapAndKeepsItsBytes) {
    void* first = allocator_.Allocate(8);
    void* block = allocator_.Allocate(8);
    ASSERT_NE(block, nullptr);
    HANDLE heap = HeaderHeap(block);
    std::memset(block, 0x5A, 8);
    void* grown = allocator_.Reallocate(block, 4096);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(HeaderHeap(grown), heap);
    const unsigned char* bytes = static_cast<unsigned char*>(grown);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(bytes[i], 0x5A) << i;
    allocator_.Free(grown);
    allocator_.Free(first);
}

TEST_F(TwoProcessorNineX, ReallocatingNothingAllocatesFromTheNextHeap) {
    void* block = allocator_.Reallocate(nullptr, 32);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(HeaderHeap(block), allocator_.HeapAt(0));
    allocator_.Free(block);
}

TEST_F(TwoProcessorNineX, SizeThatOverflowsWithTheHeaderFails) {
    EXPECT_EQ(allocator_.Allocate(SIZE_MAX - 4), nullptr);
    void* block = allocator_.Allocate(4);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(allocator_.Reallocate(block, SIZE_MAX - 4), nullptr);
    allocator_.Free(block);
}

TEST_F(TwoProcessorNineX, FreeingNothingDoesNothing) { allocator_.Free(nullptr); }

TEST(ModuleAllocatorOneHeap, BlocksComeFromTheBaseHeapWithoutHeader) {
    auto machine = Machine::Nt();
    machine->systemInfo.dwNumberOfProcessors = 4;
    Scope scope(*machine);
    server::ModuleAllocator allocator;
    ASSERT_TRUE(allocator.Start());
    void* block = allocator.Allocate(40);
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(HeapValidate(allocator.BaseHeap(), 0, block));
    EXPECT_EQ(HeapSize(allocator.BaseHeap(), 0, block), 40u);
    void* grown = allocator.Reallocate(block, 400);
    ASSERT_NE(grown, nullptr);
    EXPECT_TRUE(HeapValidate(allocator.BaseHeap(), 0, grown));
    allocator.Free(grown);
    allocator.Stop();
}

TEST(ModuleAllocatorOneHeap, NeverStartedAllocatorMakesItsBaseHeapOnFirstUse) {
    server::ModuleAllocator allocator;
    EXPECT_EQ(allocator.BaseHeap(), nullptr);
    void* block = allocator.Allocate(12);
    ASSERT_NE(block, nullptr);
    ASSERT_NE(allocator.BaseHeap(), nullptr);
    EXPECT_TRUE(HeapValidate(allocator.BaseHeap(), 0, block));
    allocator.Free(block);
    allocator.Stop();
}

TEST(ModuleAllocatorOneHeap, StartAfterOnDemandUseKeepsOneHeap) {
    auto machine = Machine::Win9x();
    machine->systemInfo.dwNumberOfProcessors = 2;
    Scope scope(*machine);
    server::ModuleAllocator allocator;
    void* early = allocator.Allocate(16);  // no header: made before the start
    ASSERT_NE(early, nullptr);
    ASSERT_TRUE(allocator.Start());
    EXPECT_EQ(allocator.HeapMask(), 0u);
    void* grown = allocator.Reallocate(early, 64);
    ASSERT_NE(grown, nullptr);
    EXPECT_TRUE(HeapValidate(allocator.BaseHeap(), 0, grown));
    allocator.Free(grown);
    allocator.Stop();
}

TEST(ModuleAllocatorOneHeap, ModuleFunctionsWorkBeforeTheModuleStarts) {
    void* block = server::ModuleAlloc(20);
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xCC, 20);
    void* grown = server::ModuleRealloc(block, 200);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(static_cast<unsigned char*>(grown)[19], 0xCC);
    server::ModuleFree(grown);
    server::ModuleFree(nullptr);
}

}  // namespace
