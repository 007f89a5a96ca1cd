#include "server/registrar/ansi_copy.h"

#include "server/module_allocator.h"

namespace server {

char* NewAnsiCopy(const wchar_t* text, int* length) noexcept {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return nullptr;
    auto* copy = static_cast<char*>(ModuleAlloc(static_cast<size_t>(size)));
    if (!copy) return nullptr;
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, copy, size, nullptr, nullptr) != size) {
        ModuleFree(copy);
        return nullptr;
    }
    if (length) *length = size - 1;
    return copy;
}

AnsiCopy::~AnsiCopy() { ModuleFree(text_); }

}  // namespace server
