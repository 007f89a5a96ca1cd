// The one place where the system's narrow answers become caller-owned wide
// strings, and where a caller's wide text becomes narrow. The conversions go
// through the ANSI code page, so text such as a registered owner's name keeps
// its accented characters.
#include "object/ansi_text.h"

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

bool WideToAnsi(const wchar_t* text, char* ansi, DWORD size) noexcept {
    ansi[0] = '\0';
    return WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, static_cast<int>(size), nullptr,
                               nullptr) > 0;
}

}  // namespace object
