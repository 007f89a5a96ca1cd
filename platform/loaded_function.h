// LoadedFunction: a function of a system library that is always loaded into
// the process (kernel32, oleaut32), found by name at run time because some of
// the systems the DLL runs on lack it. Importing it instead would keep the
// whole DLL from loading there. Null when the system has no such function.
#pragma once

#include <windows.h>

namespace platform {

template <typename Function>
Function LoadedFunction(const char* library, const char* name) noexcept {
    const HMODULE module = ::GetModuleHandleA(library);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace platform
