// Where the NT family keeps the devices of a class. A routed class is found by
// searching the tree below its root for keys with the route's value (and, when
// given, the expected text); "Unknown" is never found; every class without a
// row here is found through the services' "Enum" keys.
//
// Windows 2000 and later keep some classes elsewhere: network cards may carry
// only a "Description", sound devices are instances of class "MEDIA" that no
// media resource marks active, and monitors count only while present.
#pragma once

#include "devices/device_registry_paths.h"

namespace devices {

enum class DeviceSearch {
    None,
    KeyTree,
    // The instances of the class named by `later` below the root that are not absent.
    PresentInstances,
    // The services walk for the class named by `later`.
    Services,
};

struct DeviceClassRoute {
    const char* deviceClass;
    DeviceSearch search;
    const char* root;
    const char* valueName;
    const char* expected;  // null: any non-empty value
    // From Windows 2000 on.
    DeviceSearch laterSearch;
    const char* later;  // KeyTree: the value read when valueName is missing; else the class
};

constexpr DeviceClassRoute DeviceClassRoutes[] = {
    {"Unknown", DeviceSearch::None, nullptr, nullptr, nullptr, DeviceSearch::None, nullptr},
    {"DiskDrive", DeviceSearch::KeyTree, kScsiDeviceMap, "Type", "DiskPeripheral",
     DeviceSearch::KeyTree, nullptr},
    {"CDROM", DeviceSearch::KeyTree, kScsiDeviceMap, "Type", "CdRomPeripheral",
     DeviceSearch::KeyTree, nullptr},
    {"Monitor", DeviceSearch::KeyTree, kEnumTree, "Class", "Monitor",
     DeviceSearch::PresentInstances, "Monitor"},
    {"Net", DeviceSearch::KeyTree, kNetworkCards, "Title", nullptr, DeviceSearch::KeyTree,
     "Description"},
    {"Printer", DeviceSearch::KeyTree, kPrinters, "Name", nullptr, DeviceSearch::KeyTree,
     nullptr},
    {"Media", DeviceSearch::KeyTree, kMediaResources, "Active", "1", DeviceSearch::Services,
     "MEDIA"},
};

}  // namespace devices
