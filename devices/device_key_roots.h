// The registry keys below which each platform family keeps its devices. A
// device key handed in by a caller is read only when it lies plainly below one
// of its family's roots: the script that passes it may be a web page, and the
// key is opened below HKEY_LOCAL_MACHINE.
#pragma once

#include "devices/device_class_routes.h"
#include "devices/device_registry_paths.h"

namespace devices {

constexpr const char* DeviceKeyRootTable9x[] = {kHardwareRoot9x};

constexpr const char* DeviceKeyRootTableNt[] = {
    kEnumTree, kScsiDeviceMap, kNetworkCards, kPrinters, kMediaResources,
};

namespace detail {

constexpr bool IsNtDeviceKeyRoot(const char* root) {
    for (const char* row : DeviceKeyRootTableNt)
        if (row == root) return true;
    return false;
}

constexpr bool EveryRouteRootIsADeviceKeyRoot() {
    for (const DeviceClassRoute& route : DeviceClassRoutes)
        if (route.root && !IsNtDeviceKeyRoot(route.root)) return false;
    return true;
}

}  // namespace detail

// A key FindDevice hands out must be one GetDeviceInfo accepts back.
static_assert(detail::EveryRouteRootIsADeviceKeyRoot(), "every class route's root is listed");

}  // namespace devices
