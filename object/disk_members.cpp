// The disk members ask the system afresh at every call, without the core.
#include "object/member_answers.h"
#include "sysinfo/fixed_disks.h"

namespace object {

HRESULT CoDeZiVero::FixedDiskSizeInMB(LONG lDiskNumber, LONG* plSize) noexcept {
    if (!plSize) return E_POINTER;
    return sysinfo::FixedDiskSizeInMB(lDiskNumber, plSize);
}

HRESULT CoDeZiVero::get_FixedDisksSizeInMB(LONG* pVal) noexcept {
    return AnswerFrom(pVal, sysinfo::FixedDisksSizeInMB);
}

HRESULT CoDeZiVero::get_FixedDisksFreeSpaceInMB(LONG* pVal) noexcept {
    return AnswerFrom(pVal, sysinfo::FixedDisksFreeSpaceInMB);
}

}  // namespace object
