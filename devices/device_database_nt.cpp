// The device database of the NT family: the class routes decide where a class
// is searched; values are read from the device key under the name the remap
// table gives, and a value the key lacks is looked for in the SCSI port key or
// in the driver key below "System\CurrentControlSet\Control\Class\".
#include "devices/device_query.h"

#include "devices/device_class_routes.h"
#include "devices/device_database_nt.h"
#include "devices/device_value_remap.h"
#include "platform/registry_key.h"
#include "devices/registry_value.h"

namespace devices {

namespace {

constexpr char kDriverPrefix[] = "System\\CurrentControlSet\\Control\\Class\\";
constexpr DWORD kDriverPrefixLength = sizeof kDriverPrefix - 1;
constexpr DWORD kDriverRoom = 220;
constexpr char kScsiRoot[] = "HARDWARE\\DEVICEMAP\\SCSI";
constexpr DWORD kScsiRootLength = sizeof kScsiRoot - 1;

static_assert(kDriverPrefixLength == 39, "driver key prefix");
static_assert(kDriverPrefixLength + kDriverRoom < kKeyPathSize, "driver text fits the path");

const DeviceValueRemap* FindRemap(const char* deviceKey, const char* valueName) noexcept {
    for (const DeviceValueRemap& row : DeviceValueRemapTable) {
        if (CompareNoCaseN(deviceKey, row.keyPrefix, static_cast<DWORD>(lstrlenA(row.keyPrefix))) ==
                0 &&
            lstrcmpiA(valueName, row.askedName) == 0)
            return &row;
    }
    return nullptr;
}

}  // namespace

int FindDeviceKeyNt(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                    DWORD keyBufferSize, LONG* status) noexcept {
    if (!deviceClass || !keyBuffer) return 0;
    LONG ignored = 0;
    if (!status) status = &ignored;
    for (const DeviceClassRoute& route : DeviceClassRoutes) {
        if (lstrcmpiA(deviceClass, route.deviceClass) != 0) continue;
        if (route.search == DeviceSearch::None) return 0;
        *status = 0;
        return SearchKeyTree(&deviceNumber, route.root, route.valueName, route.expected,
                             keyBuffer, keyBufferSize);
    }
    return ServicesEnumWalk(deviceNumber, deviceClass, keyBuffer, keyBufferSize, status);
}

int ReadDeviceValueNt(const char* deviceKey, const char* subkey, const char* valueName,
                      DWORD* type, BYTE* buffer, DWORD* size) noexcept {
    if (!deviceKey || !valueName || !buffer || !size) return 0;
    platform::RegistryKey device;
    if (!device.Open(HKEY_LOCAL_MACHINE, deviceKey)) return 0;

    const DeviceValueRemap* remap = FindRemap(deviceKey, valueName);
    if (remap) valueName = remap->nameRead;

    DWORD typeRead = REG_NONE;
    DWORD count = *size;
    int result = QueryValue(device.Get(), valueName, &typeRead, buffer, &count) ? 1 : 0;
    if (!result && remap && remap->fallback) {
        device.Close();
        return remap->fallback(deviceKey, subkey, valueName, type, buffer, size);
    }
    if (!result) {
        count = *size;
        result = ReadDriverKeyValue(device.Get(), kDriverPrefix, kDriverRoom, subkey, valueName,
                                    &typeRead, buffer, &count) ? 1 : 0;
    }
    if (type) *type = typeRead;
    *size = count;
    return result;
}

int ReadScsiPortValue(const char* deviceKey, const char*, const char* valueName, DWORD* type,
                      BYTE* buffer, DWORD* size) noexcept {
    if (!deviceKey || !valueName || !buffer || !size) return 0;
    char port[kKeyPathSize] = {};
    if (!AppendToPath(port, deviceKey)) return 0;

    // Past the separator behind the root and the first character of the port
    // component, the next backslash ends the port key's path.
    const DWORD length = static_cast<DWORD>(lstrlenA(port));
    for (DWORD i = kScsiRootLength + 2; i < length; ++i) {
        if (port[i] == '\\') {
            port[i] = '\0';
            break;
        }
    }

    platform::RegistryKey portKey;
    if (!portKey.Open(HKEY_LOCAL_MACHINE, port)) return 0;
    DWORD typeRead = REG_NONE;
    DWORD count = *size;
    const int result = QueryValue(portKey.Get(), valueName, &typeRead, buffer, &count) ? 1 : 0;
    if (type) *type = typeRead;
    *size = count;
    return result;
}

}  // namespace devices
