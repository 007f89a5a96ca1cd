// DeviceFamily: what tells the device databases of the two platform families
// apart, as one constant descriptor each (device_database_9x.h,
// device_database_nt.h). The device queries pick the running family's
// descriptor once per call and hand it down; one value reader serves both.
#pragma once

#include <windows.h>

#include <cstddef>

#include "devices/device_registry_paths.h"
#include "devices/device_value_remap.h"
#include "devices/registry_value.h"

namespace devices {

// The rows of a constant table, or none.
template <typename Row>
struct TableRows {
    const Row* first = nullptr;
    std::size_t count = 0;
    constexpr const Row* begin() const noexcept { return first; }
    constexpr const Row* end() const noexcept { return first + count; }
};

template <typename Row, std::size_t N>
constexpr TableRows<Row> RowsOf(const Row (&table)[N]) noexcept {
    return {table, N};
}

// (device number from 0, class, key buffer and its size, status) -> found
using FindDeviceRoutine = bool (*)(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                                   DWORD keyBufferSize, LONG* status) noexcept;

struct DeviceFamily {
    // The device's "Driver" text names its driver key behind this prefix; the
    // text may take what is left of a 259-character path.
    const char* driverPrefix;
    DWORD driverRoom;
    TableRows<DeviceValueRemap> remaps;
    // A key a caller hands in is read only when it lies plainly below one of these.
    TableRows<const char*> keyRoots;
    FindDeviceRoutine find;
};

// A family's descriptor; the driver text gets what the prefix leaves of a path.
template <std::size_t N>
constexpr DeviceFamily DescribeFamily(const KeyPrefix<N>& driverPrefix,
                                      TableRows<DeviceValueRemap> remaps,
                                      TableRows<const char*> keyRoots,
                                      FindDeviceRoutine find) noexcept {
    return {driverPrefix.text, kKeyPathSize - 1 - static_cast<DWORD>(N), remaps, keyRoots, find};
}

// The descriptor of the NT family (true) or of the 9x family (false).
const DeviceFamily& FamilyOf(bool ntFamily) noexcept;
// The descriptor of the family the library runs on.
const DeviceFamily& RunningFamily() noexcept;

// Reads valueName below deviceKey: from the device key under the name the
// family's remap table gives, else from the remap row's fallback or, without
// one, from the driver key (and its subkey, when given). type, buffer and
// size as RegQueryValueExA fills them. No key check: callers check first.
bool ReadDeviceValue(const DeviceFamily& family, const char* deviceKey, const char* subkey,
                     const char* valueName, DWORD* type, BYTE* buffer, DWORD* size) noexcept;

}  // namespace devices
