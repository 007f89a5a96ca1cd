// The instance creation routine of CoDeZiVero, plain or aggregated.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace server {

// outer: the controlling unknown, or null for a plain object. With an outer
// unknown the caller must ask for IUnknown (the class object checks that) and
// gets the aggregate's non-delegating unknown.
HRESULT CreateCoDeZiVero(IUnknown* outer, REFIID iid, void** out) noexcept;

}  // namespace server
