// RegistryKey: owns one open registry key and closes it when it goes away,
// so every path out of a walk (a find, a failure, the end) closes what it
// opened. Move-only; `&key` closes the key held so far and hands out the slot
// for an open call to fill.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/platform.h"

namespace devices {

class RegistryKey {
public:
    RegistryKey() noexcept = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegistryKey& operator=(RegistryKey&& other) noexcept {
        if (this != std::addressof(other)) {
            Close();
            key_ = other.key_;
            other.key_ = nullptr;
        }
        return *this;
    }

    HKEY* operator&() noexcept {
        Close();
        return &key_;
    }
    HKEY Get() const noexcept { return key_; }
    explicit operator bool() const noexcept { return key_ != nullptr; }

    // Opens path below root for reading; false (and nothing held) on failure.
    bool Open(HKEY root, const char* path) noexcept {
        if (platform::RegOpenKeyExA(root, path, 0, KEY_READ, &*this) == ERROR_SUCCESS &&
            key_ != nullptr)
            return true;
        key_ = nullptr;
        return false;
    }

    void Close() noexcept {
        if (!key_) return;
        const DWORD error = GetLastError();
        platform::RegCloseKey(key_);
        SetLastError(error);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace devices
