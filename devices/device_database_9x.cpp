// The device database of the 9x family.
//
// HKEY_DYN_DATA "Config Manager\Enum" lists the device nodes present now; each
// entry names the device's hardware key below HKLM "Enum" ("HardwareKey") and
// carries its "Problem" code. The hardware key holds "Class", "DeviceDesc" and
// "Driver"; "Driver" names the driver key below
// "System\CurrentControlSet\Services\Class\", which answers values the
// hardware key lacks.
#include "devices/device_query.h"

#include "platform/registry_key.h"
#include "devices/registry_value.h"

namespace devices {

namespace {

constexpr char kDeviceList[] = "Config Manager\\Enum";
constexpr char kHardwarePrefix[] = "Enum\\";
constexpr DWORD kHardwarePrefixLength = sizeof kHardwarePrefix - 1;
constexpr char kDriverPrefix[] = "System\\CurrentControlSet\\Services\\Class\\";
constexpr DWORD kDriverPrefixLength = sizeof kDriverPrefix - 1;
constexpr DWORD kDriverRoom = kKeyPathSize - 1 - kDriverPrefixLength;  // 219
constexpr DWORD kTextSize = 260;

static_assert(kDriverPrefixLength == 40, "driver key prefix");

// Reads name of the device at deviceKey as text, terminated whatever came back.
bool ReadDeviceText(const char* deviceKey, const char* name,
                    char (&text)[kTextSize + 1]) noexcept {
    text[0] = '\0';
    DWORD count = kTextSize;
    if (!ReadDeviceValue9x(deviceKey, nullptr, name, nullptr, reinterpret_cast<BYTE*>(text),
                           &count))
        return false;
    TerminateAt(text, count, kTextSize);
    return true;
}

}  // namespace

int ReadDeviceValue9x(const char* deviceKey, const char* subkey, const char* valueName,
                      DWORD* type, BYTE* buffer, DWORD* size) noexcept {
    if (!deviceKey || !valueName || !buffer || !size) return 0;
    platform::RegistryKey device;
    if (!device.Open(HKEY_LOCAL_MACHINE, deviceKey)) return 0;

    DWORD typeRead = REG_NONE;
    DWORD count = *size;
    int result = QueryValue(device.Get(), valueName, &typeRead, buffer, &count) ? 1 : 0;
    if (!result) {
        count = *size;
        result = ReadDriverKeyValue(device.Get(), kDriverPrefix, kDriverRoom, subkey, valueName,
                                    &typeRead, buffer, &count) ? 1 : 0;
    }
    if (type) *type = typeRead;
    *size = count;
    return result;
}

int FindDeviceKey9x(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                    DWORD keyBufferSize, LONG* status) noexcept {
    // "Enum\" and its terminator must fit, with the last byte kept free.
    if (!deviceClass || !keyBuffer || keyBufferSize <= kHardwarePrefixLength + 1) return 0;
    LONG ignored = 0;
    if (!status) status = &ignored;
    platform::RegistryKey list;
    if (!list.Open(HKEY_DYN_DATA, kDeviceList)) return 0;

    // The floppy exclusion applies to "DiskDrive" spelt exactly so; any other
    // spelling of the class counts floppy drives too.
    const bool excludeFloppies = lstrcmpA(deviceClass, "DiskDrive") == 0;
    char entryName[kKeyPathSize];
    char text[kTextSize + 1];
    for (DWORD index = 0;
         platform::RegEnumKeyA(list.Get(), index, entryName, sizeof entryName) == ERROR_SUCCESS;
         ++index) {
        entryName[kKeyPathSize - 1] = '\0';
        if (entryName[0] == '\0') continue;
        {
            platform::RegistryKey entry;
            if (!entry.Open(list.Get(), entryName)) continue;
            // Read aside, so that a "Problem" of fewer than four bytes is taken
            // zero-extended rather than mixed with the status before it.
            LONG problem = 0;
            DWORD problemSize = sizeof problem;
            if (QueryValue(entry.Get(), "Problem", nullptr, &problem, &problemSize))
                *status = problem;
            lstrcpyA(keyBuffer, kHardwarePrefix);
            ReadTextValue(entry.Get(), "HardwareKey", keyBuffer + kHardwarePrefixLength,
                          keyBufferSize - kHardwarePrefixLength - 1);
        }
        if (!ReadDeviceText(keyBuffer, "Class", text) || lstrcmpiA(text, deviceClass) != 0)
            continue;
        if (excludeFloppies && ReadDeviceText(keyBuffer, "DeviceDesc", text)) {
            CharLowerA(text);
            if (FindSubstringNoCase(text, "floppy")) continue;
        }
        if (deviceNumber == 0) return 1;
        --deviceNumber;
    }
    return 0;
}

}  // namespace devices
