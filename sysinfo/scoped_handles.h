// Owners of the registry keys, device handles and libraries that the system
// queries open; each closes what it holds when it goes out of scope, through
// the platform seam that opened it.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace sysinfo {

class ScopedKey {
public:
    ScopedKey() noexcept = default;
    ~ScopedKey() { Close(); }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    // For an out-argument: whatever was held is closed first.
    PHKEY operator&() noexcept {
        Close();
        return &key_;
    }
    HKEY get() const noexcept { return key_; }

private:
    void Close() noexcept {
        if (key_ == nullptr) return;
        const DWORD error = GetLastError();
        platform::RegCloseKey(key_);
        SetLastError(error);
        key_ = nullptr;
    }
    HKEY key_ = nullptr;
};

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
