// The disk members ask the system afresh at every call, without the core.
#include "object/member_answers.h"
#include "sysinfo/fixed_disks.h"

namespace object {

// A disk that is missing or no fixed disk is a failure; the size is then untouched.
HRESULT CoDeZiVero::FixedDiskSizeInMB(LONG lDiskNumber, LONG* plSize) noexcept {
    if (!plSize) return E_POINTER;
    LONG size = 0;
    if (!sysinfo::FixedDiskSizeInMB(lDiskNumber, &size)) return E_FAIL;
    *plSize = size;
    return S_OK;
}

HRESULT CoDeZiVero::get_FixedDisksSizeInMB(LONG* pVal) noexcept {
    return AnswerFrom(pVal, sysinfo::FixedDisksSizeInMB);
}

HRESULT CoDeZiVero::get_FixedDisksFreeSpaceInMB(LONG* pVal) noexcept {
    return AnswerFrom(pVal, sysinfo::FixedDisksFreeSpaceInMB);
}

}  // namespace object
