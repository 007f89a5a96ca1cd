// The device database of the NT family: the class routes decide where a class
// is searched; values are read from the device key under the name the remap
// table gives, and a value the key lacks is looked for in the SCSI port key or
// in the driver key below "System\CurrentControlSet\Control\Class\".
#include "devices/device_database_nt.h"

#include "devices/device_class_routes.h"
#include "devices/search_key_tree.h"
#include "devices/services_enum_walk.h"

namespace devices {

bool FindDeviceKeyNt(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                     DWORD keyBufferSize, LONG* status) noexcept {
    if (!deviceClass || !keyBuffer) return false;
    LONG ignored = 0;
    if (!status) status = &ignored;
    for (const DeviceClassRoute& route : DeviceClassRoutes) {
        if (lstrcmpiA(deviceClass, route.deviceClass) != 0) continue;
        if (route.search == DeviceSearch::None) return false;
        *status = 0;
        return SearchKeyTree(&deviceNumber, route.root, route.valueName, route.expected,
                             keyBuffer, keyBufferSize);
    }
    return ServicesEnumWalk(deviceNumber, deviceClass, keyBuffer, keyBufferSize, status);
}

}  // namespace devices
