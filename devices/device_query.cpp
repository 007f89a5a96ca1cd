// Placeholder bodies so the rest of the component links while the device
// search is written; every routine reports "not found".
#include "devices/device_query.h"

namespace devices {

int FindDeviceKey(LONG, const char*, char*, DWORD, LONG*) noexcept { return 0; }
int QueryDeviceValue(const char*, const char*, const char*, DWORD*, BYTE* buffer,
                     DWORD*) noexcept {
    if (buffer) buffer[0] = 0;
    return 0;
}
const char* FindSubstringNoCase(const char*, const char*) noexcept { return nullptr; }
int CompareNoCaseN(const char*, const char*, DWORD) noexcept { return 1; }
int FindDeviceKey9x(LONG, const char*, char*, DWORD, LONG*) noexcept { return 0; }
int ReadDeviceValue9x(const char*, const char*, const char*, DWORD*, BYTE*, DWORD*) noexcept {
    return 0;
}
int FindDeviceKeyNt(LONG, const char*, char*, DWORD, LONG*) noexcept { return 0; }
int ReadDeviceValueNt(const char*, const char*, const char*, DWORD*, BYTE*, DWORD*) noexcept {
    return 0;
}
HRESULT GetDeviceInfo(BSTR, BSTR, BSTR, VARIANT*) noexcept { return S_OK; }
HRESULT HasSCSIBus(VARIANT_BOOL* pVal) noexcept {
    *pVal = VARIANT_FALSE;
    return S_OK;
}
HRESULT HasAGPBus(VARIANT_BOOL* pVal) noexcept {
    *pVal = VARIANT_FALSE;
    return S_OK;
}

}  // namespace devices
