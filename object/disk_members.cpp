// The size of one disk, asked afresh at every call, without the core; the
// sums over the fixed drives are plain members (plain_members.h).
#include "object/co_dezivero.h"
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

}  // namespace object
