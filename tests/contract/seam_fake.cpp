#include "platform/platform.h"
#include "tests/contract/seam.h"

namespace contract {

const Seam& FakeSeam() {
    static const Seam seam = CONTRACT_SEAM_OF(platform);
    return seam;
}

}  // namespace contract
