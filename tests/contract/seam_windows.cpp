// platform/win32.cpp compiled once more under a namespace of its own, so that
// this program links its forwarders beside the fake machine's functions.
#define platform windows_seam
#include "platform/win32.cpp"
#undef platform

#include "tests/contract/seam.h"

namespace contract {

const Seam& WindowsSeam() {
    static const Seam seam = CONTRACT_SEAM_OF(windows_seam);
    return seam;
}

}  // namespace contract
