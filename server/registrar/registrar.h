// The Registrar applies a registration script (resource "REGISTRY" of a
// module) to the registry: register mode writes the keys and values it
// names, unregister mode removes them again, sparing keys other software
// shares. %NAME% markers in the script take their values from a
// ReplacementMap.
#pragma once

#include <windows.h>

#include "server/registrar/replacement_map.h"

namespace server {

// Loads resource (resourceType, resourceId) of the module file at modulePath
// and runs it. The failure statuses are those of the script run, or the
// system's error of the load turned into an HRESULT.
HRESULT RunRegistrar(const wchar_t* modulePath, UINT resourceId, const wchar_t* resourceType,
                     bool doRegister, const ReplacementMap& map) noexcept;

// Runs script text (zero-terminated, ANSI code page).
HRESULT RunRegistrationScript(const char* script, bool doRegister,
                              const ReplacementMap& map) noexcept;

}  // namespace server

namespace server::registrar {

struct TextHeap;

// The whole run over script text, with its memory taken from heap.
HRESULT RunScript(const char* script, bool doRegister, const ReplacementMap& map,
                  const TextHeap& heap) noexcept;

}  // namespace server::registrar
