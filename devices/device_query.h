// Finding the N-th device of a class and reading values below its key, on
// either platform family (chosen at every call by IsNtPlatform), plus the
// case-insensitive text helpers the device databases share.
//
// A device key is a path relative to HKEY_LOCAL_MACHINE: "Enum\..." on the
// 9x family; a key below a class route's root or "System\CurrentControlSet\Enum\..."
// on the NT family.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace devices {

// 1 when device deviceNumber (from 0) of deviceClass was found; keyBuffer then
// holds its key. Refused arguments (empty class, null buffer, size 0, negative
// number) return 0 and write nothing.
int FindDeviceKey(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                  DWORD keyBufferSize, LONG* status) noexcept;

// Non-zero when valueName (or, for "Speed", the modem speed derived from
// "DeviceDesc") was read below deviceKey; type, buffer and size as
// RegQueryValueExA fills them. A key that is no device key of the running
// family, or a non-empty subkey that is no plain relative path, fails as a
// missing value does.
int QueryDeviceValue(const char* deviceKey, const char* subkey, const char* valueName,
                     DWORD* type, BYTE* buffer, DWORD* size) noexcept;

// True when deviceKey lies plainly below one of the family's device roots:
// the root (without regard to case), a backslash, and one or more non-empty
// components, none of them "." or "..".
bool IsDeviceKeyOfFamily(const char* deviceKey, bool ntFamily) noexcept;
// True when path is one or more non-empty components joined by backslashes,
// none of them "." or ".." (nor such a piece between forward slashes).
bool IsPlainRelativePath(const char* path) noexcept;

// Last occurrence of needle in text, compared without regard to case, or null.
const char* FindSubstringNoCase(const char* text, const char* needle) noexcept;
// At most count characters compared without regard to case: 0 when equal,
// otherwise the difference of the first upper-cased pair that differs.
int CompareNoCaseN(const char* first, const char* second, DWORD count) noexcept;

// Platform databases, called by the two operations above after their checks.
int FindDeviceKey9x(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                    DWORD keyBufferSize, LONG* status) noexcept;
int ReadDeviceValue9x(const char* deviceKey, const char* subkey, const char* valueName,
                      DWORD* type, BYTE* buffer, DWORD* size) noexcept;
int FindDeviceKeyNt(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                    DWORD keyBufferSize, LONG* status) noexcept;
int ReadDeviceValueNt(const char* deviceKey, const char* subkey, const char* valueName,
                      DWORD* type, BYTE* buffer, DWORD* size) noexcept;

// Member bodies after the object's argument checks.
// GetDeviceInfo: pvValue already VariantInit'ed; fills it by the type read.
HRESULT GetDeviceInfo(BSTR bstrHWKey, BSTR bstrSubkey, BSTR bstrAskFor, VARIANT* pvValue) noexcept;
HRESULT HasSCSIBus(VARIANT_BOOL* pVal) noexcept;
HRESULT HasAGPBus(VARIANT_BOOL* pVal) noexcept;

}  // namespace devices
