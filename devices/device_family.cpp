// The one device-value reader, driven by a family's descriptor.
#include "devices/device_family.h"

#include "devices/device_database_9x.h"
#include "devices/device_database_nt.h"
#include "devices/registry_value.h"
#include "devices/text_match.h"
#include "platform/registry_key.h"
#include "sysinfo/platform_family.h"

namespace devices {

namespace {

const DeviceValueRemap* FindRemap(TableRows<DeviceValueRemap> remaps, const char* deviceKey,
                                  const char* valueName) noexcept {
    for (const DeviceValueRemap& row : remaps) {
        const DWORD prefixLength = static_cast<DWORD>(lstrlenA(row.keyPrefix));
        if (CompareNoCaseN(deviceKey, row.keyPrefix, prefixLength) != 0) continue;
        if (lstrcmpiA(valueName, row.askedName) == 0) return &row;
    }
    return nullptr;
}

}  // namespace

const DeviceFamily& FamilyOf(bool ntFamily) noexcept { return ntFamily ? kFamilyNt : kFamily9x; }

const DeviceFamily& RunningFamily() noexcept { return FamilyOf(sysinfo::IsNtPlatform()); }

bool ReadDeviceValue(const DeviceFamily& family, const char* deviceKey, const char* subkey,
                     const char* valueName, DWORD* type, BYTE* buffer, DWORD* size) noexcept {
    if (!deviceKey || !valueName || !buffer || !size) return false;
    platform::RegistryKey device;
    if (!device.Open(HKEY_LOCAL_MACHINE, deviceKey)) return false;

    const DeviceValueRemap* remap = FindRemap(family.remaps, deviceKey, valueName);
    if (remap) valueName = remap->nameRead;

    DWORD typeRead = REG_NONE;
    DWORD count = *size;
    bool read = QueryValue(device.Get(), valueName, &typeRead, buffer, &count);
    if (!read && remap && remap->laterName && sysinfo::IsNt5OrLater()) {
        count = *size;
        read = QueryValue(device.Get(), remap->laterName, &typeRead, buffer, &count);
    }
    if (!read && remap && remap->fallback) {
        device.Close();
        return remap->fallback(deviceKey, subkey, valueName, type, buffer, size);
    }
    if (!read) {
        count = *size;
        read = ReadDriverKeyValue(device.Get(), family.driverPrefix, family.driverRoom, subkey,
                                  valueName, &typeRead, buffer, &count);
    }
    return HandBack(read, typeRead, count, type, size);
}

}  // namespace devices
