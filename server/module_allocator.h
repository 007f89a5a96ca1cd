// ModuleAllocator: every record of the server (objects, the class object,
// termination-list nodes, the name cache, the replacement map) is allocated
// here. One base heap serves all blocks, without a header, except on a
// multi-processor machine of a platform older than Windows 2000: there
// allocations are spread round-robin over a set of heaps, each block carrying
// a header that names its heap, so that threads on different processors
// rarely wait for the same heap's lock. In practice that is NT 4.0 and
// older: the 9x family runs on one processor.
#pragma once

#include <windows.h>

#include <cstddef>

namespace server {

void* ModuleAlloc(size_t bytes) noexcept;
void* ModuleRealloc(void* block, size_t bytes) noexcept;
void ModuleFree(void* block) noexcept;

// Size of the block header in heap-set mode: two pointer-sized words, the
// first naming the heap the block came from. 8 bytes on 32-bit Windows, 16
// on 64-bit Windows, so a block keeps the alignment its heap gives.
constexpr size_t kHeapHeaderSize = 2 * sizeof(void*);
static_assert(kHeapHeaderSize % MEMORY_ALLOCATION_ALIGNMENT == 0,
              "blocks past the header keep the heap's alignment");

// How many heaps a machine gets: 0 when one heap serves all allocations,
// else the largest power of two not above twice the processor count.
DWORD HeapSetCount(DWORD platformId, DWORD majorVersion, DWORD processors) noexcept;

// The same decision for the machine the code runs on (through the platform seam).
DWORD HeapSetCountForThisMachine() noexcept;

class ModuleAllocator {
public:
    constexpr ModuleAllocator() noexcept = default;
    ModuleAllocator(const ModuleAllocator&) = delete;
    ModuleAllocator& operator=(const ModuleAllocator&) = delete;

    // Creates the base heap and, where the machine calls for it, the heap set.
    // False when the base heap cannot be created.
    bool Start() noexcept;
    // Destroys every heap; every block handed out is gone with them.
    void Stop() noexcept;

    void* Allocate(size_t bytes) noexcept;
    void* Reallocate(void* block, size_t bytes) noexcept;
    void Free(void* block) noexcept;

    HANDLE BaseHeap() const noexcept { return base_; }
    DWORD HeapMask() const noexcept { return mask_; }
    HANDLE HeapAt(DWORD index) const noexcept { return heaps_ ? heaps_[index & mask_] : nullptr; }

private:
    // A module that was never started (unit tests, or a call before attach)
    // still allocates: the base heap is then made on first use.
    HANDLE EnsureBaseHeap() noexcept;

    HANDLE base_ = nullptr;
    HANDLE* heaps_ = nullptr;
    DWORD mask_ = 0;
    DWORD counter_ = 0;  // plain on purpose: a race only changes which heap is picked
};

}  // namespace server
