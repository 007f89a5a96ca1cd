// RegistryKey: owns one open registry key and closes it, through the seam
// that opened it, when it goes away, so every path out of a walk (a find, a
// failure, the end) closes what it opened. Move-only; `&key` closes the key
// held so far and hands out the slot for an open call to fill. Closing keeps
// the thread's last error for the code that reports it.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/platform.h"

namespace platform {

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

    // Opens path below parent; the registry's status, and nothing held on failure.
    LONG OpenStatus(HKEY parent, const char* path, REGSAM access) noexcept {
        const LONG status = platform::RegOpenKeyExA(parent, path, 0, access, &*this);
        if (status != ERROR_SUCCESS || key_ == nullptr) {
            key_ = nullptr;
            return status != ERROR_SUCCESS ? status : ERROR_INVALID_HANDLE;
        }
        return ERROR_SUCCESS;
    }
    bool Open(HKEY parent, const char* path, REGSAM access = KEY_READ) noexcept {
        return OpenStatus(parent, path, access) == ERROR_SUCCESS;
    }

    // Closes what was held, then holds key.
    void Reset(HKEY key = nullptr) noexcept {
        Close();
        key_ = key;
    }

    LONG Close() noexcept {
        if (!key_) return ERROR_SUCCESS;
        const DWORD error = GetLastError();
        const LONG status = platform::RegCloseKey(key_);
        SetLastError(error);
        key_ = nullptr;
        return status;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace platform
