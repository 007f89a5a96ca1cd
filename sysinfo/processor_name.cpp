#include "sysinfo/processor_name.h"

#include <windows.h>

#include <climits>

#include "sysinfo/hklm_data.h"
#include "sysinfo/processor_key.h"

namespace sysinfo {

bool ReadProcessorName(long processor, char* out, unsigned size) noexcept {
    if (out == nullptr || size == 0) return false;
    out[0] = '\0';
    if (processor < 1) return false;
    ProcessorKeyText key;
    FormatProcessorKey(key, processor);
    const int bounded = size > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(size);
    if (!ReadHklmText(key, "ProcessorNameString", out, bounded)) return false;

    unsigned blanks = 0;
    while (out[blanks] == ' ') ++blanks;
    if (blanks > 0) {
        unsigned i = 0;
        do out[i] = out[i + blanks];
        while (out[i++] != '\0');
    }
    return out[0] != '\0';
}

}  // namespace sysinfo
