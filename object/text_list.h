// A list of strings ("HardwareID", "CompatibleIDs") as an array a script can
// walk: VT_ARRAY | VT_VARIANT holding one VT_BSTR per string, as VBScript's
// For Each and UBound and JScript's VBArray read it.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace object {

// The strings of the count bytes at list (list[count] must be 0): each ends
// at a zero byte, the list at an empty string or at the end of the bytes.
// False, with result untouched, when the array cannot be made.
bool TextListArray(const char* list, DWORD count, VARIANT* result) noexcept;

}  // namespace object
