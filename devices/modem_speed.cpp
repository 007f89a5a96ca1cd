#include "devices/modem_speed.h"

#include "devices/modem_speed_table.h"
#include "devices/text_match.h"

namespace devices {

namespace {

constexpr DWORD kDescriptionSize = 1040;

// Copies the description just read into a terminated working buffer: the
// registry may have filled the caller's buffer without a terminator.
void CopyDescription(const BYTE* buffer, DWORD count,
                     char (&description)[kDescriptionSize + 1]) noexcept {
    DWORD length = 0;
    while (length < count && length < kDescriptionSize && buffer[length] != 0) {
        description[length] = static_cast<char>(buffer[length]);
        ++length;
    }
    description[length] = '\0';
}

}  // namespace

bool ModemSpeedFromDescription(DWORD bufferSize, DWORD count, DWORD* type, BYTE* buffer) noexcept {
    if (*type != REG_SZ && *type != REG_EXPAND_SZ) return true;
    // The speed takes four bytes; a smaller buffer cannot hold the answer.
    if (bufferSize < sizeof(DWORD)) return false;

    char description[kDescriptionSize + 1];
    CopyDescription(buffer, count < bufferSize ? count : bufferSize, description);
    for (const ModemSpeed& row : ModemSpeedTable) {
        if (!FindSubstringNoCase(description, row.pattern)) continue;
        const DWORD bits = row.bitsPerSecond;
        buffer[0] = static_cast<BYTE>(bits);
        buffer[1] = static_cast<BYTE>(bits >> 8);
        buffer[2] = static_cast<BYTE>(bits >> 16);
        buffer[3] = static_cast<BYTE>(bits >> 24);
        *type = REG_DWORD;
        return true;
    }
    return false;
}

}  // namespace devices
