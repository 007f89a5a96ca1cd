// Where the NT family keeps the devices of a class. A routed class is found by
// searching the tree below its root for keys with the route's value (and, when
// given, the expected text); "Unknown" is never found; every class without a
// row here is found through the services' "Enum" keys.
#pragma once

#include "devices/device_registry_paths.h"

namespace devices {

enum class DeviceSearch { None, KeyTree };

struct DeviceClassRoute {
    const char* deviceClass;
    DeviceSearch search;
    const char* root;
    const char* valueName;
    const char* expected;  // null: any non-empty value
};

constexpr DeviceClassRoute DeviceClassRoutes[] = {
    {"Unknown", DeviceSearch::None, nullptr, nullptr, nullptr},
    {"DiskDrive", DeviceSearch::KeyTree, kScsiDeviceMap, "Type", "DiskPeripheral"},
    {"CDROM", DeviceSearch::KeyTree, kScsiDeviceMap, "Type", "CdRomPeripheral"},
    {"Monitor", DeviceSearch::KeyTree, kEnumTree, "Class", "Monitor"},
    {"Net", DeviceSearch::KeyTree, kNetworkCards, "Title", nullptr},
    {"Printer", DeviceSearch::KeyTree, kPrinters, "Name", nullptr},
    {"Media", DeviceSearch::KeyTree, kMediaResources, "Active", "1"},
};

}  // namespace devices
