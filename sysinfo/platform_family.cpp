// The process-wide platform record behind IsNtPlatform, filled once per
// process (platform/first_fill.h).
#include "sysinfo/platform_family.h"

#include <windows.h>

#include "platform/first_fill.h"
#include "platform/platform.h"

namespace sysinfo {

namespace {

platform::FirstFill g_filled;
OSVERSIONINFOA g_version;

const OSVERSIONINFOA& PlatformRecord() noexcept {
    g_filled.Ensure([]() noexcept {
        g_version = OSVERSIONINFOA{};
        g_version.dwOSVersionInfoSize = sizeof g_version;
        // A failed GetVersionExA leaves platform 0, which counts as not NT; it is not asked again.
        platform::GetVersionExA(&g_version);
        return true;
    });
    return g_version;
}

}  // namespace

bool IsNtPlatform() noexcept { return PlatformRecord().dwPlatformId == VER_PLATFORM_WIN32_NT; }

bool IsNt5OrLater() noexcept {
    const OSVERSIONINFOA& record = PlatformRecord();
    return record.dwPlatformId == VER_PLATFORM_WIN32_NT && record.dwMajorVersion >= 5;
}

void ForgetPlatformRecord() noexcept { g_filled.Forget(); }

}  // namespace sysinfo
