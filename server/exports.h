// The work behind the library's four exports, kept apart from the entry
// point so that it can be driven in-process.
#pragma once

#include <windows.h>

namespace server {

// S_OK when no module lock is held, else S_FALSE.
HRESULT CanUnloadNow() noexcept;
// The cached class object of clsid, created on first use, answering iid.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept;

}  // namespace server
