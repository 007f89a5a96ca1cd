// An owned registry key of the registrar: closed when the holder goes, and
// closing keeps the thread's last error for the code that reports it.
#pragma once

#include "platform/platform.h"

namespace server::registrar {

class RegistryKey {
public:
    RegistryKey() noexcept = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY Get() const noexcept { return key_; }
    explicit operator bool() const noexcept { return key_ != nullptr; }

    // Closes what was held, then holds key.
    void Reset(HKEY key = nullptr) noexcept {
        Close();
        key_ = key;
    }

    LONG Close() noexcept {
        if (!key_) return ERROR_SUCCESS;
        const DWORD lastError = GetLastError();
        const LONG status = platform::RegCloseKey(key_);
        key_ = nullptr;
        SetLastError(lastError);
        return status;
    }

private:
    HKEY key_ = nullptr;
};

// Opens parent\name; the holder is empty when that fails.
inline LONG OpenKey(HKEY parent, const char* name, REGSAM access, RegistryKey& key) noexcept {
    key.Reset();
    HKEY opened = nullptr;
    const LONG status = platform::RegOpenKeyExA(parent, name, 0, access, &opened);
    if (status == ERROR_SUCCESS) key.Reset(opened);
    return status;
}

}  // namespace server::registrar
