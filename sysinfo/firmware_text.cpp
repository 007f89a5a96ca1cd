#include "sysinfo/firmware_text.h"

#include <windows.h>

#include <climits>

#include "sysinfo/hklm_data.h"

namespace sysinfo {

namespace {

// Texts of the board makers' reference firmware that nobody replaced; compared
// without regard to case, after the blanks around the text are removed.
constexpr const char* FirmwarePlaceholderTable[] = {
    "To Be Filled By O.E.M.",
    "To Be Filled By O.E.M. by More String",
    "System manufacturer",
    "System Product Name",
    "System Name",
    "Default string",
    "O.E.M.",
    "OEM",
    "Not Applicable",
    "Not Specified",
    "Not Available",
    "None",
    "Unknown",
    "Undefined",
    "Type1ProductConfigId",
    "Manufacturer",
    "Product Name",
};

void TrimBlanks(char* text) noexcept {
    unsigned first = 0;
    while (text[first] == ' ' || text[first] == '\t') ++first;
    unsigned length = 0;
    for (unsigned i = first; text[i] != '\0'; ++i) text[length++] = text[i];
    while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t')) --length;
    text[length] = '\0';
}

bool IsPlaceholder(const char* text) noexcept {
    for (const char* placeholder : FirmwarePlaceholderTable)
        if (lstrcmpiA(text, placeholder) == 0) return true;
    return false;
}

}  // namespace

bool ReadFirmwareText(const char* valueName, char* out, unsigned size) noexcept {
    if (out == nullptr || size == 0) return false;
    const int bounded = size > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(size);
    out[0] = '\0';
    return ReadHklmText("HARDWARE\\DESCRIPTION\\System\\BIOS", valueName, out, bounded);
}

bool ReadFilledFirmwareText(const char* valueName, char* out, unsigned size) noexcept {
    if (!ReadFirmwareText(valueName, out, size)) return false;
    TrimBlanks(out);
    if (out[0] != '\0' && !IsPlaceholder(out)) return true;
    out[0] = '\0';
    return false;
}

}  // namespace sysinfo
