// Reading registry values into fixed buffers, and building key paths that
// never pass the 259 characters the device databases allow.
//
// Text read into a working buffer always ends up zero-terminated, whether or
// not the registry stored a terminator: a value that fills its room exactly is
// cut at the bytes it returned, never read past.
#pragma once

#include <windows.h>

namespace devices {

// Longest key path, terminator included, that the device databases form.
constexpr DWORD kKeyPathSize = MAX_PATH;

// RegQueryValueExA; true on ERROR_SUCCESS. type may be null.
bool QueryValue(HKEY key, const char* name, DWORD* type, void* buffer, DWORD* size) noexcept;

// Reads name as text into text, using at most room bytes; text must hold
// room + 1 bytes. On success text is terminated behind the bytes returned; on
// failure it is empty.
bool ReadTextValue(HKEY key, const char* name, char* text, DWORD room) noexcept;

// text[count] = 0 with count clamped to room: terminates bytes just returned.
void TerminateAt(char* text, DWORD count, DWORD room) noexcept;

// Appends text to the zero-terminated path held in a buffer of size bytes;
// false, with the path unchanged, when the result would not fit.
bool AppendToPath(char* path, DWORD size, const char* text) noexcept;

template <DWORD N>
bool AppendToPath(char (&path)[N], const char* text) noexcept {
    return AppendToPath(path, N, text);
}

// Hands a read's outcome to the caller as RegQueryValueExA would: the type
// (when asked for) and the byte count the query left, found or not.
bool HandBack(bool read, DWORD typeRead, DWORD count, DWORD* type, DWORD* size) noexcept;

// Reads name from the key at path below HKEY_LOCAL_MACHINE into buffer
// (*size bytes); type and size are handed back once the key opened.
bool ReadKeyValue(const char* path, const char* name, DWORD* type, BYTE* buffer,
                  DWORD* size) noexcept;

// The driver-key retry of both device databases: reads name from the key that
// prefix, the device key's "Driver" text (at most driverRoom bytes) and, when
// subkey is not null, "\" and subkey form. count goes in as the buffer's size
// and comes out as the query set it.
bool ReadDriverKeyValue(HKEY device, const char* prefix, DWORD driverRoom, const char* subkey,
                        const char* name, DWORD* type, BYTE* buffer, DWORD* count) noexcept;

}  // namespace devices
