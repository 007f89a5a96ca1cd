// The thread's last error as the HRESULT the COM edge hands out.
#pragma once

#include <windows.h>

namespace server {

// 0x80070000 with the error's low 16 bits; E_FAIL when the failed call named
// no error, so that a failure never reads as success.
inline HRESULT LastErrorStatus() noexcept {
    const DWORD error = GetLastError();
    if (error == 0) return E_FAIL;
    return static_cast<HRESULT>(0x80070000u | (error & 0xFFFFu));
}

}  // namespace server
