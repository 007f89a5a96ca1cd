#include "sysinfo/battery_percent.h"

#include "platform/platform.h"

namespace sysinfo {

namespace {

constexpr BYTE kNoSystemBattery = 128;  // a BatteryFlag bit
constexpr BYTE kUnknownFlags = 255;
constexpr BYTE kFullCharge = 100;

}  // namespace

LONG BatteryLifePercent() noexcept {
    SYSTEM_POWER_STATUS status{};
    if (!platform::GetSystemPowerStatus(&status)) return -1;
    if (status.BatteryFlag != kUnknownFlags && (status.BatteryFlag & kNoSystemBattery)) return -1;
    if (status.BatteryLifePercent > kFullCharge) return -1;
    return status.BatteryLifePercent;
}

}  // namespace sysinfo
