// The allocator of the server frame. The module's one instance lives in the
// ServerModule record; ModuleAlloc and friends are its process-wide face.
#include "server/module_allocator.h"

#include "platform/platform.h"
#include "server/server_module.h"

namespace server {

DWORD HeapSetCount(DWORD platformId, DWORD majorVersion, DWORD processors) noexcept {
    const bool heapsHelp = platformId != VER_PLATFORM_WIN32_NT || majorVersion < 5;
    if (!heapsHelp || processors <= 1) return 0;
    DWORD count = 1;
    while (count <= processors) count <<= 1;  // largest power of two <= 2N
    return count;
}

DWORD HeapSetCountForThisMachine() noexcept {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!platform::GetVersionExA(&version)) return 0;
    SYSTEM_INFO system{};
    platform::GetSystemInfo(&system);
    return HeapSetCount(version.dwPlatformId, version.dwMajorVersion, system.dwNumberOfProcessors);
}

bool ModuleAllocator::Start() noexcept {
    // Blocks already handed out from an on-demand base heap carry no header,
    // so such an allocator stays with one heap.
    const bool fresh = base_ == nullptr;
    if (!EnsureBaseHeap()) return false;
    if (!fresh || heaps_) return true;
    const DWORD count = HeapSetCountForThisMachine();
    if (count == 0) return true;
    auto* heaps = static_cast<HANDLE*>(HeapAlloc(base_, HEAP_ZERO_MEMORY, count * sizeof(HANDLE)));
    if (!heaps) return true;
    for (DWORD i = 0; i < count; ++i) {
        heaps[i] = HeapCreate(0, 0, 0);
        if (heaps[i]) continue;
        // A partial set would leave holes in the round-robin: fall back to one heap.
        for (DWORD j = 0; j < i; ++j) HeapDestroy(heaps[j]);
        HeapFree(base_, 0, heaps);
        return true;
    }
    heaps_ = heaps;
    mask_ = count - 1;
    return true;
}

void ModuleAllocator::Stop() noexcept {
    if (!base_) return;
    if (heaps_) {
        for (DWORD i = 0; i <= mask_; ++i) HeapDestroy(heaps_[i]);
    }
    HeapDestroy(base_);
    base_ = nullptr;
    heaps_ = nullptr;
    mask_ = 0;
    counter_ = 0;
}

HANDLE ModuleAllocator::EnsureBaseHeap() noexcept {
    if (base_) return base_;
    HANDLE heap = HeapCreate(0, 0, 0);
    if (!heap) return nullptr;
    HANDLE previous = InterlockedCompareExchangePointer(&base_, heap, nullptr);
    if (!previous) return heap;
    HeapDestroy(heap);
    return previous;
}

void* ModuleAllocator::Allocate(size_t bytes) noexcept {
    if (!heaps_) {
        HANDLE heap = EnsureBaseHeap();
        return heap ? HeapAlloc(heap, 0, bytes) : nullptr;
    }
    if (bytes > static_cast<size_t>(-1) - kHeapHeaderSize) return nullptr;
    HANDLE heap = heaps_[counter_ & mask_];
    ++counter_;
    auto* header = static_cast<HANDLE*>(HeapAlloc(heap, 0, bytes + kHeapHeaderSize));
    if (!header) return nullptr;
    header[0] = heap;
    header[1] = nullptr;
    return reinterpret_cast<char*>(header) + kHeapHeaderSize;
}

void* ModuleAllocator::Reallocate(void* block, size_t bytes) noexcept {
    if (!block) return Allocate(bytes);
    if (!heaps_) return HeapReAlloc(base_, 0, block, bytes);
    if (bytes > static_cast<size_t>(-1) - kHeapHeaderSize) return nullptr;
    auto* header = reinterpret_cast<HANDLE*>(static_cast<char*>(block) - kHeapHeaderSize);
    auto* moved = static_cast<HANDLE*>(HeapReAlloc(header[0], 0, header, bytes + kHeapHeaderSize));
    if (!moved) return nullptr;
    return reinterpret_cast<char*>(moved) + kHeapHeaderSize;
}

void ModuleAllocator::Free(void* block) noexcept {
    if (!block) return;
    if (!heaps_) {
        HeapFree(base_, 0, block);
        return;
    }
    auto* header = reinterpret_cast<HANDLE*>(static_cast<char*>(block) - kHeapHeaderSize);
    HeapFree(header[0], 0, header);
}

void* ModuleAlloc(size_t bytes) noexcept { return TheModule().allocator.Allocate(bytes); }
void* ModuleRealloc(void* block, size_t bytes) noexcept {
    return TheModule().allocator.Reallocate(block, bytes);
}
void ModuleFree(void* block) noexcept { TheModule().allocator.Free(block); }

}  // namespace server
