// The platform-neutral device operations: argument checks, the choice of the
// 9x or NT database at every call, and the "Speed" pseudo-value, which reads
// the modem's "DeviceDesc" and turns the first speed pattern found in it into
// a REG_DWORD.
#include "devices/device_query.h"

#include "devices/modem_speed_table.h"
#include "sysinfo/platform_family.h"

namespace devices {

namespace {

constexpr DWORD kDescriptionSize = 1040;

// Copies the description just read into a terminated working buffer: the
// registry may have filled the caller's buffer without a terminator.
void CopyDescription(const BYTE* buffer, DWORD count,
                     char (&description)[kDescriptionSize + 1]) noexcept {
    DWORD length = 0;
    while (length < count && length < kDescriptionSize && buffer[length] != 0) {
        description[length] = static_cast<char>(buffer[length]);
        ++length;
    }
    description[length] = '\0';
}

}  // namespace

int FindDeviceKey(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                  DWORD keyBufferSize, LONG* status) noexcept {
    if (!deviceClass || deviceClass[0] == '\0' || !keyBuffer || keyBufferSize == 0 ||
        deviceNumber < 0)
        return 0;
    keyBuffer[0] = '\0';
    LONG ignored = 0;
    if (!status) status = &ignored;
    if (sysinfo::IsNtPlatform())
        return FindDeviceKeyNt(deviceNumber, deviceClass, keyBuffer, keyBufferSize, status);
    return FindDeviceKey9x(deviceNumber, deviceClass, keyBuffer, keyBufferSize, status);
}

int QueryDeviceValue(const char* deviceKey, const char* subkey, const char* valueName,
                     DWORD* type, BYTE* buffer, DWORD* size) noexcept {
    if (!buffer) return 0;
    if (!size || *size == 0) return 0;
    buffer[0] = 0;
    if (!deviceKey || deviceKey[0] == '\0' || !valueName || valueName[0] == '\0') return 0;
    // The key and subkey may come from an untrusted script: only device keys are read.
    const bool nt = sysinfo::IsNtPlatform();
    if (!IsDeviceKeyOfFamily(deviceKey, nt)) return 0;
    if (subkey && subkey[0] != '\0' && !IsPlainRelativePath(subkey)) return 0;
    DWORD ignoredType = 0;
    if (!type) type = &ignoredType;

    const bool speed = lstrcmpiA(valueName, "Speed") == 0;
    const char* nameRead = speed ? "DeviceDesc" : valueName;
    const DWORD bufferSize = *size;
    const int result = nt ? ReadDeviceValueNt(deviceKey, subkey, nameRead, type, buffer, size)
                           : ReadDeviceValue9x(deviceKey, subkey, nameRead, type, buffer, size);
    if (result == 0 || !speed) return result;
    if (*type != REG_SZ && *type != REG_EXPAND_SZ) return result;
    // The speed takes four bytes; a smaller buffer cannot hold the answer.
    if (bufferSize < sizeof(DWORD)) return 0;

    char description[kDescriptionSize + 1];
    CopyDescription(buffer, *size < bufferSize ? *size : bufferSize, description);
    for (const ModemSpeed& row : ModemSpeedTable) {
        if (!FindSubstringNoCase(description, row.pattern)) continue;
        const DWORD bits = row.bitsPerSecond;
        buffer[0] = static_cast<BYTE>(bits);
        buffer[1] = static_cast<BYTE>(bits >> 8);
        buffer[2] = static_cast<BYTE>(bits >> 16);
        buffer[3] = static_cast<BYTE>(bits >> 24);
        *type = REG_DWORD;
        return result;
    }
    return 0;
}

}  // namespace devices
