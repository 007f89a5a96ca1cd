// The platform-neutral device operations: argument checks, the running
// family's database, and the pseudo-values derived from the value read.
#include "devices/device_query.h"

#include "devices/device_family.h"
#include "devices/device_key_check.h"
#include "devices/device_pseudo_values.h"
#include "devices/indirect_text.h"

namespace devices {

namespace {

const DevicePseudoValue* FindPseudoValue(const char* valueName) noexcept {
    for (const DevicePseudoValue& row : DevicePseudoValueTable)
        if (lstrcmpiA(valueName, row.askedName) == 0) return &row;
    return nullptr;
}

}  // namespace

bool FindDeviceKey(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                   DWORD keyBufferSize, LONG* status) noexcept {
    if (!deviceClass || deviceClass[0] == '\0' || !keyBuffer || keyBufferSize == 0 ||
        deviceNumber < 0)
        return false;
    keyBuffer[0] = '\0';
    LONG ignored = 0;
    if (!status) status = &ignored;
    return RunningFamily().find(deviceNumber, deviceClass, keyBuffer, keyBufferSize, status);
}

bool QueryDeviceValue(const char* deviceKey, const char* subkey, const char* valueName,
                      DWORD* type, BYTE* buffer, DWORD* size) noexcept {
    if (!buffer) return false;
    if (!size || *size == 0) return false;
    buffer[0] = 0;
    if (!deviceKey || deviceKey[0] == '\0' || !valueName || valueName[0] == '\0') return false;
    const DeviceFamily& family = RunningFamily();
    // The key and subkey may come from an untrusted script: only device keys are read.
    if (!IsDeviceKeyOfFamily(deviceKey, family)) return false;
    if (subkey && subkey[0] != '\0' && !IsPlainRelativePath(subkey)) return false;
    DWORD ignoredType = 0;
    if (!type) type = &ignoredType;

    const DevicePseudoValue* pseudo = FindPseudoValue(valueName);
    const DWORD bufferSize = *size;
    if (!ReadDeviceValue(family, deviceKey, subkey, pseudo ? pseudo->nameRead : valueName, type,
                         buffer, size))
        return false;
    if (*type == REG_SZ || *type == REG_EXPAND_SZ)
        *size = PlainIndirectText(buffer, *size, bufferSize);
    return !pseudo || pseudo->derive(bufferSize, *size, type, buffer);
}

}  // namespace devices
