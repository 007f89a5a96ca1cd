// Construction and destruction of the hardware-information object's own
// state. The core takes its system, memory and version records while it is
// constructed; the device fields start as "nothing found yet".
#include "object/co_dezivero.h"

namespace object {

CoDeZiVero::CoDeZiVero(IUnknown* outer) noexcept : outer_(outer) {
    HWKey_[0] = '\0';
    DeviceStatus_ = -1;
}

// Nothing to give back: the object holds no key, handle or allocation
// between calls.
CoDeZiVero::~CoDeZiVero() = default;

}  // namespace object
