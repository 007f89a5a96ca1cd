// The classes this library serves: one row per creatable class, walked by
// one loop for class objects, registration and unregistration. Every class
// is served by the same class object (ClassFactory) around its creation
// routine.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstddef>

namespace server {

// (outer unknown or null, iid, out) -> status
using CreateInstanceRoutine = HRESULT (*)(IUnknown* outer, REFIID iid, void** out) noexcept;
// (register or unregister) -> status
using RegisterRoutine = HRESULT (*)(bool doRegister) noexcept;

struct ClassEntry {
    const CLSID* clsid;
    RegisterRoutine registerClass;
    CreateInstanceRoutine createInstance;
};

constexpr size_t kClassCount = 1;
extern const ClassEntry ClassTable[kClassCount];

}  // namespace server
