// Loading a registration script from a module's resources and running it:
// the text is expanded into a buffer of its own, then parsed and applied.
#include "server/registrar/registrar.h"

#include "platform/owned.h"
#include "platform/platform.h"
#include "server/registrar/ansi_copy.h"
#include "server/last_error_status.h"
#include "server/module_allocator.h"
#include "server/registrar/registrar_parser.h"
#include "server/registrar/registrar_text.h"

#include <cstring>
#include <new>

namespace server {

namespace registrar {

HRESULT RunScript(const char* script, bool doRegister, const ReplacementMap& map,
                  const TextHeap& heap) noexcept {
    if (!script) return E_POINTER;
    ExpandedText text(heap);
    HRESULT hr = text.Expand(script, map);
    if (FAILED(hr)) return hr;
    void* memory = heap.alloc(sizeof(Parser));
    if (!memory) return E_OUTOFMEMORY;
    Parser* parser = new (memory) Parser(text.Text());
    hr = parser->Run(doRegister);
    parser->~Parser();
    heap.free(memory);
    return hr;
}

}  // namespace registrar

HRESULT RunRegistrar(const wchar_t* modulePath, UINT resourceId, const wchar_t* resourceType,
                     bool doRegister, const ReplacementMap& map) noexcept {
    if (!modulePath || !resourceType) return E_POINTER;
    AnsiCopy path(modulePath);
    if (!path.Get()) return E_OUTOFMEMORY;
    AnsiCopy typeName(IS_INTRESOURCE(resourceType) ? L"" : resourceType);
    if (!typeName.Get()) return E_OUTOFMEMORY;
    const char* type = IS_INTRESOURCE(resourceType)
                           ? MAKEINTRESOURCEA(reinterpret_cast<ULONG_PTR>(resourceType))
                           : typeName.Get();

    platform::Library module(
        platform::LoadLibraryExA(path.Get(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return LastErrorStatus();
    HRSRC resource = FindResourceA(module.Get(), MAKEINTRESOURCEA(resourceId), type);
    if (!resource) return LastErrorStatus();
    HGLOBAL loaded = LoadResource(module.Get(), resource);
    if (!loaded) return LastErrorStatus();
    const DWORD size = SizeofResource(module.Get(), resource);
    const void* data = LockResource(loaded);
    if (!data && size != 0) return LastErrorStatus();

    // The resource's data carries no terminator of its own, and the byte
    // after it may lie outside the mapped image: the text always gets a copy.
    auto* text = static_cast<char*>(ModuleAlloc(static_cast<size_t>(size) + 1));
    if (!text) return E_OUTOFMEMORY;
    if (size != 0) std::memcpy(text, data, size);
    text[size] = '\0';
    const HRESULT hr = RunRegistrationScript(text, doRegister, map);
    ModuleFree(text);
    return hr;
}

HRESULT RunRegistrationScript(const char* script, bool doRegister,
                              const ReplacementMap& map) noexcept {
    return registrar::RunScript(script, doRegister, map, registrar::ModuleTextHeap());
}

}  // namespace server
