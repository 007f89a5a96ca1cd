// The class of a device instance. Instances name it in "Class" up to Windows 7;
// from Windows 8 on they carry only "ClassGUID", and the class is the "Class"
// value of that key below "System\CurrentControlSet\Control\Class".
#pragma once

#include <windows.h>

namespace devices {

// For one walk: whether each class GUID met names the class asked for, so
// that a walk looks each class key up once rather than once per instance.
class ClassGuidCache {
public:
    explicit ClassGuidCache(const char* deviceClass) noexcept : deviceClass_(deviceClass) {}

    // Whether the instance key's "ClassGUID" names a class key whose "Class"
    // is the class asked for (without regard to case).
    bool InstanceNamesClass(HKEY instance) noexcept;

private:
    // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" and its terminator.
    static constexpr DWORD kGuidSize = 39;
    static constexpr DWORD kEntries = 64;
    struct Entry {
        char guid[kGuidSize];
        bool names;
    };
    bool Lookup(const char* guid) const noexcept;

    const char* deviceClass_;
    Entry entries_[kEntries];
    DWORD used_ = 0;

    // One per walk, handed on by reference: a copy would be a second cache.
    ClassGuidCache(const ClassGuidCache&) = delete;
    ClassGuidCache& operator=(const ClassGuidCache&) = delete;
};

// "Class" of the instance key equals deviceClass; or, when the key has no
// "Class" and laterLayout, its "ClassGUID" names that class.
bool InstanceOfClass(HKEY instance, const char* deviceClass, bool laterLayout,
                     ClassGuidCache& cache) noexcept;

}  // namespace devices
