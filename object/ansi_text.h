// Text between the callers' wide strings and the system's ANSI code page:
// the answers the object hands out, and the names a script hands in.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace object {

// Zero-terminated ANSI text (system code page) into a new BSTR; null when the
// allocation failed. Empty text gives an allocated empty string.
BSTR AnsiToBstr(const char* text) noexcept;

// Wide text into a fixed buffer of size bytes, terminated; false, with the
// buffer empty or cut, when the text does not fit whole. Text from a script may
// be of any length, and a cut name would name some other key.
bool WideToAnsi(const wchar_t* text, char* ansi, DWORD size) noexcept;

template <DWORD N>
bool WideToAnsi(const wchar_t* text, char (&ansi)[N]) noexcept {
    return WideToAnsi(text, ansi, N);
}

}  // namespace object
