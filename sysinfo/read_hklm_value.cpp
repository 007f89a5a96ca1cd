// ReadHklmValue: one value under HKEY_LOCAL_MACHINE into a caller's buffer.
//
// Callers treat the destination as text whatever happened, so it leaves
// here terminated: after any failure the whole destination is zero, and a
// text value that fills the destination to its last byte without a
// terminating zero counts as a failure rather than be handed on unterminated.
// Numbers and binary data may fill the destination exactly: the processor
// clock rate is a 4-byte number read into 4 bytes.
#include <cstring>

#include "platform/platform.h"
#include "platform/registry_key.h"
#include "sysinfo/hklm_data.h"
#include "sysinfo/hw_info_core.h"

namespace sysinfo {

bool ReadHklmData(const char* subKey, const char* valueName, void* destination, int size,
                  REGSAM view, DWORD* type) noexcept {
    if (destination == nullptr || size <= 0) return false;
    if (valueName == nullptr || valueName[0] == '\0') return false;

    BYTE* bytes = static_cast<BYTE*>(destination);
    bytes[0] = 0;

    platform::RegistryKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, subKey, KEY_READ | view)) return false;

    const DWORD capacity = static_cast<DWORD>(size);
    DWORD count = capacity;
    DWORD stored = REG_NONE;
    const LONG error = platform::RegQueryValueExA(key.Get(), valueName, nullptr, &stored, bytes,
                                                  &count);
    const bool text = stored == REG_SZ || stored == REG_EXPAND_SZ || stored == REG_MULTI_SZ;
    const bool read = error == ERROR_SUCCESS && count > 1 && count <= capacity &&
                      (count < capacity || !text || bytes[capacity - 1] == 0);
    if (!read) {
        std::memset(bytes, 0, capacity);
        return false;
    }
    // Text stored without its terminator still ends here.
    if (count < capacity) bytes[count] = 0;
    if (type) *type = stored;
    return true;
}

bool ReadHklmText(const char* subKey, const char* valueName, char* destination, int size,
                  REGSAM view) noexcept {
    DWORD type = REG_NONE;
    if (!ReadHklmData(subKey, valueName, destination, size, view, &type)) return false;
    if (type == REG_SZ || type == REG_EXPAND_SZ) return true;
    std::memset(destination, 0, static_cast<size_t>(size));
    return false;
}

bool HwInfoCore::ReadHklmValue(const char* subKey, const char* valueName, void* destination,
                               int size) noexcept {
    return ReadHklmData(subKey, valueName, destination, size);
}

}  // namespace sysinfo
