// Texts that Windows Vista and later store in place of a device's words: a
// reference to a string resource, followed (in the forms the setup engine
// writes) by the words themselves.
//   "@display.inf,%basic.devicedesc%;Microsoft Basic Display Adapter"
//   "@System32\drivers\pci.sys,#65536;PCI bus %1, device %2, function %3;(0,31,3)"
//   "@%SystemRoot%\system32\drivers\x.sys,-101"  (the resource alone)
#pragma once

#include <windows.h>

namespace devices {

// When the count bytes of text in buffer (bufferSize bytes of room) begin with
// "@", replaces them by their words: the text after the first ";", with "%1",
// "%2", ... replaced by the items of a ";(a,b,...)" list behind it; or, for a
// reference alone, what SHLoadIndirectString makes of it. The text stays as
// read when it is not of these forms, when the function is missing or fails,
// or when the words do not fit. Returns the byte count, terminator included.
DWORD PlainIndirectText(BYTE* buffer, DWORD count, DWORD bufferSize) noexcept;

}  // namespace devices
