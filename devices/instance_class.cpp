#include "devices/instance_class.h"

#include "devices/device_registry_paths.h"
#include "devices/registry_value.h"
#include "platform/registry_key.h"

namespace devices {

namespace {

constexpr DWORD kClassSize = 260;
constexpr auto kClassKeyPrefix = PrefixOf(kDriverRootNt);

}  // namespace

bool ClassGuidCache::Lookup(const char* guid) const noexcept {
    for (const char* c = guid; *c; ++c)
        if (*c == '\\') return false;  // names a key below a class key, not a class
    char path[kKeyPathSize] = {};
    if (!AppendToPath(path, kClassKeyPrefix.text) || !AppendToPath(path, guid)) return false;
    platform::RegistryKey classKey;
    if (!classKey.Open(HKEY_LOCAL_MACHINE, path)) return false;
    char name[kClassSize + 1];
    if (!ReadTextValue(classKey.Get(), "Class", name, kClassSize)) return false;
    return lstrcmpiA(name, deviceClass_) == 0;
}

bool ClassGuidCache::InstanceNamesClass(HKEY instance) noexcept {
    // A value longer than a GUID names no class key.
    char guid[kGuidSize + 1];
    if (!ReadTextValue(instance, "ClassGUID", guid, kGuidSize)) return false;
    const int length = lstrlenA(guid);
    if (length == 0 || length >= static_cast<int>(kGuidSize)) return false;
    for (DWORD i = 0; i < used_; ++i)
        if (lstrcmpiA(entries_[i].guid, guid) == 0) return entries_[i].names;
    const bool names = Lookup(guid);
    if (used_ < kEntries) {
        lstrcpyA(entries_[used_].guid, guid);
        entries_[used_].names = names;
        ++used_;
    }
    return names;
}

bool InstanceOfClass(HKEY instance, const char* deviceClass, bool laterLayout,
                     ClassGuidCache& cache) noexcept {
    char name[kClassSize + 1];
    if (ReadTextValue(instance, "Class", name, kClassSize))
        return lstrcmpiA(name, deviceClass) == 0;
    return laterLayout && cache.InstanceNamesClass(instance);
}

}  // namespace devices
