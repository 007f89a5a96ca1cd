// The device database of the NT family: the class routes decide where a class
// is searched; values are read from the device key under the name the remap
// table gives, and a value the key lacks is looked for in the SCSI port key or
// in the driver key below "System\CurrentControlSet\Control\Class\".
#include "devices/device_database_nt.h"

#include "devices/device_class_routes.h"
#include "devices/instance_class.h"
#include "devices/search_key_tree.h"
#include "devices/services_enum_walk.h"
#include "sysinfo/platform_family.h"

namespace devices {

namespace {

bool FollowRoute(const DeviceClassRoute& route, bool later, LONG deviceNumber, char* keyBuffer,
                 DWORD keyBufferSize, LONG* status) noexcept {
    switch (later ? route.laterSearch : route.search) {
    case DeviceSearch::None:
        return false;
    case DeviceSearch::Services:
        return ServicesEnumWalk(deviceNumber, route.later, keyBuffer, keyBufferSize, status);
    case DeviceSearch::PresentInstances: {
        *status = 0;
        ClassGuidCache guids(route.later);
        KeyCandidate candidate{route.valueName, route.later};
        candidate.instancesOf = &guids;
        return SearchKeyTree(&deviceNumber, route.root, candidate, keyBuffer, keyBufferSize);
    }
    case DeviceSearch::KeyTree:
        break;
    }
    *status = 0;
    KeyCandidate candidate{route.valueName, route.expected};
    if (later) candidate.otherName = route.later;
    return SearchKeyTree(&deviceNumber, route.root, candidate, keyBuffer, keyBufferSize);
}

}  // namespace

bool FindDeviceKeyNt(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                     DWORD keyBufferSize, LONG* status) noexcept {
    if (!deviceClass || !keyBuffer) return false;
    LONG ignored = 0;
    if (!status) status = &ignored;
    const bool later = sysinfo::IsNt5OrLater();
    for (const DeviceClassRoute& route : DeviceClassRoutes) {
        if (lstrcmpiA(deviceClass, route.deviceClass) != 0) continue;
        return FollowRoute(route, later, deviceNumber, keyBuffer, keyBufferSize, status);
    }
    return ServicesEnumWalk(deviceNumber, deviceClass, keyBuffer, keyBufferSize, status);
}

}  // namespace devices
