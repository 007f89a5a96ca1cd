// ServicesEnumWalk: the NT family's search for classes without a route of
// their own. Each service's "Enum" key counts the device instances it drives
// ("Count") and names each one ("0", "1", ...) relative to
// "System\CurrentControlSet\Enum"; the instance key there holds its "Class",
// "StatusFlags" and "Problem".
//
// An instance counts when its class matches and its status flags' low byte is
// set; modems and display adapters count whatever their flags. A service
// whose "Count" cannot be read contributes nothing, like a count of 0; one
// whose "Count" exceeds the values its key holds tries only as many. An
// instance without "StatusFlags" is judged by flags of 0, not by whatever the
// status held from the instance before.
//
// Windows 2000 and later write neither "StatusFlags" nor "Problem": there an
// instance without flags counts unless the configuration manager knows its
// device as absent, with the device's problem number (0 when it cannot say),
// and an instance without "Class" (every one from Windows 8 on) is of the
// class its "ClassGUID" names.
#include "devices/services_enum_walk.h"

#include "devices/config_manager.h"
#include "devices/device_database_nt.h"
#include "devices/device_registry_paths.h"
#include "devices/instance_class.h"
#include "devices/registry_value.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "sysinfo/platform_family.h"

namespace devices {

namespace {

// Instance keys are named relative to the enumeration tree.
constexpr auto kInstancePrefix = PrefixOf(kEnumTree);
constexpr DWORD kInstancePrefixLength = kInstancePrefix.kLength;
constexpr DWORD kClassSize = 260;

static_assert(kInstancePrefixLength == 30, "instance key prefix");

bool CountsWithoutFlags(const char* deviceClass) noexcept {
    return lstrcmpiA(deviceClass, "modem") == 0 || lstrcmpiA(deviceClass, "Display") == 0;
}

// Read aside and stored only when read: a value longer than four bytes fails,
// and the registry may leave part of it in the buffer when it does.
bool ReadInstanceLong(const char* instanceKey, const char* name, LONG* value) noexcept {
    LONG read = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof read;
    if (!ReadDeviceValue(kFamilyNt, instanceKey, nullptr, name, &type,
                         reinterpret_cast<BYTE*>(&read), &size))
        return false;
    *value = read;
    return true;
}

// The later layouts are read from the instance key alone, opened once: every
// instance is tested, and their driver keys hold no class.
bool HasClass(const char* instanceKey, const char* deviceClass, bool later,
              ClassGuidCache& guids) noexcept {
    if (later) {
        platform::RegistryKey instance;
        return instance.Open(HKEY_LOCAL_MACHINE, instanceKey) &&
               InstanceOfClass(instance.Get(), deviceClass, true, guids);
    }
    char instanceClass[kClassSize + 1] = {};
    DWORD type = REG_NONE;
    DWORD size = kClassSize;
    if (!ReadDeviceValue(kFamilyNt, instanceKey, nullptr, "Class", &type,
                         reinterpret_cast<BYTE*>(instanceClass), &size))
        return false;
    TerminateAt(instanceClass, size, kClassSize);
    return lstrcmpiA(instanceClass, deviceClass) == 0;
}

// Whether the instance counts, with its status written as the walk goes.
bool Counts(const char* instanceKey, bool countsWithoutFlags, bool later, LONG* status) noexcept {
    *status = 0;
    const bool hasFlags = ReadInstanceLong(instanceKey, "StatusFlags", status);
    if (!hasFlags && later) {
        const DeviceNodeState node = AskConfigManager(instanceKey + kInstancePrefixLength);
        if (node.presence == Presence::Absent) return false;
        *status = node.presence == Presence::Present ? node.problem : 0;
        return true;
    }
    if ((*status & 0xFF) == 0 && !countsWithoutFlags) return false;
    *status = 0;
    ReadInstanceLong(instanceKey, "Problem", status);
    return true;
}

// How many instances of a service's "Enum" key to try: its "Count", but never
// more than the values the key holds. Instance i is named by the value "i", so
// a key of V values names at most V instances, and the system writes them as
// "0" to "V-1" beside "Count" and "NextInstance"; a larger count (a damaged or
// hostile 0xFFFFFFFF) would make every call try billions of missing values.
// Instances past V could only be reached across gaps that the system never
// leaves. A key whose values cannot be counted contributes nothing.
DWORD InstanceBound(HKEY enumKey) noexcept {
    DWORD count = 0;
    DWORD countSize = sizeof count;
    if (!QueryValue(enumKey, "Count", nullptr, &count, &countSize)) return 0;
    DWORD values = 0;
    if (platform::RegQueryInfoKeyA(enumKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count < values ? count : values;
}

}  // namespace

bool ServicesEnumWalk(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                      DWORD keyBufferSize, LONG* status) noexcept {
    // The prefix, its terminator and the byte kept free behind the instance path.
    if (!deviceClass || !keyBuffer || !status || keyBufferSize <= kInstancePrefixLength + 1)
        return false;
    platform::RegistryKey services;
    if (!services.Open(HKEY_LOCAL_MACHINE, kServices)) return false;

    const bool countsWithoutFlags = CountsWithoutFlags(deviceClass);
    const bool later = sysinfo::IsNt5OrLater();
    ClassGuidCache guids(deviceClass);
    char serviceName[kKeyPathSize];
    for (DWORD index = 0; platform::RegEnumKeyA(services.Get(), index, serviceName,
                                                sizeof serviceName) == ERROR_SUCCESS;
         ++index) {
        serviceName[kKeyPathSize - 1] = '\0';
        if (serviceName[0] == '\0') continue;
        char enumPath[kKeyPathSize] = {};
        if (!AppendToPath(enumPath, kServices) || !AppendToPath(enumPath, "\\") ||
            !AppendToPath(enumPath, serviceName) || !AppendToPath(enumPath, "\\Enum"))
            continue;
        platform::RegistryKey enumKey;
        if (!enumKey.Open(HKEY_LOCAL_MACHINE, enumPath)) continue;

        const DWORD count = InstanceBound(enumKey.Get());
        for (DWORD instance = 0; instance < count; ++instance) {
            char instanceName[16];
            wsprintfA(instanceName, "%u", instance);
            lstrcpyA(keyBuffer, kInstancePrefix.text);
            ReadTextValue(enumKey.Get(), instanceName, keyBuffer + kInstancePrefixLength,
                          keyBufferSize - kInstancePrefixLength - 1);

            if (!HasClass(keyBuffer, deviceClass, later, guids)) continue;
            if (!Counts(keyBuffer, countsWithoutFlags, later, status)) continue;
            if (deviceNumber == 0) return true;
            --deviceNumber;
        }
    }
    return false;
}

}  // namespace devices
