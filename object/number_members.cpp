// The members that answer enumeration values, the debug flag and the status
// of the last device found.
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

HRESULT CoDeZiVero::get_DeviceStatus(LONG* plDevStatus) noexcept {
    if (!plDevStatus) return E_POINTER;
    *plDevStatus = DeviceStatus_;
    return S_OK;
}

}  // namespace object
