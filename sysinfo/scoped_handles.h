// Owners of the device handles and libraries that the system queries open;
// each closes what it holds when it goes out of scope, through the platform
// seam that opened it. Registry keys use platform::RegistryKey.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace sysinfo {

class ScopedDevice {
public:
    explicit ScopedDevice(HANDLE handle) noexcept : handle_(handle) {}
    ~ScopedDevice() {
        if (!valid()) return;
        const DWORD error = GetLastError();
        platform::CloseHandle(handle_);
        SetLastError(error);
    }
    ScopedDevice(const ScopedDevice&) = delete;
    ScopedDevice& operator=(const ScopedDevice&) = delete;

    bool valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const noexcept { return handle_; }

private:
    HANDLE handle_;
};

class ScopedLibrary {
public:
    explicit ScopedLibrary(HMODULE module) noexcept : module_(module) {}
    ~ScopedLibrary() {
        if (module_ == nullptr) return;
        const DWORD error = GetLastError();
        platform::FreeLibrary(module_);
        SetLastError(error);
    }
    ScopedLibrary(const ScopedLibrary&) = delete;
    ScopedLibrary& operator=(const ScopedLibrary&) = delete;

    HMODULE get() const noexcept { return module_; }

private:
    HMODULE module_;
};

}  // namespace sysinfo
