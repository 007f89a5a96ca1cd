#include "devices/registry_value.h"

#include "platform/platform.h"
#include "platform/registry_key.h"

namespace devices {

bool QueryValue(HKEY key, const char* name, DWORD* type, void* buffer, DWORD* size) noexcept {
    return platform::RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE*>(buffer),
                                      size) == ERROR_SUCCESS;
}

void TerminateAt(char* text, DWORD count, DWORD room) noexcept {
    text[count < room ? count : room] = '\0';
}

bool ReadTextValue(HKEY key, const char* name, char* text, DWORD room) noexcept {
    DWORD count = room;
    if (!QueryValue(key, name, nullptr, text, &count)) {
        text[0] = '\0';
        return false;
    }
    TerminateAt(text, count, room);
    return true;
}

bool AppendToPath(char* path, DWORD size, const char* text) noexcept {
    DWORD used = 0;
    while (used < size && path[used] != '\0') ++used;
    if (used == size) return false;
    DWORD added = 0;
    while (text[added] != '\0') {
        if (used + added + 1 >= size) {
            path[used] = '\0';
            return false;
        }
        path[used + added] = text[added];
        ++added;
    }
    path[used + added] = '\0';
    return true;
}

bool HandBack(bool read, DWORD typeRead, DWORD count, DWORD* type, DWORD* size) noexcept {
    if (type) *type = typeRead;
    *size = count;
    return read;
}

bool ReadKeyValue(const char* path, const char* name, DWORD* type, BYTE* buffer,
                  DWORD* size) noexcept {
    platform::RegistryKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, path)) return false;
    DWORD typeRead = REG_NONE;
    DWORD count = *size;
    const bool read = QueryValue(key.Get(), name, &typeRead, buffer, &count);
    return HandBack(read, typeRead, count, type, size);
}

bool ReadDriverKeyValue(HKEY device, const char* prefix, DWORD driverRoom, const char* subkey,
                        const char* name, DWORD* type, BYTE* buffer, DWORD* count) noexcept {
    char path[kKeyPathSize] = {};
    if (!AppendToPath(path, prefix)) return false;
    const DWORD prefixLength = static_cast<DWORD>(lstrlenA(path));
    if (prefixLength + driverRoom >= kKeyPathSize) return false;
    if (!ReadTextValue(device, "Driver", path + prefixLength, driverRoom)) return false;
    if (subkey && !(AppendToPath(path, "\\") && AppendToPath(path, subkey))) return false;
    platform::RegistryKey driver;
    if (!driver.Open(HKEY_LOCAL_MACHINE, path)) return false;
    return QueryValue(driver.Get(), name, type, buffer, count);
}

}  // namespace devices
