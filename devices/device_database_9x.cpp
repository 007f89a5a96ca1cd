// The device database of the 9x family.
//
// HKEY_DYN_DATA "Config Manager\Enum" lists the device nodes present now; each
// entry names the device's hardware key below HKLM "Enum" ("HardwareKey") and
// carries its "Problem" code. The hardware key holds "Class", "DeviceDesc" and
// "Driver"; "Driver" names the driver key below
// "System\CurrentControlSet\Services\Class\", which answers values the
// hardware key lacks.
#include "devices/device_database_9x.h"

#include "devices/text_match.h"
#include "platform/platform.h"
#include "platform/registry_key.h"

namespace devices {

namespace {

// The list names hardware keys relative to the hardware tree.
constexpr auto kHardwarePrefix = PrefixOf(kHardwareRoot9x);
constexpr DWORD kHardwarePrefixLength = kHardwarePrefix.kLength;
// A device's "Class" or "DeviceDesc" as the search compares it.
constexpr DWORD kDeviceTextSize = 260;

// Reads name of the device at deviceKey as text, terminated whatever came back.
bool ReadDeviceText(const char* deviceKey, const char* name,
                    char (&text)[kDeviceTextSize + 1]) noexcept {
    text[0] = '\0';
    DWORD count = kDeviceTextSize;
    if (!ReadDeviceValue(kFamily9x, deviceKey, nullptr, name, nullptr,
                         reinterpret_cast<BYTE*>(text), &count))
        return false;
    TerminateAt(text, count, kDeviceTextSize);
    return true;
}

}  // namespace

bool FindDeviceKey9x(LONG deviceNumber, const char* deviceClass, char* keyBuffer,
                     DWORD keyBufferSize, LONG* status) noexcept {
    // "Enum\" and its terminator must fit, with the last byte kept free.
    if (!deviceClass || !keyBuffer || keyBufferSize <= kHardwarePrefixLength + 1) return false;
    LONG ignored = 0;
    if (!status) status = &ignored;
    platform::RegistryKey list;
    if (!list.Open(HKEY_DYN_DATA, kDeviceList9x)) return false;

    // The floppy exclusion applies to "DiskDrive" spelt exactly so; any other
    // spelling of the class counts floppy drives too.
    const bool excludeFloppies = lstrcmpA(deviceClass, "DiskDrive") == 0;
    char entryName[kKeyPathSize];
    char text[kDeviceTextSize + 1];
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
            lstrcpyA(keyBuffer, kHardwarePrefix.text);
            ReadTextValue(entry.Get(), "HardwareKey", keyBuffer + kHardwarePrefixLength,
                          keyBufferSize - kHardwarePrefixLength - 1);
        }
        if (!ReadDeviceText(keyBuffer, "Class", text) || lstrcmpiA(text, deviceClass) != 0)
            continue;
        if (excludeFloppies && ReadDeviceText(keyBuffer, "DeviceDesc", text) &&
            FindSubstringNoCase(text, "floppy"))
            continue;
        if (deviceNumber == 0) return true;
        --deviceNumber;
    }
    return false;
}

}  // namespace devices
