// Wide text copied into the ANSI code page on the module's heap: the module
// path and resource type the registrar loads by, and the marker names of the
// replacement map.
#pragma once

#include <windows.h>

namespace server {

// A new copy of text, to be given back with ModuleFree; null when the text
// cannot be converted or the copy cannot be allocated. length, when given,
// receives the copy's length without the terminator.
char* NewAnsiCopy(const wchar_t* text, int* length = nullptr) noexcept;

// Owns one such copy for a scope.
class AnsiCopy {
public:
    explicit AnsiCopy(const wchar_t* text) noexcept : text_(NewAnsiCopy(text)) {}
    ~AnsiCopy();
    AnsiCopy(const AnsiCopy&) = delete;
    AnsiCopy& operator=(const AnsiCopy&) = delete;

    const char* Get() const noexcept { return text_; }

private:
    char* text_;
};

}  // namespace server
