// Deleting a registry key with everything under it.
#pragma once

#include <windows.h>

#include <cstddef>

namespace server::registrar {

// Keys below the deleted one are reached through a list of open levels rather
// than by recursion, so a deep tree costs heap, not stack. The registry holds
// at most 512 levels; a deeper chain is left in place and reported.
constexpr size_t kMaxDeleteLevels = 512;

// Deletes parent\name and its subtree. ERROR_SUCCESS, or the first error met;
// what was deleted before it stays deleted.
LONG DeleteKeyTree(HKEY parent, const char* name) noexcept;

}  // namespace server::registrar
