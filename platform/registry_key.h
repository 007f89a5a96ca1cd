// RegistryKey: the owner of one open registry key (platform/owned.h), with
// the open and create calls that fill it.
#pragma once

#include <windows.h>

#include "platform/owned.h"
#include "platform/platform.h"

namespace platform {

class RegistryKey : public Owned<RegistryKeyTraits> {
public:
    using Owned::Owned;

    // Opens path below parent; the registry's status, and nothing held on failure.
    LONG OpenStatus(HKEY parent, const char* path, REGSAM access) noexcept {
        return Held(platform::RegOpenKeyExA(parent, path, 0, access, &*this));
    }
    bool Open(HKEY parent, const char* path, REGSAM access = KEY_READ) noexcept {
        return OpenStatus(parent, path, access) == ERROR_SUCCESS;
    }

    // Opens path below parent, creating it when missing; false with nothing held on failure.
    bool Create(HKEY parent, const char* path, REGSAM access) noexcept {
        return Held(platform::RegCreateKeyExA(parent, path, 0, nullptr, 0, access, nullptr,
                                              &*this, nullptr)) == ERROR_SUCCESS;
    }

private:
    // Whatever a failed call left in the slot is no key of ours.
    LONG Held(LONG status) noexcept {
        if (status == ERROR_SUCCESS && *this) return ERROR_SUCCESS;
        Detach();
        return status != ERROR_SUCCESS ? status : ERROR_INVALID_HANDLE;
    }
};

}  // namespace platform
