// The members that answer numbers, enumeration values and the debug flag,
// straight from the core's snapshot records and system metrics.
#include "object/member_answers.h"

namespace object {

using sysinfo::HwInfoCore;

HRESULT CoDeZiVero::get_BootMode(enum tagZEKO_BOOT_MODE* pBootMode) noexcept {
    return AnswerEnum(pBootMode, core_, &HwInfoCore::BootMode);
}

HRESULT CoDeZiVero::get_DockedInfo(enum tagZEKO_DOCKINFO* pDockInfo) noexcept {
    return AnswerEnum(pDockInfo, core_, &HwInfoCore::DockedInfo);
}

// Only a metric of exactly 1 means a debugging system; 2 or -1 do not.
HRESULT CoDeZiVero::get_DebugEnabled(VARIANT_BOOL* pbDebugEnabled) noexcept {
    if (!pbDebugEnabled) return E_POINTER;
    *pbDebugEnabled = core_.DebugEnabled() == 1 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CoDeZiVero::get_NumberOfProcessors(LONG* plNumberOfProcessors) noexcept {
    return AnswerNumber(plNumberOfProcessors, core_, &HwInfoCore::NumberOfProcessors);
}

HRESULT CoDeZiVero::get_MemoryTotalPhys(LONG* plTotalPhys) noexcept {
    return AnswerNumber(plTotalPhys, core_, &HwInfoCore::MemoryTotalPhys);
}

HRESULT CoDeZiVero::get_MemoryTotalPageFile(LONG* plTotalPageFile) noexcept {
    return AnswerNumber(plTotalPageFile, core_, &HwInfoCore::MemoryTotalPageFile);
}

HRESULT CoDeZiVero::get_MemoryTotalVirtual(LONG* plTotalVirtual) noexcept {
    return AnswerNumber(plTotalVirtual, core_, &HwInfoCore::MemoryTotalVirtual);
}

HRESULT CoDeZiVero::get_PowerStatus(LONG* plPowerStatus) noexcept {
    return AnswerNumber(plPowerStatus, core_, &HwInfoCore::PowerStatus);
}

HRESULT CoDeZiVero::get_BatteryStatus(LONG* plBatteryStatus) noexcept {
    return AnswerNumber(plBatteryStatus, core_, &HwInfoCore::BatteryStatus);
}

HRESULT CoDeZiVero::get_BatteryLifeTime(LONG* plLifeTime) noexcept {
    return AnswerNumber(plLifeTime, core_, &HwInfoCore::BatteryLifeTime);
}

HRESULT CoDeZiVero::get_BatteryFullLifeTime(LONG* plFullLifeTime) noexcept {
    return AnswerNumber(plFullLifeTime, core_, &HwInfoCore::BatteryFullLifeTime);
}

HRESULT CoDeZiVero::get_DeviceStatus(LONG* plDevStatus) noexcept {
    if (!plDevStatus) return E_POINTER;
    *plDevStatus = DeviceStatus_;
    return S_OK;
}

}  // namespace object
