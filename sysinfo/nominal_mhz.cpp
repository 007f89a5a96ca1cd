#include "sysinfo/nominal_mhz.h"

namespace sysinfo {

LONG NominalMhz(LONG measured) noexcept {
    for (const LONG* rate = NominalMhzTable; *rate != 0; ++rate) {
        const LONG tolerance = *rate / 20;
        if (measured < *rate - tolerance) continue;
        if (measured <= *rate + tolerance) return *rate;
    }
    return measured;
}

}  // namespace sysinfo
