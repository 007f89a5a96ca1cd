// ModuleAllocator: every record of the server frame (objects, the aggregate
// wrapper, the class object, termination-list nodes, the name cache, the
// replacement map) is allocated here. On multi-processor 9x-family and pre-5
// NT machines allocations are spread round-robin over a set of heaps, each
// block carrying an 8-byte header that names its heap; otherwise one base
// heap serves all blocks, without a header.
#pragma once

#include <windows.h>

#include <cstddef>

namespace server {

void* ModuleAlloc(size_t bytes) noexcept;
void* ModuleRealloc(void* block, size_t bytes) noexcept;
void ModuleFree(void* block) noexcept;

}  // namespace server
