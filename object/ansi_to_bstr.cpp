// The one place where the system's narrow answers become caller-owned wide
// strings. The conversion goes through the ANSI code page, so text such as a
// registered owner's name keeps its accented characters.
#include "object/co_dezivero.h"

namespace object {

BSTR AnsiToBstr(const char* text) noexcept {
    if (!text) text = "";
    // The count includes the terminating zero, which SysAllocStringLen adds itself.
    int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (needed <= 0) {
        text = "";
        needed = 1;
    }
    BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(needed - 1));
    if (!result) return nullptr;
    MultiByteToWideChar(CP_ACP, 0, text, -1, result, needed);
    return result;
}

}  // namespace object
