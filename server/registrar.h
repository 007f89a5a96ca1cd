// The Registrar applies a registration script (resource "REGISTRY" of a
// module) to the registry: register mode writes the keys and values it
// names, unregister mode removes them again, sparing keys other software
// shares. %NAME% markers in the script take their values from a
// ReplacementMap.
#pragma once

#include <windows.h>

namespace server {

class ReplacementMap {
public:
    ReplacementMap() noexcept = default;
    ~ReplacementMap();
    ReplacementMap(const ReplacementMap&) = delete;
    ReplacementMap& operator=(const ReplacementMap&) = delete;

    // S_OK, or E_OUTOFMEMORY when a record or a copy cannot be allocated.
    HRESULT Add(const wchar_t* name, const wchar_t* value) noexcept;
    // The value of name (compared without regard to case in the ANSI code
    // page), or null.
    const wchar_t* Find(const char* name, size_t length) const noexcept;
    void Clear() noexcept;

private:
    struct Record;
    static void FreeRecord(Record& record) noexcept;
    Record* records_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

// Loads resource (resourceType, resourceId) of the module file at modulePath
// and runs it. The failure statuses are those of the script run, or the
// system's error of the load turned into an HRESULT.
HRESULT RunRegistrar(const wchar_t* modulePath, UINT resourceId, const wchar_t* resourceType,
                     bool doRegister, const ReplacementMap& map) noexcept;

// Runs script text (zero-terminated, ANSI code page).
HRESULT RunRegistrationScript(const char* script, bool doRegister,
                              const ReplacementMap& map) noexcept;

}  // namespace server
