// Texts the firmware (SMBIOS) gives, as Windows keeps them from Vista on under
// HKLM\HARDWARE\DESCRIPTION\System\BIOS ("SystemManufacturer",
// "SystemProductName", "BIOSVendor", ...). HARDWARE is one key for both
// registry views, so no view flag is needed.
#pragma once

namespace sysinfo {

// Reads the text value valueName of the BIOS key into out (size bytes).
// False with empty text when the key or value is missing, not text, or empty.
bool ReadFirmwareText(const char* valueName, char* out, unsigned size) noexcept;

// The same, with the blanks around the text removed, and false with empty text
// for the placeholders boards leave where the maker filled nothing in
// ("To Be Filled By O.E.M.", "System manufacturer", "Default string", ...).
bool ReadFilledFirmwareText(const char* valueName, char* out, unsigned size) noexcept;

}  // namespace sysinfo
