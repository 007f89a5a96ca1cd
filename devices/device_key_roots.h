// The registry keys below which each platform family keeps its devices. A
// device key handed in by a caller is read only when it lies plainly below one
// of its family's roots: the script that passes it may be a web page, and the
// key is opened below HKEY_LOCAL_MACHINE.
#pragma once

#include "devices/device_class_routes.h"

namespace devices {

struct DeviceKeyRoot {
    bool ntFamily;
    const char* root;
};

constexpr DeviceKeyRoot DeviceKeyRoots[] = {
    {false, "Enum"},
    {true, "System\\CurrentControlSet\\Enum"},
    {true, "HARDWARE\\DEVICEMAP\\SCSI"},
    {true, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards"},
    {true, "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers"},
    {true, "SYSTEM\\CurrentControlSet\\Control\\MediaResources"},
};

namespace detail {

constexpr bool SameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

constexpr bool IsNtDeviceKeyRoot(const char* root) {
    for (const DeviceKeyRoot& row : DeviceKeyRoots)
        if (row.ntFamily && SameText(row.root, root)) return true;
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
