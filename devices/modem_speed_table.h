// The speed a modem's description implies: the first row whose pattern occurs
// anywhere in the description (without regard to case) decides, so the order
// of the rows is part of the table. "56000" and "56k" mean 57600 on purpose.
#pragma once

#include <windows.h>

namespace devices {

struct ModemSpeed {
    const char* pattern;
    DWORD bitsPerSecond;
};

constexpr ModemSpeed ModemSpeedTable[] = {
    {"V.32", 14400},  {"V32", 14400},   {"V.34", 33600},  {"V34", 33600},  {"V.FC", 33600},
    {"VFC", 33600},   {"V.90", 57600},  {"V90", 57600},   {"56000", 57600}, {"56k", 57600},
    {"57.6", 57600},  {"57,6", 57600},  {"57600", 57600}, {"33k", 33600},  {"33.6", 33600},
    {"33,6", 33600},  {"33600", 33600}, {"28k", 28800},   {"28.8", 28800}, {"28,8", 28800},
    {"28800", 28800}, {"14k", 14400},   {"14.4", 14400},  {"14,4", 14400}, {"14400", 14400},
    {"9600", 9600},   {"144", 14400},   {"288", 28800},   {"336", 33600},  {"576", 57600},
};

static_assert(sizeof ModemSpeedTable / sizeof ModemSpeedTable[0] == 30, "thirty speed rows");

}  // namespace devices
